// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Names that come from files, projects and devices may hold anything. These
// make them safe to show in one line of a label, title, menu or tooltip.

// text cut after limit characters, with "…" marking the cut.
QString boundedText(const QString &text, qsizetype limit);

// Control characters and line separators written as C escapes, so that a tab
// or a newline neither acts nor vanishes: "\t", "\n", "\r", "\x1b", "\u2028"
// and the like. Every font shows these, unlike the Control Pictures.
QString visibleText(const QString &text);

// visibleText() with '&' doubled, so that no character becomes a mnemonic.
QString menuText(const QString &text);

// A tooltip showing text as it is: tooltips take text that looks like markup
// as rich text, which could load images from anywhere.
QString plainToolTip(const QString &text);
