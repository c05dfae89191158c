// SPDX-License-Identifier: MIT
#pragma once

#include "uploader/BoardProfile.h"

#include <QByteArray>

// What a boot monitor has answered so far to a record of a load.
struct MonitorReply
{
    enum class Kind
    {
        Incomplete, // more is to come
        Accepted,   // the record's acknowledgement ('.' or 'O')
        Refused,    // a bad record: CHKSUM/LINE/ADDR/OVERRUN n or "Bad ...", load goes on
        Loaded,     // LOADED / Loaded, entry: back at the prompt
        Failed,     // ERROR or TIMEOUT: the load is over, back at the prompt
        Unexpected, // nothing a monitor says here
    };
    Kind kind = Kind::Incomplete;
    QByteArray text;   // the answer's line, without its CR LF and the prompt
    int consumed = 0;  // bytes of the input the answer took
    quint32 entry = 0; // for Loaded
};

// Reads the answer to a record (endRecord: to the end record) from `received`.
MonitorReply readMonitorReply(BoardProfile::Monitor monitor, const QByteArray &received,
                              bool endRecord);
