// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

// How a board takes an image: its boot monitor, serial rate, the S-record kind
// it stores and its application flash. Read from a pack's lib/board.profile:
//   board=Palmor
//   monitor=68000        (68000 or cpu32)
//   baud=9600
//   records=S2           (S1, S2 or S3: the data records the monitor is sent)
//   flash=0x000000-0x01FFFF   (first and last byte, inclusive)
struct BoardProfile
{
    enum class Monitor
    {
        M68000, // answers '.' per record, CHKSUM/LINE/ADDR/OVERRUN n, LOADED, ERROR
        Cpu32,  // answers 'O' per record, "Bad ...", needs ESC after an error
    };

    QString board;
    Monitor monitor = Monitor::M68000;
    int baud = 9600;
    int recordType = 2; // 1, 2 or 3
    quint32 flashFirst = 0;
    quint32 flashLast = 0;

    // Store time per record after its CR, as the monitor documents it.
    int storeMilliseconds() const { return monitor == Monitor::M68000 ? 5 : 1; }
};

// Parses a profile's text; on failure returns false and sets *error to a
// message naming the line.
bool parseBoardProfile(const QByteArray &text, BoardProfile *profile, QString *error);
