// SPDX-License-Identifier: MIT
#include "navigator/ProjectFiles.h"

#include "navigator/FileIo.h"
#include "navigator/SourceListing.h"
#include "posix/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr size_t maxProjectFileSize = 16 * 1024 * 1024;

struct PathParts
{
    std::string directory;
    std::string fileName;
};

PathParts splitPath(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return {projectDirectoryForFile(path),
            slash == std::string::npos ? path : path.substr(slash + 1)};
}

// Removes the file at path only if it is still the one this process created.
void removeCreatedFile(const std::string &path, const struct stat &created)
{
    struct stat current = {};
    if (::lstat(path.c_str(), &current) == 0 && current.st_dev == created.st_dev &&
        current.st_ino == created.st_ino)
        ::unlink(path.c_str());
}

Failure failure(const std::string &path, const std::string &reason)
{
    return {"cannot create project file '" + path + "': " + reason};
}

} // namespace

Result<Done> createProjectFile(const std::string &path)
{
    const PathParts parts = splitPath(path);
    if (parts.fileName.empty() || parts.fileName == "." || parts.fileName == "..")
        return failure(path, "not a file name");

    // O_EXCL fails on anything already there, links included, and O_NOFOLLOW
    // makes sure no link is ever followed.
    FileDescriptor fd(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.isValid()) {
        if (errno == EEXIST)
            return failure(path, "it already exists; left untouched");
        return failure(path, std::strerror(errno));
    }
    struct stat created = {};
    if (::fstat(fd.get(), &created) != 0) {
        const int error = errno;
        fd.close();
        return failure(path, std::strerror(error) + std::string(" (file left in place)"));
    }

    Result<std::vector<std::string>> listing = listSourceFiles(parts.directory);
    if (!listing.ok()) {
        removeCreatedFile(path, created);
        return failure(path, "cannot list directory '" + parts.directory +
                                 "': " + listing.failure().message);
    }
    std::vector<std::string> &sources = listing.value();
    sources.erase(std::remove(sources.begin(), sources.end(), parts.fileName), sources.end());

    const std::string text = formatProject({projectNameForFile(path), sources});
    if (!writeAll(fd.get(), text) || !fd.close()) {
        const int error = errno;
        removeCreatedFile(path, created);
        return failure(path, std::strerror(error));
    }
    return Done();
}

Result<Project> readProjectFile(const std::string &path)
{
    const Result<std::string> contents = readRegularFile(path, maxProjectFileSize);
    if (!contents.ok())
        return Failure{"cannot read '" + path + "': " + contents.failure().message};
    Result<Project> parsed = parseProject(contents.value());
    if (!parsed.ok())
        return Failure{"'" + path + "' is not a valid project file: " + parsed.failure().message,
                       parsed.failure().line};
    return parsed;
}

std::string canonicalPath(const std::string &path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool isInsideDirectory(const std::string &path, const std::string &directory)
{
    const std::string file = canonicalPath(path);
    std::string prefix = canonicalPath(directory);
    if (file.empty() || prefix.empty())
        return false;
    if (prefix.back() != '/')
        prefix += '/';
    return file.compare(0, prefix.size(), prefix) == 0;
}

std::string imageFileForDirectory(const std::string &directory)
{
    const std::string resolved = canonicalPath(directory);
    if (resolved.empty() || resolved == "/")
        return {};
    return resolved + '/' + resolved.substr(resolved.rfind('/') + 1) + ".s37";
}
