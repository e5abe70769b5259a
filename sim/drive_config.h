#pragma once

#include "drive_protocol.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>
#include <utility>

namespace kinetra::sim {

// Misbehaviour on cue, for tests and for training. Every fault but the hang-up takes effect once
// `afterFrames` frames addressed to this drive have been heard.
struct DriveFaults {
    int afterFrames = 0;
    bool silent = false;     // answers nothing at all
    QSet<int> silentFor;     // command numbers it does not answer (polls and writes)
    bool wrongCheck = false; // poll answers carry a wrong check character
    bool refuseWrites = false;
    double slowAnswer = 0;      // > 0: each answer starts this many seconds after its frame
    int garbageBefore = 0;      // stray printable characters sent before each answer
    double noiseRate = 0;       // chance (0..1) that an answer gets a stray character inside
    int hangUpAfterFrames = -1; // >= 0: the line goes dead after this many frames

    bool any() const
    {
        return silent || !silentFor.isEmpty() || wrongCheck || refuseWrites || slowAnswer > 0 || garbageBefore > 0 ||
               noiseRate > 0 || hangUpAfterFrames >= 0;
    }
};

struct DriveConfig {
    // Device type code (2401) and software version (2402); unset: from the start values, else
    // a Corvex RS232 at version 5.40.
    std::optional<int> deviceType;
    std::optional<int> softwareVersion;
    int address = protocol::kAddress;
    // From the end of a frame to the first character of its answer.
    double latency = 0.004;
    // Answers leave at the line rate, one character every 10/9600 s.
    bool pacing = false;
    unsigned seed = 1;
    // Values over the built-in defaults, by command number (21pp axis 1, 24pp device), for
    // example from a parameter file.
    QList<std::pair<int, qint64>> startValues;
    // Field-bus state (2411, and the canOPEN state in the status word) to hold; unset: the bus
    // comes up on its own a few seconds after power-up.
    std::optional<int> busState;
    // Inputs 1-3 held on (bit values 1, 2, 4), and an open emergency-stop circuit.
    int inputs = 0;
    bool emergencyStopOpen = false;
    // After a save the drive writes its memory and hears nothing for this long.
    double saveBusySeconds = 0.5;
    DriveFaults faults;
};

constexpr double kCharacterTime = protocol::kCharacterSeconds;

} // namespace kinetra::sim
