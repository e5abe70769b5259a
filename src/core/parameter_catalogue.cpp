#include "parameter_catalogue.h"

#include "drive_protocol.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace kinetra {

namespace {

using S = ValueScale;
using E = EntryClass;
using R = ValueRoute;

struct Row {
    int from;
    int to;
    ParameterRule rule;
};

constexpr ParameterRule kUnlisted{};

// Shorthands for the columns that most rows share.
constexpr ParameterRule text(S scale = S::Plain, E entry = E::Plain)
{
    return {scale, entry, R::Text};
}
constexpr ParameterRule mirroredText(S scale = S::Plain, E entry = E::Plain)
{
    return {scale, entry, R::Text, SelectionCode::Position, false, true};
}
constexpr ParameterRule shownOnly(R route, S scale = S::Plain)
{
    return {scale, E::Plain, route, SelectionCode::Position, true};
}
constexpr ParameterRule scaled(S scale, E entry)
{
    return {scale, entry, R::Ignored};
}
constexpr ParameterRule routed(R route)
{
    return {S::Plain, E::Plain, route};
}
constexpr ParameterRule list(R route = R::Selection)
{
    return routed(route);
}
// The edge evaluation of an axis; only axis 1 has a list on the window.
constexpr ParameterRule edgeCount(R route)
{
    return {S::Plain, E::Plain, route, SelectionCode::EdgeCount};
}

constexpr ParameterRule kPosition = text(S::Position, E::Position);
constexpr ParameterRule kHundredths = text(S::Hundredths, E::Hundredths);
constexpr ParameterRule kThousandths = text(S::Thousandths, E::Thousandths);

// Sorted by number, no overlaps. Axes 2 and 3 have no boxes on the window; their rows only
// scale values for files and the command line.
constexpr Row kRows[] = {
    // Boxes with numbers below 1000: the device texts and the endurance test.
    {0, 1, shownOnly(R::Ignored)},
    {10, 11, scaled(S::Position, E::Position)},
    {kCorrectionBar, kCorrectionBar, routed(R::CorrectionBar)},
    // Axis 1.
    {2100, 2100, {S::Position, E::Position, R::Text, SelectionCode::Position, true}},
    {2101, 2101, kPosition},
    {2102, 2105, mirroredText(S::Position, E::Position)},
    {2106, 2106, mirroredText()},
    {2107, 2107, mirroredText(S::Hundredths, E::Hundredths)},
    {2108, 2108, text()},
    {2109, 2109, mirroredText(S::Position, E::Position)},
    {2110, 2110, kHundredths},
    {2111, 2112, text()},
    {2113, 2114, mirroredText()},
    {2115, 2115, kThousandths},
    {2116, 2116, kPosition},
    {2117, 2117, kHundredths},
    {2118, 2118, kPosition},
    {2119, 2121, text()},
    {2122, 2122, kThousandths},
    {2123, 2124, text()},
    {2125, 2125, edgeCount(R::Flank)},
    {2126, 2127, list()},
    {2128, 2128, kPosition},
    {2129, 2130, list()},
    {2131, 2131, kThousandths},
    {2132, 2132, mirroredText(S::Hundredths, E::Hundredths)},
    {2133, 2133, kPosition},
    {2134, 2134, mirroredText(S::Hundredths, E::Hundredths)},
    {2135, 2135, text()},
    {2136, 2136, list()},
    {2137, 2137, kThousandths},
    {2138, 2138, text()},
    {2139, 2139, list()},
    {2140, 2140, text()},
    {2141, 2141, kHundredths},
    {2142, 2142, list()},
    {2143, 2145, text()},
    {2146, 2149, list(R::IoSelection)},
    {2150, 2155, text()},
    // The status block's actual position is shown in box 2100.
    {2170, 2170, {S::Position, E::Plain, R::ActualPosition}},
    {2180, 2180, shownOnly(R::StatusWord)},
    {2182, 2182, shownOnly(R::MotorCurrent, S::Current)},
    {2183, 2183, routed(R::PwmOutput)},
    {2184, 2184, shownOnly(R::Text, S::Current)},
    {2186, 2199, text()},
    // Axis 2.
    {2207, 2207, scaled(S::Hundredths, E::Hundredths)},
    {2210, 2210, scaled(S::Hundredths, E::Hundredths)},
    {2215, 2215, scaled(S::Thousandths, E::Thousandths)},
    // Entered in hundredths, shown as the integer the drive holds.
    {2218, 2218, scaled(S::Plain, E::Hundredths)},
    {2222, 2222, scaled(S::Thousandths, E::Thousandths)},
    {2225, 2225, edgeCount(R::Ignored)},
    {2231, 2231, scaled(S::Thousandths, E::Thousandths)},
    {2232, 2232, scaled(S::Hundredths, E::Hundredths)},
    {2234, 2234, scaled(S::Hundredths, E::Hundredths)},
    {2241, 2241, scaled(S::Hundredths, E::Hundredths)},
    // Axis 3.
    {2307, 2307, scaled(S::Hundredths, E::Hundredths)},
    {2310, 2310, scaled(S::Hundredths, E::Hundredths)},
    {2315, 2315, scaled(S::Thousandths, E::Thousandths)},
    {2318, 2318, scaled(S::Hundredths, E::Hundredths)},
    {2322, 2322, scaled(S::Thousandths, E::Thousandths)},
    {2325, 2325, edgeCount(R::Ignored)},
    {2331, 2331, scaled(S::Thousandths, E::Thousandths)},
    {2332, 2332, scaled(S::Hundredths, E::Hundredths)},
    {2334, 2334, scaled(S::Hundredths, E::Hundredths)},
    {2341, 2341, scaled(S::Hundredths, E::Hundredths)},
    // The device.
    {2401, 2401, shownOnly(R::DeviceType)},
    {2402, 2402, shownOnly(R::SoftwareVersion)},
    {2410, 2410, shownOnly(R::Text)},
    {2411, 2411, routed(R::FieldBusState)},
    {2413, 2419, kPosition},
    // The mains counters have boxes, but the live display leaves them alone.
    {2425, 2425, shownOnly(R::Ignored)},
    {2426, 2428, scaled(S::Hundredths, E::Hundredths)},
    {2429, 2429, shownOnly(R::OperatingTime)},
    {2430, 2430, shownOnly(R::Ignored)},
    {2437, 2437, shownOnly(R::Text)},
    {2440, 2440, shownOnly(R::Text)},
    {2443, 2443, shownOnly(R::Text)},
    {2446, 2446, shownOnly(R::Text)},
};

constexpr bool sortedWithoutOverlaps()
{
    for (size_t i = 0; i < std::size(kRows); ++i) {
        if (kRows[i].from > kRows[i].to)
            return false;
        if (i > 0 && kRows[i - 1].to >= kRows[i].from)
            return false;
    }
    return true;
}
static_assert(sortedWithoutOverlaps(), "catalogue rows must be sorted and must not overlap");

} // namespace

