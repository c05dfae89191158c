#pragma once

#include <QObject>

// While it lives, the application takes no user input: mouse, keyboard, wheel,
// touch and context-menu events are dropped (not queued, so nothing is replayed
// later) and windows refuse to close. Painting and window-manager traffic go on.
class InputBlocker : public QObject
{
    Q_OBJECT

public:
    InputBlocker();
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
