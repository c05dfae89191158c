// SPDX-License-Identifier: MIT
#include "DisplayText.h"

#include <QTextDocument>

namespace {

constexpr char16_t controlPicturesStart = 0x2400;
constexpr char16_t symbolForDelete = 0x2421;

} // namespace

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
        if (code < 0x20)
            visible += QChar(char16_t(controlPicturesStart + code));
        else if (code == 0x7f)
            visible += QChar(symbolForDelete);
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
