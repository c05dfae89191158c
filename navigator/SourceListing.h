// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/Result.h"

#include <string>
#include <vector>

// Source files are the regular files of a project directory (or links to
// regular files) named *.c *.cc *.cpp *.s *.S *.h *.hh *.hpp, extension case
// as written. Hidden files, subdirectories and everything else are left out.

bool isSourceFileName(const std::string &name);
// True for the source file names that are headers: *.h *.hh *.hpp.
bool isHeaderFileName(const std::string &name);

// Lists the source files directly inside directory (no recursion), sorted
// byte-wise; a failure says why, as the system does.
Result<std::vector<std::string>> listSourceFiles(const std::string &directory);
