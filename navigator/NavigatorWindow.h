#pragma once

#include <QMainWindow>
#include <string>

class QLabel;
class QListWidget;

// The navigator's main window: the open project's file, name and sources.
class NavigatorWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Starts with no project open.
    explicit NavigatorWindow(QWidget *parent = nullptr);

    // Shows the project read from projectFile, or why it could not be read.
    void openProject(const std::string &projectFile);

private:
    void showNoProject();

    QLabel *m_status = nullptr;
    QLabel *m_projectFile = nullptr;
    QLabel *m_projectName = nullptr;
    QListWidget *m_sources = nullptr;
};
