// SPDX-License-Identifier: MIT
#include "launcher/TForm1.h"
#include "tests/FakePlatform.h"
#include "tests/ProcessEnd.h"
#include "tests/RecordingPlatform.h"
#include "tests/TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The real window over a scripted installation root, and its platform's log.
struct Window
{
    FakePlatform system;
    RecordingPlatform *platform = nullptr;
    std::unique_ptr<TForm1> form;

    Window()
    {
        system.workingDirectory = "/opt/dev root";
        auto recorder = std::make_unique<RecordingPlatform>(system);
        platform = recorder.get();
        form = std::make_unique<TForm1>(std::move(recorder));
    }

    bool shown()
    {
        form->show();
        return QTest::qWaitForWindowExposed(form.get());
    }

    // Keys go to the active window. Some window systems (a Wayland compositor)
    // give activation only as the user's own act, never on a program's request.
    bool activated()
    {
        form->activateWindow();
        return QTest::qWaitFor([this] { return form->isActiveWindow(); }, 2000);
    }
};

const char *const NotActivated =
    "The window system did not activate the window: keys cannot reach it.";

} // namespace

// The real window, with a scripted platform under it.
class FormTest : public QObject
{
    Q_OBJECT

private slots:
    void startsWithStoredLayoutAndNoPlatform();
    void componentsHaveStoredGeometryAndFont_data();
    void componentsHaveStoredGeometryAndFont();
    void tabOrderIsStored();
    void radioButtonsStoreTheirIndex_data();
    void radioButtonsStoreTheirIndex();
    void openExistingProjectRunsTheIdeAndEnds();
    void captionsFitTheirControls_data();
    void captionsFitTheirControls();
    void tabKeyWalksTheStoredOrder();
    void arrowKeysChooseThePlatform_data();
    void arrowKeysChooseThePlatform();
    void enterPressesTheFocusedButton();
};

void FormTest::startsWithStoredLayoutAndNoPlatform()
{
    Window window;
    QVERIFY(window.shown());
    const auto &form = window.form;

    QCOMPARE(form->windowTitle(), QString("Quellix Project Management"));
    QCOMPARE(QApplication::applicationDisplayName(), QString("Quellix Project Management"));
    QCOMPARE(form->platformIndex(), NoPlatform);
    for (QRadioButton *radio : form->findChildren<QRadioButton *>())
        QVERIFY2(!radio->isChecked(), qPrintable(radio->objectName()));
    QCOMPARE(form->size(), QSize(603, 274));
    QCOMPARE(form->font().family(), QString("MS Sans Serif"));
    QCOMPARE(form->font().pointSize(), 8);
    QVERIFY(!form->windowIcon().isNull());
    QCOMPARE(form->windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});

    // The environment was set up once, last, from the current directory.
    QCOMPARE(form->rootDir(), std::string("/opt/dev root"));
    QCOMPARE(form->navigatorExe(), std::string("/opt/dev root/SN451/bin/snavigator.exe"));
    QCOMPARE(window.system.environment["QPRJ"], std::string("/opt/dev root"));
    QVERIFY(window.platform->messages().empty());
}

void FormTest::componentsHaveStoredGeometryAndFont_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("pointSize");

    QTest::newRow("NewTempl") << "NewTempl" << QRect(178, 6, 407, 83)
                              << "Create Project from Template" << 12;
    QTest::newRow("NewProject") << "NewProject" << QRect(178, 94, 407, 83)
                                << "Create Project from Files" << 12;
    QTest::newRow("ExistingProject")
        << "ExistingProject" << QRect(178, 182, 407, 83) << "Open Existing Project" << 12;
    QTest::newRow("ThePalmor") << "ThePalmor" << QRect(15, 26, 113, 17) << "Palmor" << 14;
    QTest::newRow("TheVessik") << "TheVessik" << QRect(15, 162, 138, 17) << "Vessik" << 14;
    QTest::newRow("TheDunnet") << "TheDunnet" << QRect(15, 90, 113, 17) << "Dunnet" << 14;
    QTest::newRow("TheTovrin") << "TheTovrin" << QRect(15, 226, 146, 17) << "Lenko Camera" << 14;
}

void FormTest::componentsHaveStoredGeometryAndFont()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(int, pointSize);

    Window window;
    const auto &form = window.form;
    auto *button = form->findChild<QAbstractButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->parentWidget(), form.get());
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->font().family(), QString("MS Sans Serif"));
    QCOMPARE(button->font().pointSize(), pointSize);
    QVERIFY(button->font().bold());
}

void FormTest::tabOrderIsStored()
{
    Window window;
    const auto &form = window.form;
    const QStringList stored{"NewTempl",  "NewProject", "ExistingProject", "ThePalmor",
                             "TheVessik", "TheDunnet",  "TheTovrin"};
    QWidget *widget = form->findChild<QWidget *>(stored.first());
    QStringList walked{widget->objectName()};
    for (int step = 1; step < stored.size(); ++step) {
        widget = widget->nextInFocusChain();
        walked << widget->objectName();
    }
    QCOMPARE(walked, stored);
}

