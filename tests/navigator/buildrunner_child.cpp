// SPDX-License-Identifier: MIT
// Starts a build in the directory given and runs until it is killed.
#include "navigator/BuildRunner.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    BuildRunner runner;
    runner.start(argv[1]);
    return app.exec();
}
