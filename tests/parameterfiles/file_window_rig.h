#pragma once

#include "drive_com.h"
#include "fake_serial_port.h"
#include "file_window_elements.h"
#include "frm_file.h"
#include "hand_written_file.h"
#include "link_presenter.h"
#include "memory_settings_store.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"
#include "sim_device.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

namespace kinetra::test {

// The file window on virtual time: the simulated drive (level 540, its answers taking the time
// of their characters) on COM2, the main window recorded, the file window's own elements
// reached through the same routing the program uses.
struct FileWindowRig {
    VirtualClock clock;
    FakeSerialPort port{clock};
    SimDevice drive;
    SharedState state;
    RecordingWindow mainWindow;
    FileWindowElements window{mainWindow};
    RecordingDialogs dialogs;
    LinkPresenter presenter{state, window, dialogs};
    MemorySettingsStore settings;
    std::unique_ptr<DriveCom> com;
    std::unique_ptr<frmFile> file;
    QTemporaryDir dir;
    QList<QPair<int, QString>> shown; // values a load showed, as (command, text)
    // What the user does when a load into the drive asks whether to save; by default nothing.
    std::function<void()> saveQuestion;
    int saveQuestions = 0, progressPeak = 0;

    explicit FileWindowRig(sim::DriveConfig config = {}) : drive((config.pacing = true, config))
    {
        drive.attachTo(port, 2);
        for (int i = 0; i < SharedState::kMessageCount; ++i)
            state.messageText[static_cast<size_t>(i)] = QStringLiteral("msg%1").arg(i);
        com = std::make_unique<DriveCom>(state, port, clock, presenter);
        // The part of the live display the level depends on.
        com->setValueSink([this](QString& value, int index) {
            if (index == 2402)
                state.firmwareLevel = static_cast<qint16>(value.toInt());
        });
        settings.setValue("KINETRA", "System", "Explore", dir.path());
    }

    frmFile& open()
    {
        file = std::make_unique<frmFile>(*com, window, dialogs, settings);
        file->setValueSink([this](QString& value, int index) { shown << qMakePair(index, value); });
        file->setSaveWindowOpener([this] {
            ++saveQuestions;
            if (saveQuestion)
                saveQuestion();
        });
        QObject::connect(progressBar(), &QProgressBar::valueChanged,
                         [this](int v) { progressPeak = std::max(progressPeak, v); });
        return *file;
    }

    QLineEdit* box(const char* name) const { return file->findChild<QLineEdit*>(name); }
    QProgressBar* progressBar() const { return file->findChild<QProgressBar*>("ProgressBar2"); }
    void type(const QString& name) const { box("txtFile")->setText(name); }
    static void click(QWidget* window, const char* button)
    {
        QTest::mouseClick(window->findChild<QAbstractButton*>(button), Qt::LeftButton);
    }

    // Write frames sent from the `from`-th frame on, as (command number, value text), in order.
    QList<QPair<int, QByteArray>> writes(qsizetype from = 0) const
    {
        QList<QPair<int, QByteArray>> out;
        for (const auto& w : port.written().mid(from))
            if (!w.bytes.endsWith(char(5)) && w.bytes.size() >= 10)
                out << qMakePair(w.bytes.mid(4, 4).toInt(), w.bytes.mid(8, w.bytes.indexOf(char(3)) - 8));
        return out;
    }
    QList<int> writtenCommands(qsizetype from = 0) const
    {
        QList<int> out;
        for (const auto& w : writes(from))
            out << w.first;
        return out;
    }
};

} // namespace kinetra::test
