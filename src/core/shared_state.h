#pragma once

#include "parameter_table.h"
#include "tool_texts.h"
#include "unsaved_values.h"

#include <QString>
#include <QStringList>

#include <array>

namespace kinetra {

// The table and the flags that the link and the windows share. The application makes one and
// hands it around by reference; the names are the ones every part of the tool uses.
struct SharedState {
    ParameterTable table;

    int comPort = 0; // 0 until the first port search sets it
    int comOnline = 0;
    bool comBusy = false;
    bool transferActive = false;
    qint16 transferCount = 0;
    qint16 transferTotal = 190;
    bool fileWindowActive = false;
    bool stopRequest = false;
    bool quietWait = false;
    qint16 firmwareLevel = 0;
    int decPnt = 0;
    int paramsLoaded = 0;
    int driveLoadActive = 0;

    static constexpr int kMessageCount = 101;
    std::array<QString, kMessageCount> messageText{};
    // The selection lists' texts of the loaded language file, kept to rebuild the lists whose
    // items depend on the drive's level when the level changes.
    QStringList selectionTexts;
    // The seventh section's texts, English until a language file gives its own.
    std::array<QString, kToolTextCount> toolText = defaultToolTexts();

    // Control characters of the frame format; set by Init, but valid from the start.
    char EOT = 4;
    char STX = 2;
    char ETX = 3;
    char ENQ = 5;
    char ACK = 6;
    char NAK = 21;

    // Flags that several windows share.
    int languageIndex = 1;
    bool expertMode = false;
    int splashVariant = 0;
    bool loginGranted = false;
    bool testRunning = false;
    bool testToggle = false;
    int busType = 0;
    bool chartRecording = false;
    // Values the drive accepted and has not saved, and the values read to go back to.
    UnsavedValues unsaved;

    QString message(int index) const
    {
        return index >= 0 && index < kMessageCount ? messageText[static_cast<size_t>(index)] : QString();
    }

    QString tool(int entry) const
    {
        return entry >= 0 && entry < kToolTextCount ? toolText[static_cast<size_t>(entry)] : QString();
    }

    static std::array<QString, kToolTextCount> defaultToolTexts()
    {
        std::array<QString, kToolTextCount> texts;
        for (int i = 0; i < kToolTextCount; ++i)
            texts[static_cast<size_t>(i)] = defaultToolText(i);
        return texts;
    }

    // The software version (2402) as the drive reports it sets the level the level-dependent
    // rules ask for; a text that is no 16-bit integer leaves the level as it was.
    void takeSoftwareVersion(const QString& text)
    {
        bool ok = false;
        const short level = text.trimmed().toShort(&ok);
        if (ok)
            firmwareLevel = level;
    }

    // One more completed transaction of a bulk transfer; wraps to 0 past the total.
    void countTransfer()
    {
        ++transferCount;
        if (transferCount > transferTotal)
            transferCount = 0;
    }
};

} // namespace kinetra
