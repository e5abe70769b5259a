#pragma once

#include "drive_protocol.h"

#include <QString>
#include <QtGlobal>

namespace kinetra {

class DriveCom;
class WindowElements;

// The two link timers that send commands without the user's hand. TimerTest drives the
// endurance test: the drive moves between the positions of entry boxes 10 and 11 and pauses
// box 12's seconds at each end. ManualTimer sends the stop 200 ms after a jog ends.
//
// Installs the tick handlers on DriveCom's TimerTest and ManualTimer; one per DriveCom.
class MotionTimers {
public:
    // `window` holds the endurance test's position and pause boxes.
    MotionTimers(DriveCom& com, WindowElements& window);
    MotionTimers(const MotionTimers&) = delete;
    MotionTimers& operator=(const MotionTimers&) = delete;

    // Button "Dauertest": move to position 1 and run the test from there.
    void startTest();
    // Any other command button ends the test.
    void stopTest();

    // The live display hands over every status word it receives. The drive is in position when
    // bit value 4 is set; while the test runs, that arms the next move. The whole word counts:
    // a field-bus state or an error flag in the high bits must not stop the test. Only a status
    // block polled after the drive answered the last move command tells where that move ended.
    void inPositionSignal(qint64 statusWord);
    static bool inPosition(qint64 statusWord) { return (statusWord & status::kInPosition) != 0; }

    // A jog ended (or its button lost the pointer): the stop follows on ManualTimer's tick.
    void armJogStop();
    // The program ends: a jog keeps the axis running until the drive hears the stop, so the
    // stop goes out now when a jog runs (`jogRunning`) or its stop is still due.
    void stopJogOnExit(bool jogRunning);

    // Milliseconds of a pause text: 1000 times the number its digits form ("1,5" gives 15000),
    // held within what a timer takes.
    static long long pauseMilliseconds(const QString& pauseText);

    // The tick handlers, as the timers run them.
    void testTick();
    void manualTick();

private:
    // Normalizes entry box `box` and writes its raw value as the set position.
    void sendTarget(int box);
    void startMove();

    DriveCom& com_;
    WindowElements& window_;
    // A move command is on its way, or the number of the transaction that carried the last one.
    bool moveOwed_ = false;
    quint64 moveTransaction_ = 0;
};

} // namespace kinetra
