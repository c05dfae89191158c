// SPDX-License-Identifier: MIT
// S-records read, checked and written again; board profiles; the port chosen
// from /dev/serial/by-id.
#include "tests/uploader/TestImage.h"
#include "uploader/BoardProfile.h"
#include "uploader/PortOpener.h"
#include "uploader/SRecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class RecordsTest : public QObject
{
    Q_OBJECT

private slots:
    void srecords_data();
    void srecords();
    void profiles_data();
    void profiles();
    void choosePort_data();
    void choosePort();
};

void RecordsTest::srecords_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("recordType"); // written as
    QTest::addColumn<QString>("error");  // of reading, or of writing; empty when both work
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("records"); // data records written

    const QByteArray image = makeTestImage(0x400000, 1000, 77).s37;
    QTest::newRow("objcopy S3 image to S2") << image << 2 << QString() << 1077 << 32 + 3;
    QTest::newRow("objcopy S3 image to S3") << image << 3 << QString() << 1077 << 32 + 3;
    QTest::newRow("S3 image at 0 to S1")
        << makeTestImage(0, 300, 40).s37 << 1 << QString() << 340 << 10 + 2;
    QByteArray lowerCase = testRecord(1, 2, 0x10, QByteArray(16, 'b')).toLower();
    lowerCase[0] = 'S';
    QByteArray small = testRecord(0, 2, 0, "HDR") + testRecord(1, 2, 0, QByteArray(16, 'a')) +
                       lowerCase + testRecord(5, 2, 2, {}) + testRecord(9, 2, 0, {});
    small.replace("\n", "\r\n");
    QTest::newRow("CR LF, lower case, S5 count") << small << 1 << QString() << 32 << 1;
    QTest::newRow("S3 image above S2's reach") << makeTestImage(0xFFFF00, 0x100, 16).s37 << 2
                                               << "S2 records cannot address 0x1000100" << 0 << 0;

    const auto bad = [](const char *name, const QByteArray &input, const QString &error) {
        QTest::newRow(name) << input << 2 << error << 0 << 0;
    };
    const QByteArray s1 = "S1130000285F245F2212226A000424290008237C2A\n";
    bad("bad checksum", s1 + "S1130010285F245F2212226A000424290008237C2B\nS9030000FC\n",
        "line 2: bad checksum");
    bad("count too large", "S1140000285F245F2212226A000424290008237C2A\nS9030000FC\n",
        "line 1: the count says 20 bytes, the record holds 19");
    bad("not a record", s1 + "\n:10000000\nS9030000FC\n", "line 3: not an S-record");
    bad("odd digits", "S1130000285F245F2212226A000424290008237C2A0\nS9030000FC\n",
        "line 1: odd number of hex digits");
    bad("not hex", "S1130000285F245F2212226A0004242900G8237C2A\nS9030000FC\n",
        "line 1: \"G8\" is not hexadecimal");
    bad("S4", s1 + "S4030000FC\nS9030000FC\n", "line 2: S4 is not a record type");
    bad("cut short", s1, "line 1: no end record (S7, S8 or S9): the file is cut short");
    bad("record after the end", s1 + "S9030000FC\n" + s1, "line 3: a record after the end record");
    bad("overlap", s1 + testRecord(1, 2, 8, "\xAA\xBB") + "S9030000FC\n",
        "line 2: address 0x000008 was already given on line 1");
    bad("S5 count wrong", s1 + "S5030002FA\nS9030000FC\n",
        "line 2: the file counts 2 data records, 1 came before");
    bad("empty file", "", "the file is empty");
    bad("no data", "S00600004844521B\nS9030000FC\n", "the file holds no data");
}

void RecordsTest::srecords()
{
    QFETCH(QByteArray, input);
    QFETCH(int, recordType);
    QFETCH(QString, error);
    QFETCH(int, bytes);
    QFETCH(int, records);

    SRecordImage image;
    QString problem;
    QList<QByteArray> written;
    const bool ok = readSRecords(input, &image, &problem) &&
                    writeSRecords(image, recordType, &written, &problem);
    QCOMPARE(problem, error);
    QCOMPARE(ok, error.isEmpty());
    if (!ok)
        return;
    QCOMPARE(image.byteCount(), bytes);
    QCOMPARE(written.size(), records + 1);
    for (int i = 0; i < written.size(); ++i) {
        const bool end = i == written.size() - 1;
        QCOMPARE(written[i].at(1), char('0' + (end ? 10 - recordType : recordType)));
        QVERIFY2(written[i].size() <= 78, written[i].constData());
    }
    // A full record holds 32 bytes: 74, 76 or 78 characters.
    QCOMPARE(written.first().size(), 70 + 2 * (recordType + 1));

    // Read back: the same data at the same addresses, the same entry.
    SRecordImage again;
    QVERIFY2(readSRecords(written.join('\n'), &again, &problem), qPrintable(problem));
    QVERIFY(again.segments == image.segments);
    QCOMPARE(again.entry, image.entry);
}

