// SPDX-License-Identifier: MIT
#include "navigator/SerialMonitorPane.h"

#include "navigator/SerialPorts.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {

// What the pane keeps: a board that prints without end, or without newlines,
// cannot make it grow without bound.
constexpr int maxLines = 5000;
constexpr int maxLineLength = 4096;

} // namespace

SerialMonitorPane::SerialMonitorPane(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("serialMonitor"));
    setAccessibleName(tr("Serial monitor"));

    m_output = new QPlainTextEdit(this);
    m_output->setObjectName(QStringLiteral("serialOutput"));
    m_output->setAccessibleName(tr("Serial monitor output"));
    m_output->setReadOnly(true);
    m_output->setUndoRedoEnabled(false);
    m_output->setMaximumBlockCount(maxLines);
    m_output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("serialStateLabel"));
    m_state->setAccessibleName(tr("Serial monitor state"));
    m_state->setTextFormat(Qt::PlainText);
    m_state->setWordWrap(true);

    m_connectButton = new QPushButton(this);
    m_connectButton->setObjectName(QStringLiteral("serialConnectButton"));

    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("serialInput"));
    m_input->setAccessibleName(tr("Line to send to the board"));
    m_input->setPlaceholderText(tr("Type a line for the board, then Enter"));
    auto *inputLabel = new QLabel(tr("S&end:"), this);
    inputLabel->setBuddy(m_input);

    m_sendButton = new QPushButton(tr("Send"), this);
    m_sendButton->setObjectName(QStringLiteral("serialSendButton"));
    m_sendButton->setAccessibleName(tr("Send the line"));

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_connectButton, 0, 0);
    layout->addWidget(m_state, 0, 1, 1, 2);
    layout->addWidget(m_output, 1, 0, 1, 3);
    layout->addWidget(inputLabel, 2, 0);
    layout->addWidget(m_input, 2, 1);
    layout->addWidget(m_sendButton, 2, 2);
    layout->setColumnStretch(1, 1);

    connect(m_connectButton, &QPushButton::clicked, this, &SerialMonitorPane::toggleConnection);
    connect(m_input, &QLineEdit::returnPressed, this, &SerialMonitorPane::sendLine);
    connect(m_sendButton, &QPushButton::clicked, this, &SerialMonitorPane::sendLine);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialMonitorPane::readPort);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialMonitorPane::onError);
    m_state->setText(tr("Not connected"));
    updateControls();
}

void SerialMonitorPane::setTarget(const QString &portName, int baud, const QString &problem)
{
    m_targetPort = portName;
    m_targetBaud = baud;
    m_problem = problem;
    if (!isConnected() && !m_suspended)
        m_state->setText(problem.isEmpty() ? tr("Not connected") : problem);
    updateControls();
}

void SerialMonitorPane::suspend()
{
    if (m_suspended || !isConnected())
        return;
    m_port.close();
    m_suspended = true;
    m_state->setText(tr("Paused: the upload is using %1").arg(serialDevicePath(m_connectedPort)));
    updateControls();
}

void SerialMonitorPane::resume()
{
    if (!m_suspended)
        return;
    m_suspended = false;
    connectPort(m_connectedPort, m_connectedBaud);
}

void SerialMonitorPane::toggleConnection()
{
    if (isConnected())
        disconnectPort(tr("Not connected"));
    else if (!m_suspended)
        connectPort(m_targetPort, m_targetBaud);
}

void SerialMonitorPane::connectPort(const QString &portName, int baud)
{
    QString error;
    if (!openBoardPort(&m_port, portName, baud, &error)) {
        m_state->setText(tr("Cannot connect: %1").arg(error));
    } else {
        m_connectedPort = portName;
        m_connectedBaud = baud;
        m_text = TerminalText();
        m_state->setText(
            tr("Connected to %1 at %2 baud").arg(serialDevicePath(portName)).arg(baud));
        // What came while the port was closed is not there; start on a line of its own.
        if (!m_output->document()->lastBlock().text().isEmpty())
            append(QStringLiteral("\n"));
    }
    updateControls();
}

void SerialMonitorPane::disconnectPort(const QString &state)
{
    m_port.close();
    m_suspended = false;
    m_state->setText(state);
    updateControls();
}

void SerialMonitorPane::readPort()
{
    const QString text = m_text.decode(m_port.readAll());
    if (!text.isEmpty())
        append(text);
}

void SerialMonitorPane::sendLine()
{
    if (!isConnected())
        return;
    // The monitors end a command with CR.
    m_port.write(m_input->text().toUtf8() + '\r');
    m_input->clear();
}

void SerialMonitorPane::onError(QSerialPort::SerialPortError error)
{
    // An unplugged adapter: the port is of no more use.
    if (error == QSerialPort::ResourceError && isConnected())
        disconnectPort(tr("Disconnected: %1").arg(m_port.errorString()));
}

void SerialMonitorPane::append(const QString &text)
{
    QTextCursor end(m_output->document());
    end.movePosition(QTextCursor::End);
    qsizetype lineLength = m_output->document()->lastBlock().length() - 1;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype newline = text.indexOf(QLatin1Char('\n'), from);
        const qsizetype lineEnd = newline < 0 ? text.size() : newline;
        const qsizetype room = maxLineLength - lineLength;
        if (lineEnd - from > room) {
            end.insertText(text.mid(from, room) + QLatin1Char('\n'));
            from += room;
            lineLength = 0;
        } else {
            end.insertText(text.mid(from, lineEnd - from + (newline < 0 ? 0 : 1)));
            lineLength = newline < 0 ? lineLength + lineEnd - from : 0;
            from = newline < 0 ? text.size() : newline + 1;
        }
    }
    m_output->verticalScrollBar()->setValue(m_output->verticalScrollBar()->maximum());
}

void SerialMonitorPane::updateControls()
{
    const bool connected = isConnected();
    m_connectButton->setText(connected ? tr("Disco&nnect") : tr("Co&nnect"));
    m_connectButton->setAccessibleName(connected ? tr("Disconnect the serial monitor")
                                                 : tr("Connect the serial monitor"));
    m_connectButton->setEnabled(connected || (!m_suspended && !m_targetPort.isEmpty() &&
                                              m_targetBaud > 0 && m_problem.isEmpty()));
    m_input->setEnabled(connected);
    m_sendButton->setEnabled(connected);
}
