#include "tool_texts.h"

#include <array>

namespace kinetra {

namespace {
// As English.txt holds them: a language file without the section shows these.
constexpr std::array<const char*, kToolTextCount> kEnglish = {
    // The compare window.
    "Compare", "Compare parameters", "The drive", "File A", "File B", "Browse...", "Compare", "Differences only", "No.",
    "Parameter", "Value A", "Value B", "Load selected into the drive", "%1 parameters compared, %2 differ.",
    "No row is ticked.", "The drive is not connected.", "Close", "Choose a parameter file",
    "%1 values were written to the drive.", "Include the drive's own values",
    // Values not yet saved in the drive.
    "Not saved in the drive", "The drive holds values that it loses at power-off until they are saved.",
    "Revert to the values read", "Write the %1 changed values back as they were read?",
    "The values read are back in the drive.", "%1 values could not be written back.",
    "No value has changed since the drive was read.", "The drive is not connected: nothing was written back.",
    "reserve", "reserve",
    // The chart's recording and export.
    "Pause", "Continue", "Export CSV", "Export picture", "Time [s]", "%1 samples written to %2.",
    "%1 could not be written.", "Nothing has been recorded yet.", "Recorded: %1 s", "reserve",
    // The port assignment.
    "Ports", "Port assignment", "COM%1 and COM%2 are both assigned to %3. A device can be assigned to one port only.",
    "Device", "Adapter", "automatic", "OK", "Cancel", "Search again", "not present"};
} // namespace

QString defaultToolText(int entry)
{
    return entry >= 0 && entry < kToolTextCount ? QString::fromLatin1(kEnglish[size_t(entry)]) : QString();
}

} // namespace kinetra
