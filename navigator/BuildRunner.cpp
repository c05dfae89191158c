// SPDX-License-Identifier: MIT
#include "navigator/BuildRunner.h"

#include <QFile>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int killWaitMs = 2000;

} // namespace

BuildRunner::BuildRunner(QObject *parent) : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Nothing in the build can wait for input from the navigator.
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setChildProcessModifier([this, navigator = ::getpid()] {
        // A group of its own, so that stop() reaches make's children as well.
        ::setpgid(0, 0);
        // Out of the navigator's group, make would outlive a navigator that is
        // killed; have it ended then too, the way an interrupt would.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != navigator)
            ::raise(SIGTERM);
        m_guard.startInChild();
    });
    m_killTimer.setSingleShot(true);

    connect(&m_process, &QProcess::readyReadStandardOutput, this, &BuildRunner::readOutput);
    connect(&m_process, &QProcess::finished, this, &BuildRunner::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &BuildRunner::onErrorOccurred);
    connect(&m_killTimer, &QTimer::timeout, this, [this] { signalGroup(SIGKILL); });
}

BuildRunner::~BuildRunner()
{
    m_process.disconnect(this);
    stopAndWait();
}

void BuildRunner::start(const std::string &directory, const QStringList &arguments)
{
    if (isRunning())
        return;
    m_running = true;
    m_stopping = false;
    m_decoder = QStringDecoder(QStringDecoder::System);

    if (directory.empty()) {
        fail(tr("no project directory"));
        return;
    }
    // Qt passes the working directory as a QString; a name that does not
    // survive decoding would send make to another directory.
    const QByteArray nativeDirectory = QByteArray::fromStdString(directory);
    const QString workingDirectory = QFile::decodeName(nativeDirectory);
    if (QFile::encodeName(workingDirectory) != nativeDirectory) {
        fail(tr("the project directory '%1' has a name that is not valid in this locale")
                 .arg(workingDirectory));
        return;
    }
    m_process.setWorkingDirectory(workingDirectory);
    const int jobs = std::max(1, QThread::idealThreadCount());
    m_guard.prepare();
    m_process.start(QStringLiteral("make"),
                    QStringList{QStringLiteral("-j%1").arg(jobs)} + arguments);
    m_guard.childStarted();
}

void BuildRunner::stop(int graceMs)
{
    if (beginStop())
        m_killTimer.start(graceMs);
}

void BuildRunner::stopAndWait(int graceMs)
{
    if (!beginStop() || m_process.waitForFinished(graceMs))
        return;
    signalGroup(SIGKILL);
    m_process.waitForFinished(killWaitMs);
}

bool BuildRunner::beginStop()
{
    if (m_process.state() == QProcess::NotRunning)
        return false;
    m_stopping = true;
    signalGroup(SIGTERM);
    // The guard ends the group on the same schedule, even should the navigator
    // be killed meanwhile, and what make leaves behind.
    m_guard.release();
    return true;
}

void BuildRunner::signalGroup(int signal)
{
    const qint64 pid = m_process.processId();
    if (pid > 0 && ::kill(-static_cast<pid_t>(pid), signal) == 0)
        return;
    // Falls back to make alone when its group does not exist (yet).
    if (signal == SIGKILL)
        m_process.kill();
    else
        m_process.terminate();
}

void BuildRunner::readOutput()
{
    const QString text = m_decoder(m_process.readAllStandardOutput());
    if (!text.isEmpty())
        emit outputReceived(text);
}

void BuildRunner::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    m_killTimer.stop();
    readOutput();
    if (m_stopping)
        report(Outcome::Stopped);
    else if (exitStatus == QProcess::CrashExit)
        report(Outcome::Crashed);
    else
        report(exitCode == 0 ? Outcome::Succeeded : Outcome::Failed, exitCode);
}

void BuildRunner::onErrorOccurred(QProcess::ProcessError error)
{
    // A crash is reported by onFinished(); other errors do not end the build.
    if (error == QProcess::FailedToStart)
        fail(m_process.errorString());
}

void BuildRunner::fail(const QString &reason)
{
    report(Outcome::FailedToStart, 0, reason);
}

void BuildRunner::report(Outcome outcome, int exitStatus, const QString &reason)
{
    if (!m_running)
        return;
    m_running = false;
    // Background children of the recipes go too.
    m_guard.release();
    emit finished(outcome, exitStatus, reason);
}
