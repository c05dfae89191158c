// SPDX-License-Identifier: MIT
#pragma once

#include <string>

class Platform;

struct ToolchainPaths
{
    std::string rootDir;      // the installation root
    std::string navigatorExe; // the IDE's full path
};

// Takes the installation root from the current directory and exports PATH,
// MAKE_MODE and QPRJ, which every program started afterwards inherits. When the
// current directory cannot be read, says so and goes on with an empty root; when
// the root's name holds ":", says so and leaves PATH as inherited.
ToolchainPaths exportToolchainEnvironment(Platform &platform);

// The inherited search path, kept as it is, followed by the installation's tool
// directories; no empty entry is added.
std::string toolchainSearchPath(const std::string &inheritedPath, const std::string &rootDir);
