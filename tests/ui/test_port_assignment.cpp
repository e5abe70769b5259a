// The port assignment window: what it shows for the devices found and the settings stored, and
// what OK and Cancel leave in the settings, opened from the tools panel of the connected window.
#include "fake_serial_devices.h"
#include "frm_ports.h"
#include "window_rig.h"

#include <QFile>
#include <QPushButton>

using namespace kinetra;
using namespace kinetra::test;

namespace {

using Pins = QMap<QString, QString>; // "COM3" -> device path

// Stores `pins`; the section as "com1=path com3=path".
QString pinsIn(MemorySettingsStore& settings, const Pins& pins = {})
{
    for (auto it = pins.begin(); it != pins.end(); ++it)
        settings.setValue(kApplicationName, "Ports", it.key(), it.value());
    QStringList out;
    for (auto it = settings.values.begin(); it != settings.values.end(); ++it)
        if (it.key().startsWith("kinetra/ports/"))
            out << it.key().mid(14) + "=" + it.value();
    return out.join(' ');
}

} // namespace

class TestPortAssignment : public QObject {
    Q_OBJECT
private slots:
    // With `stored` in the settings, the window shows COM1 to COM4 as "choice | adapter column"
    // (`shown`, unless empty). Each change is "COMn=path": a device of the list is picked,
    // anything else typed ("COMn=": a cleared box); "COMn=*" is the automatic entry, "COMn-" is
    // removed from the settings meanwhile (the simulated drive ends and removes its own pin),
    // "+path" is plugged in before a new search; the last change is the button. `after` is the
    // section and the message shown.
    void portAssignment_data()
    {
        QTest::addColumn<Pins>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("after");
        const QString usb = "FT232R USB UART, FTDI (0403:6001)", junk(5000, QChar(0xfffd));
        QTest::newRow("automatic: USB adapters first")
            << Pins{} << "automatic (/dev/ttyUSB0) | " + usb + "; automatic (/dev/ttyS0) | ; automatic | ; automatic | "
            << QStringList{"Cancel"} << " | ";
        QTest::newRow("pinned pseudo-terminal, adapter and missing device")
            << Pins{{"COM1", "/dev/pts/7"}, {"COM3", "/dev/ttyUSB0"}, {"COM4", "/dev/ttyUSB5"}}
            << "/dev/pts/7 | ; automatic (/dev/ttyS0) | ; /dev/ttyUSB0 | " + usb + "; /dev/ttyUSB5 | not present"
            << QStringList{"OK"} << "com1=/dev/pts/7 com3=/dev/ttyUSB0 com4=/dev/ttyUSB5 | ";
        QTest::newRow("garbage is kept where the window shows it")
            << Pins{{"COM0", "x"}, {"COM1", "  "}, {"COM2", junk}, {"COM3", "\t/dev/pts/7 "}, {"COM4", "automatic"}}
            << "automatic (/dev/ttyUSB0) | " + usb + "; " + junk + " | not present; /dev/pts/7 | ; automatic | "
            << QStringList{"OK"} << "com0=x com1=   com2=" + junk + " com3=\t/dev/pts/7  | ";
        const Pins pins{{"COM1", "/dev/pts/7"}, {"COM2", "/dev/ttyUSB5"}};
        const QString before = "com1=/dev/pts/7 com2=/dev/ttyUSB5 | ";
        QTest::newRow("pick, type, search again")
            << pins << "" << QStringList{"COM3=/dev/ttyS0", "COM4= /dev/pts/9 ", "+/dev/ttyUSB1", "OK"}
            << "com1=/dev/pts/7 com2=/dev/ttyUSB5 com3=/dev/ttyS0 com4=/dev/pts/9 | ";
        QTest::newRow("a pin removed meanwhile")
            << pins << "" << QStringList{"COM1-", "COM3=/dev/ttyS0", "OK"} << "com2=/dev/ttyUSB5 com3=/dev/ttyS0 | ";
        QTest::newRow("back to automatic") << pins << "" << QStringList{"COM1=", "COM2=*", "OK"} << " | ";
        QTest::newRow("cancel") << pins << "" << QStringList{"COM1=", "COM3=/dev/ttyS0", "Cancel"} << before;
        QTest::newRow("one device twice") << pins << "" << QStringList{"COM5=/dev/pts/7", "OK"}
                                          << before + "COM1 and COM5 are both assigned to /dev/pts/7";
        QTest::newRow("a link and its device")
            << pins << "" << QStringList{"COM6=<dir>/link", "COM7=<dir>/device", "OK"}
            << before + "COM6 and COM7 are both assigned to <dir>/device";
    }
    void portAssignment()
    {
        QFETCH(Pins, stored);
        QFETCH(QString, shown);
        QFETCH(QStringList, changes);
        QTemporaryDir dir;
        QFile(dir.filePath("device")).open(QIODevice::WriteOnly);
        QFile::link(dir.filePath("device"), dir.filePath("link"));
        WindowRig r;
        // Listed out of port order: a built-in port, then a USB adapter; the pseudo-terminal is not.
        FakeSerialDevices devices;
        devices.listed = {{"/dev/ttyS0"}, {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", 0x0403, 0x6001}};
        devices.unlisted = {"/dev/pts/7"};
        r.window->setSerialDeviceSource(&devices);
        pinsIn(r.settings, stored);
        r.started().connected();
        int result = -1;
        r.onModal = [&](QDialog& d) {
            auto& w = static_cast<frmPorts&>(d);
            QStringList rows;
            for (int n = 1; n <= 4; ++n)
                rows << w.choice(n)->currentText() + " | " + w.adapterShown(n);
            if (!shown.isEmpty())
                QCOMPARE(rows.join("; "), shown);
            for (QString change : changes.replaceInStrings("<dir>", dir.path())) {
                QComboBox* box = w.choice(change.mid(3, 1).toInt());
                const QString path = change.section('=', 1);
                if (change == "OK" || change == "Cancel")
                    d.findChild<QPushButton*>("cmd" + change)->click();
                else if (change.startsWith('+')) {
                    devices.listed << SerialDevice(change.mid(1));
                    d.findChild<QPushButton*>("cmdRescan")->click();
                } else if (change.endsWith('-'))
                    r.settings.remove(kApplicationName, "Ports", change.chopped(1));
                else if (path == "*" || box->findText(path) > 0)
                    box->setCurrentIndex(std::max(0, box->findText(path)));
                else
                    box->setEditText(path);
            }
            result = d.result();
        };
        QCOMPARE(r.find<QPushButton>("cmdPorts")->accessibleName(), "Ports");
        r.find<QPushButton>("cmdPorts")->click();
        QTEST(pinsIn(r.settings) + " | " + r.dialogs.texts().join("").section(". ", 0, 0).replace(dir.path(), "<dir>"),
              "after");
        QCOMPARE(result == QDialog::Accepted, changes.last() == "OK" && r.dialogs.shown.isEmpty());
        // The window never talks to the drive; the link stays on its port until the next Connect.
        QVERIFY(r.port.isOpen() && r.state.comOnline == 1 && r.port.portNumber() == 1);
    }
};

QTEST_MAIN(TestPortAssignment)
#include "test_port_assignment.moc"
