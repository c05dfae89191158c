// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;

// Settings ▸ Editor: the command line that opens a file at a line, typed in or
// chosen among the editors installed. Empty: $VISUAL, $EDITOR or the desktop's
// editor. A command line that cannot be split into words cannot be accepted.
class EditorDialog : public QDialog
{
    Q_OBJECT

public:
    EditorDialog(const QString &command, const QStringList &choices, QWidget *parent = nullptr);

    QString command() const;

private:
    void check();

    QComboBox *m_command = nullptr;
    QLabel *m_problem = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};
