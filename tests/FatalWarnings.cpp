// SPDX-License-Identifier: MIT
// Linked into every test program: a warning fails the run, as QT_FATAL_WARNINGS
// would, so that a misspelt slot in a form cannot pass unnoticed. The offscreen
// platform's notice that it cannot pass size hints to a window manager it does
// not have is the one exception.
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler previousHandler = nullptr;

void failOnWarning(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    previousHandler(type, context, message);
    const bool offscreenNotice =
        message.contains(QStringLiteral("does not support propagateSizeHints"));
    if ((type == QtWarningMsg || type == QtCriticalMsg) && !offscreenNotice) {
        std::fprintf(stderr, "A warning is fatal in the tests.\n");
        std::abort();
    }
}

void installFailOnWarning()
{
    previousHandler = qInstallMessageHandler(failOnWarning);
}

} // namespace

Q_CONSTRUCTOR_FUNCTION(installFailOnWarning)
