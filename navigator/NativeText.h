// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/Result.h"

#include <QFile>
#include <QString>
#include <string>

// File names, and messages that name files, are native bytes, not necessarily UTF-8.

inline QString fromNative(const std::string &bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

inline Failure failure(const QString &message)
{
    return {QFile::encodeName(message).toStdString()};
}
