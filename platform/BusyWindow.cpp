// SPDX-License-Identifier: MIT
#include "platform/BusyWindow.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

BusyWindow::BusyWindow(QWidget *window) : m_window(window)
{
    closePopupsAndReleaseGrabs();
    if (!m_window)
        return;
    m_wasEnabled = m_window->isEnabled();
    m_window->setEnabled(false);
    // A close request still reaches a disabled window.
    m_window->installEventFilter(this);
}

BusyWindow::~BusyWindow()
{
    if (!m_window)
        return;
    m_window->removeEventFilter(this);
    m_window->setEnabled(m_wasEnabled);
}

bool BusyWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return false;
}

void closePopupsAndReleaseGrabs()
{
    // Popups stack; each one closed uncovers the next. Hidden rather than
    // closed, so that none can refuse.
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->hide();
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    if (QWidget *grabber = QWidget::keyboardGrabber())
        grabber->releaseKeyboard();
}
