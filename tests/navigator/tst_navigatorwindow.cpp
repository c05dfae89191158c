#include "NavigatorTestSupport.h"
#include "NavigatorWindow.h"

#include <QLabel>
#include <QListWidget>

class NavigatorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startsEmpty();
    void showsProject_data();
    void showsProject();
};

namespace {

QString labelText(const QWidget &window, const char *name)
{
    const auto *label = window.findChild<QLabel *>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(QLatin1String(name));
}

QStringList sourceItems(const QWidget &window)
{
    QStringList items;
    const auto *list = window.findChild<QListWidget *>(QStringLiteral("sourceList"));
    for (int i = 0; list && i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

} // namespace

void NavigatorWindowTest::startsEmpty()
{
    const NavigatorWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Navigator"));
    QCOMPARE(labelText(window, "statusLabel"), QStringLiteral("No project open"));
    QCOMPARE(labelText(window, "projectNameLabel"), QString());
    QVERIFY(sourceItems(window).isEmpty());
}

void NavigatorWindowTest::showsProject_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("status");

    const QByteArray tag = "# quellix-navigator project 1\n";
    QTest::newRow("valid project")
        << tag + "name=mon robot\nsource=crt0.s\nsource=moteur \xc3\xa0 gauche.c\n"
        << QStringLiteral("Navigator \u2014 mon robot") << QStringLiteral("mon robot")
        << QStringList{"crt0.s", "moteur \u00e0 gauche.c"} << QStringLiteral("2 source file(s)");
    QTest::newRow("markup shown as text")
        << tag + "name=<b>robot</b>\n"
        << QStringLiteral("Navigator \u2014 <b>robot</b>") << QStringLiteral("<b>robot</b>")
        << QStringList{} << QStringLiteral("0 source file(s)");
    QTest::newRow("not a project file")
        << QByteArray("all: robot\n") << QStringLiteral("Navigator") << QString() << QStringList{}
        << QStringLiteral("Cannot open the project: '%1' is not a valid project file: line 1: "
                          "not a navigator project file");
}

void NavigatorWindowTest::showsProject()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(QStringList, sources);
    QFETCH(QString, status);

    const navtest::TempDir dir;
    const std::string earlier = dir.file("earlier.proj");
    const std::string path = dir.file("robot.proj");
    QVERIFY(navtest::writeBytes(earlier, "# quellix-navigator project 1\nname=e\nsource=e.c\n"));
    QVERIFY(navtest::writeBytes(path, contents.toStdString()));

    // Opening after another project replaces everything it showed.
    NavigatorWindow window;
    window.openProject(earlier);
    window.openProject(path);
    const QString shownPath = QFile::decodeName(path.c_str());
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(labelText(window, "projectFileLabel"), shownPath);
    QCOMPARE(labelText(window, "projectNameLabel"), name);
    QCOMPARE(sourceItems(window), sources);
    QCOMPARE(labelText(window, "statusLabel"), status.replace(QStringLiteral("%1"), shownPath));
}

QTEST_MAIN(NavigatorWindowTest)
#include "tst_navigatorwindow.moc"
