#include "frm_ports.h"

#include "dialogs.h"
#include "settings_store.h"
#include "shared_state.h"
#include "tool_texts.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kinetra {

namespace {

enum Column { kDeviceColumn, kAdapterColumn };

QString portName(int port)
{
    return QStringLiteral("COM%1").arg(port);
}

QPushButton* makeButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    button->setAutoDefault(false);
    return button;
}

// One device under two names (a /dev/serial/by-id link and its ttyUSB node) is one device.
QString sameDeviceKey(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
}

} // namespace

frmPorts::frmPorts(const SharedState& state, SettingsStore& settings, Dialogs& dialogs,
                   const SerialDeviceSource* devices, QWidget* parent)
    : QDialog(parent), state_(state), settings_(settings), dialogs_(dialogs), names_(settings, devices)
{
    setObjectName(QStringLiteral("frmPorts"));
    setWindowTitle(state_.tool(tooltext::PortsTitle));
    setAccessibleName(windowTitle());
    setModal(true);

    table_ = new QTableWidget(PortNames::kPortCount, 2);
    table_->setObjectName(QStringLiteral("tblPorts"));
    table_->setAccessibleName(windowTitle());
    table_->setHorizontalHeaderLabels(
        {state_.tool(tooltext::PortsColumnDevice), state_.tool(tooltext::PortsColumnAdapter)});
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->horizontalHeader()->setSectionResizeMode(kAdapterColumn, QHeaderView::Stretch);
    table_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    const int em = fontMetrics().averageCharWidth();
    table_->setColumnWidth(kDeviceColumn, em * 34);

    for (int port = 1; port <= PortNames::kPortCount; ++port) {
        stored_ << names_.pinnedFor(port);
        table_->setVerticalHeaderItem(port - 1, new QTableWidgetItem(portName(port)));
        auto* combo = new QComboBox;
        combo->setObjectName(QStringLiteral("cmbPort_%1").arg(port));
        combo->setAccessibleName(portName(port));
        combo->setEditable(true);
        // A typed path is taken as it stands; it does not become an entry of the list.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setEditText(stored_.last());
        connect(combo, &QComboBox::currentTextChanged, this, [this, port] { showRow(port); });
        table_->setCellWidget(port - 1, kDeviceColumn, combo);
        auto* adapter = new QTableWidgetItem;
        adapter->setFlags(Qt::ItemIsEnabled);
        table_->setItem(port - 1, kAdapterColumn, adapter);
        choices_ << combo;
    }
    devices_ = names_.devices();
    showDevices();
    table_->resizeRowsToContents();
    table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() + table_->verticalHeader()->length() +
                             2 * table_->frameWidth());
    table_->setMinimumWidth(table_->verticalHeader()->sizeHint().width() + em * 80);

    auto* rescan = makeButton(QStringLiteral("cmdRescan"), state_.tool(tooltext::PortsRescan));
    auto* ok = makeButton(QStringLiteral("cmdOK"), state_.tool(tooltext::PortsSave));
    auto* cancel = makeButton(QStringLiteral("cmdCancel"), state_.tool(tooltext::PortsCancel));
    ok->setDefault(true);
    connect(rescan, &QPushButton::clicked, this, &frmPorts::cmdRescan_Click);
    connect(ok, &QPushButton::clicked, this, &frmPorts::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(rescan);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addLayout(buttons);
}

QComboBox* frmPorts::choice(int port) const
{
    return port >= 1 && port <= choices_.size() ? choices_[port - 1] : nullptr;
}

QString frmPorts::pinnedIn(int port) const
{
    const QComboBox* combo = choice(port);
    if (!combo)
        return {};
    const QString text = combo->currentText().trimmed();
    if (text == combo->itemText(0) || text == state_.tool(tooltext::PortsAutomatic))
        return {};
    return text;
}

QString frmPorts::adapterShown(int port) const
{
    const QTableWidgetItem* item = table_->item(port - 1, kAdapterColumn);
    return item ? item->text() : QString();
}

void frmPorts::showDevices()
{
    for (int port = 1; port <= PortNames::kPortCount; ++port) {
        QComboBox* combo = choice(port);
        const QString pinned = pinnedIn(port);
        const QSignalBlocker quiet(combo);
        combo->clear();
        // The automatic entry names the device the number gets by itself.
        const QString automatic = state_.tool(tooltext::PortsAutomatic);
        const QString device = names_.assignment(port, {}, devices_).device;
        combo->addItem(device.isEmpty() ? automatic : QStringLiteral("%1 (%2)").arg(automatic, device));
        for (const SerialDevice& d : devices_)
            combo->addItem(d.path);
        const int index = pinned.isEmpty() ? 0 : combo->findText(pinned);
        if (index >= 0)
            combo->setCurrentIndex(index);
        else
            combo->setEditText(pinned);
        showRow(port);
    }
}

void frmPorts::showRow(int port)
{
    const PortAssignment a = names_.assignment(port, pinnedIn(port), devices_);
    QString text;
    if (!a.device.isEmpty())
        text = a.present ? a.listed.adapterText() : state_.tool(tooltext::PortsMissing);
    QTableWidgetItem* item = table_->item(port - 1, kAdapterColumn);
    item->setText(text);
    item->setToolTip(text);
    // A long path (a /dev/serial/by-id link) does not fit the box.
    choice(port)->setToolTip(a.device);
}

void frmPorts::cmdRescan_Click()
{
    devices_ = names_.devices();
    showDevices();
}

std::pair<int, int> frmPorts::duplicatePin() const
{
    QHash<QString, int> firstPort;
    for (int port = 1; port <= PortNames::kPortCount; ++port) {
        const QString pinned = pinnedIn(port);
        if (pinned.isEmpty())
            continue;
        const QString key = sameDeviceKey(pinned);
        if (firstPort.contains(key))
            return {firstPort.value(key), port};
        firstPort.insert(key, port);
    }
    return {0, 0};
}

void frmPorts::cmdOK_Click()
{
    // A device opens for one port only; which of the two the user meant cannot be guessed.
    if (const auto [first, second] = duplicatePin(); first > 0) {
        dialogs_.message(state_.tool(tooltext::PortsDuplicate).arg(first).arg(second).arg(pinnedIn(second)),
                         windowTitle(), MessageIcon::Warning);
        choice(second)->setFocus();
        return;
    }
    // Rows the user left alone are not written back: the simulated drive registers and
    // removes its own pin while it runs.
    for (int port = 1; port <= PortNames::kPortCount; ++port) {
        const QString pinned = pinnedIn(port);
        if (pinned == stored_[port - 1])
            continue;
        if (pinned.isEmpty())
            settings_.remove(kApplicationName, PortNames::kSection, portName(port));
        else
            settings_.setValue(kApplicationName, PortNames::kSection, portName(port), pinned);
    }
    accept();
}

} // namespace kinetra
