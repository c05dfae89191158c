// SPDX-License-Identifier: MIT
#include "navigator/UploadPane.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

UploadPane::UploadPane(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("uploadPane"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("uploadProgress"));
    m_progress->setAccessibleName(tr("Upload progress"));
    m_cancelButton = new QPushButton(tr("Cancel Upload"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelUploadButton"));
    m_cancelButton->setAccessibleName(tr("Cancel the upload"));
    m_cancelButton->setShortcut(QKeySequence(Qt::Key_Escape));
    m_cancelButton->setToolTip(tr("Stops after the record in flight (Esc)"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_progress, 1);
    layout->addWidget(m_cancelButton);

    connect(m_cancelButton, &QPushButton::clicked, this, [this] {
        // One request is enough; the upload ends at its next safe point.
        m_cancelButton->setEnabled(false);
        emit cancelRequested();
    });
    hide();
}

void UploadPane::begin(int recordsTotal, qint64 bytesTotal)
{
    m_cancelButton->setEnabled(true);
    setProgress(0, recordsTotal, 0, bytesTotal);
    show();
}

void UploadPane::setProgress(int recordsDone, int recordsTotal, qint64 bytesDone, qint64 bytesTotal)
{
    m_progress->setRange(0, qMax(recordsTotal, 1));
    m_progress->setValue(recordsDone);
    m_progress->setFormat(tr("%1 of %2 records, %3 of %4 bytes")
                              .arg(recordsDone)
                              .arg(recordsTotal)
                              .arg(bytesDone)
                              .arg(bytesTotal));
}

void UploadPane::end()
{
    hide();
}
