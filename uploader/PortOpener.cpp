// SPDX-License-Identifier: MIT
#include "uploader/PortOpener.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString heldMessage(const QString &device)
{
    return QStringLiteral("another program holds %1 (a terminal program or the IDE's serial "
                          "monitor?): close it and try again")
        .arg(device);
}

QString permissionMessage(const QString &device)
{
    return QStringLiteral("permission denied on %1: your user must be in the dialout group "
                          "(sudo usermod -aG dialout $USER, then log out and in again)")
        .arg(device);
}

// Why QSerialPort could not open the device: it reports a busy device, a lock
// held by another program and missing rights all as PermissionError.
QString openFailure(const QSerialPort &port, const QString &device, const QString &path)
{
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("%1 does not exist: is the board's adapter plugged in?").arg(device);
    case QSerialPort::PermissionError: {
        const int fd =
            ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        const int openErrno = errno;
        if (fd >= 0) {
            // Our probe opened it: the lock file of another program stopped Qt.
            ::close(fd);
            return heldMessage(device);
        }
        if (openErrno == EACCES || openErrno == EPERM)
            return permissionMessage(device);
        if (openErrno == EBUSY)
            return heldMessage(device);
        return QStringLiteral("cannot open %1: %2")
            .arg(device, QString::fromLocal8Bit(std::strerror(openErrno)));
    }
    default:
        return QStringLiteral("cannot open %1: %2").arg(device, port.errorString());
    }
}

} // namespace

bool chooseSerialPort(const QString &directory, QString *device, QString *error)
{
    const QFileInfoList entries = QDir(directory).entryInfoList(
        QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (entries.size() == 1) {
        *device = entries.first().filePath();
        return true;
    }
    if (entries.isEmpty()) {
        *error = QStringLiteral("no serial adapter is connected (%1 is empty or missing): plug "
                                "in the board's adapter, or name the port with --port")
                     .arg(directory);
        return false;
    }
    QStringList names;
    for (const QFileInfo &entry : entries)
        names << QStringLiteral("  ") + entry.filePath();
    *error = QStringLiteral("%1 serial adapters are connected; choose one with --port:\n%2")
                 .arg(entries.size())
                 .arg(names.join(QLatin1Char('\n')));
    return false;
}

bool openSerialPort(QSerialPort *port, const QString &device, int baud, QString *error)
{
    // A /dev/serial/by-id link is opened as the device it names, so that locks match.
    const QFileInfo info(device);
    if (!info.exists()) {
        *error =
            QStringLiteral("%1 does not exist: is the board's adapter plugged in?").arg(device);
        return false;
    }
    const QString path = info.canonicalFilePath();
    port->setPortName(path);
    // Qt 6 keeps the settings it found at open() and restores them at close().
    if (!port->open(QIODevice::ReadWrite)) {
        *error = openFailure(*port, device, path);
        return false;
    }
    // Programs that take no lock file may still flock the device.
    if (::flock(int(port->handle()), LOCK_EX | LOCK_NB) != 0) {
        const int lockErrno = errno;
        port->close();
        *error = lockErrno == EWOULDBLOCK
                     ? heldMessage(device)
                     : QStringLiteral("cannot lock %1: %2")
                           .arg(device, QString::fromLocal8Bit(std::strerror(lockErrno)));
        return false;
    }
    if (!port->setBaudRate(baud) || !port->setDataBits(QSerialPort::Data8) ||
        !port->setParity(QSerialPort::NoParity) || !port->setStopBits(QSerialPort::OneStop) ||
        !port->setFlowControl(QSerialPort::NoFlowControl)) {
        *error = QStringLiteral("cannot set %1 to %2 baud, 8N1, no flow control: %3")
                     .arg(device)
                     .arg(baud)
                     .arg(port->errorString());
        port->close();
        return false;
    }
    return true;
}
