#include "value_routes.h"

namespace kinetra {

namespace {

bool in(int x, int from, int to)
{
    return x >= from && x <= to;
}

// The boxes of the simple parameter panel repeat these axis-1 values under number + 1000.
bool mirrored(int index)
{
    switch (index) {
    case 2102: case 2103: case 2104: case 2105: case 2106: case 2107:
    case 2113: case 2114: case 2132: case 2134:
        return true;
    default:
        return false;
    }
}

} // namespace

ValueRoute routeOf(int index)
{
    // The debugging boxes of the program tab come first: their range overlaps nothing else.
    if (in(index, 2186, 2199))
        return ValueRoute::Text;
    if (in(index, 2100, 2124) || index == 2128 || in(index, 2131, 2135) || index == 2138 || index == 2140
        || index == 2141 || in(index, 2143, 2145) || in(index, 2150, 2155) || index == 2410
        || in(index, 2413, 2419))
        return mirrored(index) ? ValueRoute::TextAndMirror : ValueRoute::Text;
    switch (index) {
    case 2125:
        return ValueRoute::Flank;
    case 2126: case 2127: case 2129: case 2130: case 2136: case 2139: case 2142:
        return ValueRoute::Selection;
    case 2146: case 2147: case 2148: case 2149:
        return ValueRoute::IoSelection;
    case 2401:
        return ValueRoute::DeviceType;
    case 2402:
        return ValueRoute::SoftwareVersion;
    case 2429:
        return ValueRoute::OperatingTime;
    case 2137: case 2437: case 2440: case 2443: case 2446: case 2184:
        return ValueRoute::Text;
    case 2170:
        return ValueRoute::ActualPosition;
    case 2180:
        return ValueRoute::StatusWord;
    case 2182:
        return ValueRoute::MotorCurrent;
    case 2183:
        return ValueRoute::PwmOutput;
    case 2411:
        return ValueRoute::FieldBusState;
    default:
        return ValueRoute::Ignored;
    }
}

} // namespace kinetra
