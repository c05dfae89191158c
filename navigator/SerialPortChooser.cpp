// SPDX-License-Identifier: MIT
#include "navigator/SerialPortChooser.h"

#include "navigator/DisplayText.h"
#include "navigator/NavigatorSettings.h"
#include "navigator/SerialPorts.h"
#include "uploader/PortOpener.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSerialPortInfo>
#include <algorithm>
#include <functional>

namespace {

const QString settingsKey = QStringLiteral("serialPorts");

// Lists the ports afresh whenever its list opens: adapters come and go.
class PortComboBox : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;

    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

// A project's first guess: the one serial adapter connected, as the uploader
// would choose it; built-in UARTs are listed whether or not anything is wired
// to them, so they are never a guess.
QString onlyAdapter()
{
    QString device, error;
    return chooseSerialPort(QStringLiteral("/dev/serial/by-id"), &device, &error) ? device
                                                                                  : QString();
}

} // namespace

SerialPortChooser::SerialPortChooser(std::shared_ptr<NavigatorSettings> settings, QWidget *parent)
    : QWidget(parent), m_settings(std::move(settings))
{
    auto *combo = new PortComboBox(this);
    combo->beforePopup = [this] {
        refresh();
    };
    m_combo = combo;
    m_combo->setObjectName(QStringLiteral("portCombo"));
    m_combo->setAccessibleName(tr("Serial port"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setMinimumContentsLength(16);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo->lineEdit()->setPlaceholderText(tr("no serial port"));
    m_combo->setToolTip(tr("The serial port of the board, for Upload and the serial monitor"));
    auto *label = new QLabel(tr("Po&rt:"), this);
    label->setBuddy(m_combo);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("portStateLabel"));
    m_state->setAccessibleName(tr("Serial port state"));
    m_state->setTextFormat(Qt::PlainText);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(m_combo, 1);
    layout->addWidget(m_state);

    connect(m_combo, &QComboBox::currentTextChanged, this, [this] {
        updateState();
        emit portChanged(portName());
    });
    connect(m_combo, &QComboBox::activated, this, &SerialPortChooser::remember);
    connect(m_combo->lineEdit(), &QLineEdit::editingFinished, this, &SerialPortChooser::remember);
    setProject({});
}

void SerialPortChooser::setProject(const QString &projectFile)
{
    m_project = projectFile;
    refresh();
    QString port;
    if (!projectFile.isEmpty()) {
        const QVariantMap ports = m_settings->value(settingsKey).toMap();
        if (ports.contains(projectFile))
            port = ports.value(projectFile).toString();
        else
            port = onlyAdapter();
    }
    m_combo->setEditText(port);
    m_combo->setEnabled(!projectFile.isEmpty());
    updateState();
    emit portChanged(portName());
}

void SerialPortChooser::remember()
{
    if (m_project.isEmpty())
        return;
    QVariantMap ports = m_settings->value(settingsKey).toMap();
    if (ports.value(m_project).toString() == portName() && ports.contains(m_project))
        return;
    ports.insert(m_project, portName());
    m_settings->setValue(settingsKey, ports);
}

QString SerialPortChooser::portName() const
{
    return m_combo->currentText().trimmed();
}

bool SerialPortChooser::isMissing() const
{
    const QString name = portName();
    return !name.isEmpty() && !QFileInfo::exists(serialDevicePath(name));
}

void SerialPortChooser::refresh()
{
    // Keeps what is shown, even a port that is not listed.
    const QString shown = m_combo->currentText();
    const QSignalBlocker blocker(m_combo);
    m_combo->clear();
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo &a, const QSerialPortInfo &b) {
        return a.systemLocation() < b.systemLocation();
    });
    for (const QSerialPortInfo &port : ports) {
        m_combo->addItem(port.systemLocation());
        QStringList about{port.description(), port.manufacturer()};
        about.removeAll(QString());
        // The adapter names itself: its words are shown as they are.
        m_combo->setItemData(m_combo->count() - 1,
                             plainToolTip(visibleText(about.join(QStringLiteral(", ")))),
                             Qt::ToolTipRole);
    }
    m_combo->setEditText(shown);
    updateState();
}

void SerialPortChooser::updateState()
{
    const bool missing = isMissing();
    m_state->setText(missing ? tr("(missing)") : QString());
    m_state->setToolTip(missing
                            ? plainToolTip(tr("%1 is not there: is the board's cable plugged in?")
                                               .arg(visibleText(serialDevicePath(portName()))))
                            : QString());
    m_combo->setAccessibleDescription(missing ? tr("missing") : QString());
}
