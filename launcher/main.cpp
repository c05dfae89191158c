// SPDX-License-Identifier: MIT
#include "launcher/CommandLine.h"
#include "launcher/QtTranslations.h"
#include "launcher/Startup.h"
#include "launcher/TForm1.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Before the application object: without a display, Qt would end the
    // process before an unknown option could be refused.
    const CommandLineRequest request = commandLineRequest(argc, argv);
    if (request.kind != CommandLineRequest::ShowWindow)
        return answerCommandLineRequest(request);
    if (const std::string warning = environmentLocaleWarning(); !warning.empty())
        std::fprintf(stderr, "%s\n", warning.c_str());

    QApplication application(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quellix.ProjectManagement"));
    installQtTranslations(application);
    return runMainWindow([] { return std::make_unique<TForm1>(); });
}
