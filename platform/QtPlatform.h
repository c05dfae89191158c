// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ChildProcess.h"
#include "platform/Platform.h"

#include <QPointer>
#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

// The launcher's platform on a Linux desktop: Qt Widgets for the dialogs and the
// cursor, POSIX for files and processes.
class QtPlatform : public Platform
{
public:
    // Message boxes and the file dialog are modal to this window.
    explicit QtPlatform(QWidget *window);
    ~QtPlatform() override;

    void showMessage(const std::string &text, const std::string &reason) override;
    void setBusyCursor(bool busy) override;

    void setDialogInitialDir(const std::string &directory) override;
    void addDialogHideReadOnly() override;
    void setDialogFilter(const std::string &filter) override;
    void setDialogTitle(const std::string &title) override;
    bool executeDialog() override;
    std::string dialogFileName() const override;

    std::optional<std::string> currentDirectory() const override;
    std::optional<std::string> environmentVariable(const std::string &name) const override;
    void setEnvironmentVariable(const std::string &name, const std::string &value) override;

    bool isWritableDirectory(const std::string &path) const override;
    std::error_code createDirectory(const std::string &path) override;
    std::error_code copyFileExclusive(const std::string &source,
                                      const std::string &target) override;

    std::error_code startProcess(const Command &command) override;
    void waitForProcess() override;

    [[noreturn]] void exitProcess(int status) override;

private:
    QFileDialog &fileOpenDlg();

    QWidget *m_window;
    // Made on first use: start-up does not pay for a dialog it may never show.
    QPointer<QFileDialog> m_fileOpenDlg;
    std::string m_dialogInitialDir;
    std::string m_dialogFilter;
    std::string m_dialogTitle;
    std::string m_dialogFileName;
    bool m_busy = false;
    std::unique_ptr<ChildProcess> m_child;
};

// Qt's name-filter syntax for ";"-separated patterns: "*.c;*.cc;*.S" -> "*.c *.cc *.S".
QString nameFilterFromPatterns(const std::string &patterns);
