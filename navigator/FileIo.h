// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/Result.h"

#include <cstddef>
#include <string>

// Small POSIX file helpers on native byte paths.

// Reads a whole regular file of at most maxSize bytes. Anything else (a FIFO, a
// device, a directory) fails at once rather than blocking; a larger file fails
// with EFBIG.
Result<std::string> readRegularFile(const std::string &path, size_t maxSize);
