// SPDX-License-Identifier: MIT
#include "navigator/NavigatorSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace {

QString userSettingsFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + QCoreApplication::organizationName() + QLatin1Char('/') +
           QCoreApplication::applicationName() + QStringLiteral(".conf");
}

// The file that path names, links followed; path itself when it is not
// there yet (QSaveFile then saves to a dangling link's target, too).
QByteArray resolvedPath(const QByteArray &path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(path.constData(), nullptr), &std::free);
    return resolved ? QByteArray(resolved.get()) : path;
}

} // namespace

NavigatorSettings::NavigatorSettings() : NavigatorSettings(userSettingsFileName()) {}

NavigatorSettings::NavigatorSettings(const QString &fileName)
{
    const QByteArray real = resolvedPath(QFile::encodeName(fileName));
    struct stat status = {};
    if (::stat(real.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        m_problem =
            QCoreApplication::translate(
                "NavigatorSettings", "Settings are not read or saved: '%1' is not a regular file")
                .arg(QFile::decodeName(real));
    else
        m_fileName = QFile::decodeName(real);
}

QVariant NavigatorSettings::value(const QString &key) const
{
    if (m_fileName.isEmpty())
        return m_memory.value(key);
    return QSettings(m_fileName, QSettings::NativeFormat).value(key);
}

void NavigatorSettings::setValue(const QString &key, const QVariant &value)
{
    if (m_fileName.isEmpty())
        m_memory.insert(key, value);
    else
        QSettings(m_fileName, QSettings::NativeFormat).setValue(key, value);
}
