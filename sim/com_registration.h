#pragma once

#include <QString>

namespace kinetra {
class SettingsStore;
}

namespace kinetra::sim {

// The simulator's entry in the tool's per-user "Ports" settings: COMn -> device path. It puts
// back whatever the entry held before when it is removed, so a user's own entry survives.
class ComRegistration {
public:
    explicit ComRegistration(SettingsStore& store) : store_(store) {}
    ~ComRegistration() { remove(); }
    ComRegistration(const ComRegistration&) = delete;
    ComRegistration& operator=(const ComRegistration&) = delete;

    // Registers `device` as COM`number`; number 0 takes the first of COM1-COM10 whose entry is
    // empty or names a device that no longer exists. Returns the number taken, 0 when none.
    int add(int number, const QString& device);
    void remove();
    int number() const { return number_; }

private:
    SettingsStore& store_;
    int number_ = 0;
    QString previous_;
};

} // namespace kinetra::sim
