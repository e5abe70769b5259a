#pragma once

#include <QByteArray>

namespace kinetra::test {

// A device at the far end of a virtual serial line: it hears what the tool sends and answers on
// virtual time.
class VirtualDevice {
public:
    virtual ~VirtualDevice() = default;
    virtual void receive(const QByteArray& bytes, double now) = 0;
    // When the next character of its answer arrives; infinity when it has nothing to say.
    virtual double nextOutputTime() const = 0;
    // Every character that has arrived by `now`.
    virtual QByteArray takeOutput(double now) = 0;
};

} // namespace kinetra::test
