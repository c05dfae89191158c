// SPDX-License-Identifier: MIT
#pragma once

#include "uploader/BoardProfile.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QSerialPort;

// Loads an S-record image onto a board through its boot monitor, over a serial
// port that the caller has opened (8N1, no flow control, at the profile's or
// the user's rate). Before sending anything it checks that every byte lies in
// the board's flash and converts the records to the kind and length the monitor
// takes. It then sends "LO", and one record at a time, each only once the
// monitor has acknowledged the one before (never trusting the driver's drain).
// Everything the monitor answers is passed on through monitorText().
class Upload : public QObject
{
    Q_OBJECT

public:
    // image: the .s37 file's bytes; name: the file's name for messages.
    Upload(const BoardProfile &profile, const QByteArray &image, const QString &name,
           QObject *parent = nullptr);
    ~Upload() override;

    // The image as the monitor will get it: false and *error if it is not a
    // valid S-record file or does not fit the board's flash. Called by start().
    bool prepare(QString *error);

    // Starts on an open port; the end is reported once through finished().
    void start(QSerialPort *port);

    // Stops at the next safe point: the record in flight is acknowledged or
    // times out, a CPU32 monitor is sent ESC, and finished() reports a
    // cancelled upload. The monitor is back at its prompt.
    void cancel();

    int recordCount() const;  // data records to send, once prepared
    qint64 byteCount() const; // data bytes in them

signals:
    // After each acknowledged record.
    void progress(int recordsDone, int recordsTotal, qint64 bytesDone, qint64 bytesTotal);
    // What the monitor sent, as it comes.
    void monitorText(const QByteArray &text);
    // succeeded: the monitor reported the image loaded (entry address as it
    // said it). Otherwise message says what went wrong: the record's number
    // and address and the monitor's answer, a silent monitor, a port that
    // went away, or a cancel.
    void finished(bool succeeded, const QString &message);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
