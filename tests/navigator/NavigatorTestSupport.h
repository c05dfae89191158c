// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDir>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Readable failure output for byte strings and lists of them.
namespace QTest {
template <> inline char *toString(const std::string &value)
{
    return toPrettyCString(value.data(), static_cast<qsizetype>(value.size()));
}
template <> inline char *toString(const std::vector<std::string> &values)
{
    QByteArray text = "{";
    for (const std::string &value : values) {
        const std::unique_ptr<char[]> item(toString(value));
        text += (text.size() > 1 ? ", " : "") + QByteArray(item.get());
    }
    return qstrdup(text + "}");
}
} // namespace QTest

namespace navtest {

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

} // namespace navtest
