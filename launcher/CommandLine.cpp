// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <langinfo.h>

CommandLineRequest commandLineRequest(int argc, const char *const argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0)
            return CommandLineRequest::Help;
        if (std::strcmp(argv[i], "--version") == 0)
            return CommandLineRequest::Version;
    }
    return CommandLineRequest::ShowWindow;
}

std::string helpText()
{
    return "Usage: quellix-launcher [--help | --version]\n"
           "\n"
           "Sets up embedded-robot (m68k) development projects. Start it with the root\n"
           "of a development installation as the working directory: it adds the root's\n"
           "tool directories to PATH, sets MAKE_MODE=UNIX and QPRJ=<root>, then shows\n"
           "one window to create a project from a platform's template or around\n"
           "existing sources, or to open the navigator IDE. Other arguments are ignored.\n"
           "\n"
           "  --help     show this help and exit\n"
           "  --version  show the version and exit\n"
           "\n"
           "See quellix-launcher(1).\n";
}

std::string versionText()
{
    return "quellix-launcher " QUELLIX_VERSION "\n";
}

int answerCommandLineRequest(CommandLineRequest request)
{
    const std::string text = request == CommandLineRequest::Help ? helpText() : versionText();
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) != 0 || !written) {
        std::fprintf(stderr, "quellix-launcher: cannot write to standard output\n");
        return 1;
    }
    return 0;
}

std::string localeWarning(const std::string &localeName, const std::string &codeset)
{
    if (localeName.empty() || localeName == "C" || localeName == "POSIX")
        return {};
    std::string normalized;
    for (const char c : codeset) {
        if (c != '-' && c != '_')
            normalized += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (normalized == "utf8")
        return {};
    return "quellix-launcher: the locale " + localeName + " uses the character set " + codeset +
           ", not UTF-8; file and folder names are written as UTF-8.";
}

std::string environmentLocaleWarning()
{
    const char *name = std::setlocale(LC_CTYPE, "");
    if (name == nullptr)
        return {};
    return localeWarning(name, nl_langinfo(CODESET));
}
