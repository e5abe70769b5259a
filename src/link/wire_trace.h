#pragma once

#include <QFile>
#include <QString>

#include <memory>

namespace kinetra {

class DriveCom;
class SettingsStore;

// A log of every frame sent to the drive and every answer received, one line each with a
// timestamp and control characters by name, for the user to send to support:
//   2026-12-06 11:32:01.123 -> <EOT>11<STX>2000<ENQ>
//   2026-12-06 11:32:01.131 <- <STX>20000<ETX>2
// It is switched on by the settings key Trace/Enabled (1 or true) or by the environment
// variable KINETRA_TRACE=1, and written to kinetra/wire-trace.log in the user's data folder.
class WireTrace {
public:
    explicit WireTrace(const QString& path);

    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return file_.fileName(); }
    void record(bool sent, const QByteArray& bytes);
    // A line of the link's own, marked "--".
    void note(const QByteArray& text);
    // Records every frame and note of `com` from now on; the trace must outlive the link's use.
    void attach(DriveCom& com);

    static bool enabled(const SettingsStore& settings);
    static QString defaultPath();
    // Starts the trace on `com` when it is switched on; the trace lives as long as the result.
    static std::unique_ptr<WireTrace> install(DriveCom& com, const SettingsStore& settings);

private:
    void writeLine(const QByteArray& text);

    QFile file_;
};

inline const QString kTraceSection = QStringLiteral("Trace");
inline const QString kTraceKey = QStringLiteral("Enabled");
inline constexpr char kTraceEnvironment[] = "KINETRA_TRACE";

} // namespace kinetra
