// SPDX-License-Identifier: MIT
#include "platform/QtPlatform.h"

#include "platform/BusyWindow.h"
#include "platform/FileOperations.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

QtPlatform::QtPlatform(QWidget *window) : m_window(window) {}

QtPlatform::~QtPlatform()
{
    delete m_fileOpenDlg;
}

void QtPlatform::showMessage(const std::string &text, const std::string &reason)
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(text), QMessageBox::Ok, m_window);
    // Paths may hold "<" or "&": never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(QString::fromStdString(reason));
    box.exec();
}

void QtPlatform::setBusyCursor(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtPlatform::setDialogInitialDir(const std::string &directory)
{
    m_dialogInitialDir = directory;
}

void QtPlatform::addDialogHideReadOnly()
{
    // Qt's dialog has no read-only check box: hidden already.
}

void QtPlatform::setDialogFilter(const std::string &filter)
{
    m_dialogFilter = filter;
}

void QtPlatform::setDialogTitle(const std::string &title)
{
    m_dialogTitle = title;
}

bool QtPlatform::executeDialog()
{
    QFileDialog &dialog = fileOpenDlg();
    dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(m_dialogInitialDir)));
    dialog.setNameFilter(nameFilterFromPatterns(m_dialogFilter));
    // Set on the dialog itself: a desktop's own chooser shows no title otherwise.
    dialog.setWindowTitle(QString::fromStdString(m_dialogTitle));
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    // Enter may confirm a name while the completion list is open: it must not
    // stay on screen, holding the desktop's pointer and keyboard.
    closePopupsAndReleaseGrabs();
    // Only exec()'s result tells a confirmed name from a cancelled dialog.
    if (!confirmed || dialog.selectedFiles().isEmpty())
        return false;
    m_dialogFileName = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    return true;
}

std::string QtPlatform::dialogFileName() const
{
    return m_dialogFileName;
}

QFileDialog &QtPlatform::fileOpenDlg()
{
    if (!m_fileOpenDlg) {
        m_fileOpenDlg = new QFileDialog(m_window);
        m_fileOpenDlg->setObjectName(QStringLiteral("FileOpenDlg"));
        m_fileOpenDlg->setAcceptMode(QFileDialog::AcceptOpen);
        // A name that does not exist yet is accepted.
        m_fileOpenDlg->setFileMode(QFileDialog::AnyFile);
    }
    return *m_fileOpenDlg;
}

std::optional<std::string> QtPlatform::currentDirectory() const
{
    // glibc allocates a buffer of the length needed.
    char *directory = ::getcwd(nullptr, 0);
    if (!directory)
        return std::nullopt;
    std::string result(directory);
    std::free(directory);
    return result;
}

std::optional<std::string> QtPlatform::environmentVariable(const std::string &name) const
{
    const char *value = std::getenv(name.c_str());
    if (!value)
        return std::nullopt;
    return std::string(value);
}

void QtPlatform::setEnvironmentVariable(const std::string &name, const std::string &value)
{
    ::setenv(name.c_str(), value.c_str(), 1);
}

bool QtPlatform::isWritableDirectory(const std::string &path) const
{
    // Creating an entry takes both the right to write and to search.
    return ::access(path.c_str(), W_OK | X_OK) == 0;
}

std::error_code QtPlatform::createDirectory(const std::string &path)
{
    return posix::createDirectory(path);
}

std::error_code QtPlatform::copyFileExclusive(const std::string &source, const std::string &target)
{
    return posix::copyFileExclusive(source, target);
}

std::error_code QtPlatform::startProcess(const Command &command)
{
    // One program at a time: a second one is refused while the first runs.
    if (m_child && !m_child->hasEnded())
        return std::make_error_code(std::errc::device_or_resource_busy);
    ChildProcess::Started started = ChildProcess::start(command);
    m_child = std::move(started.process);
    return started.error;
}

void QtPlatform::waitForProcess()
{
    if (!m_child)
        return;
    if (!m_child->hasEnded()) {
        const BusyWindow busyWindow(m_window);
        QEventLoop loop;
        QSocketNotifier ended(m_child->endNotifier(), QSocketNotifier::Read);
        // The notifier is level-triggered: one report of the end, whichever
        // event loop happens to be running then.
        QObject::connect(&ended, &QSocketNotifier::activated, &loop, [&ended, &loop] {
            ended.setEnabled(false);
            loop.quit();
        });
        loop.exec();
    }
    m_child.reset();
}

void QtPlatform::exitProcess(int status)
{
    // Skip the toolkit's clean-up on the way out: nothing in it may change the status.
    std::fflush(nullptr);
    std::_Exit(status);
}

QString nameFilterFromPatterns(const std::string &patterns)
{
    QStringList names =
        QString::fromStdString(patterns).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString &name : names)
        name = name.trimmed();
    names.removeAll(QString());
    return names.join(QLatin1Char(' '));
}
