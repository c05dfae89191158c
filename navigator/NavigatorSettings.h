// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QVariantMap>

// The navigator's settings: the recent projects, the serial port of each
// project and the editor command, in one file shared by every navigator.
//
// The file is checked once, before anything reads it. A symbolic link is
// followed, so that saving replaces the link's target and the link stays.
// Anything else that is not a regular file (a FIFO, a device, a directory) is
// left alone: it could block the navigator or be replaced by a save. The
// settings are then kept in memory for this run only, and problem() says why.
class NavigatorSettings
{
public:
    // The user's file, "<config>/<organization>/<application>.conf", where
    // QSettings keeps it.
    NavigatorSettings();
    explicit NavigatorSettings(const QString &fileName);

    QVariant value(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);

    // Why the file is not read or saved; empty when it is.
    QString problem() const { return m_problem; }

private:
    QString m_fileName; // the file read and written; empty: in memory
    QVariantMap m_memory;
    QString m_problem;
};
