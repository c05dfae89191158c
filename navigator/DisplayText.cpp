// SPDX-License-Identifier: MIT
#include "navigator/DisplayText.h"

#include <QTextDocument>

QString boundedText(const QString &text, qsizetype limit)
{
    return text.size() <= limit ? text : text.left(limit) + QChar(0x2026);
}

QString visibleText(const QString &text)
{
    QString visible;
    visible.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == '\t')
            visible += QStringLiteral("\\t");
        else if (code == '\n')
            visible += QStringLiteral("\\n");
        else if (code == '\r')
            visible += QStringLiteral("\\r");
        else if (code < 0x20 || code == 0x7f)
            visible += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph)
            visible += QStringLiteral("\\u%1").arg(code, 4, 16, QLatin1Char('0'));
        else
            visible += c;
    }
    return visible;
}

QString menuText(const QString &text)
{
    return visibleText(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString plainToolTip(const QString &text)
{
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}
