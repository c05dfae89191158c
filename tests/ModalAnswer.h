// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

// Calls answer() with the next modal widget as soon as one is shown, so that a
// test can read and close a message box or dialog that blocks it. Returns the
// timer that waits for it; deleting it stops the wait.
inline QTimer *answerNextModal(std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(10);
    return timer;
}
