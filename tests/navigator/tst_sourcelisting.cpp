// SPDX-License-Identifier: MIT
#include "navigator/SourceListing.h"
#include "tests/TestFiles.h"
#include "tests/TestSupport.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

using Names = std::vector<std::string>;

class SourceListingTest : public QObject
{
    Q_OBJECT

private slots:
    void lists_data();
    void lists();
    void reportsUnlistableDirectory_data();
    void reportsUnlistableDirectory();
};

void SourceListingTest::lists_data()
{
    QTest::addColumn<Names>("entries"); // as makeEntry() takes them
    QTest::addColumn<Names>("sources");

    QTest::newRow("empty directory") << Names{} << Names{};
    QTest::newRow("sorted byte-wise") << Names{"main.c", "\xe9t\xe9.c", "a.cc", "B.s", "z.h"}
                                      << Names{"B.s", "a.cc", "main.c", "z.h", "\xe9t\xe9.c"};
    QTest::newRow("every source extension")
        << Names{"x.c", "x.cc", "x.cpp", "x.s", "x.S", "x.h", "x.hh", "x.hpp"}
        << Names{"x.S", "x.c", "x.cc", "x.cpp", "x.h", "x.hh", "x.hpp", "x.s"};
    QTest::newRow("non-sources left out")
        << Names{"Makefile", "robot.proj", "main.o",     "notes.txt", "main.C",
                 "main.cxx", "main.c~",    "main.c.bak", "c",         "main.c"}
        << Names{"main.c"};
    QTest::newRow("hidden files left out") << Names{".hidden.c", "main.c"} << Names{"main.c"};
    QTest::newRow("subdirectories left out and not searched")
        << Names{"lib.c/", "src/", "src/motor.c", "main.c"} << Names{"main.c"};
    QTest::newRow("link to a regular file kept")
        << Names{"real.txt", "linked.c>real.txt"} << Names{"linked.c"};
    QTest::newRow("dangling link left out") << Names{"gone.c>missing.c"} << Names{};
    QTest::newRow("link to a directory left out") << Names{"dir/", "dir.c>dir"} << Names{};
    QTest::newRow("spaces, shell characters and newlines kept")
        << Names{"motor control.c", "line\nbreak.c", "$(rm -rf).s"}
        << Names{"$(rm -rf).s", "line\nbreak.c", "motor control.c"};
}

void SourceListingTest::lists()
{
    QFETCH(Names, entries);
    QFETCH(Names, sources);

    const TempDir dir;
    QVERIFY(dir.isValid());
    for (const std::string &entry : entries)
        QVERIFY2(makeEntry(dir, entry), entry.c_str());

    const Result<Names> listing = listSourceFiles(dir.path());
    QVERIFY2(listing.ok(), listing.failure().message.c_str());
    QCOMPARE(listing.value(), sources);
}

void SourceListingTest::reportsUnlistableDirectory_data()
{
    QTest::addColumn<std::string>("name");
    QTest::addColumn<int>("error");

    QTest::newRow("missing directory") << std::string("missing dir") << ENOENT;
    QTest::newRow("regular file") << std::string("file.c") << ENOTDIR;
}

void SourceListingTest::reportsUnlistableDirectory()
{
    QFETCH(std::string, name);
    QFETCH(int, error);

    const TempDir dir;
    QVERIFY(writeBytes(dir.file("file.c"), "int x;\n"));
    const Result<Names> listing = listSourceFiles(dir.file(name));
    QVERIFY(!listing.ok());
    QCOMPARE(listing.failure().message, std::string(std::strerror(error)));
}

QTEST_APPLESS_MAIN(SourceListingTest)
#include "tst_sourcelisting.moc"
