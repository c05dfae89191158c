// SPDX-License-Identifier: MIT
#include "navigator/ProjectFormat.h"

#include <string_view>

namespace {

constexpr std::string_view nameKey = "name=";
constexpr std::string_view sourceKey = "source=";

std::string escaped(const std::string &value)
{
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::optional<std::string> unescaped(const std::string &value)
{
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size())
            return std::nullopt;
        if (value[i] == '\\')
            out += '\\';
        else if (value[i] == 'n')
            out += '\n';
        else
            return std::nullopt;
    }
    return out;
}

bool startsWith(const std::string &text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

Failure failure(size_t lineNumber, const std::string &reason)
{
    return {"line " + std::to_string(lineNumber) + ": " + reason, lineNumber};
}

} // namespace

std::string formatProject(const Project &project)
{
    std::string text = std::string(projectFormatTag) + '\n';
    text.append(nameKey).append(escaped(project.name)) += '\n';
    for (const std::string &source : project.sources)
        text.append(sourceKey).append(escaped(source)) += '\n';
    return text;
}

Result<Project> parseProject(const std::string &text)
{
    if (text.find('\0') != std::string::npos)
        return Failure{"contains a NUL byte"};
    if (!text.empty() && text.back() != '\n')
        return Failure{"last line is incomplete"};

    Project project;
    bool haveName = false;
    size_t lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;

        if (lineNumber == 1) {
            if (line != projectFormatTag)
                return failure(lineNumber, "not a navigator project file");
            continue;
        }
        if (line.empty() || line.front() == '#')
            continue;

        const bool isName = startsWith(line, nameKey);
        if (!isName && !startsWith(line, sourceKey))
            return failure(lineNumber, "unknown entry");
        const std::optional<std::string> value =
            unescaped(line.substr((isName ? nameKey : sourceKey).size()));
        if (!value)
            return failure(lineNumber, "bad escape sequence");
        if (value->empty())
            return failure(lineNumber, "empty value");
        if (isName) {
            if (haveName)
                return failure(lineNumber, "second project name");
            haveName = true;
            project.name = *value;
        } else {
            project.sources.push_back(*value);
        }
    }
    if (lineNumber == 0)
        return Failure{"empty file"};
    if (!haveName)
        return Failure{"no project name"};
    return project;
}

std::string projectNameForFile(const std::string &path)
{
    const std::string suffix = ".proj";
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.resize(name.size() - suffix.size());
    return name;
}

std::string projectDirectoryForFile(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
