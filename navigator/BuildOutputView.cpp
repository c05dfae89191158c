#include "BuildOutputView.h"

#include <QFontDatabase>
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
