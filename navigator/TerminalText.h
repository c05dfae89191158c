// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

// Turns what a board sends into text for a pane: UTF-8, with anything invalid
// shown as U+FFFD; CR, LF and CR LF each end a line, even when split between
// reads; other control characters but tab are dropped.
class TerminalText
{
public:
    QString decode(const QByteArray &bytes);

private:
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    bool m_afterCr = false;
};
