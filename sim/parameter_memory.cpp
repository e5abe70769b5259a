#include "parameter_memory.h"

#include "parameter_catalogue.h"

#include <limits>

namespace kinetra::sim {

namespace {

using Kind = ParameterMemory::Kind;
using Rule = ParameterMemory::Rule;

constexpr qint64 kAny = std::numeric_limits<qint32>::max();
// Positions in hundredths of a millimetre; an entry box holds at most 10 characters.
constexpr qint64 kPos = 99999999;

struct Row {
    int parameter;
    Rule rule;
};

constexpr Rule stored(qint64 min, qint64 max, qint64 def)
{
    return {Kind::Stored, min, max, def};
}
constexpr Rule position(qint64 def)
{
    return {Kind::Stored, -kPos, kPos, def};
}
constexpr Rule live()
{
    return {Kind::Live, -kAny - 1, kAny, 0};
}
constexpr Rule readOnly(qint64 def)
{
    return {Kind::ReadOnly, 0, 0, def};
}

// A commissioned linear axis: 1500 mm of travel, 3.5 A motor, moves at 80 % and creeps at 15 %.
constexpr Row kAxis[] = {
    {0, live()},
    {1, position(25000)},
    {2, position(0)},
    {3, position(-500)},
    {4, position(150000)},
    {5, stored(1, kPos, 500)},
    {6, stored(1, 999999, 2000)},
    {7, stored(0, 2000, 350)},
    {8, stored(0, 10, 3)},
    {9, stored(0, 100000, 10)},
    {10, stored(0, 10000, 50)},
    {11, stored(1, 1000000, 2000)},
    {12, stored(0, 65535, 0)},
    {13, stored(1, 100, 80)},
    {14, stored(1, 100, 15)},
    {15, stored(1, 10000, 250)},
    {16, stored(0, kPos, 1000)},
    {17, stored(0, 10000, 0)},
    {18, stored(0, 100000, 0)},
    {19, stored(0, 32767, 40)},
    {20, stored(0, 32767, 20)},
    {21, stored(0, 32767, 5)},
    {22, stored(1, 1000, 2)},
    {23, stored(0, 100000, 50)},
    {24, stored(0, 100000, 50)},
    {26, stored(0, 1, 0)},
    {27, stored(0, 1, 0)},
    {28, position(0)},
    {29, stored(0, 1, 1)},
    {30, stored(0, 1, 0)},
    {31, stored(0, 10000, 100)},
    {32, stored(0, 2000, 600)},
    {33, position(0)},
    {34, stored(0, 10000, 200)},
    {35, stored(0, 100, 80)},
    {36, stored(0, 1, 1)},
    {37, stored(1, 10000, 10)}, // a cycle time of 0 would stop the controller
    {38, stored(0, 100000, 20)},
    {39, stored(0, 1, 0)},
    {40, stored(1, 500000, 25000)}, // likewise a maximum frequency of 0
    {41, stored(0, 10000, 10)},
    {42, stored(0, 1, 0)},
    {43, stored(1, 1000000, 3000)},
    {44, stored(0, 32767, 120)},
    {45, stored(1, 100, 20)},
    {47, stored(0, 4, 2)},
    {48, stored(0, 4, 2)},
    {49, stored(0, 3, 0)},
    {50, stored(0, 10000, 20)},
    {51, stored(0, 2000, 800)},
    {52, {Kind::Command, 0, 0, 0}},
    {55, stored(0, 32767, 10)},
    {70, live()},
    {80, live()},
    {82, live()},
    {83, live()},
    {84, live()},
};

constexpr Row kDeviceRows[] = {
    {1, readOnly(2000)},
    {2, readOnly(540)},
    {10, stored(0, 127, 1)},
    {11, live()},
    {13, position(0)},
    {14, position(10000)},
    {15, position(20000)},
    {16, position(40000)},
    {17, position(60000)},
    {18, position(90000)},
    {19, position(120000)},
    {25, readOnly(3)},
    {29, readOnly(73456)},
    {30, readOnly(412)},
    {37, readOnly(2)},
    {40, readOnly(5)},
    {43, readOnly(0)},
    {46, readOnly(1)},
    {52, {Kind::Command, 0, 0, 0}},
};

constexpr Rule kGeneric = stored(-kAny - 1, kAny, 0);

} // namespace

ParameterMemory::ParameterMemory(int softwareVersion) : softwareVersion_(softwareVersion)
{
    for (int axis = 1; axis <= kDevice; ++axis)
        for (int p = 0; p < 100; ++p)
            set(axis, p, rule(axis, p).defaultValue);
}

ParameterMemory::Rule ParameterMemory::rule(int axis, int parameter) const
{
    if (axis == kDevice) {
        for (const Row& r : kDeviceRows)
            if (r.parameter == parameter)
                return r.rule;
        return kGeneric;
    }
    // Edge evaluation takes 1, 2 or 4 edges; see accepts().
    if (parameter == 25)
        return stored(1, 4, 4);
    // Input 1 offers "Prog. BCD" as a fifth function only from version 5.00 on.
    if (parameter == 46)
        return stored(0, softwareVersion_ >= 500 ? 4 : 3, 0);
    for (const Row& r : kAxis)
        if (r.parameter == parameter) {
            Rule s = r.rule;
            if ((parameter == 47 || parameter == 48) && softwareVersion_ < 500)
                s.max = 3;
            return s;
        }
    return kGeneric;
}

bool ParameterMemory::accepts(int axis, int parameter, qint64 value) const
{
    if (!valid(axis, parameter))
        return false;
    const Rule s = rule(axis, parameter);
    switch (s.kind) {
    case Kind::ReadOnly: return false;
    case Kind::Live:
    case Kind::Command: return true;
    case Kind::Stored: break;
    }
    // A coded list takes only the values its positions stand for (1, 2 or 4 edges).
    const int cmd = 2000 + 100 * axis + parameter;
    if (parameterRule(cmd).selection == SelectionCode::EdgeCount)
        return selectionOfValue(cmd, value).has_value();
    return value >= s.min && value <= s.max;
}

void ParameterMemory::resetAxes()
{
    for (int axis = 1; axis <= 3; ++axis)
        for (int p = 0; p < 100; ++p)
            if (rule(axis, p).kind != Kind::Live)
                set(axis, p, rule(axis, p).defaultValue);
}

void ParameterMemory::resetDevice()
{
    for (int p = 0; p < 100; ++p) {
        const Rule s = rule(kDevice, p);
        // Identity, counters and the operating time survive factory settings.
        if (s.kind == Kind::Stored || s.kind == Kind::Command)
            set(kDevice, p, s.defaultValue);
    }
}

} // namespace kinetra::sim
