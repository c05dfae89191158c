// SPDX-License-Identifier: MIT
#pragma once

#include <csignal>

// While it lives, exceeding the file-size limit makes write() fail with EFBIG,
// so that the partial file can be removed, instead of killing the process.
class FileSizeSignalIgnored
{
public:
    FileSizeSignalIgnored();
    ~FileSizeSignalIgnored();
    FileSizeSignalIgnored(const FileSizeSignalIgnored &) = delete;
    FileSizeSignalIgnored &operator=(const FileSizeSignalIgnored &) = delete;

private:
    struct sigaction m_previous = {};
};
