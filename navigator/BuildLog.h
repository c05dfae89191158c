// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>

// A build's output as it comes: the last maxKeptLength characters of it, whole,
// for saving, and what the output pane shows of it, with every line cut after
// maxShownLineLength characters and a count of what was cut in its place.
class BuildLog
{
    Q_DECLARE_TR_FUNCTIONS(BuildLog)

public:
    static constexpr qsizetype maxShownLineLength = 4000;
    static constexpr qsizetype maxKeptLength = 16 * 1024 * 1024;

    // How the shown text changes: its last removeAtEnd characters (the count
    // of what a line hides, outdated now) make way for append.
    struct ShownChange
    {
        qsizetype removeAtEnd = 0;
        QString append;
    };

    // text may start or end in the middle of a line.
    ShownChange append(const QString &text);
    void clear() { *this = BuildLog(); }

    // Writes the kept text in the locale's encoding, after a line telling how
    // much came before it, if any; returns why it could not, or nothing.
    QString save(const QString &path) const;

private:
    void keep(const QString &text);
    QString cutMarker() const;

    QString m_kept;
    qint64 m_dropped = 0;         // characters no longer kept, before m_kept
    qint64 m_lineLength = 0;      // of the last line so far, shown or not
    qsizetype m_lineShown = 0;    // of it shown: at most maxShownLineLength + 1
    qsizetype m_markerLength = 0; // of the cut marker shown at its end
};
