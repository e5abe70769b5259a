#pragma once

#include <QString>

namespace kinetra {

// Texts of the windows and buttons that came after the language files' first six sections:
// the compare window, the unsaved-values marker, the chart's recording and the port assignment.
// They stand in a seventh section appended to each language file; a file without it (or with
// only part of it) still loads and shows these texts in English.
//
// Entry n of the section is tooltext::X == n - 1. Each feature owns a block of ten entries;
// entries of a block that no text needs are "reserve" records, as in the other sections.
namespace tooltext {
enum Entry : int {
    // The compare window (entries 1-20).
    CompareButton = 0,
    CompareTitle,
    CompareDrive,
    CompareFileA,
    CompareFileB,
    CompareBrowse,
    CompareRun,
    CompareDifferencesOnly,
    CompareColumnNumber,
    CompareColumnName,
    CompareColumnA,
    CompareColumnB,
    CompareLoadSelected,
    CompareSummary,
    CompareNothingTicked,
    CompareOffline,
    CompareClose,
    CompareChooseFile,
    CompareLoaded,
    CompareDrivesOwn,
    // Values not yet saved in the drive (entries 21-30).
    UnsavedMarker = 20,
    UnsavedHint,
    RevertButton,
    RevertQuestion,
    RevertDone,
    RevertFailed,
    RevertNothing,
    RevertOffline,
    // The chart's recording and export (entries 31-40).
    ChartPause = 30,
    ChartContinue,
    ChartExportCsv,
    ChartExportPng,
    ChartTimeAxis,
    ChartExported,
    ChartNotWritten,
    ChartEmpty,
    ChartRecorded,
    // The port assignment (entries 41-50).
    PortsButton = 40,
    PortsTitle,
    PortsDuplicate,
    PortsColumnDevice,
    PortsColumnAdapter,
    PortsAutomatic,
    PortsSave,
    PortsCancel,
    PortsRescan,
    PortsMissing,
};
} // namespace tooltext

inline constexpr int kToolTextCount = 50;

// The English text of an entry (0-based); the text a language file without it shows.
QString defaultToolText(int entry);

} // namespace kinetra
