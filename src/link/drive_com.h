#pragma once

#include "clock.h"
#include "parameter_value.h"

#include <QByteArray>

#include <deque>
#include <functional>
#include <memory>

namespace kinetra {

class Dialogs;
class SerialPort;
class WindowElements;
struct SharedState;

// The link to the drive: it owns the serial port's use and the link timers, and runs every
// transaction on the wire. Everything runs on the user-interface thread; the waits serve it.
//
// Two transactions never share the wire: a write asked for while another transaction waits (a
// timer tick or a button handled inside the wait) is queued and sent right after it, in order.
class DriveCom {
public:
    DriveCom(SharedState& state, SerialPort& port, Clock& clock, WindowElements& window, Dialogs& dialogs);
    ~DriveCom();
    DriveCom(const DriveCom&) = delete;
    DriveCom& operator=(const DriveCom&) = delete;

    // Stores `value` for `Cmd` in the table and, while online, writes it to the drive at
    // `address`: waits for ACK or NAK, retries a silent drive twice, rolls the table back on a
    // refusal and reports a dead link. Returns the value as sent (parameter 25 selections are
    // translated 0/1/2 -> 1/2/4).
    ParameterValue WriteCom(int address, int Cmd, const ParameterValue& value);
    ParameterValue WriteCom(int address, int Cmd, qint64 value)
    {
        return WriteCom(address, Cmd, ParameterValue::number(value));
    }

    // The one report of a link that stopped answering: message, status offline, polling off.
    void ComError();

    // The connect and stop buttons of the main window, after the window has checked that the
    // left button was released inside the button.
    void cmdConnect();
    void cmdStop();

    // A transaction is on the wire (or waiting to put a frame there).
    bool transactionRunning() const { return depth_ > 0; }
    // Writes queued behind the running transaction.
    size_t queuedWrites() const { return queue_.size(); }

    Timer& timerReceive() { return *timerReceive_; }
    Timer& TimerTest() { return *timerTest_; }
    Timer& ManualTimer() { return *manualTimer_; }

    // Every frame sent (true) and every answer received (false), for the wire trace.
    void setWireObserver(std::function<void(bool sent, const QByteArray&)> observer)
    {
        wireObserver_ = std::move(observer);
    }

    SharedState& state() { return state_; }
    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    WindowElements& window() { return window_; }
    Dialogs& dialogs() { return dialogs_; }

private:
    struct PendingWrite {
        int address;
        int cmd;
        ParameterValue value;
    };

    void runWrite(int address, int cmd, const ParameterValue& value);
    void refuse(int cmd, bool stored, const ParameterValue& previous);
    void showTransferProgress();
    void drainQueue();
    void send(const QByteArray& frame);
    QByteArray receiveAll();

    SharedState& state_;
    SerialPort& port_;
    Clock& clock_;
    WindowElements& window_;
    Dialogs& dialogs_;

    std::unique_ptr<Timer> timerReceive_;
    std::unique_ptr<Timer> timerTest_;
    std::unique_ptr<Timer> manualTimer_;

    // Axis digit and parameter number of the last command number >= 2000 that WriteCom handled.
    int cmdAxis_ = 0;
    int cmdParam_ = 0;

    int depth_ = 0;
    std::deque<PendingWrite> queue_;
    std::function<void(bool, const QByteArray&)> wireObserver_;
};

// Texts of status bar panel 1.
inline const QString kOnline = QStringLiteral(" RS232 : ONLINE");
inline const QString kOffline = QStringLiteral(" RS232 : OFFLINE");
inline const QString kPortFound = QStringLiteral(" RS232 :");

} // namespace kinetra
