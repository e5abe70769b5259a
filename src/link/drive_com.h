#pragma once

#include "clock.h"
#include "drive_protocol.h"
#include "link_observer.h"
#include "parameter_value.h"

#include <QByteArray>
#include <QMetaObject>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

namespace kinetra {

class SerialPort;
class UnsavedValues;
struct SharedState;

// Whether WriteCom turns the list positions 0/1/2 of parameter 25 of the axes into the drive's
// 1/2/4. Entries from the window are positions; values read from the drive or a file are not.
enum class SelectionTranslation { Translate, Keep };

// What a poll came to: the check of its last answer; no answer in three attempts (the link is
// reported lost); not sent or given up because the link is offline, was stopped or the program
// ends; or not sent because another transaction owns the wire (the drive was not asked).
enum class ReadOutcome { Match, Mismatch, NoVerdict, NoAnswer, Offline, Busy };

// What the port search came to; Deferred: asked for inside a transaction, it runs after it.
enum class SearchOutcome { Found, NoDrive, Deferred };

// What the full read came to: every value read, stopped by the user, ended by a failed poll
// (reported as a lost link), or deferred behind the running transaction.
enum class FullReadOutcome { Complete, Stopped, Failed, Deferred };

// What a write came to: the drive acknowledged or refused it, gave an answer that is neither,
// did not answer three times (the link is reported dead), was not sent (offline, or the program
// ends), or waits behind the transaction on the wire.
enum class WriteOutcome { Accepted, Refused, Garbled, NoAnswer, NotSent, Queued };

// The link to the drive: it owns the serial port's use and the link timers, and runs every
// transaction on the wire. Everything runs on the user-interface thread; the waits serve it.
//
// Two transactions never share the wire: a write asked for while another transaction waits (a
// timer tick or a button handled inside the wait) is queued and sent right after it, in order.
class DriveCom {
public:
    // `observer` hears what happens on the link; it must outlive the link.
    DriveCom(SharedState& state, SerialPort& port, Clock& clock, LinkObserver& observer);
    ~DriveCom();
    DriveCom(const DriveCom&) = delete;
    DriveCom& operator=(const DriveCom&) = delete;

    // Stores `value` for `Cmd` in the table and, while online, writes it to the drive at
    // `address`: waits for ACK or NAK, retries a silent drive twice, rolls the table back on a
    // refusal and reports a dead link. Parameter 25 selections of the axes are translated
    // 0/1/2 -> 1/2/4; a value that is already the drive's own (a parameter file's record) is
    // sent with Keep.
    WriteOutcome WriteCom(int address, int Cmd, const ParameterValue& value,
                          SelectionTranslation translation = SelectionTranslation::Translate);
    WriteOutcome WriteCom(int address, int Cmd, qint64 value)
    {
        return WriteCom(address, Cmd, ParameterValue::number(value));
    }
    // The value as WriteCom puts it on the wire.
    static ParameterValue valueOnTheWire(int Cmd, const ParameterValue& value, SelectionTranslation translation);
    // As WriteCom; `done` learns the outcome once the drive has answered, which for a write
    // queued behind the transaction on the wire is after that one.
    void writeThen(int address, int Cmd, const ParameterValue& value, std::function<void(WriteOutcome)> done);

    // The program's last frame: written to an open, online link without waiting for an answer
    // (the program ends; nothing could act on one).
    void sendWithoutAnswer(int address, int Cmd, qint64 value);

    // The one report of a link that stopped answering: message, status offline, polling off.
    void ComError();

    // Polls `Cmd` at `address`: verifies the answer, stores its value under the echoed command
    // number and hands it to the display. Three bad answers in a row report a dead link; in
    // quiet mode (the port search) one attempt is all and nothing is decoded or reported. A
    // poll asked for while another transaction is on the wire is not sent: busy.
    ReadOutcome ReadCom(int Cmd, int address);

    // One step of the live polling plan; timerReceive runs it.
    void pollTick();
    qint16 pollStep() const { return pollStep_; }
    qint16 pollRounds() const { return pollRounds_; }
    void setPollStep(qint16 step) { pollStep_ = step; }
    void setPollRounds(qint16 rounds) { pollRounds_ = rounds; }
    // The command number of the last decoded answer.
    int rxCommand() const { return rxCommand_; }

    // Opens port comPort when no port is open, else takes the open port's number.
    void Init();
    // Finds the drive: one quiet poll of 2000 per port from the start port up to port 10.
    SearchOutcome searchCom();
    // Reads the device and axis parameters into the table, then starts live polling.
    FullReadOutcome Connect();
    FullReadOutcome readParameter() { return Connect(); }

    // The connect and stop buttons of the main window, after the window has checked that the
    // left button was released inside the button. Pressed while a transaction is on the wire
    // (its wait serves the window), they act as soon as that transaction has ended.
    void cmdConnect();
    void cmdStop();
    // Takes the link offline between transactions: polling off, the transfer flags cleared,
    // stopRequest set so that a running bulk loop ends after its current transaction.
    void goOffline();
    // A connection (search and full read) started by the connect button is running.
    bool connecting() const { return connecting_; }

    // Where every decoded value goes: the application installs the live display here. The
    // value text comes back as the display text.
    void setValueSink(std::function<void(QString& value, int index)> sink) { valueSink_ = std::move(sink); }
    void showValues(QString& value, int index)
    {
        if (valueSink_)
            valueSink_(value, index);
    }

