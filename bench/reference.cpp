// SPDX-License-Identifier: MIT
// The launcher's stored form, its font substitution, title and icon, with no logic.
#include "ui_TForm1.h"

#include <QApplication>
#include <QWidget>

namespace {

// The form connects its buttons to these slots; they are empty here so the
// connections resolve as they do in the launcher.
class ReferenceForm : public QWidget
{
    Q_OBJECT

public slots:
    void ThePalmorClick() {}
    void TheDunnetClick() {}
    void TheVessikClick() {}
    void TheTovrinClick() {}
    void ExistingProjectClick() {}
    void NewTemplClick() {}
    void NewProjectClick() {}
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                              QStringLiteral("Liberation Sans Narrow"));
    ReferenceForm window;
    Ui::TForm1 ui;
    ui.setupUi(&window);
    window.move(314, 183);
    const QString title = QStringLiteral("Quellix Project Management");
    QApplication::setApplicationDisplayName(title);
    window.setWindowTitle(title);
    window.show();
    return QApplication::exec();
}

#include "reference.moc"
