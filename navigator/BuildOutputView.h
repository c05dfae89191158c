// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/BuildLog.h"

#include <QPlainTextEdit>

// The read-only, monospace pane that shows a build's output as it comes,
// kept scrolled to the end: its last maxLines lines, each cut after a few
// thousand characters (BuildLog), so that any output costs time in proportion
// to its size. A double-click on a compiler diagnostic
// ("<file>:<line>[:<column>]: ...") reports the place it names.
class BuildOutputView : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int maxLines = 10000;

    explicit BuildOutputView(QWidget *parent = nullptr);

    // Adds text exactly as received; it may end in the middle of a line.
    void appendOutput(const QString &text);
    // Adds line on a line of its own, with no newline after it.
    void appendStatusLine(const QString &line);
    void clearOutput();

    // The output, whole as far as it is kept.
    const BuildLog &log() const { return m_log; }

signals:
    // file as written in the output: relative to make's directory or absolute;
    // column 1 when the diagnostic gives none.
    void diagnosticActivated(const QString &file, int line, int column);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void dropEarlyLines();

    BuildLog m_log;
    qint64 m_droppedLines = 0; // above the note that counts them
};
