#pragma once

#include "clock.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>

namespace kinetra {

// The program's clock: waits are nested event loops woken by their deadline and by wake(), so a
// waiting program uses no CPU.
class QtClock : public QObject, public Clock {
    Q_OBJECT
public:
    QtClock();

    double now() const override;
    void waitServing(double seconds, const std::function<bool()>& until = {}) override;
    void waitBlocking(double seconds) override;
    void serveEvents() override;
    void wake() override;
    std::unique_ptr<Timer> createTimer() override;
    void setQuitting() override;
    bool quitting() const override { return quitting_; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

signals:
    void woken();

protected:
    void userInputReleased() override;

private:
    QEventLoop::ProcessEventsFlags servedEvents() const;
    // One event loop up to `end`, or until the condition holds or the program quits.
    void runLoop(double end, const std::function<bool()>& until, QEventLoop::ProcessEventsFlags flags);

    QElapsedTimer elapsed_;
    bool quitting_ = false;
    bool deliveryPosted_ = false;
};

} // namespace kinetra
