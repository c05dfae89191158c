// SPDX-License-Identifier: MIT
#include "navigator/ProcessGroupGuard.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int graceMs = 2000;
constexpr int pollMs = 50;

void closeEnd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// The guard's whole life, on standard input's end of the pipe.
[[noreturn]] void guardGroup(pid_t group)
{
    char byte = 0;
    ssize_t got = 0;
    do
        got = ::read(STDIN_FILENO, &byte, 1);
    while (got > 0 || (got < 0 && errno == EINTR));

    ::kill(-group, SIGTERM);
    const timespec pause{0, pollMs * 1000000L};
    for (int waited = 0; waited < graceMs; waited += pollMs) {
        if (::kill(-group, 0) != 0)
            ::_exit(0);
        ::nanosleep(&pause, nullptr);
    }
    ::kill(-group, SIGKILL);
    ::_exit(0);
}

} // namespace

ProcessGroupGuard::~ProcessGroupGuard()
{
    closeEnd(m_readEnd);
    release();
}

void ProcessGroupGuard::prepare()
{
    closeEnd(m_readEnd);
    release();
    // Close-on-exec: neither make nor anything else started later may hold an end.
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    m_readEnd = ends[0];
    m_writeEnd = ends[1];
}

void ProcessGroupGuard::startInChild() const noexcept
{
    if (m_readEnd < 0)
        return;
    const pid_t group = ::getpgrp();
    // _Fork: no fork handlers, safe between fork and exec.
    const pid_t guard = ::_Fork();
    if (guard != 0) {
        // Out of the group, whichever of the two runs first, so that what ends
        // the build does not end the guard.
        if (guard > 0)
            ::setpgid(guard, guard);
        return;
    }
    ::setpgid(0, 0);
    // Holds nothing of the navigator's but its end of the pipe: no serial port,
    // no output pipe of make's.
    ::dup2(m_readEnd, STDIN_FILENO);
    ::close_range(STDOUT_FILENO, ~0U, 0);
    guardGroup(group);
}

void ProcessGroupGuard::childStarted()
{
    closeEnd(m_readEnd);
}

void ProcessGroupGuard::release()
{
    closeEnd(m_writeEnd);
}
