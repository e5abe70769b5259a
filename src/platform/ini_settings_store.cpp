#include "ini_settings_store.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace kinetra {

namespace {

QString matching(const QStringList& names, const QString& wanted)
{
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return wanted;
}

// Opens the file and enters the section as it is spelt there; returns the key as spelt there.
QString enter(QSettings& settings, const QString& section, const QString& key)
{
    settings.beginGroup(matching(settings.childGroups(), section));
    return matching(settings.childKeys(), key);
}

} // namespace

QString IniSettingsStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kinetra");
}

IniSettingsStore::IniSettingsStore() : IniSettingsStore(defaultFolder())
{
}

IniSettingsStore::IniSettingsStore(const QString& folder) : folder_(folder)
{
}

IniSettingsStore::~IniSettingsStore() = default;

QString IniSettingsStore::fileFor(const QString& application) const
{
    // One file per application, named in lower case: "Kinetra" and "KINETRA" are one store.
    return QDir(folder_).filePath(application.toLower() + QStringLiteral(".ini"));
}

QString IniSettingsStore::value(const QString& application, const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    QSettings settings(fileFor(application), QSettings::IniFormat);
    const QString storedKey = enter(settings, section, key);
    const QVariant v = settings.value(storedKey);
    if (!v.isValid())
        return defaultValue;
    // A hand-edited file may hold a list ("a, b"); keep it as the text it was.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

void IniSettingsStore::setValue(const QString& application, const QString& section, const QString& key,
                                const QString& value)
{
    QDir().mkpath(folder_);
    QSettings settings(fileFor(application), QSettings::IniFormat);
    const QString storedKey = enter(settings, section, key);
    settings.setValue(storedKey, value);
}

void IniSettingsStore::remove(const QString& application, const QString& section, const QString& key)
{
    QSettings settings(fileFor(application), QSettings::IniFormat);
    const QString storedKey = enter(settings, section, key);
    settings.remove(storedKey);
}

} // namespace kinetra
