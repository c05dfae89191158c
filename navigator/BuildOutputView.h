// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>

// The read-only, monospace pane that shows a build's output as it comes,
// kept scrolled to the end. A double-click on a compiler diagnostic
// ("<file>:<line>[:<column>]: ...") reports the place it names.
class BuildOutputView : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit BuildOutputView(QWidget *parent = nullptr);

    // Adds text exactly as received; it may end in the middle of a line.
    void appendOutput(const QString &text);
    // Adds line on a line of its own, with no newline after it.
    void appendStatusLine(const QString &line);

signals:
    // file as written in the output: relative to make's directory or absolute;
    // column 1 when the diagnostic gives none.
    void diagnosticActivated(const QString &file, int line, int column);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
