// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QProcess>
#include <QStringDecoder>
#include <string>

// Runs make in a project directory, in the environment the navigator
// inherited, without a shell, with one job per processor core. Output (stdout
// and stderr merged) is passed on as it comes; the end is reported once.
class BuildRunner : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Succeeded,     // make ended with status 0
        Failed,        // make ended with another status
        Crashed,       // make was ended by a signal
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
    // group, then SIGKILL if it has not ended within graceMs. Blocks briefly.
    void stop(int graceMs = 2000);

signals:
    void outputReceived(const QString &text);
    // exitStatus is make's status for Succeeded and Failed; reason is set for
    // FailedToStart.
    void finished(BuildRunner::Outcome outcome, int exitStatus, const QString &reason);

private:
    void readOutput();
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onErrorOccurred(QProcess::ProcessError error);
    void fail(const QString &reason);
    void report(Outcome outcome, int exitStatus = 0, const QString &reason = {});

    QProcess m_process;
    QStringDecoder m_decoder;
    bool m_running = false;
};
