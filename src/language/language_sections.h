#pragma once

#include <QStringList>
#include <QtGlobal>

#include "tool_texts.h"

namespace kinetra {

class LanguageTargets;
struct SharedState;

// Entries of the six sections of a language file, in file order; each section starts with
// three header records that are read and not checked.
inline constexpr int kLanguageSectionEntries[6] = {62, 56, 33, 35, 28, 101};
// Fields of a complete file: three headers per section and two fields (number, text) per entry.
inline constexpr int kLanguageFieldCount = 6 * 3 + 2 * (62 + 56 + 33 + 35 + 28 + 101);
// The seventh section, appended later: the newer windows' texts. A file may lack it or end inside
// it; what it lacks stays English.
inline constexpr int kToolSectionFieldCount = 3 + 2 * kToolTextCount;
// Fields a loader reads at most: the six sections and the seventh.
inline constexpr int kLanguageFieldLimit = kLanguageFieldCount + kToolSectionFieldCount;

// Applies the fields in file order, each text the moment its entry is reached, through the
// targets and into state.messageText. Stops at the first missing field of the six sections and
// returns false; what was applied before stays. The seventh section's texts go to
// state.toolText (English for what the file lacks), then the targets hear toolTextsLoaded().
bool applyLanguageFields(const QStringList& fields, SharedState& state, LanguageTargets& targets);

// From level 500 on the counting direction's items stand the other way round and the inputs
// offer "Prog. BCD": the selection lists have one set of items below that level, one from it on.
inline bool hasNewerSelectionLists(qint16 level)
{
    return level >= 500;
}

// Fills every selection list from state.selectionTexts for the level in state.firmwareLevel
// (below 500 the counting direction's two items swap places and the inputs lack "Prog. BCD"),
// then tells the targets that the lists are new. Nothing happens without a language's texts.
void fillSelectionLists(const SharedState& state, LanguageTargets& targets);

} // namespace kinetra
