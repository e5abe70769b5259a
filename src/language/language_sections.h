#pragma once

#include <QStringList>

namespace kinetra {

class LanguageTargets;
struct SharedState;

// Entries of the six sections of a language file, in file order; each section starts with
// three header records that are read and not checked.
inline constexpr int kLanguageSectionEntries[6] = {62, 56, 33, 35, 28, 101};
// Fields of a complete file: three headers per section and two fields (number, text) per entry.
inline constexpr int kLanguageFieldCount = 6 * 3 + 2 * (62 + 56 + 33 + 35 + 28 + 101);

// Applies the fields in file order, each text the moment its entry is reached, through the
// targets and into state.messageText. Stops at the first missing field and returns false; what
// was applied before stays.
bool applyLanguageFields(const QStringList& fields, SharedState& state, LanguageTargets& targets);

} // namespace kinetra
