// SPDX-License-Identifier: MIT
#include "navigator/EditorDialog.h"

#include "navigator/EditorCommand.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

EditorDialog::EditorDialog(const QString &command, const QStringList &choices, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("editorDialog"));
    setWindowTitle(tr("Editor"));
    m_command = new QComboBox(this);
    m_command->setObjectName(QStringLiteral("editorCommandCombo"));
    m_command->setEditable(true);
    m_command->setInsertPolicy(QComboBox::NoInsert);
    m_command->addItems(choices);
    m_command->setEditText(command);
    m_command->lineEdit()->setPlaceholderText(tr("$VISUAL, $EDITOR or the desktop's editor"));
    auto *label = new QLabel(tr("&Command that opens a file at a line:"), this);
    label->setBuddy(m_command);
    auto *hint = new QLabel(tr("{file}, {line} and {column} stand for where to open; without "
                               "{file}, the file goes last. Quote words that hold spaces."),
                            this);
    hint->setWordWrap(true);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("editorProblemLabel"));
    m_problem->setTextFormat(Qt::PlainText);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_command);
    layout->addWidget(hint);
    layout->addWidget(m_problem);
    layout->addWidget(m_buttons);
    resize(560, sizeHint().height());

    connect(m_command, &QComboBox::editTextChanged, this, &EditorDialog::check);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    check();
}

QString EditorDialog::command() const
{
    return m_command->currentText().trimmed();
}

void EditorDialog::check()
{
    QString error;
    splitCommandLine(command(), &error);
    m_problem->setText(error.isEmpty() ? QString()
                                       : tr("This command cannot be used: %1").arg(error));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(error.isEmpty());
}
