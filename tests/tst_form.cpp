// SPDX-License-Identifier: MIT
#include "launcher/TForm1.h"
#include "tests/FakePlatform.h"
#include "tests/TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

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

private:
    static std::unique_ptr<TForm1> makeForm(FakePlatform *&platform);
    static bool becomesActive(QWidget *window);
};

// Keys go to the active window. Some window systems (a Wayland compositor) give
// activation only as the user's own act, never on a program's request.
bool FormTest::becomesActive(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return window->isActiveWindow(); }, 2000);
}

std::unique_ptr<TForm1> FormTest::makeForm(FakePlatform *&platform)
{
    auto fake = std::make_unique<FakePlatform>();
    fake->workingDirectory = "/opt/dev root";
    platform = fake.get();
    return std::make_unique<TForm1>(std::move(fake));
}

void FormTest::startsWithStoredLayoutAndNoPlatform()
{
    FakePlatform *platform = nullptr;
    const auto form = makeForm(platform);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

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
    QCOMPARE(platform->environment["QPRJ"], std::string("/opt/dev root"));
    QVERIFY(platform->messages().empty());
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

    FakePlatform *platform = nullptr;
    const auto form = makeForm(platform);
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
    FakePlatform *platform = nullptr;
    const auto form = makeForm(platform);
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

    FakePlatform *platform = nullptr;
    const auto form = makeForm(platform);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
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
    QCOMPARE(platform->log.size(), size_t(3)); // only the start-up's three variables
}

void FormTest::openExistingProjectRunsTheIdeAndEnds()
{
    FakePlatform *platform = nullptr;
    const auto form = makeForm(platform);
    platform->log.clear();
    try {
        form->findChild<QPushButton *>("ExistingProject")->click();
        QFAIL("the launcher went on after the IDE");
    } catch (const FakePlatform::ProcessEnded &ended) {
        QCOMPARE(ended.status, 0);
    }
    const QStringList expected{"cursor: busy", "start: /opt/dev root/SN451/bin/snavigator.exe",
                               "wait", "cursor: normal", "exit: 0"};
    QCOMPARE(toQStringList(platform->log), expected);
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

    FakePlatform *platform = nullptr;
    const auto form = makeForm(platform);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
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
    FakePlatform *platform = nullptr;
    const auto form = makeForm(platform);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    if (!becomesActive(form.get()))
        QSKIP("The window system did not activate the window: keys cannot reach it.");
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

    FakePlatform *platform = nullptr;
    const auto form = makeForm(platform);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    if (!becomesActive(form.get()))
        QSKIP("The window system did not activate the window: keys cannot reach it.");
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
    FakePlatform *platform = nullptr;
    const auto form = makeForm(platform);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    if (!becomesActive(form.get()))
        QSKIP("The window system did not activate the window: keys cannot reach it.");
    auto *existing = form->findChild<QPushButton *>("ExistingProject");
    existing->setFocus();
    platform->log.clear();
    try {
        QTest::keyClick(existing, Qt::Key_Return);
        QFAIL("Enter did not press the button");
    } catch (const FakePlatform::ProcessEnded &ended) {
        QCOMPARE(ended.status, 0);
    }
    QVERIFY(toQStringList(platform->log).contains("start: /opt/dev root/SN451/bin/snavigator.exe"));
}

QTEST_MAIN(FormTest)
#include "tst_form.moc"
