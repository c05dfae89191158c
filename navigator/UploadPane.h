// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QProgressBar;
class QPushButton;

// An upload's progress, in records and bytes, with a Cancel button; shown only
// while an upload runs.
class UploadPane : public QWidget
{
    Q_OBJECT

public:
    explicit UploadPane(QWidget *parent = nullptr);

    void begin(int recordsTotal, qint64 bytesTotal);
    void setProgress(int recordsDone, int recordsTotal, qint64 bytesDone, qint64 bytesTotal);
    void end();

signals:
    void cancelRequested();

private:
    QProgressBar *m_progress = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
