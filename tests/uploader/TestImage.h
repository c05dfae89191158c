// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <map>

// An image as the packs' Makefiles write it (objcopy -O srec --srec-forceS3):
// an S0 header, S3 records of 16 bytes, an S7 end record. Two runs of data:
// `textSize` bytes at `base` (vectors and code) and `dataSize` bytes after a
// gap (the initial values of .data). Entry: base + 0x400.
struct TestImage
{
    QByteArray s37;
    std::map<quint32, quint8> bytes;
    quint32 entry = 0;
    int records = 0; // as the uploader sends them, 32 bytes each
};

inline QByteArray testRecord(int type, int addressSize, quint32 address, const QByteArray &data)
{
    QByteArray bytes;
    bytes.append(char(addressSize + data.size() + 1));
    for (int i = addressSize - 1; i >= 0; --i)
        bytes.append(char(address >> (8 * i)));
    bytes.append(data);
    int sum = 0;
    for (char c : bytes)
        sum += quint8(c);
    bytes.append(char(0xFF - (sum & 0xFF)));
    return 'S' + QByteArray::number(type) + bytes.toHex().toUpper() + '\n';
}

inline TestImage makeTestImage(quint32 base, int textSize, int dataSize, quint32 seed = 1)
{
    TestImage image;
    image.entry = base + 0x400;
    image.s37 = testRecord(0, 2, 0, "robot.s37");
    quint32 state = seed;
    const auto run = [&](quint32 first, int size) {
        QByteArray data;
        for (int i = 0; i < size; ++i) {
            state = state * 1103515245u + 12345u;
            data.append(char(state >> 16));
            image.bytes[first + quint32(i)] = quint8(state >> 16);
        }
        for (int offset = 0; offset < size; offset += 16)
            image.s37 += testRecord(3, 4, first + quint32(offset), data.mid(offset, 16));
        image.records += (size + 31) / 32;
    };
    run(base, textSize);
    run(base + quint32((textSize + 255) / 256 * 256 + 0x100), dataSize);
    image.s37 += testRecord(7, 4, image.entry, {});
    return image;
}
