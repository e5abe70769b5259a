#include "com_registration.h"

#include "settings_store.h"

#include <QFileInfo>

namespace kinetra::sim {

namespace {

const QString kPorts = QStringLiteral("Ports");

QString keyOf(int number)
{
    return QStringLiteral("COM%1").arg(number);
}

} // namespace

int ComRegistration::add(int number, const QString& device)
{
    remove();
    if (number == 0) {
        for (int n = 1; n <= 10 && number == 0; ++n) {
            const QString entry = store_.value(kApplicationName, kPorts, keyOf(n)).trimmed();
            if (entry.isEmpty() || !QFileInfo::exists(entry))
                number = n;
        }
        if (number == 0)
            return 0;
    }
    previous_ = store_.value(kApplicationName, kPorts, keyOf(number));
    store_.setValue(kApplicationName, kPorts, keyOf(number), device);
    number_ = number;
    return number_;
}

void ComRegistration::remove()
{
    if (number_ == 0)
        return;
    // Only an entry that a stale or previous owner had is put back; a missing one is removed.
    if (previous_.trimmed().isEmpty() || !QFileInfo::exists(previous_.trimmed()))
        store_.remove(kApplicationName, kPorts, keyOf(number_));
    else
        store_.setValue(kApplicationName, kPorts, keyOf(number_), previous_);
    number_ = 0;
    previous_.clear();
}

} // namespace kinetra::sim
