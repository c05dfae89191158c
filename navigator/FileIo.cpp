// SPDX-License-Identifier: MIT
#include "navigator/FileIo.h"

#include "posix/FileDescriptor.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Failure failureFromErrno()
{
    return {std::strerror(errno)};
}

} // namespace

Result<std::string> readRegularFile(const std::string &path, size_t maxSize)
{
    // O_NONBLOCK keeps open() from waiting on a FIFO with no writer.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.isValid())
        return failureFromErrno();
    struct stat status = {};
    if (::fstat(fd.get(), &status) != 0)
        return failureFromErrno();
    if (S_ISDIR(status.st_mode))
        return Failure{std::strerror(EISDIR)};
    if (!S_ISREG(status.st_mode))
        return Failure{"not a regular file"};

    std::string bytes;
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer.data(), buffer.size());
        if (count == 0)
            return bytes;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return failureFromErrno();
        }
        if (bytes.size() + static_cast<size_t>(count) > maxSize)
            return Failure{std::strerror(EFBIG)};
        bytes.append(buffer.data(), static_cast<size_t>(count));
    }
}
