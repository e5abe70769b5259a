#pragma once

#include "fake_serial_port.h"
#include "frame.h"
#include "virtual_clock.h"

#include <QMetaType>
#include <QTest>

#include <functional>

namespace kinetra::test {

// A moment inside the answer the drive owes: its first character is in, half of it is, or all
// but its last character are.
enum class AnswerPoint { FirstCharacter, Half, LastCharacter };

} // namespace kinetra::test

Q_DECLARE_METATYPE(kinetra::test::AnswerPoint)

namespace kinetra::test {

// The three points as rows of a data-driven test, in a column "point".
inline void addAnswerPoints()
{
    QTest::addColumn<AnswerPoint>("point");
    QTest::newRow("first character in") << AnswerPoint::FirstCharacter;
    QTest::newRow("half of the answer in") << AnswerPoint::Half;
    QTest::newRow("all but the last character in") << AnswerPoint::LastCharacter;
}

inline bool isPoll(const QByteArray& frame)
{
    return frame.endsWith(ctl::ENQ);
}

// Posts a user action (a click, a key, a button of an open window) at a point of the answer to
// the next frame that `wanted` picks: the action reaches the program as the user's input would at
// that moment. Records when it was posted and when the program took it.
class InputInsideAnswer {
public:
    InputInsideAnswer(VirtualClock& clock, FakeSerialPort& port) : clock_(clock), port_(port)
    {
        port_.setWriteObserver([this](const FakeSerialPort::Written& w) { onWrite(w); });
    }
    ~InputInsideAnswer() { port_.setWriteObserver({}); }
    InputInsideAnswer(const InputInsideAnswer&) = delete;
    InputInsideAnswer& operator=(const InputInsideAnswer&) = delete;

    void arm(AnswerPoint point, std::function<void()> action, std::function<bool(const QByteArray&)> wanted = isPoll)
    {
        point_ = point;
        action_ = std::move(action);
        wanted_ = std::move(wanted);
        postedAt_ = ranAt_ = -1;
    }
    double ranAt() const { return ranAt_; }
    // The action was posted and ran after the moment it was posted for: the program held it
    // while the answer was owed.
    bool heldUntilTheAnswerWasIn() const { return postedAt_ >= 0 && ranAt_ > postedAt_; }

private:
    void onWrite(const FakeSerialPort::Written& w)
    {
        if (!action_ || w.answerFrom == kNever || (wanted_ && !wanted_(w.bytes)))
            return;
        constexpr double kInstant = 1e-6;
        const double at = point_ == AnswerPoint::FirstCharacter ? w.answerFrom + kInstant
                          : point_ == AnswerPoint::Half         ? (w.answerFrom + w.answerTo) / 2
                                                                : w.answerTo - kInstant;
        postedAt_ = at;
        clock_.postUserInput(at, [this, action = std::move(action_)] {
            ranAt_ = clock_.now();
            action();
        });
        action_ = {};
    }

    VirtualClock& clock_;
    FakeSerialPort& port_;
    AnswerPoint point_ = AnswerPoint::Half;
    std::function<void()> action_;
    std::function<bool(const QByteArray&)> wanted_;
    double postedAt_ = -1, ranAt_ = -1;
};

} // namespace kinetra::test
