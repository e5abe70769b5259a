#include "drive_com.h"

#include "answer_text.h"
#include "drive_protocol.h"
#include "frame.h"
#include "numeric_text.h"
#include "serial_port.h"
#include "shared_state.h"

#include <algorithm>

namespace kinetra {

namespace {

constexpr int kMaxAttempts = 3;
// The drive answers a poll within 1 s; a status block is 57 characters, any other answer at
// least 8.
constexpr double kAnswerTimeout = 1.0;
constexpr qsizetype kStatusBlockLength = 56;
constexpr qsizetype kAnswerLength = 7;
// Lets the rest of a short answer arrive after its first characters.
constexpr double kSettle = 0.04;
constexpr double kRetryPause = 0.1;
// The quiet wait of the port search serves nothing, so it looks at the line in short slices.
constexpr double kQuietSlice = 0.02;

} // namespace

ReadOutcome DriveCom::ReadCom(int Cmd, int address)
{
    if (state_.comOnline != 1 || clock_.quitting())
        return ReadOutcome::Offline;
    // Two transactions never share the wire: a poll asked for inside another one's wait is
    // not sent at all. The live polling simply asks again; the user's searches and full reads
    // run on a free wire and never take this for a silent drive.
    if (depth_ > 0)
        return ReadOutcome::Busy;
    const ReadOutcome outcome = runRead(Cmd, address);
    drainQueue();
    return outcome;
}

ReadOutcome DriveCom::runRead(int cmd, int address)
{
    ++depth_;
    const quint64 number = ++transactions_;
    const UserInputHold hold(clock_);
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{depth_};

    const qsizetype expected = cmd == protocol::kStatusBlock ? kStatusBlockLength : kAnswerLength;
    const QByteArray frame = pollFrame(address, cmd);
    for (int attempt = 0;;) {
        receiveAll();
        waitForGap();
        send(frame);
        const bool statusBlockIn = waitForAnswer(expected);
        if (cmd == protocol::kStatusBlock)
            answerWaitEnded(statusBlockIn);
        else if (fast_)
            awaitCompleteAnswer(kSettle, answerFrameComplete);
        else
            clock_.waitBlocking(kSettle);
        if (clock_.quitting())
            return ReadOutcome::Offline;

        const QByteArray answer = cutAnswer(receiveAll());
        const CrcVerdict verdict = CheckCRC(answer);
        if (verdict != CrcVerdict::Match && !state_.quietWait)
            noteFastLinkTrouble();
        if (verdict == CrcVerdict::Match) {
            answerNumber_ = number;
            if (!state_.quietWait)
                decodeAnswer(answer);
            finishRead();
            return ReadOutcome::Match;
        }
        if (state_.quietWait) {
            finishRead();
            return verdict == CrcVerdict::Mismatch ? ReadOutcome::Mismatch : ReadOutcome::NoVerdict;
        }

        clock_.waitServing(kRetryPause);
        // Stop was pressed meanwhile, or the program ends: no further attempt, and a link the
        // user takes offline is not reported as broken.
        if (clock_.quitting() || stopPending_ || state_.comOnline != 1)
            return ReadOutcome::Offline;
        if (++attempt >= kMaxAttempts) {
            ComError();
            return ReadOutcome::NoAnswer;
        }
    }
}

bool DriveCom::waitForAnswer(qsizetype expected)
{
    // A port that closed (the device hung up) will not answer: no need to wait for it.
    const auto done = [this, expected] { return !port_.isOpen() || port_.bytesWaiting() > expected; };
    if (!state_.quietWait) {
        port_.reportArrivalsFrom(expected + 1);
        clock_.waitServing(kAnswerTimeout, done);
        port_.reportArrivalsFrom(0);
        return done();
    }
    const double deadline = clock_.now() + kAnswerTimeout;
    while (!done() && !clock_.quitting() && clock_.now() < deadline)
        clock_.waitBlocking(std::min(kQuietSlice, deadline - clock_.now()));
    return done();
}

void DriveCom::decodeAnswer(const QByteArray& answer)
{
    // The drive's echo, not the number polled, says what the value is.
    rxCommand_ = CheckComand(answer).toInt();
    if (rxCommand_ != protocol::kStatusBlock) {
        QString value = frameValue(answer, kRawChars);
        state_.table.store(rxCommand_, ParameterValue::text(value));
        // The level decides what the full read asks for next and how the rules read values,
        // whoever shows them.
        if (rxCommand_ == protocol::kSoftwareVersion)
            state_.takeSoftwareVersion(value);
        showValues(value, rxCommand_);
        return;
    }
    for (const StatusLine& line : decodeStatusBlock(answer)) {
        QString value = line.text;
        // The correction bar has no slot in the table; it is only shown.
        if (line.cmd != kCorrectionBar) {
            rxCommand_ = line.cmd;
            state_.table.store(line.cmd, ParameterValue::text(line.text));
        }
        showValues(value, line.cmd);
    }
}

void DriveCom::finishRead()
{
    state_.comOnline = 1;
    observer_.online();
    if (state_.transferActive)
        countTransfer();
}

} // namespace kinetra
