// SPDX-License-Identifier: MIT
#include "uploader/ProgressPrinter.h"

#include <unistd.h>

ProgressPrinter::ProgressPrinter(std::FILE *out) : m_out(out), m_terminal(isatty(fileno(out)))
{
    m_clock.start();
}

void ProgressPrinter::update(int recordsDone, int recordsTotal, qint64 bytesDone, qint64 bytesTotal)
{
    const int percent = bytesTotal > 0 ? int(bytesDone * 100 / bytesTotal) : 100;
    const bool last = recordsDone >= recordsTotal;
    if (!m_terminal) {
        const int tenth = percent / 10;
        if (tenth == m_lastTenth && !last)
            return;
        m_lastTenth = tenth;
        std::fprintf(m_out, "%3d %%: %d/%d records, %lld/%lld bytes\n", percent, recordsDone,
                     recordsTotal, qlonglong(bytesDone), qlonglong(bytesTotal));
        std::fflush(m_out);
        return;
    }
    // Redrawn at most 10 times a second, and at the end.
    const qint64 now = m_clock.elapsed();
    if (!last && m_lastDrawMs >= 0 && now - m_lastDrawMs < 100)
        return;
    m_lastDrawMs = now;
    char left[32] = "--:--";
    if (bytesDone > 0) {
        const qint64 seconds = (now * (bytesTotal - bytesDone) / bytesDone + 999) / 1000;
        std::snprintf(left, sizeof left, "%lld:%02lld", qlonglong(seconds / 60),
                      qlonglong(seconds % 60));
    }
    std::fprintf(m_out, "\r\033[K%d/%d records, %lld/%lld bytes, %d %%, %s left", recordsDone,
                 recordsTotal, qlonglong(bytesDone), qlonglong(bytesTotal), percent, left);
    std::fflush(m_out);
    m_lineOpen = true;
}

void ProgressPrinter::finish()
{
    if (m_lineOpen) {
        std::fputc('\n', m_out);
        std::fflush(m_out);
        m_lineOpen = false;
    }
}
