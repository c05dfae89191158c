// SPDX-License-Identifier: MIT
#include "navigator/RecentProjectsMenu.h"

#include "navigator/DisplayText.h"
#include "navigator/NavigatorSettings.h"

#include <QFile>

namespace {

const QString settingsKey = QStringLiteral("recentProjects");
constexpr int maxRecentProjects = 8;

} // namespace

RecentProjectsMenu::RecentProjectsMenu(std::shared_ptr<NavigatorSettings> settings, QWidget *parent)
    : QMenu(tr("Open &Recent"), parent), m_settings(std::move(settings))
{
    setObjectName(QStringLiteral("recentMenu"));
    reload();
}

void RecentProjectsMenu::remember(const std::string &path)
{
    const QByteArray nativePath = QByteArray::fromStdString(path);
    const QString decoded = QFile::decodeName(nativePath);
    if (QFile::encodeName(decoded) != nativePath)
        return;
    QStringList paths = m_settings->value(settingsKey).toStringList();
    paths.removeAll(decoded);
    paths.prepend(decoded);
    m_settings->setValue(settingsKey, paths.mid(0, maxRecentProjects));
}

void RecentProjectsMenu::reload()
{
    clear();
    const QStringList paths =
        m_settings->value(settingsKey).toStringList().mid(0, maxRecentProjects);
    for (int i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        QAction *action =
            addAction(QStringLiteral("&%1 %2").arg(QString::number(i + 1), menuText(path)));
        action->setObjectName(QStringLiteral("recentProject%1").arg(i + 1));
        connect(action, &QAction::triggered, this,
                [this, path] { emit projectChosen(QFile::encodeName(path).toStdString()); });
    }
    setEnabled(!paths.isEmpty());
}
