#include "drive_com.h"

#include "command_number.h"
#include "drive_protocol.h"
#include "frame.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"
#include "serial_port.h"
#include "shared_state.h"

namespace kinetra {

namespace {

constexpr int kMaxAttempts = 3;
constexpr double kPreWait = 0.1;
constexpr double kAnswerTimeout = 3.0;
constexpr double kAnswerSettle = 0.02;
constexpr double kSavePause = 3.0;

} // namespace

DriveCom::DriveCom(SharedState& state, SerialPort& port, Clock& clock, LinkObserver& observer)
    : state_(state), port_(port), clock_(clock), observer_(observer), timerReceive_(clock.createTimer()),
      timerTest_(clock.createTimer()), manualTimer_(clock.createTimer())
{
    timerReceive_->setInterval(1);
    timerTest_->setInterval(100);
    manualTimer_->setInterval(200);
    timerReceive_->setCallback([this] { pollTick(); });
    // A wait for an answer ends as soon as the characters it waits for are there, or the
    // device is gone (it will not answer).
    portConnections_[0] = QObject::connect(&port_, &SerialPort::dataArrived, [this] { clock_.wake(); });
    portConnections_[1] = QObject::connect(&port_, &SerialPort::lostDevice, [this] { clock_.wake(); });
}

DriveCom::~DriveCom()
{
    for (const QMetaObject::Connection& connection : portConnections_)
        QObject::disconnect(connection);
}

ParameterValue DriveCom::valueOnTheWire(int cmd, const ParameterValue& value, SelectionTranslation translation)
{
    // Whatever produced it, an integer goes out in its canonical form ("007" as "7", "-0" as "0").
    if (const auto integer = value.isText() ? canonicalInteger(value.toText()) : std::nullopt)
        if (*integer != value.toText())
            return valueOnTheWire(cmd, ParameterValue::text(*integer), translation);
    // The edge evaluation's list positions 0/1/2 stand for the drive's 1/2/4.
    if (translation == SelectionTranslation::Translate && parameterRule(cmd).selection == SelectionCode::EdgeCount)
        if (const auto position = value.toInteger())
            if (const auto onWire = valueOfSelection(cmd, *position))
                return ParameterValue::number(*onWire);
    return value;
}

WriteOutcome DriveCom::WriteCom(int address, int Cmd, const ParameterValue& value, SelectionTranslation translation)
{
    return submitWrite(address, Cmd, valueOnTheWire(Cmd, value, translation), {});
}

void DriveCom::writeThen(int address, int Cmd, const ParameterValue& value, std::function<void(WriteOutcome)> done)
{
    submitWrite(address, Cmd, valueOnTheWire(Cmd, value, SelectionTranslation::Translate), std::move(done));
}

WriteOutcome DriveCom::submitWrite(int address, int cmd, const ParameterValue& value,
                                   std::function<void(WriteOutcome)> done)
{
    if (clock_.quitting()) {
        if (done)
            done(WriteOutcome::NotSent);
        return WriteOutcome::NotSent;
    }
    if (depth_ > 0) {
        queue_.push_back({address, cmd, value, {}, std::move(done)});
        return WriteOutcome::Queued;
    }
    const WriteOutcome outcome = runWrite(address, cmd, value);
    if (done)
        done(outcome);
    drainQueue();
    return outcome;
}

void DriveCom::drainQueue()
{
    while (depth_ == 0 && !queue_.empty()) {
        if (clock_.quitting()) {
            queue_.clear();
            return;
        }
        const PendingWrite next = queue_.front();
        queue_.pop_front();
        if (next.action) {
            next.action();
            continue;
        }
        const WriteOutcome outcome = runWrite(next.address, next.cmd, next.value);
        if (next.done)
            next.done(outcome);
    }
}

bool DriveCom::runOnFreeWire(std::function<void()> action)
{
    if (depth_ == 0)
        return false;
    queue_.push_back({0, 0, ParameterValue(), std::move(action)});
    return true;
}

void DriveCom::sendWithoutAnswer(int address, int Cmd, qint64 value)
{
    if (state_.comOnline == 0 || !port_.isOpen())
        return;
    send(writeFrame(address, Cmd, QByteArray::number(value)));
}

void DriveCom::send(const QByteArray& frame)
{
    port_.write(frame);
    if (wireObserver_)
        wireObserver_(true, frame);
}

WriteOutcome DriveCom::runWrite(int address, int cmd, const ParameterValue& value)
{
    ++depth_;
    ++transactions_;
    const UserInputHold hold(clock_);
    struct Leave {
        DriveCom& com;
        ~Leave()
        {
            com.state_.comBusy = false;
            --com.depth_;
        }
    } leave{*this};

    state_.comBusy = true;
    const bool numbered = cmd >= 2000;
    if (numbered) {
        cmdAxis_ = CommandNumber::axisOf(cmd);
        cmdParam_ = CommandNumber::parameterOf(cmd);
    }

    // The pause lets an answer still owed to the last frame arrive first; the fast link waits
    // for every answer to be complete, so it owes none unless the last one came short.
    if (!fast_ || answerOwed_)
        clock_.waitServing(kPreWait);
    if (clock_.quitting())
        return WriteOutcome::NotSent;

    const bool stored = isStoredValue(cmd);
    ParameterValue previous;
    if (stored) {
        previous = state_.table.value(cmd);
        state_.table.store(cmd, value);
    }

    if (state_.comOnline != 1)
        return WriteOutcome::NotSent;

    const bool receiveWasEnabled = timerReceive_->isEnabled();
    timerReceive_->setEnabled(false);
    const WriteOutcome outcome = sendWrite(address, cmd, value, stored, previous);
    if (outcome == WriteOutcome::Accepted || outcome == WriteOutcome::Garbled) {
        timerReceive_->setEnabled(receiveWasEnabled);
        // Every value the drive takes passes here, whoever sent it (an entry, a list, a load, a
        // revert). An answer that is neither ACK nor NAK may have been a taken value too; the
        // table keeps it as the drive's, and so does this record.
        if (UnsavedValues::isSetting(cmd))
            changeUnsaved([cmd](UnsavedValues& unsaved) { unsaved.accepted(cmd); });
    }
    return outcome;
}

WriteOutcome DriveCom::sendWrite(int address, int cmd, const ParameterValue& value, bool stored,
                                 const ParameterValue& previous)
{
    receiveAll();
    const bool numbered = cmd >= 2000;
    const bool isSave = numbered && cmdParam_ == protocol::kCommandWordParameter && value.toInteger() == command::kSave;
    const QByteArray frame = writeFrame(address, cmd, value.toText().toLatin1());
    for (int attempt = 0;;) {
        if (clock_.quitting())
            return WriteOutcome::NotSent;
        waitForGap();
        send(frame);
        if (!state_.transferActive && isSave)
            observer_.saving();

        // A port that closed (the adapter was pulled) will not answer: no need to wait for it.
        clock_.waitServing(kAnswerTimeout, [this] { return !port_.isOpen() || port_.bytesWaiting() > 0; });
        if (fast_)
            awaitCompleteAnswer(kAnswerSettle, writeAnswerComplete);
        else
            clock_.waitServing(kAnswerSettle);
        if (clock_.quitting())
            return WriteOutcome::NotSent;
        const QByteArray answer = receiveAll();
        const bool answered = !answer.isEmpty();
        if (!writeAnswerComplete(answer))
            noteFastLinkTrouble();

        if (answered && answer.at(0) == ctl::NAK) {
            refuse(cmd, stored, previous);
            return WriteOutcome::Refused;
        }

        if (state_.transferActive) {
            countTransfer();
        } else {
            state_.transferCount = 0;
        }

        const bool acknowledged = answered && answer.at(0) == ctl::ACK;
        // After accepting a save (or a device parameter 10) the drive writes its memory and
        // hears nothing meanwhile.
        if (!state_.transferActive && acknowledged && (isSave || (numbered && cmdParam_ == 10 && cmdAxis_ == 4)))
            clock_.waitBlocking(kSavePause);

        observer_.online();

        if (answered)
            return acknowledged ? WriteOutcome::Accepted : WriteOutcome::Garbled;

        ++attempt;
        // Only answered frames count towards the progress of a transfer.
        --state_.transferCount;
        if (attempt >= kMaxAttempts) {
            ComError();
            return WriteOutcome::NoAnswer;
        }
    }
}

void DriveCom::refuse(int cmd, bool stored, const ParameterValue& previous)
{
    // The table gets its value back before anyone hears of the refusal.
    if (stored)
        state_.table.store(cmd, previous);
    const QString restored = previous.toText();
    observer_.valueRefused(cmd, stored ? &restored : nullptr);
}

void DriveCom::countTransfer()
{
    state_.countTransfer();
    observer_.transferProgress(state_.transferCount);
}

void DriveCom::changeUnsaved(const std::function<void(UnsavedValues&)>& change)
{
    const bool before = state_.unsaved.pending();
    change(state_.unsaved);
    if (state_.unsaved.pending() != before)
        observer_.unsavedValuesChanged(!before);
}

void DriveCom::valuesSaved()
{
    changeUnsaved([this](UnsavedValues& unsaved) { unsaved.saved(state_.table); });
}

void DriveCom::unsavedSettled()
{
    changeUnsaved([this](UnsavedValues& unsaved) { unsaved.settle(state_.table); });
}

void DriveCom::ComError()
{
    timerReceive_->setEnabled(false);
    state_.comOnline = 0;
    observer_.linkLost();
}

} // namespace kinetra
