#pragma once

#include <QPlainTextEdit>

// The read-only, monospace pane that shows a build's output as it comes,
// kept scrolled to the end.
class BuildOutputView : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit BuildOutputView(QWidget *parent = nullptr);

    // Adds text exactly as received; it may end in the middle of a line.
    void appendOutput(const QString &text);
    // Adds line on a line of its own, with no newline after it.
    void appendStatusLine(const QString &line);
};
