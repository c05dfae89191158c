// SPDX-License-Identifier: MIT
#pragma once

#include "tests/TestFiles.h"
#include "tests/TestSupport.h"

#include <algorithm>
#include <csignal>
#include <sys/types.h>

namespace navtest {

constexpr int buildTimeoutMs = 10000;

// Sets an environment variable, or unsets it for a null value, until the end
// of the scope.
class ScopedEnvironmentVariable
{
public:
    ScopedEnvironmentVariable(const char *name, const QByteArray &value)
        : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name))
    {
        set(value);
    }
    ~ScopedEnvironmentVariable() { set(m_wasSet ? m_previous : QByteArray()); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable &) = delete;
    ScopedEnvironmentVariable &operator=(const ScopedEnvironmentVariable &) = delete;

private:
    void set(const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(m_name);
        else
            qputenv(m_name, value);
    }

    const char *m_name;
    bool m_wasSet;
    QByteArray m_previous;
};

inline bool writeMakefile(const std::string &directory, const std::string &text)
{
    return writeBytes(directory + "/Makefile", text);
}

// True when the process no longer runs: gone, or a zombie no one has reaped.
inline bool processEnded(pid_t pid)
{
    const std::string stat = readBytes("/proc/" + std::to_string(pid) + "/stat");
    const size_t nameEnd = stat.rfind(')');
    return stat.empty() || (nameEnd != std::string::npos && stat.compare(nameEnd, 3, ") Z") == 0);
}

// Recipe commands that record make's pid and the recipe shell's; the recipe
// that follows records a background child's in sleep.pid.
inline const std::string recordBuildPids = "echo $$PPID > make.pid; echo $$$$ > shell.pid; ";

// The processes of a build that a recipe recorded in directory, killed at the
// end of the scope in case a failing test left them running.
class BuildPids
{
public:
    explicit BuildPids(const std::string &directory)
        : m_files({directory + "/make.pid", directory + "/shell.pid", directory + "/sleep.pid"})
    {}
    ~BuildPids()
    {
        for (const std::string &file : m_files)
            if (const pid_t pid = readPid(file); pid > 0 && !processEnded(pid))
                ::kill(pid, SIGKILL);
    }
    BuildPids(const BuildPids &) = delete;
    BuildPids &operator=(const BuildPids &) = delete;

    bool recorded() const
    {
        return all([](pid_t pid) { return pid > 0; });
    }
    bool noneEnded() const
    {
        return all([](pid_t pid) { return !processEnded(pid); });
    }
    bool allEnded() const { return all(processEnded); }

private:
    template <typename Test> bool all(Test test) const
    {
        return std::all_of(m_files.begin(), m_files.end(),
                           [&test](const std::string &file) { return test(readPid(file)); });
    }

    std::vector<std::string> m_files;
};

} // namespace navtest
