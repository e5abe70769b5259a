#pragma once

#include <QByteArray>

#include <deque>
#include <limits>

namespace kinetra::test {

// A device at the far end of a virtual serial line: it hears what the tool sends and answers on
// virtual time.
class VirtualDevice {
public:
    virtual ~VirtualDevice() = default;
    virtual void receive(const QByteArray& bytes, double now) = 0;
    // When the next character of its answer arrives; infinity when it has nothing to say.
    virtual double nextOutputTime() const = 0;
    // When the last character of what it has to say arrives; infinity when it has nothing.
    virtual double lastOutputTime() const { return nextOutputTime(); }
    // Every character that has arrived by `now`.
    virtual QByteArray takeOutput(double now) = 0;
};

// What a device has said and when each part arrives at the tool's end of the line.
class TimedOutput {
public:
    void push(double time, const QByteArray& bytes) { parts_.push_back({time, bytes}); }
    // When the next part arrives; infinity when nothing is pending.
    double next() const { return parts_.empty() ? std::numeric_limits<double>::infinity() : parts_.front().time; }
    // Every part that has arrived by `now`.
    QByteArray take(double now)
    {
        QByteArray out;
        while (!parts_.empty() && parts_.front().time <= now) {
            out += parts_.front().bytes;
            parts_.pop_front();
        }
        return out;
    }

private:
    struct Part {
        double time;
        QByteArray bytes;
    };
    std::deque<Part> parts_;
};

} // namespace kinetra::test
