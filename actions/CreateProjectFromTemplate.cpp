// SPDX-License-Identifier: MIT
#include "actions/CreateProjectFromTemplate.h"

#include "actions/PathHelpers.h"
#include "platform/Platform.h"

ActionOutcome createProjectFromTemplate(Platform &platform, const ProjectSetup &setup)
{
    if (!setup.pack)
        return platformNotChosen();
    const auto chosen = chooseInDialog(platform, "Create Project from Template — name a new folder",
                                       dialogStartDirectory(platform, setup.rootDir), "*");
    if (!chosen)
        return ActionOutcome::returnedToWindow();
    // A typed trailing "/" names the same directory; without it the project
    // name would be empty.
    const std::string projectDirectory = WithoutTrailingSeparators(*chosen);

    if (const std::error_code error = platform.createDirectory(projectDirectory))
        return ActionOutcome::failed(
            "Erreur lors de la création du répertoire : " + projectDirectory, error);

    const std::string projectName = LastComponent(projectDirectory);
    const std::string templateC = packExample(setup, "Template.c");
    const std::string projectC = projectDirectory + "/" + projectName + ".c";
    if (const std::error_code error = platform.copyFileExclusive(templateC, projectC))
        return ActionOutcome::failed("Erreur lors de la copie du fichier C patron : " + templateC +
                                         " vers " + projectC,
                                     error);

    if (ActionOutcome copied = copyPackMakefile(platform, setup, projectDirectory);
        copied.isFailure())
        return copied;
    return createAndOpenProject(platform, setup.navigatorExe, BatchOptions::Long,
                                projectDirectory + "/" + projectName + ".proj");
}
