// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/TerminalText.h"

#include <QSerialPort>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Shows what the board prints on the chosen serial port and sends it the
// lines typed below, each ended with CR. Connect opens the port at the board's
// rate; during an upload the pane lets go of the port and afterwards takes it
// back by itself.
class SerialMonitorPane : public QWidget
{
    Q_OBJECT

public:
    explicit SerialMonitorPane(QWidget *parent = nullptr);

    // Where Connect opens next: a port and the board's rate. problem, when
    // set, says why there is nothing to connect to.
    void setTarget(const QString &portName, int baud, const QString &problem = {});

    bool isConnected() const { return m_port.isOpen(); }

    // Closes the port for someone else; resume() opens it again if it was open.
    void suspend();
    void resume();

private:
    void toggleConnection();
    void connectPort(const QString &portName, int baud);
    void disconnectPort(const QString &state);
    void readPort();
    void sendLine();
    void onError(QSerialPort::SerialPortError error);
    void append(const QString &text);
    void updateControls();

    QPlainTextEdit *m_output = nullptr;
    QLineEdit *m_input = nullptr;
    QPushButton *m_connectButton = nullptr;
    QPushButton *m_sendButton = nullptr;
    QLabel *m_state = nullptr;
    QSerialPort m_port;
    TerminalText m_text;
    QString m_targetPort;
    int m_targetBaud = 0;
    QString m_problem;
    // The port and rate last connected to, taken back after suspend().
    QString m_connectedPort;
    int m_connectedBaud = 0;
    bool m_suspended = false;
};
