// SPDX-License-Identifier: MIT
#include "launcher/Startup.h"
#include "launcher/TForm1.h"
#include "tests/FakePlatform.h"
#include "tests/TestSupport.h"

#include <QMessageBox>
#include <stdexcept>

namespace {
// A platform that fails the way the toolkit or the runtime might, mid-construction.
class ThrowingPlatform : public FakePlatform
{
public:
    std::optional<std::string> currentDirectory() const override
    {
        throw std::runtime_error("std::bad_alloc while reading the current directory");
    }
};
} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void exceptionDuringConstructionIsShownAndEndsWithZero();
    void closingTheWindowEndsWithZero();
};

void StartupTest::exceptionDuringConstructionIsShownAndEndsWithZero()
{
    QString shownText;
    bool windowVisibleDuringMessage = true;
    answerNextModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        shownText = box->text();
        windowVisibleDuringMessage = false;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<TForm1 *>(widget) && widget->isVisible())
                windowVisibleDuringMessage = true;
        }
        box->accept();
    });

    const int status = runMainWindow(
        [] { return std::make_unique<TForm1>(std::make_unique<ThrowingPlatform>()); });

    QCOMPARE(status, 0);
    QCOMPARE(shownText, QString("std::bad_alloc while reading the current directory"));
    QVERIFY(!windowVisibleDuringMessage);
}

void StartupTest::closingTheWindowEndsWithZero()
{
    QWidget *shown = nullptr;
    const int status = runMainWindow([&] {
        auto form = std::make_unique<TForm1>(std::make_unique<FakePlatform>());
        shown = form.get();
        QTimer::singleShot(0, form.get(), [form = form.get()] { form->close(); });
        return form;
    });
    QCOMPARE(status, 0);
    QVERIFY(shown);
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
