// SPDX-License-Identifier: MIT
#include "navigator/CommandLine.h"
#include "navigator/NavigatorWindow.h"
#include "navigator/ProjectFiles.h"
#include "posix/FileSizeSignalIgnored.h"

#include <QApplication>
#include <iostream>

namespace {

int runBatch(const std::string &projectFile)
{
    const FileSizeSignalIgnored fileSizeSignalIgnored;
    const Result<Done> created = createProjectFile(projectFile);
    if (!created.ok()) {
        std::cerr << "snavigator: " << created.failure().message << '\n';
        return 1;
    }
    return 0;
}

int runWindow(const LaunchRequest &request)
{
    // Qt sees no arguments: they were parsed already, and file names are not Qt options.
    char programName[] = "snavigator";
    char *qtArgv[] = {programName, nullptr};
    int qtArgc = 1;
    QApplication app(qtArgc, qtArgv);
    // Name the settings file, ~/.config/Quellix/snavigator.conf.
    QApplication::setOrganizationName(QStringLiteral("Quellix"));
    QApplication::setApplicationName(QStringLiteral("snavigator"));

    NavigatorWindow window;
    if (request.mode == LaunchMode::OpenProject)
        window.openProject(request.projectFile);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    const LaunchRequest request = parseCommandLine(argc, argv);
    switch (request.mode) {
    case LaunchMode::UsageError:
        std::cerr << "snavigator: " << request.error << '\n' << usageText();
        return 2;
    case LaunchMode::Help:
        std::cout << usageText();
        return 0;
    case LaunchMode::BatchCreate:
        return runBatch(request.projectFile);
    case LaunchMode::PlainStart:
    case LaunchMode::OpenProject:
        return runWindow(request);
    }
    return 2;
}
