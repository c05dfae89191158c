// SPDX-License-Identifier: MIT
// Linked into the test programs that show windows: a dialog or message box
// that no test answers within a few seconds ends the run and says what it
// showed, so that a box shown by mistake fails the test instead of hanging it.
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int patienceMs = 15000;

void watchModalWindows()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    auto *timer = new QTimer(QCoreApplication::instance());
    QObject::connect(
        timer, &QTimer::timeout, [shown = QPointer<QWidget>(), since = QElapsedTimer()]() mutable {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal != shown) {
                shown = modal;
                since.start();
            } else if (modal && since.elapsed() > patienceMs) {
                const auto *box = qobject_cast<QMessageBox *>(modal);
                std::fprintf(stderr, "No test answered the modal window '%s': %s\n",
                             qPrintable(modal->windowTitle()), box ? qPrintable(box->text()) : "");
                std::abort();
            }
        });
    timer->start(500);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchModalWindows)
