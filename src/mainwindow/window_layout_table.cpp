#include "window_layout_table.h"

namespace kinetra {

namespace {

using K = FieldKind;
constexpr FrameArray P = FrameArray::Para;
constexpr FrameArray M = FrameArray::Main;

// Design texts are German; the language file replaces most of them at start.
constexpr FieldSpec kFields[] = {
    // Tab "Position", frame "Position Regler"
    {P, 0, 2113, "% schnelle Geschw.", K::Text},
    {P, 0, 2114, "% langsame Geschw.", K::Text},
    {P, 0, 2111, "inc Start Rampe", K::Text},
    {P, 0, 2143, "inc Ziel Rampe", K::Text},
    {P, 0, 2115, "sek Stop Rampe", K::Text},
    {P, 0, 2110, "sek Zeit pos. erreicht", K::Text},
    {P, 0, 2150, "sek Zeit Bremse", K::Text},
    {P, 0, 2108, "Startwiederholungen", K::Text},
    {P, 0, 2116, "mm Schrittweite bei Step", K::Text},
    {P, 0, 2117, "mm Spindelausgleich", K::Text},
    {P, 0, 2118, "sek Zeit Spindelausgleich", K::Text},
    {P, 0, 2119, "I-Anteil 1", K::Text},
    {P, 0, 2120, "I-Anteil 2", K::Text},
    {P, 0, 2121, "D-Anteil", K::Text},
    {P, 0, 2151, "I-Limit", K::Text},
    {P, 0, 2122, "sek Regler Zyklus Zeit", K::Text},
    {P, 0, 2123, "inc Übw. Startrampe", K::Text},
    {P, 0, 2124, "inc Übw. Zielrampe", K::Text},
    // Tab "Sicherheit", frames "Motorstrom" and "Messsystem"
    {P, 5, 2107, "A Dauerstrom", K::Text},
    {P, 5, 2132, "A Rampenstrom", K::Text},
    {P, 5, 2134, "sek Messzeit", K::Text},
    {P, 4, 2103, "mm Endlage neg.", K::Text},
    {P, 4, 2104, "mm Endlage pos.", K::Text},
    {P, 4, 2135, "% Schaltschwelle", K::Text},
    {P, 4, 2131, "sek Messzeit", K::Text},
    // Tab "Messsystem/Referenz" (the box "Messsystem intern" comes first in frame 6)
    {P, 6, 2105, "mm Weg/Impulse", K::Text},
    {P, 6, 2106, "imp Impulse/Weg", K::Text},
    {P, 6, 2109, "mm Toleranzfenster", K::Text},
    {P, 6, 2125, "Flankenauswertung", K::List},
    {P, 6, 2126, "Zählrichtung", K::List},
    {P, 6, 2142, "Motor Drehrichtung", K::List},
    {P, 7, 2102, "mm Referenz", K::Text},
    {P, 7, 2128, "mm Parkposition", K::Text},
    {P, 7, 2133, "mm Offset", K::Text},
    {P, 7, 2145, "% Geschwindigkeit", K::Text},
    {P, 7, 2127, "Fahrtrichtung", K::List},
    {P, 7, 2129, "Nocke", K::List},
    {P, 7, 2130, "Index", K::List},
    // Tab "Lage/Drehzahl" (button 140 comes first in frame 2)
    {P, 2, 2140, "Hz Max. Freq.", K::Text},
    {P, 2, 2141, "sek Zykluszeit", K::Text},
    {P, 1, 2136, "aktiv", K::List},
    {P, 1, 2139, "Mode", K::List},
    {P, 1, 2144, "P-Anteil", K::Text},
    {P, 1, 2155, "I-Anteil 3", K::Text},
    {P, 1, 2137, "sek Zykluszeit", K::Text},
    {P, 1, 2138, "inc Fenster", K::Text},
    // Tab "Progr.": set points, and the raw fields of the debug frame
    {P, 3, 2413, "mm Sollwert 1", K::Text},
    {P, 3, 2414, "mm Sollwert 2", K::Text},
    {P, 3, 2415, "mm Sollwert 3", K::Text},
    {P, 3, 2416, "mm Sollwert 4", K::Text},
    {P, 3, 2417, "mm Sollwert 5", K::Text},
    {P, 3, 2418, "mm Sollwert 6", K::Text},
    {P, 3, 2419, "mm Sollwert 7", K::Text},
    {P, 13, 2186, "P86", K::Text},
    {P, 13, 2187, "P87", K::Text},
    {P, 13, 2188, "P88", K::Text},
    {P, 13, 2189, "P89", K::Text},
    {P, 13, 2190, "P90", K::Text},
    {P, 13, 2191, "P91", K::Text},
    {P, 13, 2192, "P92", K::Text},
    {P, 13, 2193, "P93", K::Text},
    {P, 13, 2194, "P94", K::Text},
    {P, 13, 2195, "P95", K::Text},
    {P, 13, 2196, "P96", K::Text},
    {P, 13, 2197, "P97", K::Text},
    {P, 13, 2198, "P98", K::Text},
    {P, 13, 2199, "P99", K::Text},
    // Tab "Service": endurance test positions and pause (after the button "Dauertest")
    {P, 12, 10, "mm Position 1", K::Text},
    {P, 12, 11, "mm Position 2", K::Text},
    {P, 12, 12, "sek Wartezeit", K::Text},
    // ... and the drive's event counters
    {P, 10, 2425, "x Netzeinbrüche", K::Text},
    {P, 10, 2430, "x Netz Ein/Aus", K::Text},
    {P, 10, 2437, "x Überstrom", K::Text},
    {P, 10, 2440, "x Endlagen", K::Text},
    {P, 10, 2443, "x Kurzschluss", K::Text},
    {P, 10, 2446, "x Messsystem", K::Text},
    // Beside the tabs: status frame (its status and current boxes are added by hand)
    {M, 2, 2100, "mm Istwert", K::Text},
    {M, 2, 2101, "mm Sollwert", K::Text},
    // "Ein/Ausgänge" with the lamps of the three inputs and the output
    {M, 0, 2146, "Eingang 1", K::List, 5},
    {M, 0, 2147, "Eingang 2", K::List, 6},
    {M, 0, 2148, "Eingang 3", K::List, 7},
    {M, 0, 2149, "Ausgang", K::List, 8},
    // "Version/Betriebsstunden"; box 1 has no label and shows a model note
    {M, 1, 2401, "Hardware", K::Text},
    {M, 1, 2402, "Software", K::Text},
    {M, 1, 2410, "Adresse", K::Text},
    {M, 1, 2429, "Betriebsstd.", K::Text},
    {M, 1, 1, nullptr, K::Text},
    // The simple parameter panel: mirrors of the eleven main axis parameters
    {M, 3, 3102, "mm Referenz", K::Text},
    {M, 3, 3103, "mm Endlage neg.", K::Text},
    {M, 3, 3104, "mm Endlage pos.", K::Text},
    {M, 3, 3105, "mm Weg/Impulse", K::Text},
    {M, 3, 3106, "imp Impulse/Weg", K::Text},
    {M, 3, 3107, "A Dauerstrom", K::Text},
    {M, 3, 3109, "mm Toleranzfenster", K::Text},
    {M, 3, 3113, "% schnelle Geschw.", K::Text},
    {M, 3, 3114, "% langsame Geschw.", K::Text},
    {M, 3, 3132, "A Rampenstrom", K::Text},
    {M, 3, 3134, "sek Messzeit", K::Text},
};

constexpr FrameSpec kFrames[] = {
    {0, 0, 0, "Position Regler"}, {5, 1, 0, "Motorstrom"},         {4, 1, 1, "Messsystem"}, {6, 2, 0, "Messsystem"},
    {7, 2, 1, "Referenz"},        {2, 3, 0, "Drehzahlregler"},     {1, 3, 1, "Lageregler"}, {9, 4, 0, ""},
    {3, 5, 0, "Program"},         {8, 5, 1, "Konfiguration"},      {13, 5, 2, "Debuging"},  {12, 6, 0, "Test"},
    {11, 6, 0, "Kommands"},       {10, 6, 1, "Service Parameter"},
};

constexpr const char* kTabs[] = {"Position", "Sicherheit", "&Messsystem/Referenz", "Lage/Drehzahl", "Diagnose",
                                 "Progr.",   "Service"};

constexpr CommandButtonSpec kStatusButtons[] = {
    {128, "Start Absolut"},         {129, "Stop"},
    {130, "Start Step positiv"},    {131, "Start Step negativ"},
    {132, "Start Manuell positiv"}, {133, "Start Manuell negativ"},
    {136, "Referenzfahrt"},         {139, "Referenz"},
    {138, "Parameter speichern"},   {153, "Parameter speichern"},
};

constexpr const char* kObjectLabels[] = {"Service Parameter löschen",
                                         "Werkseinstellung Achse",
                                         "Werkseinstellung Gerät",
                                         "Motorstrom",
                                         "Frequenzmessung aktivieren",
                                         "Korrektur",
                                         "Not Stop"};

} // namespace

std::span<const FieldSpec> parameterFields()
{
    return kFields;
}
std::span<const FrameSpec> tabFrames()
{
    return kFrames;
}
std::span<const char* const> tabCaptions()
{
    return kTabs;
}
std::span<const CommandButtonSpec> statusCommandButtons()
{
    return kStatusButtons;
}
std::span<const char* const> objectLabels()
{
    return kObjectLabels;
}

} // namespace kinetra
