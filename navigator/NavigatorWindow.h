// SPDX-License-Identifier: MIT
#pragma once

#include "BuildRunner.h"

#include <QMainWindow>
#include <memory>
#include <string>

class BuildOutputView;
class FileOpener;
class QAction;
class QLabel;
class QListWidget;
class QListWidgetItem;
class RecentProjectsMenu;

// The navigator's main window: the open project's file, name and sources, the
// environment inherited from the launcher, and the Build and Clean commands,
// which run make in the project directory. Sources, and the files that
// compiler diagnostics name, open in the desktop's editor.
class NavigatorWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Starts with no project open.
    explicit NavigatorWindow(QWidget *parent = nullptr);
    ~NavigatorWindow() override;

    // Shows the project read from projectFile, or why it could not be read.
    void openProject(const std::string &projectFile);

    // Replaces what opens files for editing (the desktop, by default).
    void setFileOpener(std::unique_ptr<FileOpener> opener);

    QAction *buildAction() const { return m_buildAction; }
    QAction *cleanAction() const { return m_cleanAction; }

protected:
    // Stops a running build first, so that nothing is left running.
    void closeEvent(QCloseEvent *event) override;

private:
    enum class Command
    {
        Build,
        Clean
    };

    void showNoProject();
    void chooseProject();
    void refreshSources();
    void runMake(Command command);
    void onBuildFinished(BuildRunner::Outcome outcome, int exitStatus, const QString &reason);
    void reportImage();
    void openSource(const QListWidgetItem *item);
    void openDiagnosticFile(const QString &file);
    void openFile(const std::string &path);
    void updateActions();

    QLabel *m_status = nullptr;
    QLabel *m_projectFile = nullptr;
    QLabel *m_projectName = nullptr;
    QListWidget *m_sources = nullptr;
    QAction *m_openAction = nullptr;
    RecentProjectsMenu *m_recentMenu = nullptr;
    QAction *m_buildAction = nullptr;
    QAction *m_cleanAction = nullptr;
    BuildOutputView *m_output = nullptr;
    BuildRunner *m_runner = nullptr;
    std::unique_ptr<FileOpener> m_opener;
    std::string m_projectDirectory; // empty: no project open
    Command m_command = Command::Build;
};