void FormTest::radioButtonsStoreTheirIndex_data()
{
    QTest::addColumn<QStringList>("clicked");
    QTest::addColumn<int>("platformIndex");

    QTest::newRow("Palmor") << QStringList{"ThePalmor"} << 0;
    QTest::newRow("Dunnet") << QStringList{"TheDunnet"} << 1;
    QTest::newRow("Vessik") << QStringList{"TheVessik"} << 2;
    QTest::newRow("Lenko Camera") << QStringList{"TheTovrin"} << 3;
    QTest::newRow("last choice counts") << QStringList{"TheVessik", "ThePalmor"} << 0;
    QTest::newRow("same choice twice") << QStringList{"TheTovrin", "TheTovrin"} << 3;
}

void FormTest::radioButtonsStoreTheirIndex()
{
    QFETCH(QStringList, clicked);
    QFETCH(int, platformIndex);

    Window window;
    QVERIFY(window.shown());
    const auto &form = window.form;
    for (const QString &name : clicked) {
        auto *radio = form->findChild<QRadioButton *>(name);
        QVERIFY(radio);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
    }

    QCOMPARE(int(form->platformIndex()), platformIndex);
    // One group: only the last one clicked is checked.
    QStringList checked;
    for (QRadioButton *radio : form->findChildren<QRadioButton *>()) {
        if (radio->isChecked())
            checked << radio->objectName();
    }
    QCOMPARE(checked, QStringList{clicked.last()});
    QCOMPARE(window.platform->log.size(), size_t(3)); // only the start-up's three variables
}

void FormTest::openExistingProjectRunsTheIdeAndEnds()
{
    const ProcessEnd end = runToProcessEnd([] {
        Window window;
        window.platform->log.clear();
        window.form->findChild<QPushButton *>("ExistingProject")->click();
    });
    QVERIFY2(end.reached, qPrintable(end.output));
    QCOMPARE(end.status, 0);
    const QStringList expected{"cursor: busy", "start: /opt/dev root/SN451/bin/snavigator.exe",
                               "wait", "cursor: normal", "exit: 0"};
    QCOMPARE(end.log, expected);
}

void FormTest::captionsFitTheirControls_data()
{
    componentsHaveStoredGeometryAndFont_data();
}

// Run at several scale factors (QT_SCALE_FACTOR); the layout is in logical pixels.
void FormTest::captionsFitTheirControls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);

    Window window;
    QVERIFY(window.shown());
    const auto &form = window.form;
    auto *button = form->findChild<QAbstractButton *>(name);
    QVERIFY(button);
    QVERIFY2(button->sizeHint().width() <= button->width(),
             qPrintable(QString("%1 needs %2 pixels, has %3 (font %4)")
                            .arg(name)
                            .arg(button->sizeHint().width())
                            .arg(button->width())
                            .arg(QFontInfo(button->font()).family())));
    // Screen readers get the caption.
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), caption);
}

void FormTest::tabKeyWalksTheStoredOrder()
{
    Window window;
    QVERIFY(window.shown());
    const auto &form = window.form;
    if (!window.activated())
        QSKIP(NotActivated);
    form->findChild<QWidget *>("NewTempl")->setFocus();

    // The four radio buttons are one stop, entered at the first in the order.
    QVERIFY(QApplication::focusWidget());
    QStringList walked{QApplication::focusWidget()->objectName()};
    for (int press = 0; press < 4; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget());
        walked << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walked,
             (QStringList{"NewTempl", "NewProject", "ExistingProject", "ThePalmor", "NewTempl"}));
}

void FormTest::arrowKeysChooseThePlatform_data()
{
    QTest::addColumn<bool>("chosenFirst");
    QTest::newRow("from a chosen platform") << true;
    QTest::newRow("with no platform chosen yet") << false;
}

void FormTest::arrowKeysChooseThePlatform()
{
    QFETCH(bool, chosenFirst);

    Window window;
    QVERIFY(window.shown());
    const auto &form = window.form;
    if (!window.activated())
        QSKIP(NotActivated);
    auto *palmor = form->findChild<QRadioButton *>("ThePalmor");
    palmor->setFocus();
    if (chosenFirst)
        QTest::keyClick(palmor, Qt::Key_Space);

    // Down and Up follow the screen: Palmor, Dunnet, Vessik, Lenko Camera.
    QList<int> indexes;
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
        QVERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), key);
        indexes << form->platformIndex();
    }
    QCOMPARE(indexes, (QList<int>{1, 2, 3, 2}));
    QVERIFY(form->findChild<QRadioButton *>("TheVessik")->isChecked());
    QVERIFY(!form->findChild<QRadioButton *>("ThePalmor")->isChecked());
}

void FormTest::enterPressesTheFocusedButton()
{
    Window window;
    QVERIFY(window.shown());
    if (!window.activated())
        QSKIP(NotActivated);
    const ProcessEnd end = runToProcessEnd([&window] {
        auto *existing = window.form->findChild<QPushButton *>("ExistingProject");
        existing->setFocus();
        QTest::keyClick(existing, Qt::Key_Return);
    });
    QVERIFY2(end.reached, qPrintable(end.output));
    QCOMPARE(end.status, 0);
    QVERIFY(end.log.contains("start: /opt/dev root/SN451/bin/snavigator.exe"));
}

QTEST_MAIN(FormTest)
#include "tst_form.moc"
