// SPDX-License-Identifier: MIT
#include "navigator/SerialPorts.h"

#include "uploader/PortOpener.h"

#include <QObject>

QString serialDevicePath(const QString &name)
{
    return name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
}

bool openBoardPort(QSerialPort *port, const QString &name, int baud, QString *error)
{
    if (name.isEmpty()) {
        *error = QObject::tr("no serial port is chosen");
        return false;
    }
    return openSerialPort(port, serialDevicePath(name), baud, error);
}
