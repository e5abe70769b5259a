// Saves pictures of the diagnostics page live against the simulated drive on virtual time: a
// canOPEN drive moving back and forth (German) and a ProfiBus drive with its emergency-stop
// circuit open (English), so that a person can look at the chart, lamps, status texts and the
// field-bus panel:
// The chart's recording, paused after a motion, with its time axis, in German and English.
//   QT_QPA_PLATFORM=offscreen kinetra-diagnose-shots [<folder>]
#include "diagnose_window_rig.h"

#include <QApplication>
#include <QTextStream>

using namespace kinetra;
using namespace kinetra::test;

namespace {

void save(QWidget* widget, const QString& path)
{
    QApplication::processEvents();
    widget->grab().save(path);
    QTextStream(stdout) << path << '\n';
}

void report(const DiagnoseWindowRig& r)
{
    for (const QString& shown : r.dialogs.texts())
        QTextStream(stderr) << "message box: " << shown << '\n';
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kinetra-shots");
    QDir().mkpath(folder);

    {
        sim::DriveConfig config;
        config.deviceType = 2013;
        config.softwareVersion = 540;
        config.inputs = 1 | 4;
        config.pacing = true;
        DiagnoseWindowRig r(config, 1);
        if (!r.connect())
            return 1;
        r.tabs()->setCurrentIndex(4);
        // At the line rate the chart spans a few seconds; the picture is taken mid-motion.
        r.com->timerReceive().setInterval(1);
        r.moveTo(20000, 2.5);
        r.moveTo(3000, 1.2);
        save(r.window.get(), folder + QStringLiteral("/diagnose-canopen-de.png"));
        save(r.find(QStringLiteral("picDiag")), folder + QStringLiteral("/diagnose-canopen-chart.png"));
        r.clock.advance(3);
        save(r.window.get(), folder + QStringLiteral("/diagnose-canopen-de-in-position.png"));
        report(r);
    }
    {
        sim::DriveConfig config;
        config.deviceType = 2014;
        config.softwareVersion = 540;
        config.inputs = 2;
        config.emergencyStopOpen = true;
        DiagnoseWindowRig r(config, 0);
        if (!r.connect())
            return 1;
        r.tabs()->setCurrentIndex(4);
        r.clock.advance(5);
        save(r.window.get(), folder + QStringLiteral("/diagnose-profibus-en.png"));
        report(r);
    }
    for (const int language : {1, 0}) {
        sim::DriveConfig config;
        config.softwareVersion = 540;
        config.pacing = true;
        DiagnoseWindowRig r(config, language);
        if (!r.connect())
            return 1;
        r.tabs()->setCurrentIndex(4);
        r.com->timerReceive().setInterval(1);
        r.moveTo(20000, 2.5);
        r.moveTo(3000, 2.5);
        r.find<QAbstractButton>(QStringLiteral("cmdChartPause"))->click();
        r.clock.advance(1);
        const QString name = language == 1 ? QStringLiteral("de") : QStringLiteral("en");
        save(r.window.get(), folder + QStringLiteral("/diagnose-chart-paused-%1.png").arg(name));
        save(r.find(QStringLiteral("chartArea")), folder + QStringLiteral("/diagnose-chart-area-%1.png").arg(name));
        report(r);
    }
    {
        // French has the longest status texts; a model without a name shows its note in box 1.
        sim::DriveConfig config;
        config.deviceType = 2020;
        config.softwareVersion = 540;
        config.emergencyStopOpen = true;
        DiagnoseWindowRig r(config, 3);
        if (!r.connect())
            return 1;
        r.tabs()->setCurrentIndex(4);
        r.clock.advance(3);
        save(r.window.get(), folder + QStringLiteral("/diagnose-fr.png"));
        report(r);
    }
    return 0;
}
