// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Small POSIX file helpers on native byte paths.

// Owns a file descriptor and closes it when done.
class UniqueFd
{
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd();
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    // Closes now; false (with errno set) when close() reports an error.
    bool close();

private:
    int m_fd;
};

// Writes all of data, retrying short writes; false with errno set on failure.
bool writeAll(int fd, const std::string &data);

struct FileContents
{
    std::string bytes;
    std::string error; // empty on success
};

// Reads a whole regular file of at most maxSize bytes. Anything else (a FIFO, a
// device, a directory) fails at once rather than blocking; a larger file fails
// with EFBIG.
FileContents readRegularFile(const std::string &path, size_t maxSize);
