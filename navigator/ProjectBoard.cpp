// SPDX-License-Identifier: MIT
#include "navigator/ProjectBoard.h"

#include "navigator/FileIo.h"
#include "navigator/NativeText.h"

#include <QFile>
#include <QRegularExpression>

namespace {

constexpr size_t maxMakefileSize = 1024 * 1024;
constexpr size_t maxProfileSize = 64 * 1024;

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

Result<ProjectBoard> readProjectBoard(const std::string &directory)
{
    const std::string makefilePath = directory + "/Makefile";
    const Result<std::string> makefile = readRegularFile(makefilePath, maxMakefileSize);
    if (!makefile.ok())
        return failure(QObject::tr("cannot read '%1': %2")
                           .arg(fromNative(makefilePath), fromNative(makefile.failure().message)));
    ProjectBoard board;
    board.pack = packNamedBy(QByteArray::fromStdString(makefile.value()));
    if (board.pack.isEmpty())
        return failure(QObject::tr("'%1' names no pack (a line \"PACK := <pack>\")")
                           .arg(fromNative(makefilePath)));
    const QByteArray root = qgetenv("QPRJ");
    if (root.isEmpty())
        return failure(
            QObject::tr("QPRJ is not set, so the pack %1 cannot be found").arg(board.pack));
    board.profileFile = root.toStdString() + '/' + board.pack.toStdString() + "/lib/board.profile";
    const Result<std::string> profile = readRegularFile(board.profileFile, maxProfileSize);
    if (!profile.ok())
        return failure(
            QObject::tr("cannot read the board profile '%1': %2")
                .arg(fromNative(board.profileFile), fromNative(profile.failure().message)));
    QString parseError;
    if (!parseBoardProfile(QByteArray::fromStdString(profile.value()), &board.profile, &parseError))
        return failure(QObject::tr("the board profile '%1' is not valid: %2")
                           .arg(fromNative(board.profileFile), parseError));
    return board;
}
