// SPDX-License-Identifier: MIT
#include "navigator/FileOpener.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

Result<Done> DesktopFileOpener::open(const std::string &path, int, int)
{
    // A URL holds text: a name that does not survive decoding would open another file.
    const QByteArray nativePath = QByteArray::fromStdString(path);
    const QString decoded = QFile::decodeName(nativePath);
    if (QFile::encodeName(decoded) != nativePath)
        return failure(QObject::tr("its name is not valid in this locale"));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(decoded)))
        return failure(QObject::tr("the desktop has no application for it"));
    return Done();
}
