// SPDX-License-Identifier: MIT
#include "navigator/BuildLog.h"

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
        qsizetype shown = std::min<qint64>(maxShownLineLength - m_lineShown, end - start);
        // Never half a character.
        if (shown > 0 && shown < end - start && text.at(start + shown - 1).isHighSurrogate())
            ++shown;
        change.append += QStringView(text).mid(start, shown);
        m_lineShown += shown;
        m_lineLength += end - start;
        if (newline < 0)
            break;
        change.append += cutMarker();
        change.append += QLatin1Char('\n');
        m_lineLength = 0;
        m_lineShown = 0;
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
    if (m_lineLength == m_lineShown)
        return {};
    return tr(" [\u2026 %1 characters not shown]").arg(m_lineLength - m_lineShown);
}
