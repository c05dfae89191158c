// SPDX-License-Identifier: MIT
#include "BuildLog.h"

#include <QSaveFile>
#include <QStringEncoder>
#include <algorithm>

BuildLog::ShownChange BuildLog::append(const QString &text)
{
    keep(text);
    ShownChange change;
    if (text.isEmpty())
        return change;
    change.removeAtEnd = std::exchange(m_markerLength, 0);
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype newline = text.indexOf(QLatin1Char('\n'), start);
        const qsizetype end = newline < 0 ? text.size() : newline;
        const qint64 room = std::max<qint64>(0, maxShownLineLength - m_lineLength);
        change.append += QStringView(text).mid(start, std::min<qint64>(room, end - start));
        m_lineLength += end - start;
        if (newline < 0)
            break;
        change.append += cutMarker();
        change.append += QLatin1Char('\n');
        m_lineLength = 0;
        start = newline + 1;
    }
    const QString marker = cutMarker();
    m_markerLength = marker.size();
    change.append += marker;
    return change;
}

QString BuildLog::save(const QString &path) const
{
    QSaveFile file(path);
    QStringEncoder encoder(QStringEncoder::System);
    if (file.open(QIODevice::WriteOnly)) {
        if (m_dropped > 0)
            file.write(
                encoder(tr("[%1 earlier characters of output were not kept]\n").arg(m_dropped)));
        file.write(encoder(m_kept));
        if (file.commit())
            return {};
    }
    return file.errorString();
}

void BuildLog::keep(const QString &text)
{
    m_kept += text;
    qsizetype excess = m_kept.size() - maxKeptLength;
    if (excess <= 0)
        return;
    // Never half a character.
    if (m_kept.at(excess).isLowSurrogate())
        ++excess;
    m_kept.remove(0, excess);
    m_dropped += excess;
}

QString BuildLog::cutMarker() const
{
    if (m_lineLength <= maxShownLineLength)
        return {};
    return tr(" [\u2026 %1 characters not shown]").arg(m_lineLength - maxShownLineLength);
}
