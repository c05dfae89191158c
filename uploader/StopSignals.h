// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP as Qt signals, read from a signalfd in the event
// loop. Call blockStopSignals() first thing in main(), before any thread starts.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    static void blockStopSignals();

signals:
    void received(int signalNumber);

private:
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
