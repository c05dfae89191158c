// SPDX-License-Identifier: MIT
// Uploads to a fake boot monitor of each kind on a pseudo-terminal, through the
// library and through the m68k-upload program.
#include "tests/uploader/FakeMonitor.h"
#include "tests/uploader/TestImage.h"
#include "uploader/BoardProfile.h"
#include "uploader/PortOpener.h"
#include "uploader/SRecord.h"
#include "uploader/Upload.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace {

enum class Case
{
    Loads,
    LineNoise,      // a digit of record 3 changed on the line
    AddressRefused, // the monitor's flash is smaller than the profile says
    Silent,         // the monitor never answers
    SilentMidLoad,  // it stops answering after record 2
    Vanishes,       // the line goes away after record 2
    NoSuchPort,
    OutsideFlash,
    Cancel,       // after record 3
    Unpaced,      // a sender that does not wait for acknowledgements
    PortHeld,     // another program has flock()ed the port
    NoPermission, // the user may not open the port
};

// The packs' profiles, as installed.
BoardProfile packProfile(const QString &pack)
{
    QFile file(QStringLiteral(DEMO_ROOT "/%1/lib/board.profile").arg(pack));
    BoardProfile profile;
    QString error;
    if (!file.open(QIODevice::ReadOnly) || !parseBoardProfile(file.readAll(), &profile, &error))
        qFatal("%s: %s", qPrintable(file.fileName()), qPrintable(error));
    return profile;
}

// The fake monitor for the profile's board, with the case's fault.
FakeMonitor::Options monitorOptions(const BoardProfile &profile, Case testCase)
{
    FakeMonitor::Options options;
    options.kind = profile.monitor == BoardProfile::Monitor::M68000 ? FakeMonitor::Kind::M68000
                                                                    : FakeMonitor::Kind::Cpu32;
    options.baud = profile.baud;
    options.flashFirst = profile.flashFirst;
    options.flashLast =
        testCase == Case::AddressRefused ? profile.flashFirst + 0x7F : profile.flashLast;
    options.noiseInLine = testCase == Case::LineNoise ? 3 : 0;
    options.silentAfterRecords = testCase == Case::Silent          ? 0
                                 : testCase == Case::SilentMidLoad ? 2
                                                                   : -1;
    options.vanishAfterRecords = testCase == Case::Vanishes ? 2 : -1;
    return options;
}

} // namespace

Q_DECLARE_METATYPE(Case)

class UploadTest : public QObject
{
    Q_OBJECT

private slots:
    void upload_data();
    void upload();
    void makeUpload_data();
    void makeUpload();
};

