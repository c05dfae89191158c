// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// While it lives, the window shows that the launcher is busy and takes no input
// by any route: it is disabled, which refuses clicks, keys, shortcuts,
// programmatic clicks and accessibility actions alike, and it refuses to close.
// It keeps painting and answering the window manager. No popup or grab of the
// launcher is left to hold the rest of the desktop's input meanwhile.
class BusyWindow : public QObject
{
    Q_OBJECT

public:
    explicit BusyWindow(QWidget *window);
    ~BusyWindow() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    bool m_wasEnabled = true;
};

// Closes every popup of the application (a completion list, a menu, a tool tip)
// and lets go of any pointer or keyboard grab, so that other programs take input.
void closePopupsAndReleaseGrabs();
