// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// What the arguments ask for. --help and --version are answered on standard
// output, and an unknown option on standard error, before any window exists.
// Qt's own options, with their values, are left to Qt; other arguments are ignored.
struct CommandLineRequest
{
    enum Kind
    {
        ShowWindow,
        Help,
        Version,
        UnknownOption
    };
    Kind kind = ShowWindow;
    std::string unknownOption;
};

// The first --help, --version or unknown option decides.
CommandLineRequest commandLineRequest(int argc, const char *const argv[]);

std::string helpText();
std::string versionText();

// Prints the text for Help or Version (exit status 0, or 1 if it could not be
// written, for example to a full disk), or the usage for an unknown option
// (exit status 2).
int answerCommandLineRequest(const CommandLineRequest &request);

// The line to print on standard error for a locale whose character set is not
// UTF-8, or an empty string. Qt writes names as UTF-8 whatever the locale says.
// The C and POSIX locales, what an unset environment gives, are not a choice
// of encoding and get no line.
std::string localeWarning(const std::string &localeName, const std::string &codeset);

// localeWarning() for the locale of the environment (LC_ALL, LC_CTYPE, LANG).
std::string environmentLocaleWarning();