const ParameterRule& parameterRule(int cmd)
{
    const auto* row =
        std::upper_bound(std::begin(kRows), std::end(kRows), cmd, [](int n, const Row& r) { return n < r.from; });
    if (row == std::begin(kRows))
        return kUnlisted;
    --row;
    return cmd <= row->to ? row->rule : kUnlisted;
}

std::optional<int> mirrorBoxOf(int cmd)
{
    if (cmd >= 3000 || !parameterRule(cmd).mirrored)
        return std::nullopt;
    return cmd + 1000;
}

int positionDecimals(int decPnt)
{
    return std::clamp(decPnt, 0, 3);
}

int displayDecimals(int cmd, int decPnt)
{
    switch (parameterRule(cmd).display) {
    case ValueScale::Position: return positionDecimals(decPnt);
    case ValueScale::Hundredths:
    case ValueScale::Current: return 2;
    case ValueScale::Thousandths: return 3;
    case ValueScale::Plain: break;
    }
    return 0;
}

int entryDecimals(int cmd, int decPnt)
{
    switch (parameterRule(cmd).entry) {
    case EntryClass::Position: return positionDecimals(decPnt);
    case EntryClass::Hundredths: return 2;
    case EntryClass::Thousandths: return 3;
    case EntryClass::Plain: break;
    }
    return 0;
}

std::optional<qint64> valueOfSelection(int cmd, qint64 position)
{
    if (parameterRule(cmd).selection == SelectionCode::Position)
        return position;
    switch (position) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    default: return std::nullopt;
    }
}

std::optional<int> selectionOfValue(int cmd, qint64 value)
{
    if (parameterRule(cmd).selection == SelectionCode::EdgeCount) {
        switch (value) {
        case 1: return 0;
        case 2: return 1;
        case 4: return 2;
        default: return std::nullopt;
        }
    }
    if (value < 0 || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

bool isStoredValue(int cmd)
{
    const int parameter = cmd % 100;
    return cmd >= 2000 && parameter != protocol::kCommandWordParameter && parameter != 0 && parameter != 80;
}

} // namespace kinetra
