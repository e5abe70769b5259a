#include "wire_trace.h"

#include "drive_com.h"
#include "frame.h"
#include "settings_store.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kinetra {

namespace {

bool switchedOn(const QString& text)
{
    const QString t = text.trimmed().toLower();
    return t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("yes") ||
           t == QLatin1String("on");
}

} // namespace

WireTrace::WireTrace(const QString& path) : file_(path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Appended to, so that the trace of a session that ended badly is still there.
    if (file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        record(true, QByteArray());
}

void WireTrace::record(bool sent, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        note("trace started");
    else
        writeLine((sent ? " -> " : " <- ") + describeControlCharacters(bytes));
}

void WireTrace::note(const QByteArray& text)
{
    writeLine(" -- " + text);
}

void WireTrace::writeLine(const QByteArray& text)
{
    if (!file_.isOpen())
        return;
    const QByteArray stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toLatin1();
    file_.write(stamp + text + '\n');
    file_.flush();
}

void WireTrace::attach(DriveCom& com)
{
    com.setWireObserver([this](bool sent, const QByteArray& bytes) { record(sent, bytes); });
    com.setTraceNote([this](const QByteArray& text) { note(text); });
}

bool WireTrace::enabled(const SettingsStore& settings)
{
    return switchedOn(qEnvironmentVariable(kTraceEnvironment)) ||
           switchedOn(settings.value(kApplicationName, kTraceSection, kTraceKey));
}

QString WireTrace::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kinetra/wire-trace.log");
}

std::unique_ptr<WireTrace> WireTrace::install(DriveCom& com, const SettingsStore& settings)
{
    if (!enabled(settings))
        return nullptr;
    auto trace = std::make_unique<WireTrace>(defaultPath());
    if (!trace->isOpen())
        return nullptr;
    trace->attach(com);
    return trace;
}

} // namespace kinetra
