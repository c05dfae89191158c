#pragma once

#include "Command.h"

#include <memory>
#include <sys/types.h>

// A started program, watched through a process file descriptor that becomes
// readable when it ends, so that an event loop can wait for it without polling.
class ChildProcess
{
public:
    // Starts the program, inheriting environment, current directory and standard
    // streams; null when it cannot be started (missing, not executable, empty...).
    static std::unique_ptr<ChildProcess> start(const Command &command);

    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Readable once the program has ended.
    int endNotifier() const { return m_pidfd; }
    // Blocks until the program has ended and releases its process entry.
    void reap();

private:
    ChildProcess(pid_t pid, int pidfd) : m_pid(pid), m_pidfd(pidfd) {}

    pid_t m_pid;
    int m_pidfd;
    bool m_reaped = false;
};
