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
    if (!file_.isOpen())
        return;
    QByteArray line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toLatin1();
    if (bytes.isEmpty())
        line += " -- trace started";
    else
        line += (sent ? " -> " : " <- ") + describeControlCharacters(bytes);
    line += '\n';
    file_.write(line);
    file_.flush();
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
    WireTrace* t = trace.get();
    com.setWireObserver([t](bool sent, const QByteArray& bytes) { t->record(sent, bytes); });
    return trace;
}

} // namespace kinetra
