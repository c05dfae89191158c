#include "Startup.h"
#include "TForm1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quellix.ProjectManagement"));
    return runMainWindow([] { return std::make_unique<TForm1>(); });
}
