// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Command.h"

#include <memory>
#include <sys/types.h>
#include <system_error>

// A started program, with a file descriptor that becomes readable when it ends,
// so that an event loop can wait for it without polling. Nothing here ever
// blocks waiting for the program.
class ChildProcess
{
public:
    // How the end is watched: a process file descriptor, or, where the system
    // refuses one, a thread of its own that waits and then signals an eventfd.
    enum class EndWatch
    {
        ProcessDescriptor,
        WaiterThread
    };

    struct Started
    {
        std::unique_ptr<ChildProcess> process; // null when it could not be started
        std::error_code error;                 // why not
    };

    // Starts the program, inheriting environment, current directory and standard
    // streams; fails when it cannot be started (missing, not executable, empty...).
    static Started start(const Command &command, EndWatch watch = EndWatch::ProcessDescriptor);

    // A program still running is left to run: destruction never waits for it.
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Readable once the program has ended, and from then on.
    int endNotifier() const { return m_endNotifier; }
    // Whether the program has ended, its process entry then released. Never blocks.
    bool hasEnded();

private:
    ChildProcess(pid_t pid, int endNotifier, EndWatch watch)
        : m_pid(pid), m_endNotifier(endNotifier), m_watch(watch)
    {}

    pid_t m_pid;
    int m_endNotifier;
    EndWatch m_watch;
    bool m_ended = false;
};
