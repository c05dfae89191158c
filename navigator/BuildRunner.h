// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/ProcessGroupGuard.h"

#include <QObject>
#include <QProcess>
#include <QStringDecoder>
#include <QTimer>
#include <string>

// Runs make in a project directory, in the environment the navigator
// inherited, without a shell, with one job per processor core. Output (stdout
// and stderr merged) is passed on as it comes; the end is reported once. No
// process of the build outlives make's end, a stop, or the navigator.
class BuildRunner : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Succeeded,     // make ended with status 0
        Failed,        // make ended with another status
        Crashed,       // make was ended by a signal
        Stopped,       // make ended after stop()
        FailedToStart, // make could not be run; see the reason
    };
    Q_ENUM(Outcome)

    explicit BuildRunner(QObject *parent = nullptr);
    // Stops a build still running.
    ~BuildRunner() override;

    // True from start() until finished() has been emitted.
    bool isRunning() const { return m_running; }

    // Starts "make -j<cores>" with arguments in directory (native bytes). Does
    // nothing while a build runs. The end is always reported through finished(), once.
    void start(const std::string &directory, const QStringList &arguments = {});

    // Ends a running build with everything it started: SIGTERM to its process
    // group, then SIGKILL if make has not ended within graceMs. Returns at once.
    void stop(int graceMs = 2000);
    // The same, returning once make has ended.
    void stopAndWait(int graceMs = 2000);

signals:
    void outputReceived(const QString &text);
    // exitStatus is make's status for Succeeded and Failed; reason is set for
    // FailedToStart.
    void finished(BuildRunner::Outcome outcome, int exitStatus, const QString &reason);

private:
    bool beginStop();
    void signalGroup(int signal);
    void readOutput();
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onErrorOccurred(QProcess::ProcessError error);
    void fail(const QString &reason);
    void report(Outcome outcome, int exitStatus = 0, const QString &reason = {});

    QProcess m_process;
    QStringDecoder m_decoder;
    // Ends what is left of make's group once make has ended, even when the
    // navigator is killed.
    ProcessGroupGuard m_guard;
    QTimer m_killTimer;
    bool m_running = false;
    bool m_stopping = false;
};
