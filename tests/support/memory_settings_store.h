#pragma once

#include "settings_store.h"

#include <QMap>

namespace kinetra::test {

// The settings store in memory, names compared without regard to case as in the real one.
class MemorySettingsStore : public SettingsStore {
public:
    QString value(const QString& application, const QString& section, const QString& key,
                  const QString& defaultValue = {}) const override
    {
        return values.value(name(application, section, key), defaultValue);
    }
    void setValue(const QString& application, const QString& section, const QString& key, const QString& value) override
    {
        values[name(application, section, key)] = value;
    }
    void remove(const QString& application, const QString& section, const QString& key) override
    {
        values.remove(name(application, section, key));
    }

    static QString name(const QString& application, const QString& section, const QString& key)
    {
        return (application + QLatin1Char('/') + section + QLatin1Char('/') + key).toLower();
    }

    QMap<QString, QString> values;
};

} // namespace kinetra::test
