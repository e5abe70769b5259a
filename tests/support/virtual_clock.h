#pragma once

#include "clock.h"

#include <limits>
#include <vector>

namespace kinetra::test {

// Something that produces events on virtual time (a drive's answer arriving on the line).
class VirtualEventSource {
public:
    virtual ~VirtualEventSource() = default;
    // When the next event happens; infinity when none is pending.
    virtual double nextEventTime() const = 0;
    // Delivers every event due by `t`.
    virtual void advanceTo(double t) = 0;
};

constexpr double kNever = std::numeric_limits<double>::infinity();

// Time that passes only when the program waits or a test advances it. A wait jumps from event
// to event (timer ticks, answers arriving), so a scenario with three 3-s timeouts runs in
// microseconds and is the same on every run.
class VirtualClock : public Clock {
public:
    double now() const override { return now_; }
    void waitServing(double seconds, const std::function<bool()>& until = {}) override;
    void waitBlocking(double seconds) override;
    void serveEvents() override;
    void wake() override {}
    std::unique_ptr<Timer> createTimer() override;
    void setQuitting() override { quitting_ = true; }
    bool quitting() const override { return quitting_; }

    // The user acts at `at` (a click, a key, a button of an open window). As in the program,
    // the action reaches the window in a wait that serves it and does not hold user input, in
    // the order posted: one that falls inside a transaction runs right after it.
    void postUserInput(double at, std::function<void()> action);

    // The test lets time pass, with timers firing and answers arriving as it goes.
    void advance(double seconds) { waitServing(seconds); }

    void addSource(VirtualEventSource* source) { sources_.push_back(source); }
    void removeSource(VirtualEventSource* source) { std::erase(sources_, source); }

    // How long waits that did not serve the user interface lasted, in all.
    double blockedSeconds() const { return blocked_; }

    class VirtualTimer;

private:
    friend class VirtualTimer;
    void fireDueTimers();
    void deliverTo(double t);
    // Runs the first user action that is due, unless input is held; true when one ran.
    bool deliverUserInput();
    double nextUserInputTime() const;

    struct UserAction {
        double at;
        std::function<void()> action;
    };

    double now_ = 0, blocked_ = 0;
    bool quitting_ = false;
    std::vector<UserAction> userInput_;
    std::vector<VirtualEventSource*> sources_;
    std::vector<VirtualTimer*> timers_;
};

} // namespace kinetra::test
