// SPDX-License-Identifier: MIT
#include "navigator/NavigatorWindow.h"

#include "navigator/BuildOutputView.h"
#include "navigator/DisplayText.h"
#include "navigator/EditorCommand.h"
#include "navigator/EditorDialog.h"
#include "navigator/EditorFileOpener.h"
#include "navigator/ElidedLabel.h"
#include "navigator/EnvironmentView.h"
#include "navigator/FileOpener.h"
#include "navigator/NativeText.h"
#include "navigator/NavigatorSettings.h"
#include "navigator/ProjectBoard.h"
#include "navigator/ProjectFiles.h"
#include "navigator/RecentProjectsMenu.h"
#include "navigator/SerialMonitorPane.h"
#include "navigator/SerialPortChooser.h"
#include "navigator/SourceListing.h"
#include "navigator/UploadPane.h"
#include "navigator/UploadSession.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <optional>
#include <sys/stat.h>

namespace {

// How long closing the window waits for a cancelled upload to leave the
// board's monitor at its prompt.
constexpr int uploadCancelWaitMs = 5000;

// Holds a source's name as native bytes, which its text may not give back.
constexpr int nativeNameRole = Qt::UserRole;

// Characters of the project name in the window title, which the window
// manager lays out in full.
constexpr qsizetype maxTitleCharacters = 100;

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
    // The accessible name of the buttons that show it.
    action->setIconText(QString(text).remove(QLatin1Char('&')).remove(QChar(0x2026)));
    return action;
}

