// kinetra-cli find: the port search, and who answered.

#include "commands.h"
#include "console.h"
#include "device_texts.h"
#include "drive_protocol.h"
#include "drive_session.h"

#include <QJsonObject>

namespace kinetra::cli {

ExitCode runFind(DriveSession& session)
{
    if (!session.findDrive())
        return ExitCode::NoDrive;
    const auto type = session.poll(protocol::kDeviceType);
    const auto version = type ? session.poll(protocol::kSoftwareVersion) : std::nullopt;
    const auto address = version ? session.poll(2410) : std::nullopt;
    if (!address)
        return session.failureCode();

    const qint64 code = type->toLongLong();
    const qint64 level = version->toLongLong();
    const QString model = deviceTypeText(code);
    const QString device = session.port->deviceName();
    if (session.options.json) {
        printJson(session, QJsonObject{{QStringLiteral("port"), session.state.comPort},
                                       {QStringLiteral("device"), device},
                                       {QStringLiteral("model"), model},
                                       {QStringLiteral("deviceType"), code},
                                       {QStringLiteral("softwareVersion"), level},
                                       {QStringLiteral("version"), versionText(level)},
                                       {QStringLiteral("busAddress"), address->toLongLong()}});
    } else {
        // The drive's field-bus address (2410), not the line protocol's address 11.
        session.console.data(QStringLiteral("COM%1  %2  %3  %4  bus address %5")
                                 .arg(session.state.comPort)
                                 .arg(device, model.isEmpty() ? QStringLiteral("device type %1").arg(code) : model,
                                      versionText(level), *address));
    }
    return ExitCode::Success;
}

} // namespace kinetra::cli
