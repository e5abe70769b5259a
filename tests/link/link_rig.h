#pragma once

#include "frame.h"
#include "sim_device.h"
#include "virtual_link.h"

#include <QList>
#include <QPair>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace kinetra::test {

// What arrives instead of the drive's own answer: pieces, each this long after the frame.
using Pieces = QList<QPair<double, QByteArray>>;
inline Pieces says(const QByteArray& bytes, double after = 0.01)
{
    return {{after, bytes}};
}
inline const Pieces kSilence;

// The line to a drive, where a test takes the drive's place for the next frames (one script entry
// per frame; std::nullopt lets the drive answer) or lets it babble unasked.
class ScriptedLine : public VirtualDevice {
public:
    explicit ScriptedLine(VirtualDevice& drive) : drive_(drive) {}

    std::deque<std::optional<Pieces>> script;
    // Runs after each frame reached the line, with its command number.
    std::function<void(int cmd)> onFrame;
    // > 0: a stray character every this many seconds, from the moment it is set.
    void babble(double every, double from)
    {
        babbleEvery_ = every;
        nextBabble_ = every > 0 ? from : kNever;
    }

    void receive(const QByteArray& frame, double now) override
    {
        std::optional<Pieces> instead;
        if (!script.empty()) {
            instead = script.front();
            script.pop_front();
        }
        if (instead)
            for (const auto& [after, bytes] : *instead)
                scripted_.push(now + after, bytes);
        else
            drive_.receive(frame, now);
        if (onFrame)
            onFrame(CheckComand(frame).toInt());
    }
    double nextOutputTime() const override
    {
        return std::min({drive_.nextOutputTime(), scripted_.next(), nextBabble_});
    }
    QByteArray takeOutput(double now) override
    {
        QByteArray out = drive_.takeOutput(now) + scripted_.take(now);
        for (; nextBabble_ <= now; nextBabble_ += babbleEvery_)
            out += '~';
        return out;
    }

private:
    VirtualDevice& drive_;
    TimedOutput scripted_;
    double babbleEvery_ = 0;
    double nextBabble_ = kNever;
};

// The link on virtual time, talking to the simulated drive on COM`drivePort` through a
// scripted line; opened and online unless told otherwise.
struct LinkRig : VirtualLink {
    SimDevice drive;
    ScriptedLine line{drive};

    explicit LinkRig(const sim::DriveConfig& config = {}, int drivePort = 1, bool online = true) : drive(config)
    {
        port.attach(drivePort, &line);
        if (online)
            goOnline(drivePort);
    }
    void answer(const std::vector<std::optional<Pieces>>& answers)
    {
        line.script.insert(line.script.end(), answers.begin(), answers.end());
    }
    QList<int> ports() const
    {
        QList<int> out;
        for (const auto& w : port.written())
            out << w.port;
        return out;
    }
    QList<double> times() const
    {
        QList<double> out;
        for (const auto& w : port.written())
            out << w.time;
        return out;
    }
};

} // namespace kinetra::test
