// SPDX-License-Identifier: MIT
#include "actions/CreateProjectFromFiles.h"

#include "actions/PathHelpers.h"

ActionOutcome createProjectFromFiles(Platform &platform, const ProjectSetup &setup)
{
    if (!setup.pack)
        return platformNotChosen();
    const auto chosen =
        chooseInDialog(platform, "Create Project from Files — choose one of your sources",
                       dialogStartDirectory(platform, setup.rootDir), "*.c;*.cc;*.cpp;*.s;*.S");
    if (!chosen)
        return ActionOutcome::returnedToWindow();
    // Only the chosen file's directory counts; the file itself is never read.
    const std::string projectDirectory = DirectoryPart(*chosen);
    const std::string projectName = LastComponent(projectDirectory);
    // A file directly in "/" leaves no directory name to call the project by.
    if (projectName.empty())
        return ActionOutcome::failed(
            "Impossible de créer un projet sans nom dans le répertoire : " +
            (projectDirectory.empty() ? "/" : projectDirectory));

    if (ActionOutcome copied = copyPackMakefile(platform, setup, projectDirectory);
        copied.isFailure())
        return copied;
    return createAndOpenProject(platform, setup.navigatorExe, BatchOptions::Short,
                                projectDirectory + "/" + projectName + ".proj");
}
