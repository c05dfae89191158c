// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

// Small POSIX file helpers on native byte paths.

struct FileContents
{
    std::string bytes;
    std::string error; // empty on success
};

// Reads a whole regular file of at most maxSize bytes. Anything else (a FIFO, a
// device, a directory) fails at once rather than blocking; a larger file fails
// with EFBIG.
FileContents readRegularFile(const std::string &path, size_t maxSize);
