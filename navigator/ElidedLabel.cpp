// SPDX-License-Identifier: MIT
#include "navigator/ElidedLabel.h"

#include "navigator/DisplayText.h"

namespace {

// Far more than any window shows on one line.
constexpr qsizetype maxShownCharacters = 1000;

} // namespace

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget *parent) : QLabel(parent), m_mode(mode)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Takes the width the window gives it, whatever the text.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString &text)
{
    m_fullText = visibleText(boundedText(text, maxShownCharacters));
    setToolTip(plainToolTip(m_fullText));
    elide();
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    setText(fontMetrics().elidedText(m_fullText, m_mode, contentsRect().width()));
}
