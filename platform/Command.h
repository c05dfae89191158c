// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// A program and its arguments, started as a list: no shell, no splitting, so
// spaces and shell characters in paths reach the program intact.
struct Command
{
    std::string program;
    std::vector<std::string> arguments;

    // The command line as one text: the program and its arguments joined by
    // single spaces, unquoted. Used only to show the command to the user.
    std::string displayText() const;
};
