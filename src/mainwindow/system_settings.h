#pragma once

#include <QString>

namespace kinetra {

class SettingsStore;

// The main window's keys in section "System" of the per-user store. Values are the plain
// decimal text of a 16-bit integer.
namespace systemkey {
inline const QString kSection = QStringLiteral("System");
inline const QString kCheck = QStringLiteral("Check");
inline const QString kLanguage = QStringLiteral("Language");
inline const QString kDecpnt = QStringLiteral("Decpnt");
// The first start writes the decimal places under this spelling; the store finds it either way.
inline const QString kDecpntFirstStart = QStringLiteral("decPnt");
inline const QString kExpert = QStringLiteral("Expert");
inline const QString kSecurity = QStringLiteral("Security");
inline const QString kEncoder = QStringLiteral("Encoder");
} // namespace systemkey

// Reads and writes those keys. The first-start defaults are written under the application name
// in capitals, everything else in mixed case; the store takes both as one application.
class SystemSettings {
public:
    explicit SystemSettings(SettingsStore& store) : store_(store) {}

    // The stored value as a 16-bit integer; `current` when the key is missing or its text is no
    // such integer (a damaged setting must not stop the start).
    int read(const QString& key, int current) const;
    void write(const QString& key, int value);
    void writeFirstStart(const QString& key, int value);
    SettingsStore& store() const { return store_; }

private:
    SettingsStore& store_;
};

} // namespace kinetra
