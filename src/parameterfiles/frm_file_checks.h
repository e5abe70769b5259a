#pragma once

#include <QString>

#include <optional>

namespace kinetra {

class Dialogs;
struct ParameterFileResult;
struct SharedState;

// What the name in the file window's box becomes before anything is read or written. A bare
// name goes into the highlighted folder, an absolute path stays as typed, ".par" is added to a
// name without extension, and any other extension is refused. `message` is the user message
// of a refusal (-1 when the name is usable); `shown` is what the box shows afterwards.
struct ResolvedFileName {
    QString path;  // full path with '/' separators; empty on a refusal
    QString shown; // the box's text, in the platform's separators
    int message = -1;
};
ResolvedFileName resolveParameterFileName(const QString& typed, const QString& highlightedFolder,
                                          const QString& currentFolder);

// checkFileParRead (before a load) and checkFilePar (before a store).
enum class FileCheckPurpose { Load, Store };

// The whole check of the name in the box: `txtFile` is updated to what the box shows. Every
// refusal is a message box with the error icon; a missing file is refused for a load and,
// after the user agreed, created with the header line for a store. Returns the full path when
// the file may be used.
std::optional<QString> checkParameterFile(QString& txtFile, FileCheckPurpose purpose, const QString& highlightedFolder,
                                          const QString& currentFolder, const SharedState& state, Dialogs& dialogs);

// The message box text for a parameter file that could not be stored or read: the user message
// of the error and, where it helps, what was wrong and where. Empty when the error has none.
QString parameterFileFailureText(const SharedState& state, const ParameterFileResult& result, bool storing);

} // namespace kinetra