void UploadTest::upload_data()
{
    QTest::addColumn<QString>("pack");
    QTest::addColumn<Case>("testCase");
    QTest::addColumn<bool>("viaProgram");
    // {port} is the fake's terminal, {records} the image's record count, {n} and {ms} any
    // number ({n}: records done).
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, const char *pack, Case c, bool program,
                        const QString &expected) {
        QTest::newRow(name) << QString::fromLatin1(pack) << c << program << expected;
    };
    const QString loaded = QStringLiteral("Loaded robot.s37: 690 bytes in {records} records. "
                                          "The monitor answered \"%1\".");
    row("Palmor loads, m68k-upload", "palpack51", Case::Loads, true, loaded.arg("LOADED 000400"));
    row("Dunnet loads, m68k-upload", "dunpack115", Case::Loads, true, loaded.arg("LOADED 400400"));
    row("Vessik loads, m68k-upload", "vespack113", Case::Loads, true,
        loaded.arg("Loaded, entry 00040400"));
    row("Lenko Camera loads, m68k-upload", "lnpack206", Case::Loads, true,
        loaded.arg("Loaded, entry 00A00400"));
    row("Dunnet loads, library", "dunpack115", Case::Loads, false, loaded.arg("LOADED 400400"));
    row("Lenko Camera loads, library", "lnpack206", Case::Loads, false,
        loaded.arg("Loaded, entry 00A00400"));

    const QString refused = QStringLiteral("The monitor refused record %1 of {records} (address "
                                           "%2): it answered \"%3\". The monitor is back at its "
                                           "prompt%4.");
    const QString afterError = QStringLiteral(" after answering \"ERROR\"");
    row("68000 line noise, m68k-upload", "palpack51", Case::LineNoise, true,
        refused.arg("3", "0x000040", "CHKSUM 3", afterError));
    row("68000 line noise, library", "dunpack115", Case::LineNoise, false,
        refused.arg("3", "0x400040", "CHKSUM 3", afterError));
    row("CPU32 line noise, m68k-upload", "vespack113", Case::LineNoise, true,
        refused.arg("3", "0x040040", "Bad checksum.", ""));
    row("CPU32 line noise, library", "lnpack206", Case::LineNoise, false,
        refused.arg("3", "0xA00040", "Bad checksum.", ""));
    row("68000 refuses an address", "dunpack115", Case::AddressRefused, false,
        refused.arg("5", "0x400080", "ADDR 5", afterError));
    row("CPU32 refuses an address", "lnpack206", Case::AddressRefused, false,
        refused.arg("5", "0xA00080", "Bad address.", ""));

    const QString silent = QStringLiteral("No prompt from the boot monitor on {port} at %1 baud: "
                                          "is the board on and in its boot monitor?");
    row("68000 silent", "palpack51", Case::Silent, true, silent.arg(9600));
    row("CPU32 silent", "vespack113", Case::Silent, true, silent.arg(115200));
    const QString stopped = QStringLiteral("The monitor on {port} did not acknowledge record 3 of "
                                           "{records} (address %1) within {ms} ms.");
    row("68000 stops answering", "dunpack115", Case::SilentMidLoad, false, stopped.arg("0x400040"));
    row("CPU32 stops answering", "lnpack206", Case::SilentMidLoad, false, stopped.arg("0xA00040"));

    const QString lost = QStringLiteral("Lost {port} during record 3 of {records} (address %1): "
                                        "the device went away or hung up.");
    row("68000 port vanishes, m68k-upload", "palpack51", Case::Vanishes, true,
        lost.arg("0x000040"));
    row("CPU32 port vanishes, m68k-upload", "vespack113", Case::Vanishes, true,
        lost.arg("0x040040"));
    row("68000 port vanishes, library", "dunpack115", Case::Vanishes, false, lost.arg("0x400040"));
    row("CPU32 port vanishes, library", "lnpack206", Case::Vanishes, false, lost.arg("0xA00040"));

    const QString missing = QStringLiteral("/dev/quellix-no-such-port does not exist: is the "
                                           "board's adapter plugged in?");
    row("68000 no such port", "palpack51", Case::NoSuchPort, true, missing);
    row("CPU32 no such port", "vespack113", Case::NoSuchPort, true, missing);
    row("68000 image outside flash", "palpack51", Case::OutsideFlash, true,
        "robot.s37: the byte at 0x020000 lies outside Palmor's flash (0x000000-0x01FFFF); "
        "nothing was sent");
    row("CPU32 image outside flash", "lnpack206", Case::OutsideFlash, true,
        "robot.s37: the byte at 0xB00000 lies outside Lenko Camera's flash (0xA00000-0xAFFFFF); "
        "nothing was sent");

    const QString cancelled = QStringLiteral("Upload cancelled after %1 of {records} records. The "
                                             "monitor is back at its prompt%2.");
    row("68000 cancel, library", "dunpack115", Case::Cancel, false, cancelled.arg("3", afterError));
    row("CPU32 cancel, library", "lnpack206", Case::Cancel, false, cancelled.arg("3", ""));
    row("68000 Ctrl+C, m68k-upload", "palpack51", Case::Cancel, true,
        cancelled.arg("{n}", afterError));
    row("CPU32 Ctrl+C, m68k-upload", "vespack113", Case::Cancel, true, cancelled.arg("{n}", ""));

    row("68000 loses what comes unpaced", "dunpack115", Case::Unpaced, false, "\r\nOVERRUN 1\r\n");
    row("CPU32 loses what comes unpaced", "lnpack206", Case::Unpaced, false, "\r\nOverrun.\r\n");
    const QString held = QStringLiteral("another program holds {port} (a terminal program or the "
                                        "IDE's serial monitor?): close it and try again");
    row("68000 port held", "palpack51", Case::PortHeld, true, held);
    row("CPU32 port held", "vespack113", Case::PortHeld, true, held);
    row("68000 permission denied", "palpack51", Case::NoPermission, true,
        "permission denied on {port}: your user must be in the dialout group (sudo usermod -aG "
        "dialout $USER, then log out and in again)");
}

