#pragma once

#include "settings_store.h"

#include <QString>

#include <memory>

class QSettings;

namespace kinetra {

// The settings store as INI files, one per application: <folder>/<application in lower case>.ini.
// Sections and keys are found without regard to case and keep the case they were first written in.
class IniSettingsStore : public SettingsStore {
public:
    // The per-user folder of the platform (on Linux ~/.config/kinetra).
    IniSettingsStore();
    // A folder of the caller's choosing (tests, a simulator pointed at another user's store).
    explicit IniSettingsStore(const QString& folder);
    ~IniSettingsStore() override;

    QString value(const QString& application, const QString& section, const QString& key,
                  const QString& defaultValue = {}) const override;
    void setValue(const QString& application, const QString& section, const QString& key,
                  const QString& value) override;
    void remove(const QString& application, const QString& section, const QString& key) override;

    QString fileFor(const QString& application) const;
    static QString defaultFolder();

private:
    QString folder_;
};

} // namespace kinetra
