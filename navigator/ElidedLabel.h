// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

// A one-line plain-text label showing as much of its text as fits, elided
// with "…", and the text in its tooltip. The text is first cut to a bounded
// length and its control characters made visible, so that a name of megabytes
// lays out as fast as a short one and never takes more than one line.
class ElidedLabel : public QLabel
{
    Q_OBJECT
    // What the label shows when it is wide enough.
    Q_PROPERTY(QString fullText READ fullText)

public:
    explicit ElidedLabel(Qt::TextElideMode mode, QWidget *parent = nullptr);

    void setFullText(const QString &text);
    QString fullText() const { return m_fullText; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();

    Qt::TextElideMode m_mode;
    QString m_fullText;
};
