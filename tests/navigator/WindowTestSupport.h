// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/FileOpener.h"
#include "navigator/NavigatorWindow.h"
#include "tests/navigator/BuildTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>

namespace navtest {

const QByteArray projectTag = "# quellix-navigator project 1\n";

template <typename T> T *child(const QWidget &window, const char *name)
{
    return window.findChild<T *>(QString::fromLatin1(name));
}

inline QString labelText(const QWidget &window, const char *name)
{
    const auto *label = child<QLabel>(window, name);
    if (!label)
        return QStringLiteral("<no label %1>").arg(QLatin1String(name));
    // An eliding label shows what fits; this is what it would show in full.
    const QVariant full = label->property("fullText");
    return full.isValid() ? full.toString() : label->text();
}

inline QStringList sourceItems(const QWidget &window)
{
    QStringList items;
    const auto *list = child<QListWidget>(window, "sourceList");
    for (int i = 0; list && i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

inline QString outputText(const QWidget &window)
{
    const auto *pane = child<QPlainTextEdit>(window, "buildOutput");
    return pane ? pane->toPlainText() : QStringLiteral("<no buildOutput>");
}

inline QString lastLine(const QString &text)
{
    return text.section(QLatin1Char('\n'), -1);
}

// True once a command has ended, whatever the lines after its status line.
inline bool commandEnded(const NavigatorWindow &window)
{
    return window.buildAction()->isEnabled();
}

// Opens projectFile, if given, then shows the window and waits until it is
// active, so that its shortcuts work.
inline bool showActive(NavigatorWindow &window, const std::string &projectFile = {})
{
    if (!projectFile.empty())
        window.openProject(projectFile);
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Types path into the next file dialog and accepts it; answered tells it did.
inline QTimer *answerFileDialog(const QString &path, bool *answered = nullptr)
{
    return answerNextModal([path, answered](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        edit->setText(path);
        QTest::keyClick(edit, Qt::Key_Return);
        if (answered)
            *answered = true;
    });
}

// A project directory whose name a shell would act on, holding robot.proj and
// the Makefile given, if any; empty if it could not be made.
inline std::string makeProject(const TempDir &dir, const std::string &makefile = {})
{
    const std::string project = dir.file("robot \xc3\xa9 $(touch pwned) `touch pwned`; x");
    if (::mkdir(project.c_str(), 0777) != 0 ||
        !writeBytes(project + "/robot.proj",
                    (projectTag + "name=robot\nsource=main.c\n").toStdString()) ||
        (!makefile.empty() && !writeMakefile(project, makefile)))
        return {};
    return project;
}

// Keeps the settings that windows write (the recent projects) in a temporary
// directory, never in the user's own: the navigator's and Qt's own, such as
// the file dialog's.
class TemporarySettings
{
public:
    TemporarySettings()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_directory.path()));
        QCoreApplication::setOrganizationName(QStringLiteral("Quellix"));
        QCoreApplication::setApplicationName(QStringLiteral("snavigator test"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_directory.path());
    }

    bool isValid() const { return m_directory.isValid(); }
    // Where the navigator keeps its settings.
    QString fileName() const
    {
        return m_directory.path() + QStringLiteral("/Quellix/snavigator test.conf");
    }

private:
    QTemporaryDir m_directory;
};

// Records the files the window asks to open, as "<path>:<line>:<column>", in
// place of the user's editor.
class RecordingOpener : public FileOpener
{
public:
    RecordingOpener(std::vector<std::string> &opened, QString error)
        : m_opened(opened), m_error(std::move(error))
    {}
    Result<Done> open(const std::string &path, int line, int column) override
    {
        m_opened.push_back(path + ':' + std::to_string(line) + ':' + std::to_string(column));
        if (m_error.isEmpty())
            return Done();
        return failure(m_error);
    }

private:
    std::vector<std::string> &m_opened;
    QString m_error;
};

} // namespace navtest
