#pragma once

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
bool loadMessageTexts(SharedState& state, const QString& path);

// The English file built into the program, for when no language file lies beside it.
inline const QString kBuiltInEnglish = QStringLiteral(":/kinetra-cli/English.txt");

} // namespace kinetra::cli