void RecordsTest::profiles_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("parsed"); // board, monitor, baud, S<n>, first-last

    const auto pack = [](const char *name, const char *parsed) {
        QFile file(QStringLiteral(DEMO_ROOT "/%1/lib/board.profile").arg(QLatin1String(name)));
        QTest::newRow(name) << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray())
                            << QString() << QString::fromLatin1(parsed);
    };
    pack("palpack51", "Palmor 68000 9600 S2 0x000000-0x01FFFF");
    pack("dunpack115", "Dunnet 68000 19200 S2 0x400000-0x43FFFF");
    pack("vespack113", "Vessik cpu32 115200 S3 0x040000-0x07FFFF");
    pack("lnpack206", "Lenko Camera cpu32 115200 S3 0xA00000-0xAFFFFF");

    const QByteArray good = "board=B\nmonitor=68000\nbaud=9600\nrecords=S2\nflash=0x0-0xFFFF\n";
    QTest::newRow("blank lines and comments") << "\n# a comment\n  " + good + "\n"
                                              << QString() << "B 68000 9600 S2 0x000000-0x00FFFF";
    const auto bad = [&good](const char *name, const QByteArray &from, const QByteArray &to,
                             const char *error) {
        QByteArray text = good;
        text.replace(from, to);
        QTest::newRow(name) << text << QString::fromLatin1(error) << QString();
    };
    bad("unknown key", "baud=9600", "speed=9600", "line 3: unknown key \"speed\"");
    bad("no equals sign", "baud=9600", "baud 9600",
        "line 3: expected key=value, found \"baud 9600\"");
    bad("unknown monitor", "68000", "68020", "line 2: unknown monitor \"68020\" (68000 or cpu32)");
    bad("bad baud", "9600", "fast", "line 3: invalid baud rate \"fast\"");
    bad("bad records", "S2", "S4", "line 4: unknown record type \"S4\" (S1, S2 or S3)");
    bad("reversed flash", "0x0-0xFFFF", "0xFFFF-0x0",
        "line 5: invalid flash range \"0xFFFF-0x0\" (0xFIRST-0xLAST)");
    bad("key twice", "board=B\n", "board=B\nboard=C\n", "line 2: board is given twice");
    bad("missing key", "baud=9600\n", "", "baud= is missing");
    bad("S3 to a 68000", "records=S2", "records=S3",
        "records=S3: the 68000 monitor ignores S3 records");
    bad("S1 short of the flash", "records=S2\nflash=0x0-0xFFFF", "records=S1\nflash=0x0-0x1FFFF",
        "records=S1 cannot reach the flash's last byte 0x01FFFF");
}

void RecordsTest::profiles()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QFETCH(QString, parsed);

    BoardProfile profile;
    QString problem;
    QCOMPARE(parseBoardProfile(text, &profile, &problem), error.isEmpty());
    QCOMPARE(problem, error);
    if (!error.isEmpty())
        return;
    QCOMPARE(QStringLiteral("%1 %2 %3 S%4 %5-%6")
                 .arg(profile.board, profile.monitor == BoardProfile::Monitor::M68000
                                         ? QStringLiteral("68000")
                                         : QStringLiteral("cpu32"))
                 .arg(profile.baud)
                 .arg(profile.recordType)
                 .arg(formatAddress(profile.flashFirst), formatAddress(profile.flashLast)),
             parsed);
}

void RecordsTest::choosePort_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("chosen"); // the entry, or the message
    QTest::newRow("one adapter") << QStringList{"usb-FTDI_FT232R_A1-if00-port0"}
                                 << "{dir}/usb-FTDI_FT232R_A1-if00-port0";
    QTest::newRow("none") << QStringList{}
                          << "no serial adapter is connected ({dir} is empty or missing): plug in "
                             "the board's adapter, or name the port with --port";
    QTest::newRow("two") << QStringList{"usb-B", "usb-A"}
                         << "2 serial adapters are connected; choose one with --port:\n"
                            "  {dir}/usb-A\n  {dir}/usb-B";
}

void RecordsTest::choosePort()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, chosen);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    for (const QString &entry : entries)
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), directory.filePath(entry)));
    chosen.replace(QLatin1String("{dir}"), directory.path());
    QString device, error;
    const bool ok = chooseSerialPort(directory.path(), &device, &error);
    QCOMPARE(ok ? device : error, chosen);
    QCOMPARE(ok, entries.size() == 1);
}

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
