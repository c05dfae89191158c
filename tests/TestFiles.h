#pragma once

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <QTest>
#include <unistd.h>

// Every entry below a directory, by relative path: its type and its bytes (a
// file), its target (a link) or nothing (a directory). Links are not followed.
inline QMap<QString, QByteArray> snapshotTree(const QString &root)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString relative = path.mid(root.size() + 1);
        if (info.isSymLink()) {
            char target[4096];
            const ssize_t length =
                ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
            entries[relative] = "link:" + QByteArray(target, length < 0 ? 0 : int(length));
        } else if (info.isDir()) {
            entries[relative] = "dir";
        } else {
            QFile file(path);
            entries[relative] =
                "file:" + (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
        }
    }
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
