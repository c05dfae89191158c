// SPDX-License-Identifier: MIT
#include "platform/FileOperations.h"

#include "posix/FileDescriptor.h"
#include "posix/FileSizeSignalIgnored.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool copyContents(int from, int to)
{
    std::array<char, 128 * 1024> buffer;
    for (;;) {
        const ssize_t count = ::read(from, buffer.data(), buffer.size());
        if (count == 0)
            return true;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(to, buffer.data(), static_cast<size_t>(count)))
            return false;
    }
}

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

} // namespace

namespace posix {

std::error_code createDirectory(const std::string &path)
{
    return ::mkdir(path.c_str(), 0777) == 0 ? std::error_code() : lastError();
}

std::error_code copyFileExclusive(const std::string &source, const std::string &target)
{
    // Non-blocking, so that opening a FIFO cannot hang before it is recognised.
    FileDescriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!from.isValid())
        return lastError();
    struct stat status = {};
    if (::fstat(from.get(), &status) != 0)
        return lastError();
    if (S_ISDIR(status.st_mode))
        return std::make_error_code(std::errc::is_a_directory);
    if (!S_ISREG(status.st_mode))
        return std::make_error_code(std::errc::not_supported);
    const int flags = ::fcntl(from.get(), F_GETFL);
    if (flags < 0 || ::fcntl(from.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return lastError();

    // Created with the source's permission bits, less the umask as the system
    // applies it to every new file; a read-only mode still allows this first write.
    const mode_t permissions = status.st_mode & 0777;
    FileDescriptor to(::open(target.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                             permissions));
    if (!to.isValid())
        return lastError();

    const FileSizeSignalIgnored fileSizeSignalIgnored;
    if (copyContents(from.get(), to.get()) && to.close())
        return {};
    const std::error_code error = lastError();
    if (to.isValid())
        to.close();
    ::unlink(target.c_str());
    return error;
}

} // namespace posix
