#include "device_texts.h"

namespace kinetra {

namespace {

bool knownCode(qint64 code)
{
    if (code < 2000 || code > 2054 || code % 10 > 4)
        return false;
    const qint64 family = (code / 10) % 10;
    return family != 4;
}

} // namespace

QString deviceTypeText(qint64 code)
{
    if (!knownCode(code))
        return {};
    static const char* const families[] = {"Corvex", "Pivora", nullptr, "Tusk1", nullptr, "Pivora"};
    static const char* const interfaces[] = {"RS232", "RS485", "RS422", "canOPEN", "ProfiBus"};
    const char* family = families[(code / 10) % 10];
    if (!family)
        return {};
    return QString::fromLatin1(family) + QLatin1Char(' ') + QString::fromLatin1(interfaces[code % 10]);
}

int busTypeOf(qint64 code)
{
    if (!knownCode(code))
        return 0;
    switch (code % 10) {
    case 3: return 1;
    case 4: return 2;
    default: return 0;
    }
}

QString versionText(qint64 level)
{
    // The pattern "0-00": the hyphen is a literal, so the last two digits follow it.
    const quint64 magnitude = level < 0 ? 0 - static_cast<quint64>(level) : static_cast<quint64>(level);
    return QStringLiteral("V%1%2-%3")
        .arg(level < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

} // namespace kinetra
