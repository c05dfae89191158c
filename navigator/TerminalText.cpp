// SPDX-License-Identifier: MIT
#include "navigator/TerminalText.h"

QString TerminalText::decode(const QByteArray &bytes)
{
    const QString decoded = m_decoder(bytes);
    QString text;
    text.reserve(decoded.size());
    for (const QChar c : decoded) {
        const bool afterCr = m_afterCr;
        m_afterCr = c == QLatin1Char('\r');
        if (c == QLatin1Char('\n') && afterCr)
            continue;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            text += QLatin1Char('\n');
        else if (c == QLatin1Char('\t') || (c.unicode() >= 0x20 && c.unicode() != 0x7f))
            text += c;
    }
    return text;
}
