// SPDX-License-Identifier: MIT
#include "navigator/UploadSession.h"

#include "navigator/FileIo.h"
#include "navigator/NativeText.h"
#include "navigator/ProjectBoard.h"
#include "navigator/ProjectFiles.h"
#include "navigator/SerialPorts.h"
#include "uploader/Upload.h"

#include <QFile>
#include <QSerialPort>

namespace {

// Far above any of the boards' flash as S-records.
constexpr size_t maxImageSize = 64 * 1024 * 1024;

} // namespace

UploadSession::UploadSession(QObject *parent) : QObject(parent) {}

UploadSession::~UploadSession()
{
    if (m_upload)
        m_upload->disconnect(this);
}

void UploadSession::start(const std::string &directory, const QString &portName)
{
    if (m_running)
        return;
    m_running = true;

    const Result<ProjectBoard> read = readProjectBoard(directory);
    if (!read.ok()) {
        fail(fromNative(read.failure().message));
        return;
    }
    const ProjectBoard &board = read.value();
    const std::string image = imageFileForDirectory(directory);
    const Result<std::string> contents = readRegularFile(image, maxImageSize);
    const QString imageName = fromNative(image);
    if (image.empty() || !contents.ok()) {
        fail(tr("cannot read the image '%1': %2")
                 .arg(imageName, fromNative(contents.failure().message)));
        return;
    }

    auto *upload = new Upload(board.profile, QByteArray::fromStdString(contents.value()),
                              imageName.section(QLatin1Char('/'), -1), this);
    m_upload = upload;
    // Before the port is touched: a bad image must not disturb the board.
    QString error;
    if (!upload->prepare(&error)) {
        delete upload;
        fail(error);
        return;
    }
    // A port of its own each time: nothing of an earlier upload reads from it.
    auto *port = new QSerialPort(this);
    if (!openBoardPort(port, portName, board.profile.baud, &error)) {
        delete upload;
        delete port;
        fail(error);
        return;
    }
    m_port = port;
    connect(upload, &Upload::progress, this, &UploadSession::progress);
    connect(upload, &Upload::monitorText, this, &UploadSession::monitorText);
    connect(upload, &Upload::finished, this, &UploadSession::onUploadFinished);
    emit started(tr("Uploading %1 to the %2 board on %3 at %4 baud")
                     .arg(imageName, board.profile.board, serialDevicePath(portName),
                          QString::number(board.profile.baud)),
                 upload->recordCount(), upload->byteCount());
    upload->start(port);
}

void UploadSession::cancel()
{
    if (m_running && m_upload)
        m_upload->cancel();
}

void UploadSession::onUploadFinished(bool succeeded, const QString &message)
{
    if (!m_running)
        return;
    m_running = false;
    // The upload may still be on the stack that emitted finished().
    if (m_upload) {
        m_upload->disconnect(this);
        m_upload->deleteLater();
    }
    if (m_port) {
        m_port->close();
        m_port->deleteLater();
    }
    emit finished(succeeded, message);
}

void UploadSession::fail(const QString &message)
{
    m_running = false;
    emit finished(false, message);
}
