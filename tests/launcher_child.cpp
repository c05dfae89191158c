// SPDX-License-Identifier: MIT
// The real launcher window, driven from inside: checks a platform, clicks a
// button and types an answer into the real file dialog. Messages, with their
// informative text, and the dialog's folder and filter are printed on standard
// output, and answered. Arguments: radio button, button, typed path;
// with no button, the window is closed at once.
#include "launcher/Startup.h"
#include "launcher/TForm1.h"
#include "tests/TestSupport.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>

namespace {

void answerModals(const QString &typedPath)
{
    answerNextModal([typedPath](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            std::printf("message: %s\n", box->text().toUtf8().constData());
            if (!box->informativeText().isEmpty())
                std::printf("reason: %s\n", box->informativeText().toUtf8().constData());
            std::fflush(stdout);
            box->accept();
        } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            std::printf("dialog: %s\n", dialog->directory().absolutePath().toUtf8().constData());
            std::printf("filter: %s\n", dialog->selectedNameFilter().toUtf8().constData());
            std::fflush(stdout);
            auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
            edit->setText(typedPath);
            QTest::keyClick(edit, Qt::Key_Return);
        }
        answerModals(typedPath);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    if (argc < 4)
        return 2;
    const QString radio = QString::fromLocal8Bit(argv[1]);
    const QString button = QString::fromLocal8Bit(argv[2]);
    answerModals(QString::fromLocal8Bit(argv[3]));

    return runMainWindow([&] {
        auto form = std::make_unique<TForm1>();
        QTimer::singleShot(0, form.get(), [form = form.get(), radio, button] {
            if (auto *choice = form->findChild<QRadioButton *>(radio))
                QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(8, choice->height() / 2));
            if (auto *pressed = form->findChild<QPushButton *>(button)) {
                pressed->click();
                std::printf("returned to the window\n");
                std::fflush(stdout);
            }
            form->close();
        });
        return form;
    });
}
