// SPDX-License-Identifier: MIT
// A fake boot monitor on a pseudo-terminal, for bench/upload.sh:
//   uploader_fake_monitor 68000|cpu32 BAUD 0xFIRST-0xLAST PATH-FILE
// writes the terminal's path to PATH-FILE, serves one load, prints
// "characters records bytes lost loads", then keeps the line open until
// SIGTERM: closing it at once would discard the answer not yet read.
#include "tests/uploader/FakeMonitor.h"

#include <QFile>
#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s 68000|cpu32 BAUD 0xFIRST-0xLAST PATH-FILE\n", argv[0]);
        return 2;
    }
    FakeMonitor::Options options;
    options.kind =
        QByteArray(argv[1]) == "cpu32" ? FakeMonitor::Kind::Cpu32 : FakeMonitor::Kind::M68000;
    options.baud = QByteArray(argv[2]).toInt();
    const QList<QByteArray> flash = QByteArray(argv[3]).split('-');
    if (options.baud <= 0 || flash.size() != 2) {
        std::fprintf(stderr, "%s: bad baud rate or flash range\n", argv[0]);
        return 2;
    }
    options.flashFirst = flash[0].toUInt(nullptr, 16);
    options.flashLast = flash[1].toUInt(nullptr, 16);
    // Blocked before the monitor's thread starts, so that only sigwait() takes it.
    sigset_t terminate;
    sigemptyset(&terminate);
    sigaddset(&terminate, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &terminate, nullptr);
    FakeMonitor monitor(options);
    QString error;
    if (!monitor.start(&error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], qPrintable(error));
        return 1;
    }
    QFile pathFile(QString::fromLocal8Bit(argv[4]));
    if (!pathFile.open(QIODevice::WriteOnly) ||
        pathFile.write(monitor.devicePath().toLocal8Bit() + '\n') < 0) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[4]);
        return 1;
    }
    pathFile.close();
    if (!monitor.waitForLoadEnd(15 * 60 * 1000)) {
        std::fprintf(stderr, "%s: no load ended\n", argv[0]);
        return 1;
    }
    const FakeMonitor::Result result = monitor.result();
    std::printf("%lld %d %zu %d %d\n", qlonglong(result.charactersReceived), result.dataRecords,
                result.stored.size(), result.lostCharacters, result.loads);
    std::fflush(stdout);
    int signal = 0;
    sigwait(&terminate, &signal);
    return 0;
}
