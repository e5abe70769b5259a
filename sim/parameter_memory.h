#pragma once

#include <QtGlobal>

#include <array>

namespace kinetra::sim {

// The drive's parameter memory: parameters 0-99 of the axes 1-3 (command numbers 21pp-23pp) and
// of the device (24pp), each with the range of values the drive accepts.
class ParameterMemory {
public:
    static constexpr int kDevice = 4;

    enum class Kind {
        Stored,   // kept as written, within its range
        ReadOnly, // identity and counters: writes are refused
        Live,     // measured values: writes are accepted and have no effect
        Command,  // the command word 52
    };
    struct Rule {
        Kind kind = Kind::Stored;
        qint64 min = 0;
        qint64 max = 0;
        qint64 defaultValue = 0;
    };

    explicit ParameterMemory(int softwareVersion);

    // axis 1-3 or kDevice; parameter 0-99.
    static bool valid(int axis, int parameter) { return axis >= 1 && axis <= 4 && parameter >= 0 && parameter <= 99; }
    Rule rule(int axis, int parameter) const;
    bool accepts(int axis, int parameter, qint64 value) const;

    qint64 value(int axis, int parameter) const { return values_[index(axis, parameter)]; }
    void set(int axis, int parameter, qint64 value) { values_[index(axis, parameter)] = value; }

    void resetAxes();
    void resetDevice();

private:
    static int index(int axis, int parameter) { return (axis - 1) * 100 + parameter; }
    int softwareVersion_;
    std::array<qint64, 400> values_{};
};

} // namespace kinetra::sim
