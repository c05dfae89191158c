// SPDX-License-Identifier: MIT
#include "FileIo.h"

#include "posix/FileDescriptor.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileContents failure(const std::string &reason)
{
    return {{}, reason};
}

FileContents failureFromErrno()
{
    return failure(std::strerror(errno));
}

} // namespace

FileContents readRegularFile(const std::string &path, size_t maxSize)
{
    // O_NONBLOCK keeps open() from waiting on a FIFO with no writer.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.isValid())
        return failureFromErrno();
    struct stat status = {};
    if (::fstat(fd.get(), &status) != 0)
        return failureFromErrno();
    if (S_ISDIR(status.st_mode))
        return failure(std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode))
        return failure("not a regular file");

    FileContents result;
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer.data(), buffer.size());
        if (count == 0)
            return result;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return failureFromErrno();
        }
        if (result.bytes.size() + static_cast<size_t>(count) > maxSize)
            return failure(std::strerror(EFBIG));
        result.bytes.append(buffer.data(), static_cast<size_t>(count));
    }
}
