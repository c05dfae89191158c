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
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// A temporary directory whose path contains a space, as native bytes. It is
// removed with POSIX calls, since Qt cannot name files that are not UTF-8.
class TempDir
{
public:
    TempDir()
    {
        std::string pattern =
            QFile::encodeName(QDir::tempPath()).toStdString() + "/navigator test XXXXXX";
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempDir()
    {
        if (!m_path.empty())
            ::nftw(m_path.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    bool isValid() const { return !m_path.empty(); }
    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + '/' + name; }

private:
    static int removeEntry(const char *path, const struct stat *, int, struct FTW *)
    {
        ::remove(path);
        return 0;
    }

    std::string m_path;
};

inline std::string readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool writeBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

// The pid a process wrote to a file, or 0 while there is none yet.
inline pid_t readPid(const std::string &path)
{
    return static_cast<pid_t>(std::atol(readBytes(path).c_str()));
}

// Makes "name" a small file, "name/" a directory and "name>target" a symbolic link.
inline bool makeEntry(const TempDir &dir, const std::string &entry)
{
    const size_t arrow = entry.find('>');
    if (arrow != std::string::npos)
        return ::symlink(entry.substr(arrow + 1).c_str(),
                         dir.file(entry.substr(0, arrow)).c_str()) == 0;
    if (entry.back() == '/')
        return ::mkdir(dir.file(entry).c_str(), 0777) == 0;
    return writeBytes(dir.file(entry), "int x;\n");
}

inline bool exists(const std::string &path)
{
    struct stat status = {};
    return ::lstat(path.c_str(), &status) == 0;
}

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
    QVERIFY2(writeBytes(QFile::encodeName(path).toStdString(), bytes.toStdString()),
             qPrintable(path));
    QVERIFY(QFile::setPermissions(path, permissions));
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
