#pragma once

#include "drive_com.h"
#include "fake_serial_port.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"
#include "table_drive.h"

#include <QList>
#include <QPair>

#include <memory>

namespace kinetra::test {

// A link on virtual time with a table drive on port `drivePort`, opened and online; every value
// handed to the display is recorded.
struct LinkRig {
    VirtualClock clock;
    FakeSerialPort port{clock};
    TableDrive drive;
    SharedState state;
    RecordingWindow window;
    RecordingDialogs dialogs;
    std::unique_ptr<DriveCom> com;
    QList<QPair<int, QString>> shown;

    explicit LinkRig(int drivePort = 1, bool online = true)
    {
        port.attach(drivePort, &drive);
        // A status block of five right-aligned fields.
        drive.values[2170] = QByteArray("         0").repeated(5);
        for (int i = 0; i < SharedState::kMessageCount; ++i)
            state.messageText[static_cast<size_t>(i)] = QStringLiteral("msg%1").arg(i);
        if (online) {
            port.setPortNumber(drivePort);
            port.open();
            state.comPort = drivePort;
            state.comOnline = 1;
        }
        com = std::make_unique<DriveCom>(state, port, clock, window, dialogs);
        com->setValueSink([this](QString& value, int index) {
            shown << qMakePair(index, value);
            value = QStringLiteral("shown ") + value;
        });
    }

    // Poll frames sent, by command number, in order.
    QList<int> polls() const
    {
        QList<int> out;
        for (const auto& w : port.written())
            if (w.bytes.endsWith(char(5)))
                out << w.bytes.mid(4, 4).toInt();
        return out;
    }
    QList<int> pollPorts() const
    {
        QList<int> out;
        for (const auto& w : port.written())
            out << w.port;
        return out;
    }
};

} // namespace kinetra::test
