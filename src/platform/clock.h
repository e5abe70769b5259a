#pragma once

#include <functional>
#include <memory>

namespace kinetra {

// A periodic timer. It keeps firing every interval while enabled; an interval of 0 never fires.
// A timer does not fire again while its own callback still runs (for example inside a wait).
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setCallback(std::function<void()> callback) = 0;
    // Milliseconds; clamped to what the platform timer takes.
    virtual void setInterval(long long milliseconds) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

// A healthy drive answers within 0.1 s at 9600 baud; a write with its pause before the frame
// takes 0.15 s.
constexpr double kUserInputHoldLapse = 0.5;

// Monotonic time and the two kinds of wait. A wait that serves the user interface lets window
// and timer events run while it waits; it returns when its time is up, when `until` holds
// (tested whenever something may have changed it), or at once when the program is quitting.
class Clock {
public:
    virtual ~Clock() = default;

    // Seconds since an arbitrary start; never goes back, also not at midnight.
    virtual double now() const = 0;
    virtual void waitServing(double seconds, const std::function<bool()>& until = {}) = 0;
    // Waits without serving the user interface: no window or timer event runs meanwhile.
    virtual void waitBlocking(double seconds) = 0;
    // Lets pending user-interface events run once, without waiting.
    virtual void serveEvents() = 0;
    // Something a running wait may be waiting for has happened (serial data, a stop request):
    // the wait tests its condition again.
    virtual void wake() = 0;

    virtual std::unique_ptr<Timer> createTimer() = 0;

    // Set once the program is ending: every wait returns at once from then on.
    virtual void setQuitting() = 0;
    virtual bool quitting() const = 0;

    // While the link owes the drive's answer, the waits that serve the user interface hold the
    // user's clicks, keys and window closing back; the window gets them, in order, as soon as
    // the transaction has ended, so whatever the user starts finds the wire free. Painting and
    // timers are served all the same. Holds nest. A hold lapses once the transaction has run
    // for kUserInputHoldLapse: a drive that slow is silent or failing, and the user's Stop and
    // closing must not wait for its retries.
    void holdUserInput(bool hold)
    {
        if (hold && holds_ == 0)
            holdSince_ = now();
        holds_ += hold ? 1 : -1;
        if (holds_ == 0)
            userInputReleased();
    }
    bool userInputHeld() const { return holding() && now() < holdLapsesAt(); }

protected:
    // A transaction is open (its hold may have lapsed).
    bool holding() const { return holds_ > 0; }
    // When the running hold lapses.
    double holdLapsesAt() const { return holdSince_ + kUserInputHoldLapse; }
    // The last hold has ended: the input held meanwhile is the window's now.
    virtual void userInputReleased() {}

private:
    int holds_ = 0;
    double holdSince_ = 0;
};

// Holds the user's input for as long as it lives.
class UserInputHold {
public:
    explicit UserInputHold(Clock& clock) : clock_(clock) { clock_.holdUserInput(true); }
    ~UserInputHold() { clock_.holdUserInput(false); }
    UserInputHold(const UserInputHold&) = delete;
    UserInputHold& operator=(const UserInputHold&) = delete;

private:
    Clock& clock_;
};

} // namespace kinetra
