// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QSerialPort;

// Opens port on the device name (a path such as /dev/ttyUSB0, or a name under
// /dev) as the uploader does: exclusively, 8N1, no flow control, at baud. On
// failure returns false and sets *error to a message that names the port and,
// when the user may not use it, says how to get the right.
bool openBoardPort(QSerialPort *port, const QString &name, int baud, QString *error);

// The device file a port name stands for.
QString serialDevicePath(const QString &name);
