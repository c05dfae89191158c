// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <map>

// The contents of an S-record file: data by address and the entry address.
struct SRecordImage
{
    // Contiguous runs of data, by first address; runs neither touch nor overlap.
    std::map<quint32, QByteArray> segments;
    quint32 entry = 0;

    qint64 byteCount() const;
};

// Reads S0-S9 records (lines ended by LF, CR LF or CR). Every record's count
// and checksum are verified, S5/S6 counts against the data records, and the
// file must end with one S7, S8 or S9 record. On failure returns false with
// *error naming the line.
bool readSRecords(const QByteArray &text, SRecordImage *image, QString *error);

// The data records of `recordType` (1, 2 or 3) for the image, each holding at
// most `maxData` bytes (32 keeps S3 at 78 characters), then the matching end
// record (S9, S8 or S7) with the entry. No line ending. False with *error when
// an address does not fit the record type.
bool writeSRecords(const SRecordImage &image, int recordType, QList<QByteArray> *records,
                   QString *error, int maxData = 32);

// The address a data record (S1, S2 or S3 line) starts at; 0 for other lines.
quint32 sRecordAddress(const QByteArray &record);

// An address as messages show it: 0x followed by at least six upper-case digits.
QString formatAddress(quint64 address);
