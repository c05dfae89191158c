#include "NavigatorWindow.h"

#include "ProjectFiles.h"

#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

// File names and project names are native bytes, not necessarily UTF-8.
QString fromNative(const std::string &bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QLabel *plainLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

NavigatorWindow::NavigatorWindow(QWidget *parent) : QMainWindow(parent)
{
    auto *central = new QWidget(this);
    m_status = plainLabel(QStringLiteral("statusLabel"), central);
    m_status->setWordWrap(true);
    m_projectFile = plainLabel(QStringLiteral("projectFileLabel"), central);
    m_projectName = plainLabel(QStringLiteral("projectNameLabel"), central);
    m_sources = new QListWidget(central);
    m_sources->setObjectName(QStringLiteral("sourceList"));

    auto *details = new QFormLayout;
    details->addRow(tr("Project file:"), m_projectFile);
    details->addRow(tr("Project name:"), m_projectName);
    details->addRow(tr("Sources:"), m_sources);

    auto *layout = new QVBoxLayout(central);
    layout->addWidget(m_status);
    layout->addLayout(details);
    setCentralWidget(central);
    resize(560, 400);
    showNoProject();
}

void NavigatorWindow::showNoProject()
{
    setWindowTitle(tr("Navigator"));
    m_status->setText(tr("No project open"));
    m_projectFile->clear();
    m_projectName->clear();
    m_sources->clear();
}

void NavigatorWindow::openProject(const std::string &projectFile)
{
    showNoProject();
    m_projectFile->setText(fromNative(projectFile));
    const ProjectRead read = readProjectFile(projectFile);
    if (!read.project) {
        m_status->setText(tr("Cannot open the project: %1").arg(fromNative(read.error)));
        return;
    }
    const QString name = fromNative(read.project->name);
    setWindowTitle(tr("Navigator \u2014 %1").arg(name));
    m_projectName->setText(name);
    for (const std::string &source : read.project->sources)
        m_sources->addItem(fromNative(source));
    m_status->setText(tr("%n source file(s)", nullptr, static_cast<int>(m_sources->count())));
}
