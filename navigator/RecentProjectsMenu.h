// SPDX-License-Identifier: MIT
#pragma once

#include <QMenu>
#include <memory>
#include <string>

class NavigatorSettings;

// The "Open Recent" menu: the project files opened last, most recent first. The
// list is kept in the user's settings, so that it outlives the navigator and
// every navigator shares it. Entries show paths with '&' and control
// characters made harmless (menuText()).
class RecentProjectsMenu : public QMenu
{
    Q_OBJECT

public:
    explicit RecentProjectsMenu(std::shared_ptr<NavigatorSettings> settings,
                                QWidget *parent = nullptr);

    // Puts path (absolute, native bytes) first. A name that does not survive
    // decoding is not kept, since settings hold text.
    void remember(const std::string &path);

    // Rebuilds the menu from the settings; disabled when the list is empty.
    void reload();

signals:
    void projectChosen(const std::string &path);

private:
    std::shared_ptr<NavigatorSettings> m_settings;
};
