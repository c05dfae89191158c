// SPDX-License-Identifier: MIT
#include "SerialPorts.h"

#include <QFile>
#include <QObject>
#include <QSerialPort>
#include <cerrno>
#include <unistd.h>

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
    const QString device = serialDevicePath(name);
    port->setPortName(device);
    port->setBaudRate(baud);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (port->open(QIODevice::ReadWrite))
        return true;
    QString reason = port->errorString();
    if (port->error() == QSerialPort::PermissionError) {
        // Qt reports a port another program holds as a permission error too.
        const QByteArray path = QFile::encodeName(device);
        if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES)
            reason = QObject::tr("permission denied: your user must be in the 'dialout' group "
                                 "(sudo adduser $USER dialout, then log in again)");
        else
            reason = QObject::tr("it is in use by another program (%1)").arg(reason);
    } else if (port->error() == QSerialPort::DeviceNotFoundError) {
        reason = QObject::tr("there is no such device; is the board's cable plugged in?");
    }
    *error = QObject::tr("cannot open the serial port '%1': %2").arg(device, reason);
    return false;
}
