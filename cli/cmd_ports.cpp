// kinetra-cli ports: which device each COM number stands for, and whether it opens.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "port_names.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kinetra::cli {

namespace {

QString openErrorText(PortOpenError error)
{
    switch (error) {
    case PortOpenError::PermissionDenied: return QStringLiteral("access denied");
    case PortOpenError::InUse: return QStringLiteral("in use");
    case PortOpenError::NoSuchDevice: return QStringLiteral("no such device");
    case PortOpenError::None:
    case PortOpenError::Other: break;
    }
    return QStringLiteral("cannot be opened");
}

} // namespace

void printJson(DriveSession& session, const QJsonValue& value)
{
    const QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    session.console.dataBytes(doc.toJson(QJsonDocument::Compact) + '\n');
}

ExitCode runPorts(DriveSession& session)
{
    const PortNames names(*session.settings);
    QJsonArray rows;
    // The same listing as the tool's port assignment window.
    for (const PortAssignment& assigned : names.assignments()) {
        const int n = assigned.port;
        const QString& device = assigned.device;
        bool opens = false;
        QString state = QStringLiteral("no device");
        if (!device.isEmpty()) {
            // A port of its own for each try, so the link's port is never touched.
            QtSerialPort probe(*session.settings);
            probe.setPortNumber(n);
            probe.setSettings(QStringLiteral("9600,n,8,1"));
            opens = probe.open();
            state = opens ? QStringLiteral("opens") : openErrorText(probe.lastOpenError());
            if (!probe.lastOpenHolder().isEmpty())
                state += QStringLiteral(" by ") + probe.lastOpenHolder();
            probe.close();
        }
        if (session.options.json) {
            rows.append(QJsonObject{{QStringLiteral("port"), n},
                                    {QStringLiteral("name"), QStringLiteral("COM%1").arg(n)},
                                    {QStringLiteral("device"), device},
                                    {QStringLiteral("opens"), opens},
                                    {QStringLiteral("state"), state}});
        } else {
            session.console.data(QStringLiteral("COM%1").arg(n).leftJustified(6) +
                                 (device.isEmpty() ? QStringLiteral("-") : device).leftJustified(24) +
                                 QLatin1Char(' ') + state);
        }
    }
    if (session.options.json)
        printJson(session, rows);
    return ExitCode::Success;
}

} // namespace kinetra::cli
