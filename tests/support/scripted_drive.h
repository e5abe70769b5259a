#pragma once

#include "virtual_device.h"

#include <QByteArray>
#include <QList>

#include <deque>

namespace kinetra::test {

// A stand-in drive that answers each complete frame it hears with the next scripted reply (or
// the default one) and records the frames.
class ScriptedDrive : public VirtualDevice {
public:
    struct Reply {
        QByteArray bytes; // empty: say nothing
        double delay = 0.005;

        static Reply ack() { return {QByteArray(1, 6)}; }
        static Reply nak() { return {QByteArray(1, 21)}; }
        static Reply character(char c) { return {QByteArray(1, c)}; }
        static Reply silence() { return {}; }
        static Reply raw(const QByteArray& bytes) { return {bytes}; }
        // A correct poll answer: STX, command, value, ETX, check character.
        static Reply answer(int cmd, const QByteArray& value);
        Reply after(double seconds) const
        {
            Reply r = *this;
            r.delay = seconds;
            return r;
        }
    };

    void script(const Reply& reply) { replies_.push_back(reply); }
    void setDefault(const Reply& reply) { default_ = reply; }

    // Complete frames heard so far: from an EOT to its ENQ (a poll) or to the character after
    // the ETX (a write).
    const QList<QByteArray>& frames() const { return frames_; }

    void receive(const QByteArray& bytes, double now) override;
    double nextOutputTime() const override;
    QByteArray takeOutput(double now) override;

private:
    QByteArray partial_;
    QList<QByteArray> frames_;
    std::deque<Reply> replies_;
    Reply default_ = Reply::ack();
    TimedOutput output_;
};

} // namespace kinetra::test
