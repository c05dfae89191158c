// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <string>

class QSerialPort;
class Upload;

// Loads a project's image onto its board: reads the board profile of the
// project's pack and the image its Makefile wrote, opens the serial port at
// the board's rate and runs an Upload on it. The port is open only while the
// upload runs.
class UploadSession : public QObject
{
    Q_OBJECT

public:
    explicit UploadSession(QObject *parent = nullptr);
    ~UploadSession() override;

    // True from start() until finished() has been emitted.
    bool isRunning() const { return m_running; }

    // Starts loading the image of the project in directory (native bytes)
    // through portName. The end is always reported through finished(), once,
    // also when nothing could be sent.
    void start(const std::string &directory, const QString &portName);
    // Asks the upload to stop at its next safe point; finished() follows.
    void cancel();

signals:
    // Once the port is open and the first record is about to go.
    void started(const QString &description, int recordsTotal, qint64 bytesTotal);
    void progress(int recordsDone, int recordsTotal, qint64 bytesDone, qint64 bytesTotal);
    void monitorText(const QByteArray &text);
    // message: the monitor's answer on success, otherwise why it failed. The
    // port is closed by then.
    void finished(bool succeeded, const QString &message);

private:
    void onUploadFinished(bool succeeded, const QString &message);
    void fail(const QString &message);

    QPointer<QSerialPort> m_port;
    QPointer<Upload> m_upload;
    bool m_running = false;
};
