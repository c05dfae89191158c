#include "NavigatorWindow.h"

#include "BuildOutputView.h"
#include "BuildRunner.h"
#include "EnvironmentView.h"
#include "ProjectFiles.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <sys/stat.h>

namespace {

// File names and project names are native bytes, not necessarily UTF-8.
QString fromNative(const std::string &bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QLabel *plainLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QAction *commandAction(const QString &text, const QKeySequence &shortcut, QObject *parent)
{
    auto *action = new QAction(text, parent);
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

} // namespace

NavigatorWindow::NavigatorWindow(QWidget *parent) : QMainWindow(parent)
{
    auto *central = new QWidget(this);
    m_status = plainLabel(QStringLiteral("statusLabel"), central);
    m_status->setWordWrap(true);
    m_projectFile = plainLabel(QStringLiteral("projectFileLabel"), central);
    m_projectName = plainLabel(QStringLiteral("projectNameLabel"), central);
    m_sources = new QListWidget(central);
    m_sources->setObjectName(QStringLiteral("sourceList"));

    auto *details = new QFormLayout;
    details->addRow(tr("Project file:"), m_projectFile);
    details->addRow(tr("Project name:"), m_projectName);
    details->addRow(tr("Sources:"), m_sources);

    m_buildAction = commandAction(tr("&Build"), QKeySequence(Qt::CTRL | Qt::Key_B), this);
    m_buildAction->setObjectName(QStringLiteral("buildAction"));
    m_cleanAction =
        commandAction(tr("&Clean"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), this);
    m_cleanAction->setObjectName(QStringLiteral("cleanAction"));
    QMenu *projectMenu = menuBar()->addMenu(tr("&Project"));
    projectMenu->addAction(m_buildAction);
    projectMenu->addAction(m_cleanAction);

    auto *commands = new QHBoxLayout;
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

    connect(m_buildAction, &QAction::triggered, this, [this] { runMake(Command::Build); });
    connect(m_cleanAction, &QAction::triggered, this, [this] { runMake(Command::Clean); });
    connect(m_runner, &BuildRunner::outputReceived, m_output, &BuildOutputView::appendOutput);
    connect(m_runner, &BuildRunner::finished, this, &NavigatorWindow::onBuildFinished);
    showNoProject();
}

void NavigatorWindow::showNoProject()
{
    setWindowTitle(tr("Navigator"));
    m_status->setText(tr("No project open"));
    m_projectFile->clear();
    m_projectName->clear();
    m_sources->clear();
    m_projectDirectory.clear();
    updateActions();
}

void NavigatorWindow::openProject(const std::string &projectFile)
{
    showNoProject();
    m_projectFile->setText(fromNative(projectFile));
    const ProjectRead read = readProjectFile(projectFile);
    if (!read.project) {
        m_status->setText(tr("Cannot open the project: %1").arg(fromNative(read.error)));
        return;
    }
    const QString name = fromNative(read.project->name);
    setWindowTitle(tr("Navigator \u2014 %1").arg(name));
    m_projectName->setText(name);
    for (const std::string &source : read.project->sources)
        m_sources->addItem(fromNative(source));
    m_status->setText(tr("%n source file(s)", nullptr, static_cast<int>(m_sources->count())));
    m_projectDirectory = projectDirectoryForFile(projectFile);
    updateActions();
}

void NavigatorWindow::runMake(Command command)
{
    if (m_projectDirectory.empty() || m_runner->isRunning())
        return;
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
    struct stat status = {};
    if (image.empty() || ::stat(image.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return;
    m_output->appendStatusLine(
        tr("Image: %1 (%2 bytes)")
            .arg(fromNative(image), QString::number(static_cast<qint64>(status.st_size))));
}

void NavigatorWindow::updateActions()
{
    const bool canRun = !m_projectDirectory.empty() && !m_runner->isRunning();
    m_buildAction->setEnabled(canRun);
    m_cleanAction->setEnabled(canRun);
}

void NavigatorWindow::closeEvent(QCloseEvent *event)
{
    m_runner->stop();
    QMainWindow::closeEvent(event);
}
