// Parameter entry on the real window against the simulated drive on virtual time: key filter,
// commit with scaling, label colours, the focus-lost question and the selection lists.
#include "window_rig.h"

#include "input_inside_answer.h"

#include "entry_rules.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"
#include "window_layout_table.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>

using namespace kinetra;
using namespace kinetra::test;

namespace {

sim::DriveConfig level(int version)
{
    sim::DriveConfig c;
    c.softwareVersion = version;
    return c;
}

bool edited(WindowRig& r, int index)
{
    return r.find<QLabel>(QStringLiteral("lblPara_%1").arg(index))->property("edited").toBool();
}

} // namespace

class TestParameterEntry : public QObject {
    Q_OBJECT
private slots:
    void keyFilterRefusesWhatIsNoNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("letters") << QStringLiteral("1a2B") << QStringLiteral("12");
        QTest::newRow("point and semicolon") << QStringLiteral("3.5;") << QStringLiteral("35");
        QTest::newRow("comma and minus") << QStringLiteral("-1,5") << QStringLiteral("-1,5");
        QTest::newRow("ten characters at most") << QStringLiteral("123456789012") << QStringLiteral("1234567890");
    }
    void keyFilterRefusesWhatIsNoNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        WindowRig r;
        r.started();
        r.type(2110, typed, false);
        QCOMPARE(r.box(2110)->text(), kept);
        QVERIFY(edited(r, 2110));
    }

    void theAddressTakesDigitsOnly()
    {
        WindowRig r;
        r.started();
        for (const char c : {',', '-', 'x'}) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QLatin1Char(c)));
            QVERIFY(!r.window->txtPara_KeyPress(2410, &key));
        }
        QKeyEvent digit(QEvent::KeyPress, Qt::Key_4, Qt::NoModifier, QStringLiteral("4"));
        QVERIFY(r.window->txtPara_KeyPress(2410, &digit));
    }

    void enterScalesByEntryClass_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("decPnt");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, int box, int decPnt, const char* typed, const char* written,
                            const char* shown) {
            QTest::newRow(name) << box << decPnt << QString(typed) << QString(written) << QString(shown);
        };
        row("position, 1 place", 2101, 1, "7", "2101=70", "7,0");
        row("extra decimal stays a digit", 2101, 1, "7,25", "2101=725", "72,5");
        row("position, 2 places", 2102, 2, "12,5", "2102=1250", "12,50");
        row("position, no places", 2102, 0, "12,5", "2102=125", "125");
        row("thousandths", 2115, 1, "3", "2115=3000", "3,000");
        row("hundredths", 2110, 1, "1,234", "2110=1234", "12,34");
        row("plain", 2106, 1, "1,5", "2106=15", "15");
        row("negative", 2103, 1, "-2", "2103=-20", "-2,0");
        row("simple panel mirror", 3102, 1, "4", "2102=40", "4,0");
        // The drive gets a canonical integer, whatever was typed.
        row("hundredths typed whole", 2110, 1, "0,25", "2110=25", "0,25");
        row("negative, all decimals typed", 2103, 2, "-0,50", "2103=-50", "-0,50");
        row("hundredths scaled", 2110, 1, "0,5", "2110=50", "0,50");
        row("zero position as shown", 2101, 1, "0,0", "2101=0", "0,0");
        row("leading zeros", 2106, 1, "007", "2106=7", "7");
        row("minus zero", 2103, 0, "-0", "2103=0", "0");
    }
    void enterScalesByEntryClass()
    {
        QFETCH(int, box);
        QFETCH(int, decPnt);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QString, shown);
        WindowRig r;
        r.started().connected();
        r.state.decPnt = decPnt;
        const auto from = r.mark();
        r.type(box, typed);
        QCOMPARE(r.writes(from), QStringList{written});
        QCOMPARE(r.box(box)->text(), shown);
        QVERIFY(!edited(r, box));
        QCOMPARE(r.find<QLineEdit>("txtHelp_0")->text(), QStringLiteral("msg40"));
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // The window's boxes and kinetra-cli's set take their scaling from the same catalogue rows:
    // every editable box of the window, typed into and committed, sends what the command line
    // sends for the same entry.
    void theWindowAndTheCommandLineSendAlike_data()
    {
        QTest::addColumn<int>("decPnt");
        for (int decPnt = 0; decPnt <= 3; ++decPnt)
            QTest::newRow(qPrintable(QStringLiteral("decPnt %1").arg(decPnt))) << decPnt;
    }
    void theWindowAndTheCommandLineSendAlike()
    {
        QFETCH(int, decPnt);
        WindowRig r;
        r.started().connected();
        r.state.decPnt = decPnt;
        int boxes = 0;
        for (const FieldSpec& field : parameterFields()) {
            // Boxes 10-12 hold the endurance test's positions and pause; they never reach the drive.
            if (field.kind != FieldKind::Text || field.cmd < 100 || parameterRule(commandOfBox(field.cmd)).readOnly)
                continue;
            ++boxes;
            const int cmd = commandOfBox(field.cmd);
            for (const QString& typed :
                 {QStringLiteral("7"), QStringLiteral("-7,5"), QStringLiteral("0,25"), QStringLiteral("12,345")}) {
                const cli::EntryValue cliEntry = cli::entryToRaw(typed, cmd, decPnt);
                QVERIFY(cliEntry.ok);
                const auto from = r.mark();
                const auto boxesShown = r.dialogs.shown.size();
                r.type(field.cmd, typed);
                QCOMPARE(r.writes(from), QStringList{QStringLiteral("%1=%2").arg(cmd).arg(cliEntry.raw)});
                // A value the drive refuses puts the box back; an accepted one shows as the CLI says.
                if (r.dialogs.shown.size() == boxesShown)
                    QCOMPARE(r.box(field.cmd)->text(), cliEntry.display);
            }
        }
        QVERIFY(boxes > 50);
    }

    // The decimal places changed while online: every position box shows the drive's value under
    // the new setting at once, so Enter on an unchanged box sends the value the drive holds. The
    // switch lands inside a poll's answer wait, as a technician's click does.
    void decimalPlacesChangedWhileOnlineShowPositionsAgain_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<AnswerPoint>("point");
        QTest::newRow("x to x.x") << 0 << 1 << "-1234,5" << AnswerPoint::FirstCharacter;
        QTest::newRow("x.x to x.xx") << 1 << 2 << "-123,45" << AnswerPoint::Half;
        QTest::newRow("x.xx to x") << 2 << 0 << "-12345" << AnswerPoint::LastCharacter;
    }
    void decimalPlacesChangedWhileOnlineShowPositionsAgain()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, shown);
        QFETCH(AnswerPoint, point);
        sim::DriveConfig config;
        config.pacing = true;
        config.startValues = {{2101, -12345}, {2102, 500}};
        WindowRig r(config, {{"Decpnt", QString::number(from)}});
        r.started().connected();
        QCOMPARE(r.state.decPnt, from);
        InputInsideAnswer inject(r.clock, r.port);
        inject.arm(point, [&] { r.window->elementAs<QAbstractButton>(Element{"optDec", to})->click(); });
        r.clock.advance(0.5);
        QVERIFY(inject.heldUntilTheAnswerWasIn());
        QCOMPARE(r.box(2101)->text(), shown);
        QCOMPARE(r.box(3102)->text(), r.box(2102)->text());
        QCOMPARE(r.box(2102)->text(), formatValue(QStringLiteral("500"), 2102, to).value());
        const auto mark = r.mark();
        inject.arm(point, [&] { QTest::keyClick(r.box(2101), Qt::Key_Return); });
        r.clock.advance(1);
        QCOMPARE(r.writes(mark), QStringList{QStringLiteral("2101=-12345")});
    }

    // The simple panel's boxes are exactly the catalogue's mirrors: each shows its parameter.
    void theSimplePanelHoldsTheCatalogueMirrors()
    {
        QList<int> panel;
        for (const FieldSpec& field : parameterFields())
            if (field.cmd >= 3000)
                panel << field.cmd;
        QList<int> mirrors;
        for (int cmd = 2100; cmd < 2200; ++cmd)
            if (const auto box = mirrorBoxOf(cmd))
                mirrors << *box;
        QCOMPARE(mirrors, panel);
    }

    // The text stays as typed, and nothing goes to the drive.
    void entriesWithoutNumberSendNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing but commas") << QStringLiteral(",,");
        QTest::newRow("minus inside a scaled entry") << QStringLiteral("1-2");
        QTest::newRow("no digit at all") << QString();
    }
    void entriesWithoutNumberSendNothing()
    {
        QFETCH(QString, text);
        WindowRig r;
        r.started().connected();
        const auto from = r.mark();
        r.type(2110, text);
        QCOMPARE(r.writes(from), QStringList());
        QCOMPARE(r.box(2110)->text(), text);
    }

    void enterInThePauseBoxSetsTheTestTimerOnly()
    {
        WindowRig r;
        r.started().connected();
        const auto from = r.mark();
        r.type(12, "5");
        QCOMPARE(r.com->TimerTest().interval(), 5000);
        QCOMPARE(r.writes(from), QStringList());
        QCOMPARE(r.box(12)->text(), QStringLiteral("5"));
    }

    void drivesBelowLevel500TakeValuesOverOn137_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("2110") << 2110 << QStringList{"2110=250", "2152=137"};
        QTest::newRow("set position") << 2101 << QStringList{"2101=25"};
    }
    void drivesBelowLevel500TakeValuesOverOn137()
    {
        QFETCH(int, box);
        QFETCH(QStringList, written);
        WindowRig r(level(400));
        r.started().connected();
        QCOMPARE(r.state.firmwareLevel, qint16(400));
        const auto from = r.mark();
        r.type(box, "2,5");
        QCOMPARE(r.writes(from), written);
    }

    void offlineCommitKeepsTheValueAndSaysOk()
    {
        WindowRig r;
        r.started();
        r.type(2110, "2");
        QCOMPARE(r.port.written().size(), 0);
        QCOMPARE(r.state.table.value(2110).toText(), QStringLiteral("200"));
        QCOMPARE(r.find<QLineEdit>("txtHelp_0")->text(), QStringLiteral("Ok"));
        QVERIFY(!edited(r, 2110));
    }

    void focusLossAsksOnlyForAChangedValue()
    {
        WindowRig r;
        r.started().connected();
        r.state.table.store(2110, ParameterValue::text("100"));
        r.box(2110)->setText("1,00");
        r.leave(r.box(2110));
        QVERIFY(r.dialogs.shown.isEmpty());

        // No (the default) puts the table's value back.
        r.type(2110, "1,5", false);
        QVERIFY(edited(r, 2110));
        const auto from = r.mark();
        r.leave(r.box(2110));
        QCOMPARE(r.dialogs.texts(), QStringList{"msg36"});
        QCOMPARE(r.dialogs.shown[0].buttons, MessageButtons::YesNo);
        QCOMPARE(r.dialogs.shown[0].defaultAnswer, MessageAnswer::No);
        QCOMPARE(r.box(2110)->text(), QStringLiteral("1,00"));
        QVERIFY(!edited(r, 2110));
        QCOMPARE(r.writes(from), QStringList());

        // Yes commits it.
        r.type(2110, "1,5", false);
        r.dialogs.answers.push_back(MessageAnswer::Yes);
        r.leave(r.box(2110));
        QCOMPARE(r.writes(from), QStringList{"2110=150"});
        QCOMPARE(r.box(2110)->text(), QStringLiteral("1,50"));
    }

    void countingDirectionDrivesTheMotorDirection_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("internal");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("level 400") << 400 << true << QStringList{"2126=1", "2142=0"};
        QTest::newRow("level 540") << 540 << true << QStringList{"2126=1", "2142=1"};
        QTest::newRow("external measuring") << 540 << false << QStringList{"2126=1"};
    }
    void countingDirectionDrivesTheMotorDirection()
    {
        QFETCH(int, version);
        QFETCH(bool, internal);
        QFETCH(QStringList, written);
        WindowRig r(level(version), {{"Encoder", internal ? "1" : "0"}});
        r.started().connected();
        auto* list = r.find<QComboBox>("cmbPara_2126");
        list->setCurrentIndex(1);
        emit list->activated(1);
        QCOMPARE(r.window->pendingSelection(), 2126);
        QVERIFY(edited(r, 2126));
        const auto from = r.mark();
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(r.writes(from), written);
        QCOMPARE(r.window->pendingSelection(), 0);
        QVERIFY(!edited(r, 2126));
    }

    void aListLosingTheFocusAsksAndRestores()
    {
        WindowRig r;
        r.started().connected();
        auto* list = r.find<QComboBox>("cmbPara_2125");
        r.state.table.store(2125, ParameterValue::text("2")); // the drive's 2: position 1
        list->setCurrentIndex(1);
        list->setCurrentIndex(0);
        emit list->activated(0);
        const auto from = r.mark();
        r.leave(list);
        QCOMPARE(r.dialogs.texts(), QStringList{"msg36"});
        QCOMPARE(list->currentIndex(), 1);
        QCOMPARE(r.writes(from), QStringList());
        // The list stays pending: a later Enter anywhere commits what it shows, translated.
        QCOMPARE(r.window->pendingSelection(), 2125);
        QTest::keyClick(r.box(2110), Qt::Key_Return);
        QCOMPARE(r.writes(from).value(0), QStringLiteral("2125=2"));
    }

    void onlyTheUsersEnterCommitsABox()
    {
        WindowRig r;
        r.started().connected();
        auto* list = r.find<QComboBox>("cmbPara_2127");
        list->setCurrentIndex(1);
        emit list->activated(1);
        QTest::keyClick(list, Qt::Key_Return);
        const auto from = r.mark();
        // The live display (or a refusal) writing into a box only marks it.
        r.window->setText(el::txtPara(2110), QStringLiteral("3,00"));
        r.window->setText(el::txtPara(2111), QStringLiteral("12345678901"));
        r.clock.advance(0.5);
        QCOMPARE(r.writes(from), QStringList());
        QVERIFY(edited(r, 2110));
        QCOMPARE(r.box(2111)->text(), QString()); // longer than ten characters: emptied
    }
};

QTEST_MAIN(TestParameterEntry)
#include "test_parameter_entry.moc"
