// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

// Owns a file descriptor and closes it when done.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    // Closes now, reporting the errors that a file system may only give at
    // close: false with errno set.
    bool close();

private:
    int m_fd;
};

// Writes all of data, retrying short and interrupted writes; false with errno
// set on failure.
bool writeAll(int fd, const char *data, std::size_t size);

inline bool writeAll(int fd, const std::string &data)
{
    return writeAll(fd, data.data(), data.size());
}
