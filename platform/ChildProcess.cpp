// SPDX-License-Identifier: MIT
#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// Spawn attributes that give the program a clean signal state: nothing blocked,
// every signal at its default action.
class CleanSignalAttributes
{
public:
    CleanSignalAttributes()
    {
        posix_spawnattr_init(&m_attributes);
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&m_attributes, &signals);
        sigfillset(&signals);
        posix_spawnattr_setsigdefault(&m_attributes, &signals);
        posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~CleanSignalAttributes() { posix_spawnattr_destroy(&m_attributes); }
    CleanSignalAttributes(const CleanSignalAttributes &) = delete;
    CleanSignalAttributes &operator=(const CleanSignalAttributes &) = delete;

    const posix_spawnattr_t *get() const { return &m_attributes; }

private:
    posix_spawnattr_t m_attributes;
};

// Called directly: the libc wrapper's header is not C++-ready everywhere.
int openProcessDescriptor(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

pid_t waitForEnd(pid_t pid, int options)
{
    pid_t result;
    do {
        result = waitpid(pid, nullptr, options);
    } while (result < 0 && errno == EINTR);
    return result;
}

bool isReadable(int fd)
{
    pollfd poller{fd, POLLIN, 0};
    int result;
    do {
        result = ::poll(&poller, 1, 0);
    } while (result < 0 && errno == EINTR);
    return result > 0 && (poller.revents & (POLLIN | POLLHUP)) != 0;
}

// An eventfd that a thread of its own signals once the program has ended; the
// thread also releases the program's process entry. -1 with errno set when
// none can be made.
int watchEndInThread(pid_t pid)
{
    const int endNotifier = ::eventfd(0, EFD_CLOEXEC);
    if (endNotifier < 0)
        return -1;
    // The thread writes to its own descriptor, so that it may outlive the caller's.
    const int signalled = ::fcntl(endNotifier, F_DUPFD_CLOEXEC, 0);
    if (signalled < 0) {
        const int error = errno;
        ::close(endNotifier);
        errno = error;
        return -1;
    }
    try {
        std::thread([pid, signalled] {
            waitForEnd(pid, 0);
            const std::uint64_t one = 1;
            while (::write(signalled, &one, sizeof one) < 0 && errno == EINTR) {
            }
            ::close(signalled);
        }).detach();
    } catch (const std::system_error &failure) {
        ::close(signalled);
        ::close(endNotifier);
        errno = failure.code().value();
        return -1;
    }
    return endNotifier;
}

} // namespace

ChildProcess::Started ChildProcess::start(const Command &command, EndWatch watch)
{
    std::vector<char *> argv;
    argv.reserve(command.arguments.size() + 2);
    argv.push_back(const_cast<char *>(command.program.c_str()));
    for (const std::string &argument : command.arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);

    // posix_spawn reports a failed exec (missing file, no run bit, a directory,
    // an unknown format) as its own result, without a shell fallback.
    const CleanSignalAttributes attributes;
    pid_t pid = 0;
    if (const int error = posix_spawn(&pid, command.program.c_str(), nullptr, attributes.get(),
                                      argv.data(), environ))
        return {nullptr, {error, std::generic_category()}};

    if (watch == EndWatch::ProcessDescriptor) {
        const int pidfd = openProcessDescriptor(pid);
        if (pidfd >= 0)
            return {std::unique_ptr<ChildProcess>(new ChildProcess(pid, pidfd, watch)), {}};
        // Refused by an old kernel or a sandbox's system-call filter.
    }
    const int endNotifier = watchEndInThread(pid);
    if (endNotifier < 0) {
        const std::error_code error(errno, std::generic_category());
        // Nothing can watch it: it cannot be waited for, so it must not run.
        ::kill(pid, SIGKILL);
        waitForEnd(pid, 0);
        return {nullptr, error};
    }
    return {
        std::unique_ptr<ChildProcess>(new ChildProcess(pid, endNotifier, EndWatch::WaiterThread)),
        {}};
}

ChildProcess::~ChildProcess()
{
    hasEnded();
    ::close(m_endNotifier);
}

bool ChildProcess::hasEnded()
{
    if (!m_ended && isReadable(m_endNotifier)) {
        m_ended = true;
        // The waiter thread has released the entry itself; a pidfd leaves it to us.
        if (m_watch == EndWatch::ProcessDescriptor)
            waitForEnd(m_pid, WNOHANG);
    }
    return m_ended;
}
