// SPDX-License-Identifier: MIT
#pragma once

// Ends a child's process group once the navigator lets go of it, or dies:
// between fork and exec the child starts a guard process, outside the group,
// that waits for the end of a pipe whose write end only the navigator holds,
// then sends the group SIGTERM, and SIGKILL to whatever is left of it after
// two seconds.
class ProcessGroupGuard
{
public:
    ProcessGroupGuard() = default;
    ~ProcessGroupGuard();
    ProcessGroupGuard(const ProcessGroupGuard &) = delete;
    ProcessGroupGuard &operator=(const ProcessGroupGuard &) = delete;

    // Makes the pipe for the next child, letting go of any earlier one.
    void prepare();
    // In the child, once it leads its own group: starts the guard. Makes only
    // async-signal-safe calls.
    void startInChild() const noexcept;
    // In the navigator, once the child has started.
    void childStarted();
    // Has the guard end the group, or whatever is left of it.
    void release();

private:
    int m_readEnd = -1;
    int m_writeEnd = -1;
};
