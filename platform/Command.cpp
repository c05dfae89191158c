// SPDX-License-Identifier: MIT
#include "platform/Command.h"

std::string Command::displayText() const
{
    std::string text = program;
    for (const std::string &argument : arguments) {
        text += ' ';
        text += argument;
    }
    return text;
}
