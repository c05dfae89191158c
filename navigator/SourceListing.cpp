// SPDX-License-Identifier: MIT
#include "navigator/SourceListing.h"

#include "navigator/FileIo.h"
#include "posix/FileDescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace {

bool endsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct DirCloser
{
    void operator()(DIR *dir) const { ::closedir(dir); }
};

// True for a regular file, or a link that resolves to one.
bool isRegularFileAt(int directoryFd, const char *name)
{
    struct stat status = {};
    return ::fstatat(directoryFd, name, &status, 0) == 0 && S_ISREG(status.st_mode);
}

} // namespace

bool isSourceFileName(const std::string &name)
{
    static const std::array<const char *, 8> extensions = {".c", ".cc", ".cpp", ".s",
                                                           ".S", ".h",  ".hh",  ".hpp"};
    if (name.empty() || name.front() == '.')
        return false;
    return std::any_of(extensions.begin(), extensions.end(),
                       [&name](const char *extension) { return endsWith(name, extension); });
}

bool isHeaderFileName(const std::string &name)
{
    static const std::array<const char *, 3> extensions = {".h", ".hh", ".hpp"};
    return isSourceFileName(name) &&
           std::any_of(extensions.begin(), extensions.end(),
                       [&name](const char *extension) { return endsWith(name, extension); });
}

Result<std::vector<std::string>> listSourceFiles(const std::string &directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Failure{std::strerror(errno)};
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        const Failure failure{std::strerror(errno)};
        FileDescriptor owner(fd);
        return failure;
    }

    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir.get());
        if (!entry)
            break;
        const std::string name = entry->d_name;
        if (isSourceFileName(name) && isRegularFileAt(fd, entry->d_name))
            names.push_back(name);
    }
    if (errno != 0)
        return Failure{std::strerror(errno)};
    std::sort(names.begin(), names.end());
    return names;
}
