#pragma once

#include "Command.h"

#include <QMetaType>
#include <QStringList>
#include <QTest>
#include <optional>
#include <string>
#include <vector>

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::optional<std::string>)
Q_DECLARE_METATYPE(Command)

namespace QTest {
// Readable failure output for native byte strings.
template <> inline char *toString(const std::string &text)
{
    return QTest::toPrettyCString(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace QTest

inline QStringList toQStringList(const std::vector<std::string> &texts)
{
    QStringList list;
    for (const std::string &text : texts)
        list << QString::fromStdString(text);
    return list;
}

#include <QApplication>
#include <QTimer>
#include <functional>

// Calls answer() with the next modal widget as soon as one is shown, so that a
// test can read and close a message box or dialog that blocks it.
inline void answerNextModal(std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(10);
}
