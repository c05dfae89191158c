#include "Startup.h"
#include "TForm1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    return runMainWindow([] { return std::make_unique<TForm1>(); });
}
