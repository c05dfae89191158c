// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>

// Shows, read-only, the values of PATH, MAKE_MODE and QPRJ that the navigator
// inherited from the launcher, as they were when the view was made. Each value
// is in a QLineEdit named "env_<variable>"; an unset variable shows
// "(not set)" as placeholder text, so that it is never taken for a value.
class EnvironmentView : public QGroupBox
{
    Q_OBJECT

public:
    explicit EnvironmentView(QWidget *parent = nullptr);

    static QStringList variables();
};
