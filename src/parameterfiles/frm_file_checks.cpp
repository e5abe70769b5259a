#include "frm_file_checks.h"

#include "dialogs.h"
#include "parameter_file_reader.h"
#include "parameter_file_writer.h"
#include "shared_state.h"

#include <QDir>
#include <QFileInfo>

namespace kinetra {

namespace {

constexpr int kNoName = 0;
constexpr int kWrongExtension = 1;
constexpr int kNotFound = 6;
constexpr int kCreateBefore = 7;
constexpr int kCreateAfter = 8;
// The shortest name part of a file: one character and ".par".
constexpr int kShortestName = 5;

ResolvedFileName refused(const QString& shown, int message)
{
    ResolvedFileName r;
    r.shown = shown;
    r.message = message;
    return r;
}

void showError(Dialogs& dialogs, const QString& text)
{
    dialogs.message(text, kApplicationTitle, MessageIcon::Error);
}

} // namespace

ResolvedFileName resolveParameterFileName(const QString& typed, const QString& highlightedFolder,
                                          const QString& currentFolder)
{
    if (typed.isEmpty())
        return refused(typed, kNoName);
    QString name = QDir::fromNativeSeparators(typed);

    // The extension test ignores case; anything but .par after a point is refused, also .txt,
    // which the file list shows as well.
    const QString extension = name.right(4).toUpper();
    if (extension != QLatin1String(".PAR")) {
        if (extension.startsWith(QLatin1Char('.')))
            return refused(typed, kWrongExtension);
        name += QStringLiteral(".par");
        if (!QDir::isAbsolutePath(name))
            name = QDir(highlightedFolder).filePath(name);
    }
    // A name without folder goes into the folder the window shows.
    if (!QDir::isAbsolutePath(name))
        name = QDir(currentFolder).filePath(name);

    const QString shown = QDir::toNativeSeparators(name);
    if (name.size() - name.lastIndexOf(QLatin1Char('/')) - 1 < kShortestName)
        return refused(shown, kNoName);

    ResolvedFileName r;
    r.path = QDir::cleanPath(name);
    r.shown = shown;
    return r;
}

std::optional<QString> checkParameterFile(QString& txtFile, FileCheckPurpose purpose, const QString& highlightedFolder,
                                          const QString& currentFolder, const SharedState& state, Dialogs& dialogs)
{
    const ResolvedFileName name = resolveParameterFileName(txtFile, highlightedFolder, currentFolder);
    txtFile = name.shown;
    if (name.message >= 0) {
        showError(dialogs, state.message(name.message));
        return std::nullopt;
    }

    const ParameterFileResult probe = probeParameterFile(name.path);
    if (probe.ok())
        return name.path;
    if (probe.error != ParameterFileError::NotFound) {
        // A folder that does not exist, a name that is no file, a file that may not be read.
        showError(dialogs, state.message(parameterFileMessage(probe.error, false)));
        return std::nullopt;
    }

    if (purpose == FileCheckPurpose::Load) {
        showError(dialogs, state.message(kNotFound));
        return std::nullopt;
    }
    const QString question = state.message(kCreateBefore) + name.shown + state.message(kCreateAfter);
    if (dialogs.message(question, state.message(kNotFound), MessageIcon::Error, MessageButtons::YesNo,
                        MessageAnswer::No) != MessageAnswer::Yes)
        return std::nullopt;
    const ParameterFileResult created = createParameterFile(name.path);
    if (!created.ok()) {
        showError(dialogs, state.message(parameterFileMessage(created.error, false)));
        return std::nullopt;
    }
    return name.path;
}

QString parameterFileFailureText(const SharedState& state, const ParameterFileResult& result, bool storing)
{
    const int message = parameterFileMessage(result.error, storing);
    if (message < 0)
        return {};
    QString text = state.message(message);
    if (result.error == ParameterFileError::OtherLevelClass)
        text += QStringLiteral("\n(written for a drive of the other level: 55 against 79 axis records)");
    else if (result.error == ParameterFileError::UnexpectedRecord && result.line > 0)
        text += QStringLiteral("\n(unexpected record in line %1)").arg(result.line);
    else if (result.error == ParameterFileError::NotANumber)
        text += QStringLiteral("\n(line %1, %2: not a number; nothing was loaded)").arg(result.line).arg(result.detail);
    return text;
}

} // namespace kinetra
