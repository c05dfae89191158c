// SPDX-License-Identifier: MIT
#include "launcher/Startup.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

namespace {

void showException(const std::exception &exception)
{
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                    QString::fromLocal8Bit(exception.what()), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

int runMainWindow(const std::function<std::unique_ptr<QWidget>()> &createMainWindow)
{
    try {
        const std::unique_ptr<QWidget> window = createMainWindow();
        window->show();
        QApplication::exec();
    } catch (const std::exception &exception) {
        showException(exception);
    }
    return 0;
}
