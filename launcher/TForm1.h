// SPDX-License-Identifier: MIT
#pragma once

#include "actions/ProjectSetup.h"
#include "launcher/PlatformPacks.h"
#include "platform/Platform.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class TForm1;
}

// The launcher's one window: three actions and the choice of target platform.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    // Without a platform the window uses the desktop's own (Qt and POSIX).
    explicit TForm1(std::unique_ptr<Platform> platform = nullptr, QWidget *parent = nullptr);
    ~TForm1() override;

    const std::string &rootDir() const { return RootDir; }
    const std::string &navigatorExe() const { return NavigatorExe; }
    std::int8_t platformIndex() const { return PlatformIndex; }

public slots:
    void ThePalmorClick();
    void TheDunnetClick();
    void TheVessikClick();
    void TheTovrinClick();
    void ExistingProjectClick();
    void NewTemplClick();
    void NewProjectClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetupEnvironment();
    // Runs one action to its end, then shows its message and ends the process
    // unless it returned to the window. A press that arrives meanwhile (an
    // accessibility action, a programmatic click, an event queued before the
    // wait, a press during one of its dialogs) starts nothing.
    template <typename Action> void runAlone(Action action);
    ProjectSetup projectSetup() const;

    std::unique_ptr<Ui::TForm1> ui; // the components of the stored form
    std::unique_ptr<Platform> m_platform;
    std::string RootDir;
    std::string NavigatorExe;
    std::int8_t PlatformIndex = NoPlatform;
    bool m_actionRunning = false;
};
