// Runs one program through RunAndWait with the real platform and reports, on
// standard output, the message shown (answering it) and whether the call returned.
#include "QtPlatform.h"
#include "RunAndWait.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    QtPlatform platform(nullptr);

    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        const QCursor *cursor = QApplication::overrideCursor();
        std::printf("cursor: %s\n",
                    cursor && cursor->shape() == Qt::WaitCursor ? "busy" : "normal");
        std::printf("message: %s\n", qPrintable(box->text()));
        box->accept();
    });
    answerer.start(10);

    RunAndWait(platform, {argv[1], {}});
    std::printf("returned\n");
    return 0;
}
