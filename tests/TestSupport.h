// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Command.h"

#include <QMetaType>
#include <QStringList>
#include <QTest>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::optional<std::string>)
Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(std::errc)

namespace QTest {
// Readable failure output for native byte strings and lists of them.
template <> inline char *toString(const std::string &text)
{
    return QTest::toPrettyCString(text.data(), static_cast<qsizetype>(text.size()));
}
template <> inline char *toString(const std::vector<std::string> &texts)
{
    QByteArray list = "{";
    for (const std::string &text : texts) {
        const std::unique_ptr<char[]> item(toString(text));
        list += (list.size() > 1 ? ", " : "") + QByteArray(item.get());
    }
    return qstrdup(list + "}");
}
} // namespace QTest

inline QStringList toQStringList(const std::vector<std::string> &texts)
{
    QStringList list;
    for (const std::string &text : texts)
        list << QString::fromStdString(text);
    return list;
}

// What the system says for the error, as a failure's reason shows it.
inline QString systemMessage(std::errc error)
{
    return QString::fromStdString(std::make_error_code(error).message());
}

#include "tests/ModalAnswer.h"
