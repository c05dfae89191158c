// SPDX-License-Identifier: MIT
#include "ProjectFiles.h"

#include "FileIo.h"
#include "SourceListing.h"
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

std::string failure(const std::string &path, const std::string &reason)
{
    return "cannot create project file '" + path + "': " + reason;
}

} // namespace

std::string createProjectFile(const std::string &path)
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

    SourceListing listing = listSourceFiles(parts.directory);
    if (listing.error != 0) {
        removeCreatedFile(path, created);
        return failure(path, "cannot list directory '" + parts.directory +
                                 "': " + std::strerror(listing.error));
    }
    std::vector<std::string> &sources = listing.names;
    sources.erase(std::remove(sources.begin(), sources.end(), parts.fileName), sources.end());

    const std::string text = formatProject({projectNameForFile(path), sources});
    if (!writeAll(fd.get(), text) || !fd.close()) {
        const int error = errno;
        removeCreatedFile(path, created);
        return failure(path, std::strerror(error));
    }
    return {};
}

ProjectRead readProjectFile(const std::string &path)
{
    const FileContents contents = readRegularFile(path, maxProjectFileSize);
    if (!contents.error.empty())
        return {std::nullopt, "cannot read '" + path + "': " + contents.error};
    ProjectParse parsed = parseProject(contents.bytes);
    if (!parsed.project)
        return {std::nullopt, "'" + path + "' is not a valid project file: " + parsed.error};
    return {std::move(parsed.project), {}};
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