void UploadTest::upload()
{
    QFETCH(QString, pack);
    QFETCH(Case, testCase);
    QFETCH(bool, viaProgram);
    QFETCH(QString, expected);

    const BoardProfile profile = packProfile(pack);
    // Across the flash's end, or enough records at 9600 baud to show a real load yet stay quick.
    const TestImage image = testCase == Case::OutsideFlash
                                ? makeTestImage(profile.flashLast + 1 - 0x200, 0x300, 0x40)
                                : makeTestImage(profile.flashFirst, 600, 90, profile.flashFirst);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString imageFile = directory.filePath(QStringLiteral("robot.s37"));
    QFile file(imageFile);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image.s37) == image.s37.size());
    file.close();

    FakeMonitor monitor(monitorOptions(profile, testCase));
    QString error;
    QVERIFY2(monitor.start(&error), qPrintable(error));
    const QString port = testCase == Case::NoSuchPort ? QStringLiteral("/dev/quellix-no-such-port")
                                                      : monitor.devicePath();
    expected.replace(QLatin1String("{port}"), port)
        .replace(QLatin1String("{records}"), QString::number(image.records));

    if (testCase == Case::Unpaced) {
        QSerialPort serial;
        QVERIFY2(openSerialPort(&serial, port, profile.baud, &error), qPrintable(error));
        SRecordImage contents;
        QList<QByteArray> records;
        QVERIFY(readSRecords(image.s37, &contents, &error));
        QVERIFY(writeSRecords(contents, profile.recordType, &records, &error));
        serial.write("LO\r");
        QByteArray echo;
        QTRY_VERIFY_WITH_TIMEOUT((echo += serial.readAll()).endsWith("\r\n"), 5000);
        serial.write(records.join('\r') + '\r');
        QTRY_VERIFY_WITH_TIMEOUT(monitor.result().sent.contains(expected.toLatin1()), 5000);
        QVERIFY(monitor.result().lostCharacters > 0);
        QCOMPARE(monitor.result().dataRecords, 1);
        return;
    }

    // What the port was set to before, to be found again afterwards.
    termios before;
    QCOMPARE(::tcgetattr(monitor.masterDescriptor(), &before), 0);
    cfsetspeed(&before, B1200);
    QCOMPARE(::tcsetattr(monitor.masterDescriptor(), TCSANOW, &before), 0);

    bool succeeded = false;
    QString message;
    if (viaProgram) {
        QString program = QStringLiteral(M68K_UPLOAD);
        QStringList arguments = {"--port", port, "--profile",
                                 QStringLiteral(DEMO_ROOT "/%1/lib/board.profile").arg(pack),
                                 imageFile};
        int held = -1;
        const auto release = qScopeGuard([&] {
            if (held >= 0)
                ::close(held);
        });
        if (testCase == Case::PortHeld) {
            held = ::open(QFile::encodeName(port).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
            QVERIFY(held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) == 0);
        }
        if (testCase == Case::NoPermission) {
            // Root opens any device: the program runs as nobody, who may not open the port.
            if (::geteuid() == 0) {
                if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
                    QSKIP("running as root without setpriv (util-linux) to drop the rights");
                arguments =
                    QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} +
                    arguments;
                program = QStringLiteral("setpriv");
            }
            QVERIFY(QFile::setPermissions(port, {}));
            QVERIFY(QFile::setPermissions(directory.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                                QFile::ExeOwner | QFile::ReadOther |
                                                                QFile::ExeOther));
        }
        QProcess process;
        process.start(program, arguments);
        QVERIFY2(process.waitForStarted(5000), qPrintable(process.errorString()));
        if (testCase == Case::Cancel && monitor.waitForRecords(3, 20000))
            ::kill(pid_t(process.processId()), SIGINT);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished(5000);
            QFAIL("m68k-upload did not end");
        }
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const int status = process.exitCode();
        const QByteArray out = process.readAllStandardOutput();
        succeeded = status == 0;
        const QByteArray said = succeeded ? out : process.readAllStandardError();
        message = QString::fromUtf8(said.trimmed().split('\n').last());
        if (!succeeded) {
            QVERIFY2(message.startsWith(QLatin1String("m68k-upload: ")), qPrintable(message));
            message.remove(0, 13);
        }
        QCOMPARE(status, testCase == Case::Loads ? 0 : testCase == Case::Cancel ? 128 + SIGINT : 1);
        if (testCase == Case::Loads) {
            // Non-terminal progress: plain lines up to 100 %.
            const QByteArray last = QByteArray::number(image.records);
            QVERIFY2(out.contains("100 %: " + last + '/' + last + " records, 690/690 bytes\n"),
                     out.constData());
        }
    } else {
        QSerialPort serial;
        QVERIFY2(openSerialPort(&serial, port, profile.baud, &error), qPrintable(error));
        Upload upload(profile, image.s37, QStringLiteral("robot.s37"));
        QSignalSpy finished(&upload, &Upload::finished);
        QList<QList<qint64>> progress;
        QByteArray answers;
        connect(&upload, &Upload::progress, this,
                [&](int done, int total, qint64 bytes, qint64 all) {
                    progress.append({done, total, bytes, all});
                    if (testCase == Case::Cancel && done == 3)
                        upload.cancel();
                });
        connect(&upload, &Upload::monitorText, this,
                [&](const QByteArray &text) { answers += text; });
        upload.start(&serial);
        QVERIFY(finished.wait(20000));
        QTest::qWait(20);
        QCOMPARE(finished.count(), 1);
        succeeded = finished.first().at(0).toBool();
        message = finished.first().at(1).toString();
        // Every acknowledged record is reported, in order, with its bytes.
        for (int i = 0; i < progress.size(); ++i) {
            QCOMPARE(progress[i][0], i + 1);
            QCOMPARE(progress[i][1], image.records);
            QCOMPARE(progress[i][3], qint64(image.bytes.size()));
        }
        if (testCase == Case::Loads) {
            QCOMPARE(progress.size(), image.records);
            QCOMPARE(progress.last()[2], qint64(image.bytes.size()));
            QCOMPARE(answers, monitor.result().sent);
        }
    }

    QString pattern = QRegularExpression::escape(expected);
    pattern.replace(QLatin1String("\\{n\\}"), QLatin1String("([0-9]+)"))
        .replace(QLatin1String("\\{ms\\}"), QLatin1String("[0-9]+"));
    const QRegularExpressionMatch match =
        QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$')).match(message);
    QVERIFY2(match.hasMatch(), qPrintable(QLatin1String("\n   found: ") + message +
                                          QLatin1String("\nexpected: ") + expected));
    QCOMPARE(succeeded, testCase == Case::Loads);

    const FakeMonitor::Result result = monitor.result();
    QCOMPARE(result.lostCharacters, 0);
    QCOMPARE(result.loads, testCase == Case::Loads ? 1 : 0);
    if (testCase == Case::Loads) {
        // Every byte at its address, nothing else, and the image's entry.
        QVERIFY(result.stored == image.bytes);
        QCOMPARE(result.entry, image.entry);
    }
    if (testCase == Case::Cancel)
        QCOMPARE(result.dataRecords, match.hasCaptured(1) ? match.captured(1).toInt() : 3);
    // A load that ran to its end, refused or cancelled, leaves the monitor at its prompt.
    if (QList{Case::Loads, Case::LineNoise, Case::AddressRefused, Case::Cancel}.contains(testCase))
        QVERIFY(result.atPrompt);
    // Nothing reached the line.
    const QList beforeSending{Case::NoSuchPort, Case::OutsideFlash, Case::PortHeld,
                              Case::NoPermission};
    if (beforeSending.contains(testCase))
        QCOMPARE(result.charactersReceived, 0);
    // The program leaves the port as it found it.
    if (viaProgram && testCase != Case::Vanishes && testCase != Case::NoSuchPort) {
        termios after;
        QCOMPARE(::tcgetattr(monitor.masterDescriptor(), &after), 0);
        QCOMPARE(cfgetospeed(&after), speed_t(B1200));
        QCOMPARE(after.c_lflag, before.c_lflag);
        QCOMPARE(after.c_cflag, before.c_cflag);
    }
}

