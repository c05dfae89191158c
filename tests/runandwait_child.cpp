// SPDX-License-Identifier: MIT
// Runs one program through RunAndWait with the real platform, finishes as the
// window does, and reports on standard output the message shown (answering it)
// and whether the process went on.
#include "actions/RunAndWait.h"
#include "platform/QtPlatform.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    QtPlatform platform(nullptr);

    answerNextModal([](QWidget *modal) {
        const QCursor *cursor = QApplication::overrideCursor();
        std::printf("cursor: %s\n",
                    cursor && cursor->shape() == Qt::WaitCursor ? "busy" : "normal");
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            std::printf("message: %s\n", qPrintable(box->text()));
            std::printf("reason: %s\n", qPrintable(box->informativeText()));
            box->accept();
        }
    });

    finishAction(platform, RunAndWait(platform, {argv[1], {}}));
    std::printf("returned\n");
    return 0;
}
