// SPDX-License-Identifier: MIT
#include "navigator/EnvironmentView.h"

#include <QFormLayout>
#include <QLineEdit>

EnvironmentView::EnvironmentView(QWidget *parent) : QGroupBox(tr("Environment"), parent)
{
    setObjectName(QStringLiteral("environmentView"));
    auto *layout = new QFormLayout(this);
    for (const QString &variable : variables()) {
        const QByteArray name = variable.toLatin1();
        auto *value = new QLineEdit(this);
        value->setObjectName(QStringLiteral("env_") + variable);
        value->setReadOnly(true);
        if (qEnvironmentVariableIsSet(name.constData()))
            value->setText(QString::fromLocal8Bit(qgetenv(name.constData())));
        else
            value->setPlaceholderText(tr("(not set)"));
        value->setCursorPosition(0);
        layout->addRow(variable + QLatin1Char(':'), value);
    }
}

QStringList EnvironmentView::variables()
{
    return {QStringLiteral("PATH"), QStringLiteral("MAKE_MODE"), QStringLiteral("QPRJ")};
}
