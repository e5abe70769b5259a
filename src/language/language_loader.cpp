#include "language_loader.h"

#include "dialogs.h"
#include "language_targets.h"
#include "settings_store.h"
#include "shared_state.h"

#include <QDir>
#include <QFile>

namespace kinetra {

namespace {
const char* const kFiles[] = {"English.txt", "German.txt", "Italian.txt", "France.txt", "Spain.txt", "Turkish.txt"};
} // namespace

QString languageFileName(int languageIndex)
{
    return languageIndex >= 0 && languageIndex < 6 ? QString::fromLatin1(kFiles[languageIndex]) : QString();
}

QString languageFilePath(const QString& programFolder, int languageIndex)
{
    const QString name = languageFileName(languageIndex);
    return name.isEmpty() ? QString() : QDir(programFolder).filePath(name);
}

bool languageFileReadable(const QString& programFolder, int languageIndex)
{
    QFile file(languageFilePath(programFolder, languageIndex));
    return !file.fileName().isEmpty() && file.open(QIODevice::ReadOnly);
}

// Placeholder until the reader lands: reports every language as not available.
bool loadLanguage(SharedState&, const QString&, LanguageTargets&, SettingsStore&, Dialogs& dialogs)
{
    dialogs.message(QStringLiteral("language not available"), kApplicationTitle, MessageIcon::Error);
    return false;
}

} // namespace kinetra
