#pragma once

#include <QString>

namespace kinetra {

class DriveCom;
class SettingsStore;

// The fast link's keys in section "System" of the per-user store: FastLink 1 switches it on
// (0, or anything else, is the classic timing); FastLinkGap is the quiet time before a frame in
// character times (2 when missing or unreadable).
inline const QString kFastLinkSection = QStringLiteral("System");
inline const QString kFastLinkKey = QStringLiteral("FastLink");
inline const QString kFastLinkGapKey = QStringLiteral("FastLinkGap");

bool storedFastLink(const SettingsStore& settings);
// Sets the link's timing: fast when `on`, with the stored gap.
void applyFastLink(DriveCom& com, const SettingsStore& settings, bool on);

} // namespace kinetra
