#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
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

pid_t waitForEnd(pid_t pid)
{
    pid_t result;
    do {
        result = waitpid(pid, nullptr, 0);
    } while (result < 0 && errno == EINTR);
    return result;
}

} // namespace

std::unique_ptr<ChildProcess> ChildProcess::start(const Command &command)
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
    if (posix_spawn(&pid, command.program.c_str(), nullptr, attributes.get(), argv.data(),
                    environ) != 0)
        return nullptr;

    const int pidfd = openProcessDescriptor(pid);
    if (pidfd < 0) {
        // Cannot watch it from the event loop: wait here instead.
        waitForEnd(pid);
        return std::unique_ptr<ChildProcess>(new ChildProcess(pid, -1));
    }
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid, pidfd));
}

ChildProcess::~ChildProcess()
{
    reap();
    if (m_pidfd >= 0)
        close(m_pidfd);
}

void ChildProcess::reap()
{
    if (m_reaped)
        return;
    m_reaped = true;
    if (m_pidfd >= 0)
        waitForEnd(m_pid);
}
