// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <memory>

class NavigatorSettings;
class QComboBox;
class QLabel;

// Chooses the serial port a project's board is on: the ports the system lists,
// read again each time the list opens, or a device path typed in. The choice is
// remembered per project file in the user's settings (next to the recent
// projects); a new project starts on the one USB adapter plugged in, if
// there is just one. A remembered port whose device is gone stays chosen and
// is marked missing.
class SerialPortChooser : public QWidget
{
    Q_OBJECT

public:
    explicit SerialPortChooser(std::shared_ptr<NavigatorSettings> settings,
                               QWidget *parent = nullptr);

    // Shows the port remembered for projectFile; an empty name: no project.
    void setProject(const QString &projectFile);
    // Keeps the port shown for the project.
    void remember();

    QString portName() const;
    bool isMissing() const;
    void refresh();

signals:
    void portChanged(const QString &portName);

private:
    void updateState();

    QComboBox *m_combo = nullptr;
    QLabel *m_state = nullptr;
    std::shared_ptr<NavigatorSettings> m_settings;
    QString m_project;
};