// "make upload" in a project built by the pack's own Makefile with the real
// tools: the image as built lands byte for byte, or the failure is said.
void UploadTest::makeUpload_data()
{
    QTest::addColumn<QString>("pack");
    QTest::addColumn<Case>("testCase");
    QTest::addColumn<QString>("expected");
    for (const char *pack : {"palpack51", "dunpack115", "vespack113", "lnpack206"})
        QTest::newRow(pack) << QString::fromLatin1(pack) << Case::Loads << QString();
    QTest::newRow("silent monitor")
        << "palpack51" << Case::Silent << "No prompt from the boot monitor";
    QTest::newRow("bad record") << "vespack113" << Case::LineNoise << "Bad checksum.";
    QTest::newRow("vanished port") << "dunpack115" << Case::Vanishes << "the device went away";
    QTest::newRow("no such port") << "lnpack206" << Case::NoSuchPort << "does not exist";
}

void UploadTest::makeUpload()
{
    QFETCH(QString, pack);
    QFETCH(Case, testCase);
    QFETCH(QString, expected);

    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString project = directory.filePath(QStringLiteral("my robot"));
    QVERIFY(QDir().mkpath(project));
    for (const char *file : {"Makefile", "Template.c"})
        QVERIFY(QFile::copy(QStringLiteral(DEMO_ROOT "/%1/examples/").arg(pack) + file,
                            project + "/" + file));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"MAKEFLAGS", "MFLAGS", "MAKELEVEL"})
        environment.remove(name);
    environment.insert("QPRJ", QStringLiteral(DEMO_ROOT));
    environment.insert("PATH", QStringLiteral(DEMO_ROOT "/BIN:") + environment.value("PATH"));

    const BoardProfile profile = packProfile(pack);
    FakeMonitor monitor(monitorOptions(profile, testCase));
    QString error;
    QVERIFY2(monitor.start(&error), qPrintable(error));
    const QString port = testCase == Case::NoSuchPort ? QStringLiteral("/dev/quellix-no-such-port")
                                                      : monitor.devicePath();

    QProcess make;
    make.setWorkingDirectory(project);
    make.setProcessEnvironment(environment);
    make.setStandardInputFile(QProcess::nullDevice());
    make.start(QStringLiteral("make"), {QStringLiteral("upload"), "PORT=" + port});
    QVERIFY2(make.waitForFinished(40000), "make upload did not end");
    const QByteArray output = make.readAllStandardOutput() + make.readAllStandardError();
    if (testCase != Case::Loads) {
        QVERIFY2(make.exitCode() != 0, output.constData());
        QVERIFY2(output.contains(expected.toUtf8()), output.constData());
        return;
    }
    QVERIFY2(make.exitCode() == 0, output.constData());

    QFile file(project + "/my robot.s37");
    QVERIFY(file.open(QIODevice::ReadOnly));
    SRecordImage image;
    QVERIFY2(readSRecords(file.readAll(), &image, &error), qPrintable(error));
    QVERIFY(monitor.waitForLoadEnd(5000));
    const FakeMonitor::Result result = monitor.result();
    QCOMPARE(result.loads, 1);
    QCOMPARE(result.entry, image.entry);
    std::map<quint32, quint8> built;
    for (const auto &[first, bytes] : image.segments)
        for (int i = 0; i < bytes.size(); ++i)
            built[first + quint32(i)] = quint8(bytes[i]);
    QVERIFY(result.stored == built);
}

QTEST_GUILESS_MAIN(UploadTest)
#include "tst_upload.moc"
