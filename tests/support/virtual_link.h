#pragma once

#include "drive_com.h"
#include "fake_serial_port.h"
#include "frame.h"
#include "link_presenter.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"

#include <QList>
#include <QPair>

#include <memory>

namespace kinetra::test {

// The tool's link on virtual time; a rig derived from it attaches a drive. Message n reads
// "msg<n>". Every value handed to the display is recorded and handed back changed, so a test
// sees that the table keeps the drive's text and not the display's.
struct VirtualLink {
    VirtualClock clock;
    FakeSerialPort port{clock};
    SharedState state;
    RecordingWindow window;
    RecordingDialogs dialogs;
    LinkPresenter presenter{state, window, dialogs};
    std::unique_ptr<DriveCom> com;
    QList<QPair<int, QString>> shown;

    VirtualLink()
    {
        for (int i = 0; i < SharedState::kMessageCount; ++i)
            state.messageText[static_cast<size_t>(i)] = QStringLiteral("msg%1").arg(i);
        com = std::make_unique<DriveCom>(state, port, clock, presenter);
        com->setValueSink([this](QString& value, int index) {
            shown << qMakePair(index, value);
            value = QStringLiteral("shown ") + value;
        });
    }
    // Opens COM`number` and takes the link online there, as a successful search leaves it.
    void goOnline(int number)
    {
        port.setPortNumber(number);
        port.open();
        state.comPort = number;
        state.comOnline = 1;
    }
    // Poll frames sent, by command number, in order.
    QList<int> polls() const
    {
        QList<int> out;
        for (const auto& w : port.written())
            if (w.bytes.endsWith(ctl::ENQ))
                out << w.bytes.mid(4, 4).toInt();
        return out;
    }
    int frames() const { return static_cast<int>(port.written().size()); }
};

} // namespace kinetra::test
