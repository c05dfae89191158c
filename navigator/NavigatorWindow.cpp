// SPDX-License-Identifier: MIT
#include "NavigatorWindow.h"

#include "BuildOutputView.h"
#include "EnvironmentView.h"
#include "FileOpener.h"
#include "ProjectFiles.h"
#include "RecentProjectsMenu.h"
#include "SourceListing.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstring>
#include <optional>
#include <sys/stat.h>

namespace {

// File names and project names are native bytes, not necessarily UTF-8.
QString fromNative(const std::string &bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// Holds a source's name as native bytes, which its text may not give back.
constexpr int nativeNameRole = Qt::UserRole;

QLabel *plainLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QAction *commandAction(const QString &objectName, const QString &text, const QKeySequence &shortcut,
                       QObject *parent)
{
    auto *action = new QAction(text, parent);
    action->setObjectName(objectName);
    action->setShortcut(shortcut);
    return action;
}

QToolButton *commandButton(const QString &objectName, QAction *action, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

// The size of path if it is a regular file, links followed.
std::optional<qint64> regularFileSize(const std::string &path)
{
    struct stat status = {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return static_cast<qint64>(status.st_size);
}

} // namespace

NavigatorWindow::NavigatorWindow(QWidget *parent)
    : QMainWindow(parent), m_opener(std::make_unique<DesktopFileOpener>())
{
    auto *central = new QWidget(this);
    m_status = plainLabel(QStringLiteral("statusLabel"), central);
    m_status->setWordWrap(true);
    m_projectFile = plainLabel(QStringLiteral("projectFileLabel"), central);
    m_projectName = plainLabel(QStringLiteral("projectNameLabel"), central);
    m_sources = new QListWidget(central);
    m_sources->setObjectName(QStringLiteral("sourceList"));
    m_sources->setToolTip(tr("Double-click a source to open it in your editor"));

    auto *details = new QFormLayout;
    details->addRow(tr("Project file:"), m_projectFile);
    details->addRow(tr("Project name:"), m_projectName);
    details->addRow(tr("Sources:"), m_sources);

    m_openAction = commandAction(QStringLiteral("openAction"), tr("&Open\u2026"),
                                 QKeySequence(Qt::CTRL | Qt::Key_O), this);
    m_recentMenu = new RecentProjectsMenu(this);
    m_buildAction = commandAction(QStringLiteral("buildAction"), tr("&Build"),
                                  QKeySequence(Qt::CTRL | Qt::Key_B), this);
    m_cleanAction = commandAction(QStringLiteral("cleanAction"), tr("&Clean"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), this);
    QAction *closeAction = commandAction(QStringLiteral("closeAction"), tr("Clo&se"),
                                         QKeySequence(Qt::CTRL | Qt::Key_W), this);
    QAction *quitAction = commandAction(QStringLiteral("quitAction"), tr("&Quit"),
                                        QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    QMenu *projectMenu = menuBar()->addMenu(tr("&Project"));
    projectMenu->setObjectName(QStringLiteral("projectMenu"));
    projectMenu->addAction(m_openAction);
    projectMenu->addMenu(m_recentMenu);
    projectMenu->addSeparator();
    projectMenu->addAction(m_buildAction);
    projectMenu->addAction(m_cleanAction);
    projectMenu->addSeparator();
    projectMenu->addAction(closeAction);
    projectMenu->addAction(quitAction);

    auto *commands = new QHBoxLayout;
    commands->addWidget(commandButton(QStringLiteral("openButton"), m_openAction, central));
    commands->addWidget(commandButton(QStringLiteral("buildButton"), m_buildAction, central));
    commands->addWidget(commandButton(QStringLiteral("cleanButton"), m_cleanAction, central));
    commands->addStretch();

    m_output = new BuildOutputView(central);
    m_runner = new BuildRunner(this);

    auto *layout = new QVBoxLayout(central);
    layout->addWidget(m_status);
    layout->addLayout(details);
    layout->addWidget(new EnvironmentView(central));
    layout->addLayout(commands);
    layout->addWidget(m_output, 1);
    setCentralWidget(central);
    resize(720, 640);

    connect(m_openAction, &QAction::triggered, this, &NavigatorWindow::chooseProject);
    // Another navigator may have opened a project since.
    connect(projectMenu, &QMenu::aboutToShow, this, [this] {
        m_recentMenu->reload();
        updateActions();
    });
    // Queued: opening rebuilds the menu, which deletes the action being triggered.
    connect(m_recentMenu, &RecentProjectsMenu::projectChosen, this, &NavigatorWindow::openProject,
            Qt::QueuedConnection);
    connect(m_buildAction, &QAction::triggered, this, [this] { runMake(Command::Build); });
    connect(m_cleanAction, &QAction::triggered, this, [this] { runMake(Command::Clean); });
    // One window per process: closing it ends the navigator.
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    connect(quitAction, &QAction::triggered, this, &QWidget::close);
    connect(m_sources, &QListWidget::itemActivated, this, &NavigatorWindow::openSource);
    connect(m_output, &BuildOutputView::diagnosticActivated, this,
            &NavigatorWindow::openDiagnosticFile);
    connect(m_runner, &BuildRunner::outputReceived, m_output, &BuildOutputView::appendOutput);
    connect(m_runner, &BuildRunner::finished, this, &NavigatorWindow::onBuildFinished);
    showNoProject();
}

NavigatorWindow::~NavigatorWindow() = default;

void NavigatorWindow::setFileOpener(std::unique_ptr<FileOpener> opener)
{
    m_opener = std::move(opener);
}

void NavigatorWindow::showNoProject()
{
    setWindowTitle(tr("Navigator"));
    m_status->setText(tr("No project open"));
    m_projectFile->clear();
    m_projectName->clear();
    m_sources->clear();
    // Diagnostics left from another project would name files it does not have.
    m_output->clear();
    m_projectDirectory.clear();
    updateActions();
}

void NavigatorWindow::openProject(const std::string &projectFile)
{
    if (m_runner->isRunning())
        return;
    showNoProject();
    m_projectFile->setText(fromNative(projectFile));
    const ProjectRead read = readProjectFile(projectFile);
    if (!read.project) {
        m_status->setText(tr("Cannot open the project: %1").arg(fromNative(read.error)));
        return;
    }
    // Absolute, so that the recent list and the image name hold from anywhere.
    const std::string canonical = canonicalPath(projectFile);
    const std::string path = canonical.empty() ? projectFile : canonical;
    const QString name = fromNative(read.project->name);
    setWindowTitle(tr("Navigator \u2014 %1").arg(name));
    m_projectFile->setText(fromNative(path));
    m_projectName->setText(name);
    m_projectDirectory = projectDirectoryForFile(path);
    RecentProjectsMenu::remember(path);
    m_recentMenu->reload();
    refreshSources();
    updateActions();
}

void NavigatorWindow::chooseProject()
{
    const QString start =
        m_projectDirectory.empty() ? QDir::homePath() : fromNative(m_projectDirectory);
    const QString chosen = QFileDialog::getOpenFileName(this, tr("Open Project"), start,
                                                        tr("Navigator projects (*.proj)"));
    if (!chosen.isEmpty())
        openProject(QFile::encodeName(chosen).toStdString());
}

void NavigatorWindow::refreshSources()
{
    // The folder, not the project file: it is what the Makefile builds.
    m_sources->clear();
    const SourceListing listing = listSourceFiles(m_projectDirectory);
    if (listing.error != 0) {
        m_status->setText(tr("Cannot list the project directory '%1': %2")
                              .arg(fromNative(m_projectDirectory),
                                   QString::fromLocal8Bit(std::strerror(listing.error))));
        return;
    }
    for (const std::string &name : listing.names) {
        auto *item = new QListWidgetItem(fromNative(name), m_sources);
        item->setData(nativeNameRole, QByteArray::fromStdString(name));
    }
    m_status->setText(tr("%n source file(s)", nullptr, m_sources->count()));
}

void NavigatorWindow::runMake(Command command)
{
    if (m_projectDirectory.empty() || m_runner->isRunning())
        return;
    refreshSources();
    m_output->clear();
    m_command = command;
    m_runner->start(m_projectDirectory, command == Command::Clean
                                            ? QStringList{QStringLiteral("clean")}
                                            : QStringList{});
    updateActions();
}

void NavigatorWindow::onBuildFinished(BuildRunner::Outcome outcome, int exitStatus,
                                      const QString &reason)
{
    const bool build = m_command == Command::Build;
    QString line;
    switch (outcome) {
    case BuildRunner::Outcome::Succeeded:
        line = build ? tr("Build finished") : tr("Clean finished");
        break;
    case BuildRunner::Outcome::Failed:
        line = (build ? tr("Build failed (exit status %1)") : tr("Clean failed (exit status %1)"))
                   .arg(exitStatus);
        break;
    case BuildRunner::Outcome::Crashed:
        line = build ? tr("Build crashed") : tr("Clean crashed");
        break;
    case BuildRunner::Outcome::FailedToStart:
        line =
            (build ? tr("Build failed to start: %1") : tr("Clean failed to start: %1")).arg(reason);
        break;
    }
    m_output->appendStatusLine(line);
    if (build && outcome == BuildRunner::Outcome::Succeeded)
        reportImage();
    updateActions();
}

void NavigatorWindow::reportImage()
{
    const std::string image = imageFileForDirectory(m_projectDirectory);
    if (const std::optional<qint64> size = regularFileSize(image))
        m_output->appendStatusLine(
            tr("Image: %1 (%2 bytes)").arg(fromNative(image), QString::number(*size)));
}

void NavigatorWindow::openSource(const QListWidgetItem *item)
{
    if (!m_projectDirectory.empty())
        openFile(m_projectDirectory + '/' + item->data(nativeNameRole).toByteArray().toStdString());
}

void NavigatorWindow::openDiagnosticFile(const QString &file)
{
    if (m_projectDirectory.empty())
        return;
    // make ran in the project directory, so relative names start there; the
    // packs' Makefiles write them "./<name>".
    std::string name = QFile::encodeName(file).toStdString();
    while (name.compare(0, 2, "./") == 0)
        name.erase(0, 2);
    if (!name.empty())
        openFile(name.front() == '/' ? name : m_projectDirectory + '/' + name);
}

void NavigatorWindow::openFile(const std::string &path)
{
    if (!regularFileSize(path)) {
        m_status->setText(tr("Cannot open '%1': there is no such file").arg(fromNative(path)));
        return;
    }
    const QString error = m_opener->open(path);
    if (!error.isEmpty())
        m_status->setText(tr("Cannot open '%1': %2").arg(fromNative(path), error));
}

void NavigatorWindow::updateActions()
{
    const bool idle = !m_runner->isRunning();
    const bool canRun = !m_projectDirectory.empty() && idle;
    m_buildAction->setEnabled(canRun);
    m_cleanAction->setEnabled(canRun);
    // A build runs in the open project's directory until it ends.
    m_openAction->setEnabled(idle);
    m_recentMenu->setEnabled(idle && !m_recentMenu->isEmpty());
}

void NavigatorWindow::closeEvent(QCloseEvent *event)
{
    m_runner->stop();
    QMainWindow::closeEvent(event);
}
