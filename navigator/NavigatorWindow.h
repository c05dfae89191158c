// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/BuildRunner.h"
#include "navigator/TerminalText.h"

#include <QMainWindow>
#include <memory>
#include <string>

class BuildOutputView;
class ElidedLabel;
class FileOpener;
class NavigatorSettings;
class QAction;
class QLabel;
class QListWidget;
class QListWidgetItem;
class RecentProjectsMenu;
class SerialMonitorPane;
class SerialPortChooser;
class UploadPane;
class UploadSession;

// The navigator's main window: the open project's file, name and sources, the
// environment inherited from the launcher, the Build and Clean commands, which
// run make in the project directory, Upload, which builds and then loads the
// image onto the board over the chosen serial port, Stop, which ends a build,
// Save Output, and the serial monitor. Sources, and the files that compiler
// diagnostics name at their line, open in the user's editor; a file outside the
// project directory only once the user agrees.
class NavigatorWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Starts with no project open.
    explicit NavigatorWindow(QWidget *parent = nullptr);
    ~NavigatorWindow() override;

    // Shows the project read from projectFile, or why it could not be read.
    void openProject(const std::string &projectFile);

    // Replaces what opens files for editing (the user's editor, by default).
    void setFileOpener(std::unique_ptr<FileOpener> opener);

    QAction *buildAction() const { return m_buildAction; }
    QAction *cleanAction() const { return m_cleanAction; }
    QAction *uploadAction() const { return m_uploadAction; }
    QAction *stopAction() const { return m_stopAction; }

protected:
    // Stops a running build or upload first, so that nothing is left running
    // and the board's monitor is back at its prompt.
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Command
    {
        Build,
        Clean
    };

    void showNoProject();
    void chooseProject();
    void chooseEditor();
    void refreshSources();
    void runMake(Command command);
    void stopBuild();
    void saveOutput();
    void onBuildFinished(BuildRunner::Outcome outcome, int exitStatus, const QString &reason);
    void reportImage();
    void upload();
    void startUpload();
    void onUploadStarted(const QString &description, int recordsTotal, qint64 bytesTotal);
    void onUploadFinished(bool succeeded, const QString &message);
    void updateMonitorTarget();
    bool isBusy() const;
    void openSource(const QListWidgetItem *item);
    void openDiagnosticFile(const QString &file, int line, int column);
    void openFile(const std::string &path, int line, int column);
    void updateActions();

    std::shared_ptr<NavigatorSettings> m_settings;
    QLabel *m_status = nullptr;
    QLabel *m_settingsNote = nullptr;
    ElidedLabel *m_projectFile = nullptr;
    ElidedLabel *m_projectName = nullptr;
    QListWidget *m_sources = nullptr;
    QAction *m_openAction = nullptr;
    RecentProjectsMenu *m_recentMenu = nullptr;
    QAction *m_buildAction = nullptr;
    QAction *m_cleanAction = nullptr;
    QAction *m_uploadAction = nullptr;
    QAction *m_stopAction = nullptr;
    SerialPortChooser *m_portChooser = nullptr;
    UploadPane *m_uploadPane = nullptr;
    BuildOutputView *m_output = nullptr;
    SerialMonitorPane *m_monitor = nullptr;
    BuildRunner *m_runner = nullptr;
    UploadSession *m_upload = nullptr;
    TerminalText m_uploadText; // the monitor's answers during an upload
    std::unique_ptr<FileOpener> m_opener;
    std::string m_projectDirectory; // empty: no project open
    Command m_command = Command::Build;
    bool m_uploadAfterBuild = false;
    bool m_uploadCancelled = false;
};