    // A transaction is on the wire (or waiting to put a frame there).
    bool transactionRunning() const { return depth_ > 0; }
    // Runs `action` now, or right after the running transaction; true when it was deferred.
    bool runOnFreeWire(std::function<void()> action);
    // Transactions are numbered as they start: one started later has a higher number. While a
    // poll's answer is decoded, answerNumber() is that poll's number.
    quint64 transactionNumber() const { return transactions_; }
    quint64 answerNumber() const { return answerNumber_; }
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
    // What the link has to say about itself in the wire trace (the fast link falling back).
    void setTraceNote(std::function<void(const QByteArray&)> note) { traceNote_ = std::move(note); }

    // The fast link, off by default: a wait for an answer ends the moment the answer is complete,
    // a write needs no pause before it when no answer is owed, and `gapCharacters` character
    // times separate an answer from the next frame. Frames, order, retries, timeouts and the
    // pauses after a save stay those of the classic timing. A drive that answers late, garbled
    // or not at all more than once in a full read gets the classic timing back (reported to the
    // observer and the trace); switching the fast link on again is the user's call.
    void setFastLink(bool on, double gapCharacters = kFastLinkGapCharacters);
    bool fastLink() const { return fast_; }
    bool fastLinkFellBack() const { return fellBack_; }
    static constexpr double kFastLinkGapCharacters = 2;

    // The drive acknowledged the save sequence: what it holds is in its memory now.
    void valuesSaved();
    // Values written back to the ones read are no longer unsaved.
    void unsavedSettled();

    SharedState& state() { return state_; }
    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    LinkObserver& observer() { return observer_; }

private:
    // A write, or an action (a connect or stop press) that waits for the wire to be free.
    struct PendingWrite {
        int address;
        int cmd;
        ParameterValue value;
        std::function<void()> action = {};
        std::function<void(WriteOutcome)> done = {};
    };

    // Runs the write now, or queues it behind the running transaction; `done` learns its outcome.
    WriteOutcome submitWrite(int address, int cmd, const ParameterValue& value, std::function<void(WriteOutcome)> done);
    WriteOutcome runWrite(int address, int cmd, const ParameterValue& value);
    WriteOutcome sendWrite(int address, int cmd, const ParameterValue& value, bool stored,
                           const ParameterValue& previous);
    void refuse(int cmd, bool stored, const ParameterValue& previous);
    // Changes the record of unsaved values and tells the observer when that starts or ends.
    void changeUnsaved(const std::function<void(UnsavedValues&)>& change);
    void countTransfer();
    void drainQueue();
    ReadOutcome runRead(int cmd, int address);
    bool waitForAnswer(qsizetype expected);
    void decodeAnswer(const QByteArray& answer);
    void finishRead();
    void pollOnce(int cmd);
    void openPort();
    void send(const QByteArray& frame);
    // What has arrived, with what the fast link's checks have read already.
    QByteArray receiveAll();

    // The fast link's parts: the quiet gap before a frame, the wait for the rest of an answer
    // (instead of the classic fixed settle, and never longer), and the count of trouble that
    // makes it fall back.
    void waitForGap();
    void awaitCompleteAnswer(double most, bool (*complete)(const QByteArray&));
    void answerWaitEnded(bool complete);
    void noteFastLinkTrouble();

    SharedState& state_;
    SerialPort& port_;
    Clock& clock_;
    LinkObserver& observer_;

    std::unique_ptr<Timer> timerReceive_;
    std::unique_ptr<Timer> timerTest_;
    std::unique_ptr<Timer> manualTimer_;

    // Axis digit and parameter number of the last command number >= 2000 that WriteCom handled.
    int cmdAxis_ = 0;
    int cmdParam_ = 0;

    int depth_ = 0;
    quint64 transactions_ = 0;
    quint64 answerNumber_ = 0;
    std::deque<PendingWrite> queue_;
    std::function<void(bool, const QByteArray&)> wireObserver_;
    std::function<void(const QByteArray&)> traceNote_;
    std::function<void(QString&, int)> valueSink_;
    QMetaObject::Connection portConnections_[2];

    int rxCommand_ = 0;
    qint16 pollStep_ = 0;
    qint16 pollRounds_ = 0;
    bool connecting_ = false;
    bool connectPending_ = false;
    bool stopPending_ = false;

    bool fast_ = false;
    bool fellBack_ = false;
    double gapSeconds_ = kFastLinkGapCharacters * protocol::kCharacterSeconds;
    double answerEndedAt_ = -1e9;
    // The last wait ended before its answer was complete: the drive may still be talking.
    bool answerOwed_ = false;
    int fastLinkTroubles_ = 0;
    QByteArray pending_;
    // Devices the running port search could not open for lack of rights, and those other
    // programs hold.
    QStringList deniedDevices_;
    QStringList busyDevices_;
};

// What the full read asks the drive for: device parameters 2400-2448 without 2404-2409 and
// 2420-2424, and axis parameters 2100-2199, of which drives below level 540 lack 2156-2179 and
// 2182-2198.
bool isFullReadDeviceParameter(int cmd);
// The fast link's test for the end of an answer: a poll's answer is in with its ETX and check
// character, a write's with its ACK or NAK.
bool answerFrameComplete(const QByteArray& received);
bool writeAnswerComplete(const QByteArray& received);
bool isFullReadAxisParameter(int cmd, qint16 level);

} // namespace kinetra
