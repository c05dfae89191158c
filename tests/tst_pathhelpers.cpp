// SPDX-License-Identifier: MIT
#include "actions/PathHelpers.h"
#include "tests/TestSupport.h"

class PathHelpersTest : public QObject
{
    Q_OBJECT

private slots:
    void splitsPaths_data();
    void splitsPaths();
};

void PathHelpersTest::splitsPaths_data()
{
    QTest::addColumn<char>("separator");
    QTest::addColumn<std::string>("path");
    QTest::addColumn<std::string>("directoryPart");
    QTest::addColumn<std::string>("lastComponent");
    QTest::addColumn<std::string>("forwardSlashes");

    // Windows paths, with "\" as the separator.
    QTest::newRow("windows directory")
        << '\\' << std::string("C:\\Work\\robot") << std::string("C:\\Work") << std::string("robot")
        << std::string("C:/Work/robot");
    QTest::newRow("windows trailing separator")
        << '\\' << std::string("C:\\Work\\robot\\") << std::string("C:\\Work\\robot")
        << std::string() << std::string("C:/Work/robot/");
    QTest::newRow("windows drive child") << '\\' << std::string("C:\\robot") << std::string("C:")
                                         << std::string("robot") << std::string("C:/robot");
    QTest::newRow("windows drive root")
        << '\\' << std::string("C:\\") << std::string("C:") << std::string() << std::string("C:/");
    QTest::newRow("windows share")
        << '\\' << std::string("\\\\server\\share\\robot") << std::string("\\\\server\\share")
        << std::string("robot") << std::string("//server/share/robot");
    QTest::newRow("windows extension kept")
        << '\\' << std::string("C:\\Work\\demo.txt") << std::string("C:\\Work")
        << std::string("demo.txt") << std::string("C:/Work/demo.txt");
    // A double-byte character whose second byte is 0x5C still splits.
    QTest::newRow("windows trail byte 0x5C")
        << '\\' << std::string("C:\\\x95\\x") << std::string("C:\\\x95") << std::string("x")
        << std::string("C:/\x95/x");
    QTest::newRow("empty text") << '\\' << std::string() << std::string() << std::string()
                                << std::string();
    QTest::newRow("no separator comes back whole") << '\\' << std::string("robot") << std::string()
                                                   << std::string("robot") << std::string("robot");

    // Linux paths, with the native separator: a backslash is an ordinary byte.
    QTest::newRow("linux directory")
        << '/' << std::string("/home/ana/robot") << std::string("/home/ana") << std::string("robot")
        << std::string("/home/ana/robot");
    QTest::newRow("linux trailing separator")
        << '/' << std::string("/home/ana/robot/") << std::string("/home/ana/robot") << std::string()
        << std::string("/home/ana/robot/");
    QTest::newRow("linux file in root") << '/' << std::string("/main.c") << std::string()
                                        << std::string("main.c") << std::string("/main.c");
    QTest::newRow("linux root") << '/' << std::string("/") << std::string() << std::string()
                                << std::string("/");
    QTest::newRow("linux backslash in a name")
        << '/' << std::string("/work/a\\b/c.c") << std::string("/work/a\\b") << std::string("c.c")
        << std::string("/work/a\\b/c.c");
    QTest::newRow("linux spaces and accents")
        << '/' << std::string("/home/zoé/mes projets/robot 1")
        << std::string("/home/zoé/mes projets") << std::string("robot 1")
        << std::string("/home/zoé/mes projets/robot 1");
    QTest::newRow("linux invalid utf-8 kept")
        << '/' << std::string("/tmp/\xff\xfe/r\xe9") << std::string("/tmp/\xff\xfe")
        << std::string("r\xe9") << std::string("/tmp/\xff\xfe/r\xe9");
}

void PathHelpersTest::splitsPaths()
{
    QFETCH(char, separator);
    QFETCH(std::string, path);
    QFETCH(std::string, directoryPart);
    QFETCH(std::string, lastComponent);
    QFETCH(std::string, forwardSlashes);

    QCOMPARE(DirectoryPart(path, separator), directoryPart);
    QCOMPARE(LastComponent(path, separator), lastComponent);
    QCOMPARE(ToForwardSlashes(path, separator), forwardSlashes);
}

QTEST_APPLESS_MAIN(PathHelpersTest)
#include "tst_pathhelpers.moc"
