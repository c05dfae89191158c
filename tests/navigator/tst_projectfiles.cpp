// SPDX-License-Identifier: MIT
#include "navigator/ProjectFiles.h"
#include "tests/TestFiles.h"
#include "tests/TestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

using Names = std::vector<std::string>;

namespace {

const std::string tag = "# quellix-navigator project 1\n";

// Everything lstat() and the contents tell about whatever is at path.
std::string snapshot(const std::string &path)
{
    struct stat status = {};
    if (::lstat(path.c_str(), &status) != 0)
        return "absent";
    std::string text = std::to_string(status.st_mode) + ' ' + std::to_string(status.st_ino) + ' ' +
                       std::to_string(status.st_size) + ' ' +
                       std::to_string(status.st_mtim.tv_sec) + '.' +
                       std::to_string(status.st_mtim.tv_nsec) + ' ';
    if (S_ISLNK(status.st_mode)) {
        char target[4096] = {};
        const ssize_t size = ::readlink(path.c_str(), target, sizeof target);
        text +=
            size < 0 ? std::string("unreadable") : std::string(target, static_cast<size_t>(size));
    } else if (S_ISREG(status.st_mode)) {
        text += readBytes(path);
    }
    return text;
}

} // namespace

class ProjectFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrips_data();
    void roundTrips();
    void writesDocumentedLayout();
    void skipsCommentsAndBlankLines();
    void rejectsMalformedText_data();
    void rejectsMalformedText();
    void refusesToReplaceExisting_data();
    void refusesToReplaceExisting();
    void reportsUnwritablePath_data();
    void reportsUnwritablePath();
    void readReportsUnusableFile_data();
    void readReportsUnusableFile();
    void projectDirectory_data();
    void projectDirectory();
};

void ProjectFilesTest::roundTrips_data()
{
    QTest::addColumn<std::string>("projectFile");
    QTest::addColumn<Names>("sources"); // in byte-wise order
    QTest::addColumn<std::string>("name");

    const auto row = [](const char *tag, const std::string &projectFile, const Names &sources,
                        const std::string &name) {
        QTest::newRow(tag) << projectFile << sources << name;
    };
    row("plain names", "robot.proj", {"crt0.s", "main.c"}, "robot");
    row("spaces and accents", "mon robot é.proj", {"capteur à ultrasons.s", "moteur gauche.c"},
        "mon robot é");
    row("invalid utf-8", "r\xe9\xff.proj", {"ok.h", "\xfe\xff.c"}, "r\xe9\xff");
    row("backslashes and newlines", "robot\\.proj",
        {"\\\\n.s", "back\\slash.c", "lit\\n.c", "new\nline.c"}, "robot\\");
    row("shell characters", "$(touch x); rm *.proj", {"`id`.c", "a;b|c&.s"}, "$(touch x); rm *");
    row("no sources", "empty.proj", {}, "empty");
    row("other extension kept in name", "robot.project", {}, "robot.project");
    row("project file named like a source", "robot.c", {"main.c"}, "robot.c");
}

void ProjectFilesTest::roundTrips()
{
    QFETCH(std::string, projectFile);
    QFETCH(Names, sources);
    QFETCH(std::string, name);

    const TempDir dir;
    QVERIFY(dir.isValid());
    for (const std::string &source : sources)
        QVERIFY(writeBytes(dir.file(source), "int x;\n"));
    QVERIFY(writeBytes(dir.file("Makefile"), "all:\n"));

    QVERIFY(createProjectFile(dir.file(projectFile)).ok());
    const Result<Project> read = readProjectFile(dir.file(projectFile));
    QVERIFY2(read.ok(), read.failure().message.c_str());
    QCOMPARE(read.value().name, name);
    QCOMPARE(read.value().sources, sources);
}

void ProjectFilesTest::writesDocumentedLayout()
{
    const TempDir dir;
    for (const char *file : {"main.c", "crt0.s", "Makefile", "motor control.c", "a\\b\n.h"})
        QVERIFY(writeBytes(dir.file(file), "x"));
    QCOMPARE(::mkdir(dir.file("lib.c").c_str(), 0777), 0);

    QVERIFY(createProjectFile(dir.file("robot.proj")).ok());
    QCOMPARE(readBytes(dir.file("robot.proj")),
             tag + "name=robot\nsource=a\\\\b\\n.h\nsource=crt0.s\nsource=main.c\n"
                   "source=motor control.c\n");
}

void ProjectFilesTest::skipsCommentsAndBlankLines()
{
    const Result<Project> parsed =
        parseProject(tag + "\n# note\nname=r\n\nsource=a.c\n#source=b.c\nsource=#c.c\n");
    QVERIFY2(parsed.ok(), parsed.failure().message.c_str());
    QCOMPARE(parsed.value(), (Project{"r", {"a.c", "#c.c"}}));
}

void ProjectFilesTest::rejectsMalformedText_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<std::string>("error");

    const auto row = [](const char *name, const std::string &text, const char *error) {
        QTest::newRow(name) << text << std::string(error);
    };
    row("empty file", "", "empty file");
    row("other format", "# some other file\nname=r\n", "line 1: not a navigator project");
    row("tag not on line 1", "\n" + tag + "name=r\n", "line 1:");
    row("no name", tag + "source=a.c\n", "no project name");
    row("second name", tag + "name=r\nname=s\n", "line 3: second project name");
    row("unknown entry", tag + "name=r\nsauce=a.c\n", "line 3: unknown entry");
    row("key without =", tag + "name\n", "line 2: unknown entry");
    row("unknown escape", tag + "name=r\nsource=a\\t.c\n", "line 3: bad escape");
    row("trailing backslash", tag + "name=r\\\n", "line 2: bad escape");
    row("empty source", tag + "name=r\nsource=\n", "line 3: empty value");
    row("NUL byte", tag + std::string("name=r\0s\n", 9), "NUL");
    row("unterminated last line", tag + "name=r", "incomplete");
}

