// SPDX-License-Identifier: MIT
#include "ProjectBoard.h"

#include "FileIo.h"

#include <QFile>
#include <QRegularExpression>

namespace {

constexpr size_t maxMakefileSize = 1024 * 1024;
constexpr size_t maxProfileSize = 64 * 1024;

QString fromNative(const std::string &bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

} // namespace

QString packNamedBy(const QByteArray &makefile)
{
    static const QRegularExpression packLine(
        QStringLiteral("^[ \t]*PACK[ \t]*:=[ \t]*(\\S*)[ \t\r]*$"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = packLine.match(QString::fromUtf8(makefile));
    const QString pack = match.captured(1);
    // A directory right under $QPRJ: no path, no make variable.
    if (pack == QStringLiteral(".") || pack == QStringLiteral("..") ||
        pack.contains(QLatin1Char('/')) || pack.contains(QLatin1Char('$')))
        return {};
    return pack;
}

bool readProjectBoard(const std::string &directory, ProjectBoard *board, QString *error)
{
    const std::string makefilePath = directory + "/Makefile";
    const FileContents makefile = readRegularFile(makefilePath, maxMakefileSize);
    if (!makefile.error.empty()) {
        *error = QObject::tr("cannot read '%1': %2")
                     .arg(fromNative(makefilePath), QString::fromLocal8Bit(makefile.error.c_str()));
        return false;
    }
    board->pack = packNamedBy(QByteArray::fromStdString(makefile.bytes));
    if (board->pack.isEmpty()) {
        *error = QObject::tr("'%1' names no pack (a line \"PACK := <pack>\")")
                     .arg(fromNative(makefilePath));
        return false;
    }
    const QByteArray root = qgetenv("QPRJ");
    if (root.isEmpty()) {
        *error = QObject::tr("QPRJ is not set, so the pack %1 cannot be found").arg(board->pack);
        return false;
    }
    board->profileFile =
        root.toStdString() + '/' + board->pack.toStdString() + "/lib/board.profile";
    const FileContents profile = readRegularFile(board->profileFile, maxProfileSize);
    if (!profile.error.empty()) {
        *error =
            QObject::tr("cannot read the board profile '%1': %2")
                .arg(fromNative(board->profileFile), QString::fromLocal8Bit(profile.error.c_str()));
        return false;
    }
    QString parseError;
    if (!parseBoardProfile(QByteArray::fromStdString(profile.bytes), &board->profile,
                           &parseError)) {
        *error = QObject::tr("the board profile '%1' is not valid: %2")
                     .arg(fromNative(board->profileFile), parseError);
        return false;
    }
    return true;
}
