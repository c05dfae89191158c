// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QSerialPort;

// The one serial adapter in `directory` (/dev/serial/by-id): true and *device
// when there is exactly one entry; otherwise false and *error saying that none
// is connected or listing the candidates.
bool chooseSerialPort(const QString &directory, QString *device, QString *error);

// Opens `device` on `port` for a monitor: exclusively (TIOCEXCL, Qt's lock file
// and an flock), 8N1 at `baud`, no flow control, the previous settings restored
// when the port is closed. On failure *error says why, naming the device.
bool openSerialPort(QSerialPort *port, const QString &device, int baud, QString *error);
