// SPDX-License-Identifier: MIT
#include "launcher/ToolchainEnvironment.h"
#include "tests/FakePlatform.h"
#include "tests/RecordingPlatform.h"
#include "tests/TestSupport.h"

class ToolchainEnvironmentTest : public QObject
{
    Q_OBJECT

private slots:
    void exportsEnvironment_data();
    void exportsEnvironment();
    void setsVariablesInOrderAfterReadingTheRoot();
};

void ToolchainEnvironmentTest::exportsEnvironment_data()
{
    QTest::addColumn<std::optional<std::string>>("workingDirectory");
    QTest::addColumn<std::optional<std::string>>("inheritedPath");
    QTest::addColumn<std::string>("rootDir");
    QTest::addColumn<std::string>("path");
    QTest::addColumn<std::string>("qprj");
    QTest::addColumn<QStringList>("messages");

    const std::string tools = ":/dev/BIN:/dev/JAVA/BIN:/dev/LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/";
    QTest::newRow("worked example")
        << std::optional<std::string>("/dev") << std::optional<std::string>("/usr/bin")
        << std::string("/dev") << "/usr/bin" + tools << std::string("/dev") << QStringList();
    QTest::newRow("no inherited PATH")
        << std::optional<std::string>("/dev") << std::optional<std::string>() << std::string("/dev")
        << tools.substr(1) << std::string("/dev") << QStringList();
    QTest::newRow("empty inherited PATH")
        << std::optional<std::string>("/dev") << std::optional<std::string>("")
        << std::string("/dev") << tools.substr(1) << std::string("/dev") << QStringList();
    QTest::newRow("inherited PATH kept as it is")
        << std::optional<std::string>("/dev") << std::optional<std::string>("/bin::/usr/bin:")
        << std::string("/dev") << "/bin::/usr/bin:" + tools << std::string("/dev") << QStringList();
    QTest::newRow("root directory keeps the doubled separator")
        << std::optional<std::string>("/") << std::optional<std::string>("/usr/bin")
        << std::string("/")
        << std::string("/usr/bin://BIN://JAVA/BIN://LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/")
        << std::string("/") << QStringList();
    const std::string longRoot = "/" + std::string(199, 'r');
    QTest::newRow("200-character root")
        << std::optional<std::string>(longRoot) << std::optional<std::string>("/bin") << longRoot
        << "/bin:" + longRoot + "/BIN:" + longRoot + "/JAVA/BIN:" + longRoot +
               "/LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/"
        << longRoot << QStringList();
    QTest::newRow("backslash in the root is an ordinary byte")
        << std::optional<std::string>("/a\\b") << std::optional<std::string>()
        << std::string("/a\\b")
        << std::string("/a\\b/BIN:/a\\b/JAVA/BIN:/a\\b/LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/")
        << std::string("/a\\b") << QStringList();
    // ":" would split the root into relative entries: PATH stays as inherited.
    QTest::newRow("root with a colon leaves PATH alone")
        << std::optional<std::string>("/opt/kit:2") << std::optional<std::string>("/usr/bin")
        << std::string("/opt/kit:2") << std::string("/usr/bin") << std::string("/opt/kit:2")
        << QStringList{"Cannot put the installation's tools on PATH, as its directory name "
                       "contains ':': /opt/kit:2"};
    QTest::newRow("current directory unreadable")
        << std::optional<std::string>() << std::optional<std::string>("/usr/bin") << std::string()
        << std::string("/usr/bin:/BIN:/JAVA/BIN:/LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/")
        << std::string()
        << QStringList{"Cannot get current directory, please rerun the application."};
}

void ToolchainEnvironmentTest::exportsEnvironment()
{
    QFETCH(std::optional<std::string>, workingDirectory);
    QFETCH(std::optional<std::string>, inheritedPath);
    QFETCH(std::string, rootDir);
    QFETCH(std::string, path);
    QFETCH(std::string, qprj);
    QFETCH(QStringList, messages);

    FakePlatform system;
    system.workingDirectory = workingDirectory;
    if (inheritedPath)
        system.environment["PATH"] = *inheritedPath;
    RecordingPlatform platform(system);

    const ToolchainPaths paths = exportToolchainEnvironment(platform);

    QCOMPARE(paths.rootDir, rootDir);
    QCOMPARE(paths.navigatorExe, rootDir + "/SN451/bin/snavigator.exe");
    QCOMPARE(system.environment["PATH"], path);
    QCOMPARE(system.environment["MAKE_MODE"], std::string("UNIX"));
    QCOMPARE(system.environment["QPRJ"], qprj);
    QCOMPARE(toQStringList(platform.messages()), messages);
}

void ToolchainEnvironmentTest::setsVariablesInOrderAfterReadingTheRoot()
{
    FakePlatform system;
    system.workingDirectory.reset();
    RecordingPlatform platform(system);
    exportToolchainEnvironment(platform);

    const QStringList expected{
        "message: Cannot get current directory, please rerun the application.",
        "setenv: PATH=/BIN:/JAVA/BIN:/LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/", "setenv: MAKE_MODE=UNIX",
        "setenv: QPRJ="};
    QCOMPARE(toQStringList(platform.log), expected);
}

QTEST_APPLESS_MAIN(ToolchainEnvironmentTest)
#include "tst_toolchainenvironment.moc"
