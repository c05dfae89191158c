// SPDX-License-Identifier: MIT
#include "uploader/SRecord.h"

#include <algorithm>
#include <vector>

namespace {

// Address bytes of S0-S9; 0 where the type does not exist (S4).
constexpr int addressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

struct Chunk
{
    quint32 address;
    QByteArray data;
    int line;
};

} // namespace

qint64 SRecordImage::byteCount() const
{
    qint64 total = 0;
    for (const auto &[address, data] : segments)
        total += data.size();
    return total;
}

bool readSRecords(const QByteArray &text, SRecordImage *image, QString *error)
{
    std::vector<Chunk> chunks;
    bool ended = false;
    int dataRecords = 0;
    quint32 entry = 0;
    int lineNumber = 0;
    int position = 0;
    while (position < text.size()) {
        int end = position;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        const QByteArray line = text.mid(position, end - position);
        position = end;
        if (position < text.size() && text[position] == '\r')
            ++position;
        if (position < text.size() && text[position] == '\n')
            ++position;
        ++lineNumber;
        const auto fail = [&](const QString &what) {
            *error = QStringLiteral("line %1: %2").arg(lineNumber).arg(what);
            return false;
        };
        if (line.trimmed().isEmpty())
            continue;
        if (ended)
            return fail(QStringLiteral("a record after the end record"));
        if (line.size() < 4 || line[0] != 'S' || hexValue(line[1]) < 0)
            return fail(QStringLiteral("not an S-record"));
        const int type = line[1] - '0';
        if (addressBytes[type] == 0)
            return fail(QStringLiteral("S%1 is not a record type").arg(type));
        if ((line.size() - 2) % 2 != 0)
            return fail(QStringLiteral("odd number of hex digits"));
        QByteArray bytes;
        bytes.reserve((line.size() - 2) / 2);
        for (int i = 2; i < line.size(); i += 2) {
            const int high = hexValue(line[i]), low = hexValue(line[i + 1]);
            if (high < 0 || low < 0)
                return fail(QStringLiteral("\"%1\" is not hexadecimal")
                                .arg(QString::fromLatin1(line.mid(i, 2))));
            bytes.append(char(high * 16 + low));
        }
        const int count = quint8(bytes[0]);
        if (count != bytes.size() - 1)
            return fail(QStringLiteral("the count says %1 bytes, the record holds %2")
                            .arg(count)
                            .arg(bytes.size() - 1));
        quint8 sum = 0;
        for (int i = 0; i < bytes.size() - 1; ++i)
            sum += quint8(bytes[i]);
        if (quint8(~sum) != quint8(bytes[bytes.size() - 1]))
            return fail(QStringLiteral("bad checksum"));
        const int addressSize = addressBytes[type];
        if (count < addressSize + 1)
            return fail(QStringLiteral("too short for an S%1 record").arg(type));
        quint32 address = 0;
        for (int i = 0; i < addressSize; ++i)
            address = (address << 8) | quint8(bytes[1 + i]);
        const QByteArray data = bytes.mid(1 + addressSize, count - addressSize - 1);

        if (type >= 1 && type <= 3) {
            if (quint64(address) + quint64(data.size()) > 0x100000000ull)
                return fail(QStringLiteral("the data runs past the end of the address space"));
            ++dataRecords;
            if (!data.isEmpty())
                chunks.push_back({address, data, lineNumber});
        } else if (type == 5 || type == 6) {
            if (!data.isEmpty())
                return fail(QStringLiteral("an S%1 record holds no data").arg(type));
            if (int(address) != dataRecords)
                return fail(QStringLiteral("the file counts %1 data records, %2 came before")
                                .arg(address)
                                .arg(dataRecords));
        } else if (type >= 7) {
            if (!data.isEmpty())
                return fail(QStringLiteral("an end record holds no data"));
            entry = address;
            ended = true;
        }
    }
    if (!ended) {
        *error = lineNumber == 0 ? QStringLiteral("the file is empty")
                                 : QStringLiteral("line %1: no end record (S7, S8 or S9): the file "
                                                  "is cut short")
                                       .arg(lineNumber);
        return false;
    }
    if (chunks.empty()) {
        *error = QStringLiteral("the file holds no data");
        return false;
    }

    std::stable_sort(chunks.begin(), chunks.end(),
                     [](const Chunk &a, const Chunk &b) { return a.address < b.address; });
    SRecordImage result;
    result.entry = entry;
    quint64 runEnd = 0;
    int runLine = 0;
    QByteArray *run = nullptr;
    for (const Chunk &chunk : chunks) {
        if (run && chunk.address < runEnd) {
            *error = QStringLiteral("line %1: address %2 was already given on line %3")
                         .arg(chunk.line)
                         .arg(formatAddress(chunk.address))
                         .arg(runLine);
            return false;
        }
        if (run && chunk.address == runEnd)
            run->append(chunk.data);
        else
            run = &(result.segments[chunk.address] = chunk.data);
        runEnd = quint64(chunk.address) + quint64(chunk.data.size());
        runLine = chunk.line;
    }
    *image = std::move(result);
    return true;
}

bool writeSRecords(const SRecordImage &image, int recordType, QList<QByteArray> *records,
                   QString *error, int maxData)
{
    Q_ASSERT(recordType >= 1 && recordType <= 3 && maxData > 0 && maxData <= 250);
    const int addressSize = recordType + 1;
    const quint64 limit = 1ull << (8 * addressSize);
    const auto record = [addressSize](int type, quint32 address, const QByteArray &data) {
        QByteArray bytes;
        bytes.append(char(addressSize + data.size() + 1));
        for (int i = addressSize - 1; i >= 0; --i)
            bytes.append(char(address >> (8 * i)));
        bytes.append(data);
        quint8 sum = 0;
        for (char byte : bytes)
            sum += quint8(byte);
        bytes.append(char(~sum));
        return "S" + QByteArray::number(type) + bytes.toHex().toUpper();
    };

    QList<QByteArray> result;
    for (const auto &[first, data] : image.segments) {
        if (quint64(first) + quint64(data.size()) > limit) {
            *error = QStringLiteral("S%1 records cannot address %2")
                         .arg(recordType)
                         .arg(formatAddress(std::max<quint64>(first, limit)));
            return false;
        }
        for (int offset = 0; offset < data.size(); offset += maxData)
            result.append(record(recordType, first + quint32(offset), data.mid(offset, maxData)));
    }
    if (image.entry >= limit) {
        *error = QStringLiteral("an S%1 end record cannot hold the entry %2")
                     .arg(10 - recordType)
                     .arg(formatAddress(image.entry));
        return false;
    }
    result.append(record(10 - recordType, image.entry, {}));
    *records = std::move(result);
    return true;
}

quint32 sRecordAddress(const QByteArray &record)
{
    if (record.size() < 4 || record[0] != 'S' || record[1] < '1' || record[1] > '3')
        return 0;
    const int digits = 2 * (record[1] - '0' + 1);
    return quint32(record.mid(4, digits).toUInt(nullptr, 16));
}

QString formatAddress(quint64 address)
{
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(address, 6, 16, QLatin1Char('0')).toUpper();
}
