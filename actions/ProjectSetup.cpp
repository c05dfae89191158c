// SPDX-License-Identifier: MIT
#include "actions/ProjectSetup.h"

#include "actions/RunAndWait.h"
#include "platform/Platform.h"

ActionOutcome platformNotChosen()
{
    return ActionOutcome::returnedToWindow("Choisissez une plateforme, SVP !");
}

std::string packExample(const ProjectSetup &setup, const std::string &fileName)
{
    return setup.rootDir + "/" + setup.pack.value() + "/examples/" + fileName;
}

std::string dialogStartDirectory(const Platform &platform, const std::string &rootDir)
{
    if (platform.isWritableDirectory(rootDir))
        return rootDir;
    const auto home = platform.environmentVariable("HOME");
    return home && !home->empty() ? *home : rootDir;
}

std::optional<std::string> chooseInDialog(Platform &platform, const std::string &title,
                                          const std::string &initialDir, const std::string &filter)
{
    platform.setDialogInitialDir(initialDir);
    platform.addDialogHideReadOnly();
    platform.setDialogFilter(filter);
    platform.setDialogTitle(title);
    if (!platform.executeDialog())
        return std::nullopt;
    return platform.dialogFileName();
}

ActionOutcome copyPackMakefile(Platform &platform, const ProjectSetup &setup,
                               const std::string &projectDirectory)
{
    const std::string templateMakefile = packExample(setup, "Makefile");
    const std::string projectMakefile = projectDirectory + "/Makefile";
    if (const std::error_code error = platform.copyFileExclusive(templateMakefile, projectMakefile))
        return ActionOutcome::failed("Erreur lors de la copie du fichier Make patron : " +
                                         templateMakefile + " vers " + projectMakefile,
                                     error);
    return {};
}

ActionOutcome createAndOpenProject(Platform &platform, const std::string &navigatorExe,
                                   BatchOptions options, const std::string &projectFile)
{
    if (ActionOutcome created =
            RunAndWait(platform, navigatorBatchCreate(navigatorExe, options, projectFile));
        created.isFailure())
        return created;
    return RunAndWait(platform, navigatorOpen(navigatorExe, projectFile));
}