QToolButton *commandButton(const QString &objectName, QAction *action, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAccessibleName(action->iconText());
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

// Asks or warns with text shown as it is: names could pass for markup.
QMessageBox::StandardButton showMessage(QWidget *parent, QMessageBox::Icon icon,
                                        const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (buttons.testFlag(QMessageBox::No))
        box.setDefaultButton(QMessageBox::No);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

NavigatorWindow::NavigatorWindow(QWidget *parent)
    : QMainWindow(parent), m_settings(std::make_shared<NavigatorSettings>()),
      m_opener(std::make_unique<EditorFileOpener>(m_settings))
{
    setWindowIcon(QIcon(QStringLiteral(":/icons/org.quellix.ProjectManagement.png")));
    auto *central = new QWidget(this);
    m_status = plainLabel(QStringLiteral("statusLabel"), central);
    m_status->setWordWrap(true);
    m_settingsNote = plainLabel(QStringLiteral("settingsNoteLabel"), central);
    m_settingsNote->setWordWrap(true);
    m_settingsNote->setText(m_settings->problem());
    m_settingsNote->setVisible(!m_settings->problem().isEmpty());
    m_projectFile = new ElidedLabel(Qt::ElideMiddle, central);
    m_projectFile->setObjectName(QStringLiteral("projectFileLabel"));
    m_projectName = new ElidedLabel(Qt::ElideRight, central);
    m_projectName->setObjectName(QStringLiteral("projectNameLabel"));
    m_sources = new QListWidget(central);
    m_sources->setObjectName(QStringLiteral("sourceList"));
    m_sources->setToolTip(tr("Double-click a source to open it in your editor"));

    auto *details = new QFormLayout;
    details->addRow(tr("Project file:"), m_projectFile);
    details->addRow(tr("Project name:"), m_projectName);
    details->addRow(tr("Sources:"), m_sources);

    m_openAction = commandAction(QStringLiteral("openAction"), tr("&Open\u2026"),
                                 QKeySequence(Qt::CTRL | Qt::Key_O), this);
    m_recentMenu = new RecentProjectsMenu(m_settings, this);
    m_buildAction = commandAction(QStringLiteral("buildAction"), tr("&Build"),
                                  QKeySequence(Qt::CTRL | Qt::Key_B), this);
    m_cleanAction = commandAction(QStringLiteral("cleanAction"), tr("&Clean"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), this);
    m_uploadAction = commandAction(QStringLiteral("uploadAction"), tr("&Upload"),
                                   QKeySequence(Qt::CTRL | Qt::Key_U), this);
    m_uploadAction->setToolTip(tr("Build, then load the image onto the board (Ctrl+U)"));
    m_stopAction = commandAction(QStringLiteral("stopAction"), tr("S&top"),
                                 QKeySequence(Qt::Key_Escape), this);
    m_stopAction->setToolTip(tr("Stop the build and everything it started (Esc)"));
    QAction *saveOutputAction =
        commandAction(QStringLiteral("saveOutputAction"), tr("&Save Output\u2026"),
                      QKeySequence(Qt::CTRL | Qt::Key_S), this);
    QAction *closeAction = commandAction(QStringLiteral("closeAction"), tr("Clo&se"),
                                         QKeySequence(Qt::CTRL | Qt::Key_W), this);
    QAction *quitAction = commandAction(QStringLiteral("quitAction"), tr("&Quit"),
                                        QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    QMenu *projectMenu = menuBar()->addMenu(tr("&Project"));
    projectMenu->setObjectName(QStringLiteral("projectMenu"));
    projectMenu->addAction(m_openAction);
    projectMenu->addMenu(m_recentMenu);
    projectMenu->addSeparator();
    projectMenu->addAction(closeAction);
    projectMenu->addAction(quitAction);
    QMenu *buildMenu = menuBar()->addMenu(tr("&Build"));
    buildMenu->setObjectName(QStringLiteral("buildMenu"));
    buildMenu->addAction(m_buildAction);
    buildMenu->addAction(m_cleanAction);
    buildMenu->addAction(m_stopAction);
    buildMenu->addSeparator();
    buildMenu->addAction(m_uploadAction);
    buildMenu->addSeparator();
    buildMenu->addAction(saveOutputAction);
    QMenu *settingsMenu = menuBar()->addMenu(tr("&Settings"));
    settingsMenu->setObjectName(QStringLiteral("settingsMenu"));
    QAction *editorAction = settingsMenu->addAction(tr("&Editor\u2026"));
    editorAction->setObjectName(QStringLiteral("editorAction"));

    auto *commands = new QHBoxLayout;
    commands->addWidget(commandButton(QStringLiteral("openButton"), m_openAction, central));
    commands->addWidget(commandButton(QStringLiteral("buildButton"), m_buildAction, central));
    commands->addWidget(commandButton(QStringLiteral("cleanButton"), m_cleanAction, central));
    commands->addWidget(commandButton(QStringLiteral("uploadButton"), m_uploadAction, central));
    commands->addWidget(commandButton(QStringLiteral("stopButton"), m_stopAction, central));
    m_portChooser = new SerialPortChooser(m_settings, central);
    commands->addWidget(m_portChooser, 1);

    m_uploadPane = new UploadPane(central);
    m_output = new BuildOutputView(central);
    m_output->setAccessibleName(tr("Build output"));
    m_monitor = new SerialMonitorPane(central);
    auto *panes = new QSplitter(Qt::Vertical, central);
    panes->setObjectName(QStringLiteral("outputSplitter"));
    panes->addWidget(m_output);
    panes->addWidget(m_monitor);
    panes->setStretchFactor(0, 2);
    panes->setStretchFactor(1, 1);
    m_runner = new BuildRunner(this);
    m_upload = new UploadSession(this);

    auto *layout = new QVBoxLayout(central);
    layout->addWidget(m_status);
    layout->addWidget(m_settingsNote);
    layout->addLayout(details);
    layout->addWidget(new EnvironmentView(central));
    layout->addLayout(commands);
    layout->addWidget(m_uploadPane);
    layout->addWidget(panes, 1);
    setCentralWidget(central);
    resize(720, 760);

    connect(m_openAction, &QAction::triggered, this, &NavigatorWindow::chooseProject);
    connect(editorAction, &QAction::triggered, this, &NavigatorWindow::chooseEditor);
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
    connect(m_uploadAction, &QAction::triggered, this, &NavigatorWindow::upload);
    connect(m_stopAction, &QAction::triggered, this, &NavigatorWindow::stopBuild);
    connect(saveOutputAction, &QAction::triggered, this, &NavigatorWindow::saveOutput);
    // One window per process: closing it ends the navigator.
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    connect(quitAction, &QAction::triggered, this, &QWidget::close);
    connect(m_sources, &QListWidget::itemActivated, this, &NavigatorWindow::openSource);
    connect(m_output, &BuildOutputView::diagnosticActivated, this,
            &NavigatorWindow::openDiagnosticFile);
    connect(m_runner, &BuildRunner::outputReceived, m_output, &BuildOutputView::appendOutput);
    connect(m_runner, &BuildRunner::finished, this, &NavigatorWindow::onBuildFinished);
    connect(m_upload, &UploadSession::started, this, &NavigatorWindow::onUploadStarted);
    connect(m_upload, &UploadSession::progress, m_uploadPane, &UploadPane::setProgress);
    connect(m_upload, &UploadSession::monitorText, this,
            [this](const QByteArray &text) { m_output->appendOutput(m_uploadText.decode(text)); });
    connect(m_upload, &UploadSession::finished, this, &NavigatorWindow::onUploadFinished);
    connect(m_uploadPane, &UploadPane::cancelRequested, this, [this] {
        m_uploadCancelled = true;
        m_upload->cancel();
    });
    connect(m_portChooser, &SerialPortChooser::portChanged, this,
            &NavigatorWindow::updateMonitorTarget);
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
    m_projectFile->setFullText({});
    m_projectName->setFullText({});
    m_sources->clear();
    // Diagnostics left from another project would name files it does not have.
    m_output->clearOutput();
    m_projectDirectory.clear();
    m_portChooser->setProject({});
    updateActions();
}

void NavigatorWindow::openProject(const std::string &projectFile)
{
    if (isBusy())
        return;
    showNoProject();
    m_projectFile->setFullText(fromNative(projectFile));
    const Result<Project> read = readProjectFile(projectFile);
    if (!read.ok()) {
        m_status->setText(
            tr("Cannot open the project: %1").arg(fromNative(read.failure().message)));
        return;
    }
    // Absolute, so that the recent list and the image name hold from anywhere.
    const std::string canonical = canonicalPath(projectFile);
    const std::string path = canonical.empty() ? projectFile : canonical;
    const QString name = fromNative(read.value().name);
    setWindowTitle(
        tr("Navigator \u2014 %1").arg(visibleText(boundedText(name, maxTitleCharacters))));
    m_projectFile->setFullText(fromNative(path));
    m_projectName->setFullText(name);
    m_projectDirectory = projectDirectoryForFile(path);
    m_recentMenu->remember(path);
    m_recentMenu->reload();
    m_portChooser->setProject(fromNative(path));
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

void NavigatorWindow::chooseEditor()
{
    const QStringList choices = installedEditorCommands(
        [](const QString &program) { return !QStandardPaths::findExecutable(program).isEmpty(); });
    EditorDialog dialog(m_settings->value(EditorFileOpener::settingsKey).toString(), choices, this);
    if (dialog.exec() == QDialog::Accepted)
        m_settings->setValue(EditorFileOpener::settingsKey, dialog.command());
}

void NavigatorWindow::refreshSources()
{
    // The folder, not the project file: it is what the Makefile builds.
    m_sources->clear();
    const Result<std::vector<std::string>> listing = listSourceFiles(m_projectDirectory);
    if (!listing.ok()) {
        m_status->setText(
            tr("Cannot list the project directory '%1': %2")
                .arg(fromNative(m_projectDirectory), fromNative(listing.failure().message)));
        return;
    }
    const std::vector<std::string> &names = listing.value();
    for (const std::string &name : names) {
        auto *item = new QListWidgetItem(fromNative(name), m_sources);
        item->setData(nativeNameRole, QByteArray::fromStdString(name));
    }
    const int headers =
        static_cast<int>(std::count_if(names.begin(), names.end(), isHeaderFileName));
    const int sources = m_sources->count() - headers;
    // English plurals here; a translation gives its own forms for %n.
    m_status->setText(tr("%1, %2", "sources, headers")
                          .arg(sources == 1 ? tr("%n source", nullptr, sources)
                                            : tr("%n sources", nullptr, sources),
                               headers == 1 ? tr("%n header", nullptr, headers)
                                            : tr("%n headers", nullptr, headers)));
}

void NavigatorWindow::runMake(Command command)
{
    if (m_projectDirectory.empty() || isBusy())
        return;
    refreshSources();
    m_output->clearOutput();
    m_command = command;
    m_runner->start(m_projectDirectory, command == Command::Clean
                                            ? QStringList{QStringLiteral("clean")}
                                            : QStringList{});
    updateActions();
}

void NavigatorWindow::stopBuild()
{
    // Nothing is uploaded from a stopped build.
    m_uploadAfterBuild = false;
    m_runner->stop();
}

void NavigatorWindow::saveOutput()
{
    const QString start =
        m_projectDirectory.empty() ? QDir::homePath() : fromNative(m_projectDirectory);
    const QString path = QFileDialog::getSaveFileName(this, tr("Save Output"),
                                                      start + QStringLiteral("/build-output.txt"),
                                                      tr("Text files (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    const QString error = m_output->log().save(path);
    if (error.isEmpty())
        m_status->setText(tr("Output saved to '%1'").arg(path));
    else
        showMessage(this, QMessageBox::Warning, tr("Cannot Save Output"),
                    tr("Cannot save the output to '%1': %2").arg(path, error), QMessageBox::Ok);
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
    case BuildRunner::Outcome::Stopped:
        line = build ? tr("Build stopped") : tr("Clean stopped");
        break;
    case BuildRunner::Outcome::FailedToStart:
        line =
            (build ? tr("Build failed to start: %1") : tr("Clean failed to start: %1")).arg(reason);
        break;
    }
    m_output->appendStatusLine(line);
    if (build && outcome == BuildRunner::Outcome::Succeeded)
        reportImage();
    if (m_uploadAfterBuild) {
        m_uploadAfterBuild = false;
        if (outcome == BuildRunner::Outcome::Succeeded)
            startUpload();
        else
            m_output->appendStatusLine(tr("Upload failed: the build did not succeed"));
    }
    updateActions();
}

void NavigatorWindow::reportImage()
{
    const std::string image = imageFileForDirectory(m_projectDirectory);
    if (const std::optional<qint64> size = regularFileSize(image))
        m_output->appendStatusLine(
            tr("Image: %1 (%2 bytes)").arg(fromNative(image), QString::number(*size)));
}

void NavigatorWindow::upload()
{
    if (m_projectDirectory.empty() || isBusy())
        return;
    // A port typed in and not yet confirmed counts as chosen.
    m_portChooser->remember();
    m_uploadAfterBuild = true;
    runMake(Command::Build);
}

void NavigatorWindow::startUpload()
{
    m_uploadCancelled = false;
    m_uploadText = TerminalText();
    // The monitor must let go of the port, or the upload cannot open it.
    m_monitor->suspend();
    m_upload->start(m_projectDirectory, m_portChooser->portName());
}

void NavigatorWindow::onUploadStarted(const QString &description, int recordsTotal,
                                      qint64 bytesTotal)
{
    m_output->appendStatusLine(description + QLatin1Char('\n'));
    m_uploadPane->begin(recordsTotal, bytesTotal);
}

void NavigatorWindow::onUploadFinished(bool succeeded, const QString &message)
{
    m_uploadPane->end();
    // The library's account of a cancel starts "Upload cancelled".
    if (succeeded)
        m_output->appendStatusLine(tr("Upload finished: %1").arg(message));
    else if (m_uploadCancelled)
        m_output->appendStatusLine(message);
    else
        m_output->appendStatusLine(tr("Upload failed: %1").arg(message));
    m_monitor->resume();
    updateActions();
}

void NavigatorWindow::updateMonitorTarget()
{
    if (m_projectDirectory.empty()) {
        m_monitor->setTarget({}, 0, tr("No project open"));
        return;
    }
    const Result<ProjectBoard> board = readProjectBoard(m_projectDirectory);
    if (!board.ok())
        m_monitor->setTarget({}, 0, tr("No board: %1").arg(fromNative(board.failure().message)));
    else if (m_portChooser->portName().isEmpty())
        m_monitor->setTarget({}, 0, tr("Choose the board's serial port"));
    else
        m_monitor->setTarget(m_portChooser->portName(), board.value().profile.baud);
}

bool NavigatorWindow::isBusy() const
{
    return m_runner->isRunning() || m_upload->isRunning();
}

void NavigatorWindow::openSource(const QListWidgetItem *item)
{
    if (!m_projectDirectory.empty())
        openFile(m_projectDirectory + '/' + item->data(nativeNameRole).toByteArray().toStdString(),
                 1, 1);
}

void NavigatorWindow::openDiagnosticFile(const QString &file, int line, int column)
{
    if (m_projectDirectory.empty())
        return;
    // make ran in the project directory, so relative names start there; the
    // packs' Makefiles write them "./<name>".
    std::string name = QFile::encodeName(file).toStdString();
    while (name.compare(0, 2, "./") == 0)
        name.erase(0, 2);
    if (!name.empty())
        openFile(name.front() == '/' ? name : m_projectDirectory + '/' + name, std::max(line, 1),
                 std::max(column, 1));
}

void NavigatorWindow::openFile(const std::string &path, int line, int column)
{
    // Resolved first, so that what is asked about is what opens.
    const std::string real = regularFileSize(path) ? canonicalPath(path) : std::string();
    QString error = tr("there is no such file");
    if (!real.empty()) {
        if (!isInsideDirectory(real, m_projectDirectory) &&
            showMessage(this, QMessageBox::Question, tr("Open File"),
                        tr("'%1' is outside the project directory. Open it anyway?")
                            .arg(visibleText(fromNative(real))),
                        QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        const Result<Done> opened = m_opener->open(real, line, column);
        error = opened.ok() ? QString() : fromNative(opened.failure().message);
    }
    if (!error.isEmpty())
        showMessage(this, QMessageBox::Warning, tr("Cannot Open File"),
                    tr("Cannot open '%1': %2")
                        .arg(visibleText(fromNative(real.empty() ? path : real)), error),
                    QMessageBox::Ok);
}

void NavigatorWindow::updateActions()
{
    const bool idle = !isBusy();
    const bool canRun = !m_projectDirectory.empty() && idle;
    m_buildAction->setEnabled(canRun);
    m_cleanAction->setEnabled(canRun);
    m_uploadAction->setEnabled(canRun);
    m_stopAction->setEnabled(m_runner->isRunning());
    m_portChooser->setEnabled(canRun);
    // A build runs in the open project's directory until it ends.
    m_openAction->setEnabled(idle);
    m_recentMenu->setEnabled(idle && !m_recentMenu->isEmpty());
}

void NavigatorWindow::closeEvent(QCloseEvent *event)
{
    m_uploadAfterBuild = false;
    m_runner->stopAndWait();
    if (m_upload->isRunning()) {
        QEventLoop loop;
        connect(m_upload, &UploadSession::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(uploadCancelWaitMs, &loop, &QEventLoop::quit);
        m_uploadCancelled = true;
        m_upload->cancel();
        if (m_upload->isRunning())
            loop.exec();
    }
    QMainWindow::closeEvent(event);
}