void ProjectFilesTest::rejectsMalformedText()
{
    QFETCH(std::string, text);
    QFETCH(std::string, error);

    const Result<Project> parsed = parseProject(text);
    QVERIFY(!parsed.ok());
    const std::string &message = parsed.failure().message;
    QVERIFY2(message.find(error) != std::string::npos, message.c_str());
    // A message about a line starts with it, and the failure gives the same line.
    const std::size_t line = parsed.failure().line;
    QCOMPARE(message.rfind("line ", 0) == 0, line > 0);
    QVERIFY(line == 0 || message.rfind("line " + std::to_string(line) + ":", 0) == 0);
}

void ProjectFilesTest::refusesToReplaceExisting_data()
{
    QTest::addColumn<std::string>("existing"); // as makeEntry() takes it

    QTest::newRow("file") << std::string("robot.proj");
    QTest::newRow("directory") << std::string("robot.proj/");
    QTest::newRow("link to file") << std::string("robot.proj>main.c");
    QTest::newRow("dangling link") << std::string("robot.proj>nowhere.proj");
    QTest::newRow("link to directory") << std::string("robot.proj>subdir");
}

void ProjectFilesTest::refusesToReplaceExisting()
{
    QFETCH(std::string, existing);

    const TempDir dir;
    QVERIFY(makeEntry(dir, "main.c"));
    QVERIFY(makeEntry(dir, "subdir/"));
    QVERIFY(makeEntry(dir, existing));
    const std::string path = dir.file("robot.proj");
    const std::string before = snapshot(path);
    const std::string targetBefore = snapshot(dir.file("main.c"));

    QCOMPARE(createProjectFile(path).failure().message,
             "cannot create project file '" + path + "': it already exists; left untouched");
    QCOMPARE(snapshot(path), before);
    QCOMPARE(snapshot(dir.file("main.c")), targetBefore);
    QVERIFY(!exists(dir.file("nowhere.proj")));
    QVERIFY(!exists(dir.file("subdir/robot.proj")));
}

void ProjectFilesTest::reportsUnwritablePath_data()
{
    QTest::addColumn<std::string>("path");
    QTest::addColumn<std::string>("reason");

    QTest::newRow("missing directory")
        << std::string("no such dir/robot.proj") << std::string("No such file or directory");
    QTest::newRow("parent is a file")
        << std::string("main.c/robot.proj") << std::string("Not a directory");
    QTest::newRow("trailing slash") << std::string("sub/") << std::string("not a file name");
    QTest::newRow("dot dot") << std::string("sub/..") << std::string("not a file name");
}

void ProjectFilesTest::reportsUnwritablePath()
{
    QFETCH(std::string, path);
    QFETCH(std::string, reason);

    const TempDir dir;
    QVERIFY(writeBytes(dir.file("main.c"), "x"));
    QCOMPARE(::mkdir(dir.file("sub").c_str(), 0777), 0);
    const std::string full = dir.file(path);
    QCOMPARE(createProjectFile(full).failure().message,
             "cannot create project file '" + full + "': " + reason);
    QVERIFY(!exists(dir.file("no such dir")));
    QCOMPARE(readBytes(dir.file("main.c")), std::string("x"));
}

void ProjectFilesTest::readReportsUnusableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<std::string>("reason");

    QTest::newRow("missing") << QStringLiteral("missing")
                             << std::string(": No such file or directory");
    QTest::newRow("directory") << QStringLiteral("directory") << std::string(": Is a directory");
    QTest::newRow("fifo, without blocking")
        << QStringLiteral("fifo") << std::string(": not a regular file");
    QTest::newRow("not a project")
        << QStringLiteral("text") << std::string(" is not a valid project file: line 1");
}

void ProjectFilesTest::readReportsUnusableFile()
{
    QFETCH(QString, kind);
    QFETCH(std::string, reason);

    const TempDir dir;
    const std::string path = dir.file("robot.proj");
    if (kind == "directory")
        QCOMPARE(::mkdir(path.c_str(), 0777), 0);
    else if (kind == "fifo")
        QCOMPARE(::mkfifo(path.c_str(), 0666), 0);
    else if (kind == "text")
        QVERIFY(writeBytes(path, "all: robot\n"));

    const Result<Project> read = readProjectFile(path);
    QVERIFY(!read.ok());
    const std::string &message = read.failure().message;
    QVERIFY2(message.find(path) != std::string::npos, message.c_str());
    QVERIFY2(message.find(reason) != std::string::npos, message.c_str());
}

void ProjectFilesTest::projectDirectory_data()
{
    QTest::addColumn<std::string>("projectFile");
    QTest::addColumn<std::string>("directory");

    QTest::newRow("bare name") << std::string("robot.proj") << std::string(".");
    QTest::newRow("relative") << std::string("a b/robot.proj") << std::string("a b");
    QTest::newRow("absolute") << std::string("/opt/q \xe9/$(x)/robot.proj")
                              << std::string("/opt/q \xe9/$(x)");
    QTest::newRow("in the root") << std::string("/robot.proj") << std::string("/");
}

void ProjectFilesTest::projectDirectory()
{
    QFETCH(std::string, projectFile);
    QFETCH(std::string, directory);

    QCOMPARE(projectDirectoryForFile(projectFile), directory);
}

QTEST_APPLESS_MAIN(ProjectFilesTest)
#include "tst_projectfiles.moc"
