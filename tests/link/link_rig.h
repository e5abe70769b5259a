#pragma once

#include "frame.h"
#include "sim_device.h"
#include "virtual_link.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace kinetra::test {

// What arrives instead of the drive's own answer: pieces, each this long after the frame.
using Pieces = QList<QPair<double, QByteArray>>;
inline Pieces says(const QByteArray& bytes, double after = 0.01)
{
    return {{after, bytes}};
}

// The line to a drive, where a test takes the drive's place for the next frames (one script entry
// per frame; std::nullopt lets the drive answer) or lets it babble unasked.
class ScriptedLine : public VirtualDevice {
public:
    explicit ScriptedLine(VirtualDevice& drive) : drive_(drive) {}

    std::deque<std::optional<Pieces>> script;
    // Runs after each frame reached the line, with its command number.
    std::function<void(int cmd)> onFrame;
    // A stray character every `every` seconds from `from` on; 0 ends it.
    void babble(double every, double from) { babbleEvery_ = every, nextBabble_ = every > 0 ? from : kNever; }

    void receive(const QByteArray& frame, double now) override
    {
        const std::optional<Pieces> instead = script.empty() ? std::nullopt : script.front();
        if (!script.empty())
            script.pop_front();
        for (const auto& [after, bytes] : instead.value_or(Pieces()))
            scripted_.push(now + after, bytes);
        if (!instead)
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

    explicit LinkRig(int drivePort = 1, bool online = true, const sim::DriveConfig& config = {}) : drive(config)
    {
        port.attach(drivePort, &line);
        if (online)
            goOnline(drivePort);
    }
};

// What a row of a table does to the rig before it acts: faults of the drive, scripted answers.
using Setup = std::function<void(LinkRig&)>;
inline Setup fault(std::function<void(sim::DriveFaults&)> set)
{
    return [set](LinkRig& r) { set(r.drive.faults()); };
}
inline Setup script(std::vector<std::optional<Pieces>> answers)
{
    return [answers](LinkRig& r) { r.line.script.insert(r.line.script.end(), answers.begin(), answers.end()); };
}

} // namespace kinetra::test

Q_DECLARE_METATYPE(kinetra::test::Setup)
