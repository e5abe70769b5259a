#pragma once

#include "port_names.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QComboBox;
class QPushButton;
class QTableWidget;

namespace kinetra {

class Dialogs;
class SettingsStore;
struct SharedState;

// The port assignment: which device each of COM1 to COM10 stands for. A row is automatic (the
// n-th device of the machine) or pinned to a device, one of those found or a typed path, such as
// the simulated drive's pseudo-terminal that the system does not list. OK stores the rows the
// user changed in the settings section "Ports"; the window never talks to the drive, and a
// running link keeps its port until the next Connect.
class frmPorts : public QDialog {
    Q_OBJECT
public:
    // `devices` lists the machine's serial devices; nullptr: the system's.
    frmPorts(const SharedState& state, SettingsStore& settings, Dialogs& dialogs,
             const SerialDeviceSource* devices = nullptr, QWidget* parent = nullptr);

    // The choice of COMn; its text is "automatic (device)", a device found, or a typed path.
    QComboBox* choice(int port) const;
    // The device COMn is pinned to by its row; "" for automatic.
    QString pinnedIn(int port) const;
    // What the adapter column of COMn shows.
    QString adapterShown(int port) const;

    // Lists the devices again; every row keeps its choice.
    void cmdRescan_Click();
    // Two rows pinned to one device are refused with a message; otherwise the changed rows are
    // stored and the window closes.
    void cmdOK_Click();

private:
    void showDevices();
    void showRow(int port);
    // The first pair of rows pinned to one device (a link and its target count as one): their
    // port numbers, or {0, 0}.
    std::pair<int, int> duplicatePin() const;

    const SharedState& state_;
    SettingsStore& settings_;
    Dialogs& dialogs_;
    PortNames names_;
    QList<SerialDevice> devices_;
    // The pins as stored when the window opened, COM1 first; only rows that differ are written.
    QStringList stored_;
    QTableWidget* table_ = nullptr;
    QList<QComboBox*> choices_;
};

} // namespace kinetra
