// SPDX-License-Identifier: MIT
#include "uploader/BoardProfile.h"

#include "uploader/SRecord.h"

#include <QByteArray>
#include <QList>
#include <QSet>

namespace {

bool parseAddress(const QByteArray &text, quint32 *value)
{
    const QByteArray digits = text.trimmed();
    if (!digits.startsWith("0x") && !digits.startsWith("0X"))
        return false;
    bool ok = false;
    const qulonglong parsed = digits.mid(2).toULongLong(&ok, 16);
    if (!ok || digits.size() < 3 || parsed > 0xFFFFFFFFull)
        return false;
    *value = quint32(parsed);
    return true;
}

} // namespace

bool parseBoardProfile(const QByteArray &text, BoardProfile *profile, QString *error)
{
    BoardProfile parsed;
    QSet<QByteArray> seen;
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const auto fail = [&](const QString &what) {
            *error = QStringLiteral("line %1: %2").arg(lineNumber).arg(what);
            return false;
        };
        const int equals = line.indexOf('=');
        if (equals < 0)
            return fail(
                QStringLiteral("expected key=value, found \"%1\"").arg(QString::fromUtf8(line)));
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        const QString valueText = QString::fromUtf8(value);
        if (seen.contains(key))
            return fail(QStringLiteral("%1 is given twice").arg(QString::fromUtf8(key)));
        seen.insert(key);

        if (key == "board") {
            if (value.isEmpty())
                return fail(QStringLiteral("the board has no name"));
            parsed.board = valueText;
        } else if (key == "monitor") {
            if (value.toLower() == "68000")
                parsed.monitor = BoardProfile::Monitor::M68000;
            else if (value.toLower() == "cpu32")
                parsed.monitor = BoardProfile::Monitor::Cpu32;
            else
                return fail(
                    QStringLiteral("unknown monitor \"%1\" (68000 or cpu32)").arg(valueText));
        } else if (key == "baud") {
            bool ok = false;
            const int baud = value.toInt(&ok);
            if (!ok || baud < 50 || baud > 4000000)
                return fail(QStringLiteral("invalid baud rate \"%1\"").arg(valueText));
            parsed.baud = baud;
        } else if (key == "records") {
            const QByteArray upper = value.toUpper();
            if (upper != "S1" && upper != "S2" && upper != "S3")
                return fail(
                    QStringLiteral("unknown record type \"%1\" (S1, S2 or S3)").arg(valueText));
            parsed.recordType = upper.at(1) - '0';
        } else if (key == "flash") {
            const int dash = value.indexOf('-');
            quint32 first = 0, last = 0;
            if (dash < 0 || !parseAddress(value.left(dash), &first) ||
                !parseAddress(value.mid(dash + 1), &last) || first > last)
                return fail(
                    QStringLiteral("invalid flash range \"%1\" (0xFIRST-0xLAST)").arg(valueText));
            parsed.flashFirst = first;
            parsed.flashLast = last;
        } else {
            return fail(QStringLiteral("unknown key \"%1\"").arg(QString::fromUtf8(key)));
        }
    }

    for (const char *key : {"board", "monitor", "baud", "records", "flash"}) {
        if (!seen.contains(key)) {
            *error = QStringLiteral("%1= is missing").arg(QLatin1String(key));
            return false;
        }
    }
    // Checks across lines: what the monitor would not store must not load "successfully".
    if (parsed.monitor == BoardProfile::Monitor::M68000 && parsed.recordType == 3) {
        *error = QStringLiteral("records=S3: the 68000 monitor ignores S3 records");
        return false;
    }
    const quint64 reach = parsed.recordType == 1   ? 0xFFFFu
                          : parsed.recordType == 2 ? 0xFFFFFFu
                                                   : 0xFFFFFFFFu;
    if (parsed.flashLast > reach) {
        *error = QStringLiteral("records=S%1 cannot reach the flash's last byte %2")
                     .arg(parsed.recordType)
                     .arg(formatAddress(parsed.flashLast));
        return false;
    }
    *profile = parsed;
    return true;
}
