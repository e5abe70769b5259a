#include "drive_texts.h"

namespace kinetra::cli {

QString modelText(qint64 code)
{
    static const char* const interfaces[] = {"RS232", "RS485", "RS422", "canOPEN", "ProfiBus"};
    if (code < 2000 || code > 2054 || code % 10 > 4)
        return {};
    const char* family = nullptr;
    switch ((code - 2000) / 10) {
    case 0: family = "Corvex"; break;
    case 1:
    case 5: family = "Pivora"; break;
    case 3: family = "Tusk1"; break;
    default: return {};
    }
    return QStringLiteral("%1 %2").arg(QLatin1String(family), QLatin1String(interfaces[code % 10]));
}

QString versionText(qint64 version)
{
    const bool negative = version < 0;
    const qint64 v = negative ? -version : version;
    return QStringLiteral("V%1%2-%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(v / 100)
        .arg(v % 100, 2, 10, QLatin1Char('0'));
}

QString statusText(quint32 word, int firmwareLevel, const std::array<QString, 101>& messages)
{
    QString text;
    const int bitMessages[][2] = {{1, 48}, {2, 49}, {4, 50}, {8, 51}, {16, 52}, {32, 53}, {64, 54}, {128, 55}};
    for (const auto& [bit, message] : bitMessages)
        if (word & static_cast<quint32>(bit))
            text = messages[static_cast<size_t>(message)];
    if ((word & 240u) == 240u && firmwareLevel > 530)
        text = messages[77];
    if (firmwareLevel >= 500 && !(word & 8192u))
        text = messages[78];
    return text;
}

} // namespace kinetra::cli
