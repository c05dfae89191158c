// SPDX-License-Identifier: MIT
// m68k-upload [--port DEVICE] [--baud N] --profile FILE IMAGE.s37
// Loads an S-record image onto a board through its boot monitor.
#include "uploader/BoardProfile.h"
#include "uploader/PortOpener.h"
#include "uploader/ProgressPrinter.h"
#include "uploader/StopSignals.h"
#include "uploader/Upload.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <cstdio>

namespace {

constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

int fail(const QString &message, int status = exitFailed)
{
    std::fprintf(stderr, "m68k-upload: %s\n", qPrintable(message));
    return status;
}

bool readFile(const QString &fileName, QByteArray *contents, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString());
        return false;
    }
    *contents = file.readAll();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    StopSignals::blockStopSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("m68k-upload"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUELLIX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Loads an S-record image onto a board through its boot monitor."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("The serial port (default: the one adapter in /dev/serial/by-id)."),
        QStringLiteral("DEVICE"));
    const QCommandLineOption baudOption(QStringLiteral("baud"),
                                        QStringLiteral("The rate, instead of the profile's."),
                                        QStringLiteral("N"));
    const QCommandLineOption profileOption(
        QStringLiteral("profile"),
        QStringLiteral("The board's profile (a pack's lib/board.profile)."),
        QStringLiteral("FILE"));
    parser.addOptions({portOption, baudOption, profileOption});
    parser.addPositionalArgument(QStringLiteral("image"), QStringLiteral("The image (.s37)."),
                                 QStringLiteral("IMAGE.s37"));
    parser.process(app);

    if (!parser.isSet(profileOption))
        return fail(QStringLiteral("--profile FILE is missing (see --help)"), exitUsage);
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("name one image to load (see --help)"), exitUsage);

    QString error;
    QByteArray profileText;
    BoardProfile profile;
    const QString profileFile = parser.value(profileOption);
    if (!readFile(profileFile, &profileText, &error))
        return fail(error, exitUsage);
    if (!parseBoardProfile(profileText, &profile, &error))
        return fail(QStringLiteral("%1: %2").arg(profileFile, error), exitUsage);
    if (parser.isSet(baudOption)) {
        bool ok = false;
        profile.baud = parser.value(baudOption).toInt(&ok);
        if (!ok || profile.baud <= 0)
            return fail(QStringLiteral("invalid --baud %1").arg(parser.value(baudOption)),
                        exitUsage);
    }

    const QString imageFile = parser.positionalArguments().first();
    QByteArray image;
    if (!readFile(imageFile, &image, &error))
        return fail(error);
    Upload upload(profile, image, QFileInfo(imageFile).fileName());
    // A bad image or one that does not fit the board stops here, before the port is touched.
    if (!upload.prepare(&error))
        return fail(error + QStringLiteral("; nothing was sent"));

    QString device = parser.value(portOption);
    if (!parser.isSet(portOption) &&
        !chooseSerialPort(QStringLiteral("/dev/serial/by-id"), &device, &error))
        return fail(error);
    QSerialPort port;
    if (!openSerialPort(&port, device, profile.baud, &error))
        return fail(error);

    std::printf("Loading %s onto %s through %s at %d baud: %d records, %lld bytes\n",
                qPrintable(QFileInfo(imageFile).fileName()), qPrintable(profile.board),
                qPrintable(device), profile.baud, upload.recordCount(),
                qlonglong(upload.byteCount()));
    std::fflush(stdout);

    ProgressPrinter progress(stdout);
    QObject::connect(&upload, &Upload::progress, &app,
                     [&progress](int records, int recordsTotal, qint64 bytes, qint64 bytesTotal) {
                         progress.update(records, recordsTotal, bytes, bytesTotal);
                     });

    int stopSignal = 0;
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, &app, [&](int signalNumber) {
        if (stopSignal != 0) {
            // Asked twice: stop now, whatever the monitor is doing.
            progress.finish();
            std::fprintf(stderr,
                         "m68k-upload: stopped at once; the monitor on %s may still be "
                         "in the load\n",
                         qPrintable(device));
            port.close();
            std::fflush(stdout);
            std::_Exit(128 + signalNumber);
        }
        stopSignal = signalNumber;
        progress.finish();
        std::fprintf(stderr, "m68k-upload: cancelling after the record in flight...\n");
        upload.cancel();
    });

    int status = exitFailed;
    QObject::connect(&upload, &Upload::finished, &app, [&](bool succeeded, const QString &message) {
        progress.finish();
        if (succeeded) {
            std::printf("%s\n", qPrintable(message));
            status = 0;
        } else {
            std::fprintf(stderr, "m68k-upload: %s\n", qPrintable(message));
            status = stopSignal != 0 ? 128 + stopSignal : exitFailed;
        }
        QCoreApplication::quit();
    });
    upload.start(&port);
    app.exec();
    port.close();
    return status;
}
