// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>
#include <cstdio>

// Shows an upload's progress: one line rewritten in place on a terminal,
// otherwise a plain line every 10 %.
class ProgressPrinter
{
public:
    explicit ProgressPrinter(std::FILE *out);

    void update(int recordsDone, int recordsTotal, qint64 bytesDone, qint64 bytesTotal);
    // Ends the line being rewritten, before any other message.
    void finish();

private:
    std::FILE *m_out;
    bool m_terminal;
    bool m_lineOpen = false;
    int m_lastTenth = -1;
    qint64 m_lastDrawMs = -1;
    QElapsedTimer m_clock;
};
