// SPDX-License-Identifier: MIT
#include "launcher/ToolchainEnvironment.h"

#include "actions/PathHelpers.h"
#include "platform/Platform.h"

ToolchainPaths exportToolchainEnvironment(Platform &platform)
{
    ToolchainPaths paths;
    if (const auto directory = platform.currentDirectory())
        paths.rootDir = *directory;
    else
        platform.showMessage("Cannot get current directory, please rerun the application.", {});
    paths.navigatorExe = paths.rootDir + "/SN451/bin/snavigator.exe";

    // ":" separates PATH's entries: such a root would add pieces of itself as
    // relative entries, looked up from whatever the current directory is.
    if (paths.rootDir.find(':') != std::string::npos) {
        platform.showMessage(
            "Cannot put the installation's tools on PATH, as its directory name contains ':': " +
                paths.rootDir,
            {});
    } else {
        const std::string inheritedPath =
            platform.environmentVariable("PATH").value_or(std::string());
        platform.setEnvironmentVariable("PATH", toolchainSearchPath(inheritedPath, paths.rootDir));
    }
    platform.setEnvironmentVariable("MAKE_MODE", "UNIX");
    platform.setEnvironmentVariable("QPRJ", ToForwardSlashes(paths.rootDir));
    return paths;
}

std::string toolchainSearchPath(const std::string &inheritedPath, const std::string &rootDir)
{
    std::string path = inheritedPath;
    for (const char *toolDirectory : {"/BIN", "/JAVA/BIN", "/LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/"}) {
        if (!path.empty())
            path += ':';
        path += rootDir + toolDirectory;
    }
    return path;
}
