#pragma once

#include <QString>

namespace kinetra {

class Dialogs;
class LanguageTargets;
class SettingsStore;
struct SharedState;

// File name of a language ("English.txt" for 0 ... "Turkish.txt" for 5); "" for any other index.
QString languageFileName(int languageIndex);
// The language file in the program's folder; "" for an index without a file.
QString languageFilePath(const QString& programFolder, int languageIndex);
// The folder with the language files of the running program: its own folder, as in the build
// tree, or the installed share folder beside its bin folder (/usr/share/kinetra for /usr/bin).
QString languageFolder();
// Whether the file of a language can be opened for reading.
bool languageFileReadable(const QString& programFolder, int languageIndex);

// Reads the file of state.languageIndex and applies every text as it is read (labels, lists,
// hints, captions, tabs, and the message table in state.messageText). On success saves
// "Language"; on any failure shows "language not available" and keeps what was applied so far.
bool loadLanguage(SharedState& state, const QString& programFolder, LanguageTargets& targets, SettingsStore& settings,
                  Dialogs& dialogs);

// A language button released over the button. With the left button the file of `index` must
// open, else "language not available" is shown and nothing changes; with any other button the
// language is taken without that check. Then languageIndex = index and loadLanguage.
bool selectLanguage(SharedState& state, int index, bool leftButton, const QString& programFolder,
                    LanguageTargets& targets, SettingsStore& settings, Dialogs& dialogs);

// The message shown when a language cannot be loaded.
QString languageNotAvailableText();

} // namespace kinetra
