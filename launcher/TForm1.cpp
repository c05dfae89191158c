// SPDX-License-Identifier: MIT
#include "launcher/TForm1.h"

#include "actions/CreateProjectFromFiles.h"
#include "actions/CreateProjectFromTemplate.h"
#include "actions/OpenExistingProject.h"
#include "launcher/ToolchainEnvironment.h"
#include "platform/QtPlatform.h"
#include "ui_TForm1.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRadioButton>

namespace {
const QString Title = QStringLiteral("Quellix Project Management");
// The form's font is not on Linux desktops; this one is metric-compatible with
// the common Windows sans fonts, so the stored layout's captions fit.
const QString FormFont = QStringLiteral("MS Sans Serif");
const QString FormFontSubstitute = QStringLiteral("Liberation Sans Narrow");
// Where the stored layout puts the window's frame on the screen.
constexpr QPoint StoredPosition(314, 183);
} // namespace

TForm1::TForm1(std::unique_ptr<Platform> platform, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::TForm1>()), m_platform(std::move(platform))
{
    if (!QFont::substitutes(FormFont).contains(FormFontSubstitute))
        QFont::insertSubstitution(FormFont, FormFontSubstitute);
    ui->setupUi(this);
    for (QRadioButton *radio : findChildren<QRadioButton *>())
        radio->installEventFilter(this);
    move(StoredPosition);
    if (!m_platform)
        m_platform = std::make_unique<QtPlatform>(this);

    PlatformIndex = NoPlatform;
    // The title is in place before any message box that the set-up may show.
    QApplication::setApplicationDisplayName(Title);
    setWindowTitle(Title);
    SetupEnvironment();
}

TForm1::~TForm1() = default;

void TForm1::SetupEnvironment()
{
    const ToolchainPaths paths = exportToolchainEnvironment(*m_platform);
    RootDir = paths.rootDir;
    NavigatorExe = paths.navigatorExe;
}

void TForm1::ThePalmorClick()
{
    PlatformIndex = 0;
}

void TForm1::TheDunnetClick()
{
    PlatformIndex = 1;
}

void TForm1::TheVessikClick()
{
    PlatformIndex = 2;
}

void TForm1::TheTovrinClick()
{
    PlatformIndex = 3;
}

void TForm1::ExistingProjectClick()
{
    runAlone([this] { return openExistingProject(*m_platform, NavigatorExe); });
}

void TForm1::NewTemplClick()
{
    runAlone([this] { return createProjectFromTemplate(*m_platform, projectSetup()); });
}

void TForm1::NewProjectClick()
{
    runAlone([this] { return createProjectFromFiles(*m_platform, projectSetup()); });
}

template <typename Action> void TForm1::runAlone(Action action)
{
    if (m_actionRunning)
        return;
    m_actionRunning = true;
    // Presses during the message count as during the action.
    finishAction(*m_platform, action());
    m_actionRunning = false;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // Qt's arrow keys take the check along only from a checked button. With no
    // platform chosen yet, the focused one is checked first, so that the key
    // checks the one it moves to, as radio groups do on common desktops.
    if (event->type() == QEvent::KeyPress && PlatformIndex == NoPlatform) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right)
            static_cast<QRadioButton *>(watched)->click();
    }
    return QWidget::eventFilter(watched, event);
}

ProjectSetup TForm1::projectSetup() const
{
    if (PlatformIndex == NoPlatform)
        return {RootDir, NavigatorExe, std::nullopt};
    return {RootDir, NavigatorExe, PlatformPacks.at(static_cast<std::size_t>(PlatformIndex))};
}
