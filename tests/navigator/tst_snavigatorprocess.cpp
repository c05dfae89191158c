// SPDX-License-Identifier: MIT
#include "tests/TestFiles.h"
#include "tests/TestSupport.h"

#include <QProcess>
#include <sys/resource.h>

// Runs the built snavigator in batch mode as the launcher does, with no display.
class SnavigatorProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void batchMode_data();
    void batchMode();
};

void SnavigatorProcessTest::batchMode_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("existing"); // null: nothing at the project path
    QTest::addColumn<rlim_t>("fileSizeLimit");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");  // part of stderr
    QTest::addColumn<QByteArray>("contents"); // null: no project file afterwards

    const QStringList batch = {"-b", "-c"};
    const QByteArray written = "# quellix-navigator project 1\n"
                               "name=my robot\n"
                               "source=crt0.s\n"
                               "source=main.c\n";
    QTest::newRow("long options") << QStringList{"--batchmode", "--create"} << QByteArray()
                                  << RLIM_INFINITY << 0 << QByteArray() << written;
    QTest::newRow("short options")
        << batch << QByteArray() << RLIM_INFINITY << 0 << QByteArray() << written;
    QTest::newRow("unknown option")
        << QStringList{"-b", "--force", "-c"} << QByteArray() << RLIM_INFINITY << 2
        << QByteArray("snavigator: unknown option '--force'\nusage:") << QByteArray();
    QTest::newRow("existing file kept")
        << batch << QByteArray("keep me\n") << RLIM_INFINITY << 1
        << QByteArray("snavigator: cannot create project file '") << QByteArray("keep me\n");
    QTest::newRow("partial file removed") << batch << QByteArray() << rlim_t{10} << 1
                                          << QByteArray(": File too large\n") << QByteArray();
}

void SnavigatorProcessTest::batchMode()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, existing);
    QFETCH(rlim_t, fileSizeLimit);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, contents);

    const TempDir dir;
    QVERIFY(writeBytes(dir.file("main.c"), "int main() {}\n"));
    QVERIFY(writeBytes(dir.file("crt0.s"), "\n"));
    QVERIFY(writeBytes(dir.file("Makefile"), "all:\n"));
    const std::string path = dir.file("my robot.proj");
    if (!existing.isNull())
        QVERIFY(writeBytes(path, existing.toStdString()));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([fileSizeLimit] {
        const rlimit limit = {fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(QStringLiteral(SNAVIGATOR_PATH), options << QFile::decodeName(path.c_str()));
    QVERIFY(process.waitForFinished(30000));

    const QByteArray standardError = process.readAllStandardError();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY2(message.isEmpty() ? standardError.isEmpty() : standardError.contains(message),
             standardError.constData());
    QCOMPARE(exists(path), !contents.isNull());
    if (!contents.isNull())
        QCOMPARE(readBytes(path), contents.toStdString());
}

QTEST_GUILESS_MAIN(SnavigatorProcessTest)
#include "tst_snavigatorprocess.moc"
