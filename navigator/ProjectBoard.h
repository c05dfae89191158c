// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/Result.h"
#include "uploader/BoardProfile.h"

#include <QByteArray>
#include <QString>
#include <string>

// The board a project is built for: its Makefile names the pack ("PACK :=
// <pack>"), and the pack, under $QPRJ, holds the board's lib/board.profile.
struct ProjectBoard
{
    QString pack;
    std::string profileFile; // native bytes
    BoardProfile profile;
};

// Reads the board of the project in directory (native bytes). A failure says
// what is missing, naming the file.
Result<ProjectBoard> readProjectBoard(const std::string &directory);

// The pack a Makefile's text names, or an empty string when it names none that
// is a plain directory name.
QString packNamedBy(const QByteArray &makefile);
