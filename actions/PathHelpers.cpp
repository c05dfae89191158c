// SPDX-License-Identifier: MIT
#include "actions/PathHelpers.h"

#include <algorithm>

std::string DirectoryPart(const std::string &path, char separator)
{
    const auto last = path.rfind(separator);
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

std::string LastComponent(const std::string &path, char separator)
{
    const auto last = path.rfind(separator);
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string ToForwardSlashes(const std::string &text, char separator)
{
    std::string result = text;
    std::replace(result.begin(), result.end(), separator, '/');
    return result;
}

std::string WithoutTrailingSeparators(const std::string &path, char separator)
{
    const auto last = path.find_last_not_of(separator);
    if (last == std::string::npos)
        return path.empty() ? path : std::string(1, separator);
    return path.substr(0, last + 1);
}
