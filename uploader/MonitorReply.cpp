// SPDX-License-Identifier: MIT
#include "uploader/MonitorReply.h"

#include <QRegularExpression>

namespace {

constexpr int longestAnswer = 80;
const QByteArray crlf = "\r\n";
const QByteArray prompt = "> ";

// Which answer a line is, for the given monitor.
MonitorReply::Kind classify(BoardProfile::Monitor monitor, const QByteArray &line, quint32 *entry)
{
    const QString text = QString::fromLatin1(line);
    if (text == QLatin1String("TIMEOUT"))
        return MonitorReply::Kind::Failed;
    if (monitor == BoardProfile::Monitor::M68000) {
        static const QRegularExpression refused(
            QStringLiteral("^(CHKSUM|LINE|ADDR|OVERRUN) [0-9A-Fa-f]+$"));
        static const QRegularExpression loaded(QStringLiteral("^LOADED ([0-9A-Fa-f]{1,8})$"));
        if (refused.match(text).hasMatch())
            return MonitorReply::Kind::Refused;
        if (text == QLatin1String("ERROR"))
            return MonitorReply::Kind::Failed;
        const QRegularExpressionMatch match = loaded.match(text);
        if (match.hasMatch()) {
            *entry = match.captured(1).toUInt(nullptr, 16);
            return MonitorReply::Kind::Loaded;
        }
    } else {
        static const QRegularExpression refused(
            QStringLiteral("^Bad (checksum|record|address)\\.$|^Overrun\\.$"));
        static const QRegularExpression loaded(
            QStringLiteral("^Loaded, entry ([0-9A-Fa-f]{1,8})$"));
        if (refused.match(text).hasMatch())
            return MonitorReply::Kind::Refused;
        const QRegularExpressionMatch match = loaded.match(text);
        if (match.hasMatch()) {
            *entry = match.captured(1).toUInt(nullptr, 16);
            return MonitorReply::Kind::Loaded;
        }
    }
    return MonitorReply::Kind::Unexpected;
}

} // namespace

MonitorReply readMonitorReply(BoardProfile::Monitor monitor, const QByteArray &received,
                              bool endRecord)
{
    MonitorReply reply;
    if (received.isEmpty())
        return reply;
    const char ack = monitor == BoardProfile::Monitor::M68000 ? '.' : 'O';
    if (!endRecord && received.at(0) == ack) {
        reply.kind = MonitorReply::Kind::Accepted;
        reply.text = QByteArray(1, ack);
        reply.consumed = 1;
        return reply;
    }
    // Every other answer is a line between CR LFs, the prompt after it where the load ends.
    const auto unexpected = [&] {
        reply.kind = MonitorReply::Kind::Unexpected;
        reply.text = received.left(longestAnswer);
        reply.consumed = int(received.size());
        return reply;
    };
    if (!crlf.startsWith(received.left(2)))
        return unexpected();
    const qsizetype lineEnd = received.indexOf(crlf, 2);
    if (lineEnd < 0)
        return received.size() > longestAnswer ? unexpected() : reply;
    const QByteArray line = received.mid(2, lineEnd - 2);
    const MonitorReply::Kind kind = classify(monitor, line, &reply.entry);
    if (kind == MonitorReply::Kind::Unexpected)
        return unexpected();
    reply.text = line;
    qsizetype consumed = lineEnd + 2;
    if (kind == MonitorReply::Kind::Loaded || kind == MonitorReply::Kind::Failed) {
        const QByteArray rest = received.mid(consumed, prompt.size());
        if (rest.size() < prompt.size())
            return prompt.startsWith(rest) ? MonitorReply{} : unexpected();
        if (rest != prompt)
            return unexpected();
        consumed += prompt.size();
    }
    reply.kind = kind;
    reply.consumed = int(consumed);
    return reply;
}
