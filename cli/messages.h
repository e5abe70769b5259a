#pragma once

#include "parameter_comparison.h" // splitLabel, for the label texts read here

#include <QHash>
#include <QString>

namespace kinetra {
struct SharedState;
}

namespace kinetra::cli {

// Index of a language by name ("German", "french", "Spain", ...): 0 English, 1 German,
// 2 Italian, 3 French, 4 Spanish, 5 Turkish; -1 for a name it does not know.
int languageIndexFor(const QString& name);

// Fills state.messageText from the message section of a language file with the same reader as
// the window; every other text of the file is passed over. False (and the table unchanged) when
// the file cannot be read or ends early.
// With `labels`, also the parameters' label texts by command number ("mm Actual position").
bool loadMessageTexts(SharedState& state, const QString& path, QHash<int, QString>* labels = nullptr);

// The English file built into the program, for when no language file lies beside it.
inline const QString kBuiltInEnglish = QStringLiteral(":/kinetra-cli/English.txt");

} // namespace kinetra::cli
