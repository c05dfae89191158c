// SPDX-License-Identifier: MIT
#include "posix/FileSizeSignalIgnored.h"

FileSizeSignalIgnored::FileSizeSignalIgnored()
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &m_previous);
}

FileSizeSignalIgnored::~FileSizeSignalIgnored()
{
    sigaction(SIGXFSZ, &m_previous, nullptr);
}
