// SPDX-License-Identifier: MIT
#include "tests/ProcessEnd.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

namespace {

const char *const LogVariable = "QUELLIX_TEST_END_LOG";

bool isCopy()
{
    return qEnvironmentVariableIsSet(LogVariable);
}

void abortUnlessCopy()
{
    if (isCopy())
        return;
    std::fprintf(stderr, "The launcher ended its process outside runToProcessEnd().\n");
    std::abort();
}

} // namespace

ProcessEnd runToProcessEnd(const std::function<void()> &steps)
{
    if (isCopy()) {
        steps();
        return {};
    }
    QTemporaryDir area;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(LogVariable, area.filePath("end.log"));
    // The copy ends without clean-up: what it makes goes in the area, removed here.
    environment.insert("TMPDIR", area.path());
    QProcess copy;
    copy.setProcessEnvironment(environment);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    QString row = QString::fromUtf8(QTest::currentTestFunction());
    if (const char *tag = QTest::currentDataTag(); tag && *tag)
        row += ':' + QString::fromUtf8(tag);
    copy.start(QCoreApplication::applicationFilePath(), {row});
    if (!copy.waitForFinished(60000))
        copy.kill();
    copy.waitForFinished();

    ProcessEnd end;
    end.output = QString::fromLocal8Bit(copy.readAll());
    QFile log(area.filePath("end.log"));
    end.reached = copy.exitStatus() == QProcess::NormalExit && log.open(QIODevice::ReadOnly);
    end.status = copy.exitCode();
    if (end.reached)
        end.log = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    return end;
}

void reportProcessEnd(const std::vector<std::string> &log)
{
    abortUnlessCopy();
    QFile file(qEnvironmentVariable(LogVariable));
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (const std::string &entry : log)
        file.write(QByteArray::fromStdString(entry) + '\n');
}

void endProcessEndCopy(int status)
{
    abortUnlessCopy();
    std::fflush(nullptr);
    std::_Exit(status);
}
