// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <system_error>

// File-system operations on native byte paths. Each returns the system's
// error, or no error on success.

namespace posix {

// Creates one directory level with default permissions (0777 less the umask).
std::error_code createDirectory(const std::string &path);

// Copies a regular file to a target that must not exist yet. The target is
// created exclusively and never through a link; bytes are copied, and the
// permission bits less the umask, as cp does. A source that is not a regular file (FIFO, device,
// directory) fails at once: EISDIR for a directory, ENOTSUP for the others. A copy
// that fails part-way removes the target it made.
std::error_code copyFileExclusive(const std::string &source, const std::string &target);

} // namespace posix
