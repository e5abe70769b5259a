#pragma once

#include <QString>

namespace kinetra {

// The per-user settings store: application, section, key -> text. Names compare without regard
// to case, so "Kinetra" and "KINETRA" are one application.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString& application, const QString& section, const QString& key,
                          const QString& defaultValue = {}) const = 0;
    virtual void setValue(const QString& application, const QString& section, const QString& key,
                          const QString& value) = 0;
    virtual void remove(const QString& application, const QString& section, const QString& key) = 0;
};

// The one application name the tool and its helpers use in the store.
inline const QString kApplicationName = QStringLiteral("Kinetra");

} // namespace kinetra
