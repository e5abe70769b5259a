#include "system_settings.h"

#include "settings_store.h"

namespace kinetra {

int SystemSettings::read(const QString& key, int current) const
{
    const QString text = store_.value(kApplicationName, systemkey::kSection, key, QString::number(current));
    bool ok = false;
    const short value = text.trimmed().toShort(&ok);
    return ok ? value : current;
}

void SystemSettings::write(const QString& key, int value)
{
    store_.setValue(kApplicationName, systemkey::kSection, key, QString::number(value));
}

void SystemSettings::writeFirstStart(const QString& key, int value)
{
    store_.setValue(kApplicationName.toUpper(), systemkey::kSection, key, QString::number(value));
}

} // namespace kinetra
