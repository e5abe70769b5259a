#include "language_loader.h"

#include "dialogs.h"
#include "language_fields.h"
#include "language_sections.h"
#include "language_targets.h"
#include "settings_store.h"
#include "shared_state.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace kinetra {

namespace {
const char* const kFiles[] = {"English.txt", "German.txt", "Italian.txt", "France.txt", "Spain.txt", "Turkish.txt"};

// A language file is some 30 KB. Reading stops here, so that a huge or endless file (a device,
// a wrong file renamed) cannot exhaust memory; a file that needs more before its last message
// is not a language file and fails like one that ends early.
constexpr qint64 kMaxLanguageFileBytes = 16 * 1024 * 1024;

bool notAvailable(Dialogs& dialogs)
{
    dialogs.message(languageNotAvailableText(), kApplicationTitle, MessageIcon::Error);
    return false;
}
} // namespace

QString languageNotAvailableText()
{
    return QStringLiteral("language not available");
}

QString languageFileName(int languageIndex)
{
    return languageIndex >= 0 && languageIndex < 6 ? QString::fromLatin1(kFiles[languageIndex]) : QString();
}

QString languageFilePath(const QString& programFolder, int languageIndex)
{
    const QString name = languageFileName(languageIndex);
    return name.isEmpty() ? QString() : QDir(programFolder).filePath(name);
}

QString languageFolder()
{
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFile::exists(languageFilePath(beside, 0)))
        return beside;
    const QString installed = QDir::cleanPath(QDir(beside).filePath(QStringLiteral("../share/kinetra")));
    return QFile::exists(languageFilePath(installed, 0)) ? installed : beside;
}

bool languageFileReadable(const QString& programFolder, int languageIndex)
{
    QFile file(languageFilePath(programFolder, languageIndex));
    return !file.fileName().isEmpty() && file.open(QIODevice::ReadOnly);
}

bool loadLanguage(SharedState& state, const QString& programFolder, LanguageTargets& targets, SettingsStore& settings,
                  Dialogs& dialogs)
{
    const QString path = languageFilePath(programFolder, state.languageIndex);
    if (path.isEmpty())
        return notAvailable(dialogs);
    QByteArray bytes;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return notAvailable(dialogs);
        bytes = file.read(kMaxLanguageFileBytes);
    }
    const LanguageFields read = splitLanguageFields(bytes, kLanguageFieldLimit);
    if (!applyLanguageFields(read.fields, state, targets))
        return notAvailable(dialogs);
    // Written in capitals as start-up writes its defaults; the store ignores the case.
    settings.setValue(QStringLiteral("KINETRA"), QStringLiteral("System"), QStringLiteral("Language"),
                      QString::number(state.languageIndex));
    return true;
}

bool selectLanguage(SharedState& state, int index, bool leftButton, const QString& programFolder,
                    LanguageTargets& targets, SettingsStore& settings, Dialogs& dialogs)
{
    if (leftButton && !languageFileReadable(programFolder, index))
        return notAvailable(dialogs);
    state.languageIndex = index;
    return loadLanguage(state, programFolder, targets, settings, dialogs);
}

} // namespace kinetra
