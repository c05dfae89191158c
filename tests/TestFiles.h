// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <QTest>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The SHA-256 of a regular file's bytes, in hex; empty for anything else.
inline QByteArray fileDigest(const QByteArray &nativePath)
{
    struct stat status = {};
    if (::stat(nativePath.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    QFile file;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ||
        !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

inline QByteArray fileDigest(const QString &path)
{
    return fileDigest(QFile::encodeName(path));
}

namespace detail {
inline void snapshotInto(const QByteArray &directory, const QByteArray &prefix,
                         QMap<QByteArray, QByteArray> &entries)
{
    DIR *stream = ::opendir(directory.constData());
    if (!stream)
        return;
    while (const dirent *entry = ::readdir(stream)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = directory + "/" + name;
        const QByteArray relative = prefix.isEmpty() ? name : prefix + "/" + name;
        struct stat status = {};
        if (::lstat(path.constData(), &status) != 0) {
            entries[relative] = "unreadable";
        } else if (S_ISLNK(status.st_mode)) {
            char target[4096];
            const ssize_t length = ::readlink(path.constData(), target, sizeof target);
            entries[relative] = "link:" + QByteArray(target, length < 0 ? 0 : int(length));
        } else if (S_ISDIR(status.st_mode)) {
            entries[relative] = "dir";
            snapshotInto(path, relative, entries);
        } else if (S_ISREG(status.st_mode)) {
            entries[relative] = "file:" + fileDigest(path);
        } else {
            entries[relative] = "special:" + QByteArray::number(status.st_mode, 8);
        }
    }
    ::closedir(stream);
}
} // namespace detail

// Every entry below a directory, by relative path in native bytes: its type and
// the SHA-256 of its bytes (a file), its target (a link) or nothing (a
// directory, FIFO or device). Links are not followed, special files never opened.
inline QMap<QByteArray, QByteArray> snapshotTree(const QString &root)
{
    QMap<QByteArray, QByteArray> entries;
    detail::snapshotInto(QFile::encodeName(root), QByteArray(), entries);
    return entries;
}

// Writes a file, making its directory first, with exactly these permissions.
inline void writeFile(const QString &path, const QByteArray &bytes,
                      QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

// Installs the tests' one stand-in for the IDE (recording-ide.sh) at this path.
// It appends each run to the file named by IDE_RUNS, writes the project file in
// batch mode, and stays open until the file IDE_GO_FILE names exists, if set.
inline void installRecordingIde(const QString &path,
                                QFile::Permissions permissions = QFile::ReadOwner |
                                                                 QFile::WriteOwner |
                                                                 QFile::ExeOwner)
{
    QFile script(QStringLiteral(RECORDING_IDE));
    QVERIFY2(script.open(QIODevice::ReadOnly), RECORDING_IDE);
    writeFile(path, script.readAll(), permissions);
}

// The lines the stand-in IDE recorded; with prefixes, only those that start
// with one of them ("run" and "arg=" give the runs and their arguments).
inline QStringList recordedIdeLines(const QString &runLog,
                                    const QStringList &prefixes = {"run", "arg="})
{
    QFile file(runLog);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
        for (const QString &prefix : prefixes) {
            if (line.startsWith(prefix)) {
                lines << line;
                break;
            }
        }
    }
    return lines;
}
