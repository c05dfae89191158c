// SPDX-License-Identifier: MIT
#include "BuildOutputView.h"

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
    // Inserts at the end whatever the user has selected meanwhile.
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void BuildOutputView::appendStatusLine(const QString &line)
{
    const bool atLineStart = document()->lastBlock().text().isEmpty();
    appendOutput((atLineStart ? QString() : QStringLiteral("\n")) + line);
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
