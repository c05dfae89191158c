#pragma once

#include <QObject>
#include <QProcess>
#include <QStringDecoder>
#include <string>

// Runs make in a project directory, in the environment the navigator
// inherited, without a shell. Output (stdout and stderr merged) is passed on as
// it comes; the end is reported as one status line:
//   "Build finished (exit status N)", "Build failed to start: <reason>" or
//   "Build crashed".
class BuildRunner : public QObject
{
    Q_OBJECT

public:
    explicit BuildRunner(QObject *parent = nullptr);
    // Stops a build still running.
    ~BuildRunner() override;

    // True from start() until finished() has been emitted.
    bool isRunning() const { return m_running; }

    // Starts "make" with arguments in directory (native bytes). Does nothing
    // while a build runs. The end is always reported through finished(), once.
    void start(const std::string &directory, const QStringList &arguments = {});

    // Ends a running build with everything it started: SIGTERM to its process
    // group, then SIGKILL if it has not ended within graceMs. Blocks briefly.
    void stop(int graceMs = 2000);

signals:
    void outputReceived(const QString &text);
    void finished(const QString &statusLine);

private:
    void readOutput();
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onErrorOccurred(QProcess::ProcessError error);
    void fail(const QString &reason);
    void report(const QString &statusLine);

    QProcess m_process;
    QStringDecoder m_decoder;
    bool m_running = false;
};
