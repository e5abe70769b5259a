#pragma once

#include "virtual_device.h"

#include <QByteArray>
#include <QList>
#include <QMap>

#include <deque>
#include <functional>
#include <optional>

namespace kinetra::test {

// A stand-in drive that answers every poll from its table of values (and "0" for a number it
// does not know), acknowledges every write, and records what it was asked. A test can make
// the next answers go wrong.
class TableDrive : public VirtualDevice {
public:
    QMap<int, QByteArray> values;
    // Replaces the next answers, one per frame; std::nullopt keeps the normal answer, an empty
    // text says nothing.
    std::deque<std::optional<QByteArray>> overrides;
    // Answers nothing at all.
    bool silent = false;
    double delay = 0.01;
    // Runs after a frame was heard, with the command number of a poll (0 for a write).
    std::function<void(int)> onFrame;

    const QList<int>& polled() const { return polled_; }
    const QList<QByteArray>& frames() const { return frames_; }

    void receive(const QByteArray& bytes, double now) override;
    double nextOutputTime() const override;
    QByteArray takeOutput(double now) override;

private:
    QByteArray partial_;
    QList<int> polled_;
    QList<QByteArray> frames_;
    TimedOutput output_;
};

} // namespace kinetra::test
