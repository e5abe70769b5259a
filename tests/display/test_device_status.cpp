// The drive's identification and field-bus state as the window shows them.
#include "device_status.h"
#include "device_texts.h"
#include "display_rig.h"

#include <QLocale>
#include <QTest>

#include <limits>

using namespace kinetra;
using namespace kinetra::test;

class TestDeviceStatus : public QObject {
    Q_OBJECT
private slots:
    void deviceTypeNamesTheDriveAndHidesWhatItLacks_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("hardware");
        QTest::addColumn<int>("busType");
        QTest::addColumn<bool>("encoderTaken"); // checked and hidden, "Parameter speichern" hidden
        QTest::addColumn<bool>("olderPivora");  // note 79, impulse boxes disabled, flank list hidden
        const QString unchanged = QStringLiteral("before");
        QTest::newRow("Pivora canOPEN") << 2013 << "Pivora canOPEN" << 1 << true << false;
        QTest::newRow("Pivora RS232") << 2010 << "Pivora RS232" << 0 << true << false;
        QTest::newRow("older Pivora canOPEN") << 2053 << "Pivora canOPEN" << 1 << true << true;
        QTest::newRow("older Pivora ProfiBus") << 2054 << "Pivora ProfiBus" << 2 << true << true;
        QTest::newRow("unnamed ProfiBus") << 2024 << unchanged << 2 << false << false;
        QTest::newRow("Corvex RS422") << 2002 << "Corvex RS422" << 0 << false << false;
        QTest::newRow("Tusk1 canOPEN") << 2033 << "Tusk1 canOPEN" << 1 << false << false;
        QTest::newRow("no family 4") << 2043 << unchanged << 0 << false << false;
        QTest::newRow("no interface 5") << 2015 << unchanged << 0 << false << false;
        QTest::newRow("beyond the table") << 2063 << unchanged << 0 << false << false;
    }
    void deviceTypeNamesTheDriveAndHidesWhatItLacks()
    {
        QFETCH(int, code);
        QFETCH(QString, hardware);
        QFETCH(int, busType);
        QFETCH(bool, encoderTaken);
        QFETCH(bool, olderPivora);
        DisplayRig r;
        r.state.busType = 2;
        r.window.setText(el::txtPara(2401), QStringLiteral("before"));
        r.show(code, 2401);
        QCOMPARE(r.text(el::txtPara(2401)), hardware);
        QCOMPARE(r.state.busType, busType);
        QCOMPARE(r.extra.isChecked(el::chkEncoder()), encoderTaken);
        QCOMPARE(r.visible(el::chkEncoder()), !encoderTaken);
        QCOMPARE(r.visible(el::cmdComand(153)), !encoderTaken);
        QCOMPARE(r.text(el::txtPara(1)), olderPivora ? QStringLiteral("msg79") : QString());
        for (int box : {2106, 3106})
            QCOMPARE(r.window.enabled.value(RecordingWindow::key(el::txtPara(box)), true), !olderPivora);
        QCOMPARE(r.visible(el::cmbPara(2125)), !olderPivora);
        QCOMPARE(r.visible(el::lblPara(2125)), !olderPivora);
    }

    // The texts alone, as the CLI prints them for "find".
    void typeAndVersionTexts_data()
    {
        QTest::addColumn<qint64>("type");
        QTest::addColumn<QString>("model");
        QTest::addColumn<qint64>("version");
        QTest::addColumn<QString>("versionShown");
        QTest::newRow("Corvex RS232") << qint64(2000) << "Corvex RS232" << qint64(1200) << "V12-00";
        QTest::newRow("Tusk1 ProfiBus") << qint64(2034) << "Tusk1 ProfiBus" << qint64(5) << "V0-05";
        QTest::newRow("family without a name") << qint64(2023) << "" << qint64(-5) << "V-0-05";
        QTest::newRow("interface 5") << qint64(2005) << "" << std::numeric_limits<qint64>::min()
                                     << "V-92233720368547758-08";
    }
    void typeAndVersionTexts()
    {
        QFETCH(qint64, type);
        QFETCH(qint64, version);
        QTEST(deviceTypeText(type), "model");
        QTEST(versionText(version), "versionShown");
    }

    void softwareVersionShowsLevelAndTabs_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("tabs");
        QTest::newRow("499") << 499 << "V4-99" << false;
        QTest::newRow("500") << 500 << "V5-00" << true;
        QTest::newRow("1200") << 1200 << "V12-00" << true;
        QTest::newRow("7") << 7 << "V0-07" << false;
    }
    void softwareVersionShowsLevelAndTabs()
    {
        QFETCH(int, version);
        QFETCH(QString, shown);
        QFETCH(bool, tabs);
        DisplayRig r;
        r.show(version, 2402);
        QCOMPARE(int(r.state.firmwareLevel), version);
        QCOMPARE(r.text(el::txtPara(2402)), shown);
        QCOMPARE(r.extra.tabVisible.value(4, false), tabs);
        QCOMPARE(r.extra.tabVisible.value(5, false), tabs);
    }

    void operatingTimeInHoursAndMinutes_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("shown");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("59 en") << english << 59 << "0.59h";
        QTest::newRow("59 de") << german << 59 << "0,59h";
        QTest::newRow("60 en") << english << 60 << "1.00h";
        QTest::newRow("125") << english << 125 << "2.05h";
        QTest::newRow("0") << english << 0 << "0.00h";
        // Years of running: no thousands separator, and no hour-by-hour counting.
        QTest::newRow("many hours") << german << 1999999999 << "33333333,19h";
    }
    void operatingTimeInHoursAndMinutes()
    {
        QFETCH(QLocale, locale);
        QFETCH(int, minutes);
        QFETCH(QString, shown);
        const QLocale previous;
        QLocale::setDefault(locale);
        DisplayRig r;
        r.show(minutes, 2429);
        QLocale::setDefault(previous);
        QCOMPARE(r.text(el::txtPara(2429)), shown);
    }

    void fieldBusStateInPanelThree_data()
    {
        QTest::addColumn<int>("busType");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<bool>("raised");
        QTest::newRow("ProfiBus data exchange") << 2 << 4 << "ProfiBus : DATA EX " << true;
        QTest::newRow("ProfiBus unknown state keeps the text") << 2 << 5 << "before" << false;
        QTest::newRow("ProfiBus error") << 2 << 3 << "ProfiBus : ERROR   " << false;
        QTest::newRow("ProfiBus offline") << 2 << 0 << "ProfiBus : OFFLINE " << false;
        QTest::newRow("ProfiBus waiting for configuration") << 2 << 2 << "ProfiBus : WAIT_CFG" << false;
        QTest::newRow("canOPEN pre-operational") << 1 << 127 << "canOPEN : PRE_OPERATE" << true;
        QTest::newRow("canOPEN operational") << 1 << 5 << "canOPEN : OPERATE" << true;
        QTest::newRow("canOPEN stopped") << 1 << 4 << "canOPEN : STOP_CAN" << false;
        QTest::newRow("canOPEN initialising") << 1 << 0 << "canOPEN : INIT_CAN " << false;
        QTest::newRow("serial drive empties the panel") << 0 << 4 << "" << false;
    }
    void fieldBusStateInPanelThree()
    {
        QFETCH(int, busType);
        QFETCH(int, state);
        QFETCH(QString, panel);
        QFETCH(bool, raised);
        DisplayRig r;
        r.state.busType = busType;
        r.window.setStatusText(3, QStringLiteral("before"));
        r.window.setStatusBevel(3, Bevel::Raised);
        r.show(state, 2411);
        QCOMPARE(r.window.statusText.value(3), panel);
        QCOMPARE(r.window.statusBevel.value(3), raised ? Bevel::Raised : Bevel::Sunken);
    }
};

QTEST_GUILESS_MAIN(TestDeviceStatus)
#include "test_device_status.moc"
