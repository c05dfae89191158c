// SPDX-License-Identifier: MIT
#include "navigator/BuildOutputView.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

BuildOutputView::BuildOutputView(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("buildOutput"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void BuildOutputView::appendOutput(const QString &text)
{
    const BuildLog::ShownChange change = m_log.append(text);
    if (change.removeAtEnd == 0 && change.append.isEmpty())
        return;
    // Inserts at the end whatever the user has selected meanwhile.
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.setPosition(end.position() - change.removeAtEnd, QTextCursor::KeepAnchor);
    end.insertText(change.append);
    dropEarlyLines();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void BuildOutputView::appendStatusLine(const QString &line)
{
    const bool atLineStart = document()->lastBlock().text().isEmpty();
    appendOutput((atLineStart ? QString() : QStringLiteral("\n")) + line);
}

void BuildOutputView::clearOutput()
{
    clear();
    m_log.clear();
    m_droppedLines = 0;
}

void BuildOutputView::dropEarlyLines()
{
    const int note = m_droppedLines > 0 ? 1 : 0;
    const int excess = document()->blockCount() - note - maxLines;
    if (excess <= 0)
        return;
    // One edit at the top, apart from the one at the end, so that the lines
    // between keep their layout.
    QTextCursor top(document());
    top.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, note + excess);
    m_droppedLines += excess;
    top.insertText(tr("[\u2026 %1 earlier lines not shown]\n").arg(m_droppedLines));
}

void BuildOutputView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    // The file name runs up to the first colon, so it may hold spaces and accents.
    static const QRegularExpression diagnostic(QStringLiteral("^([^:]+):([0-9]+):(?:([0-9]+):)?"));
    const QString line = cursorForPosition(event->position().toPoint()).block().text();
    const QRegularExpressionMatch match = diagnostic.match(line);
    if (match.hasMatch())
        emit diagnosticActivated(match.captured(1), match.captured(2).toInt(),
                                 match.hasCaptured(3) ? match.captured(3).toInt() : 1);
}
