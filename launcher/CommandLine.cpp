// SPDX-License-Identifier: MIT
#include "launcher/CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <langinfo.h>
#include <string_view>

namespace {

constexpr const char *Usage = "Usage: quellix-launcher [--help | --version]\n";

// The options of Qt 6's application object and of its X11 platform, without
// their first dash: Qt takes them with one dash or two.
constexpr std::array<std::string_view, 17> QtOptionsWithValue{"platform",
                                                              "platformpluginpath",
                                                              "platformtheme",
                                                              "plugin",
                                                              "qwindowgeometry",
                                                              "qwindowtitle",
                                                              "qwindowicon",
                                                              "session",
                                                              "style",
                                                              "stylesheet",
                                                              "qmljsdebugger",
                                                              "display",
                                                              "geometry",
                                                              "title",
                                                              "icon",
                                                              "name",
                                                              "visual"};
constexpr std::array<std::string_view, 8> QtOptionsAlone{
    "reverse",     "widgetcount", "nograb",      "dograb",
    "testability", "style=",      "stylesheet=", "qmljsdebugger="};

template <std::size_t Count>
bool isIn(std::string_view option, const std::array<std::string_view, Count> &names)
{
    return std::find(names.begin(), names.end(), option) != names.end();
}

} // namespace

CommandLineRequest commandLineRequest(int argc, const char *const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help")
            return {CommandLineRequest::Help, {}};
        if (argument == "--version")
            return {CommandLineRequest::Version, {}};
        if (argument.size() < 2 || argument[0] != '-')
            continue;
        std::string_view option = argument.substr(argument[1] == '-' ? 2 : 1);
        const auto joined = option.find('=');
        if (joined != std::string_view::npos)
            option = option.substr(0, joined + 1);
        if (isIn(option, QtOptionsWithValue))
            ++i;
        else if (!isIn(option, QtOptionsAlone))
            return {CommandLineRequest::UnknownOption, std::string(argument)};
    }
    return {};
}

std::string helpText()
{
    return std::string(Usage) +
           "\n"
           "Sets up embedded-robot (m68k) development projects. Start it with the root\n"
           "of a development installation as the working directory: it adds the root's\n"
           "tool directories to PATH, sets MAKE_MODE=UNIX and QPRJ=<root>, then shows\n"
           "one window to create a project from a platform's template or around\n"
           "existing sources, or to open the navigator IDE. Qt's own options, such as\n"
           "-platform NAME or -display DISPLAY, are passed to Qt; other options are\n"
           "refused, and other arguments ignored.\n"
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

int answerCommandLineRequest(const CommandLineRequest &request)
{
    if (request.kind == CommandLineRequest::UnknownOption) {
        std::fprintf(stderr,
                     "quellix-launcher: unknown option '%s'\n%sTry 'quellix-launcher --help' for "
                     "more information.\n",
                     request.unknownOption.c_str(), Usage);
        return 2;
    }
    const std::string text = request.kind == CommandLineRequest::Help ? helpText() : versionText();
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
