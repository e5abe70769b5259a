// The main window's fixed parts as known answers: settings, elements, catalogue, scale texts,
// input lock, passwords, offline and closing.
#include "window_rig.h"

#include "frm_login.h"
#include "parameter_catalogue.h"
#include "window_layout_table.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QString kNotAvailable = QStringLiteral("language not available");
using Settings = QMap<QString, QString>;
using Presets = WindowRig::Presets;

// Everything the input lock disables at start, the change rule's frmMain(0) included.
const QStringList kLocked = {"framepara_0", "framepara_1", "framepara_2", "framepara_3", "framepara_4", "framepara_5",
                             "framepara_6", "framepara_7", "framepara_8", "framepara_9", "framepara_10", "cmdStop",
                             "cmdData", "frmMain_0", "frmMain_4", "cmdComand_136", "cmdComand_138", "cmdComand_139"};

// Settings stored before the start, and what the window reads from them.
const struct {
    const char* name;
    Settings stored;
    int language, decPnt;
    bool expert, encoder;
    const char* languageAfter;
} kStarts[] = {
    {"first start writes the defaults", {}, 1, 1, true, true, "1"},
    {"check without language loads English", {{"Check", "1"}}, 0, 0, false, false, "<none>"},
    {"language 7 is not rewritten", {{"Check", "1"}, {"Language", "7"}}, 7, 0, false, false, "7"},
    {"a damaged decimal setting keeps 0", {{"Check", "1"}, {"Decpnt", "abc"}, {"Expert", "1"}}, 0, 0, true, false,
     "<none>"},
    {"every key read", {{"Check", "1"}, {"Language", "4"}, {"decPNT", "2"}, {"Expert", "0"}, {"Encoder", "1"}}, 4, 2,
     false, true, "4"},
    {"a box value out of range is skipped", {{"Check", "1"}, {"Encoder", "5"}, {"Expert", "x"}}, 0, 0, false, false,
     "<none>"},
};

} // namespace

class TestWindowTables : public QObject {
    Q_OBJECT
private slots:
    void startUpReadsItsSettings_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kStarts)); ++i)
            QTest::newRow(kStarts[i].name) << i;
    }
    void startUpReadsItsSettings()
    {
        QFETCH(int, row);
        const auto& [name, stored, language, decPnt, expert, encoder, languageAfter] = kStarts[row];
        WindowRig r({}, stored, Presets::None);
        r.window->Form_Load();
        QCOMPARE(r.state.languageIndex, language);
        QCOMPARE(r.state.decPnt, decPnt);
        QCOMPARE(r.state.expertMode, expert);
        QCOMPARE(r.find<QCheckBox>("chkEncoder")->isChecked(), encoder);
        QCOMPARE(r.stored("Language"), QString(languageAfter));
        if (stored.isEmpty()) {
            for (const auto& [key, value] : {std::pair{"Check", "1"}, {"Decpnt", "1"}, {"Expert", "1"},
                                             {"Security", "0"}, {"Encoder", "1"}})
                QCOMPARE(r.stored(key), QString(value));
        }
        QCOMPARE(r.hidden("SSTab1"), !expert);
        QCOMPARE(r.hidden("simplePanel"), expert);
        // The motor direction only matters with an external measuring system.
        QCOMPARE(r.hidden("cmbPara_2142"), encoder);
        QCOMPARE(r.hidden("lblPara_2142"), encoder);
        // No file in the folder: the load ends with its message and start-up completes.
        QCOMPARE(r.dialogs.texts(), QStringList{kNotAvailable});
        QVERIFY(r.window->isVisible());
        QCOMPARE(r.find<QLabel>("StatusBar1_1")->text(), QStringLiteral(" RS232 : OFFLINE"));
        // The diagnostics and programming pages wait for a drive of level 500.
        for (int tab = 0; tab <= 6; ++tab)
            QCOMPARE(r.tabs()->isTabVisible(tab), tab != 4 && tab != 5);
        QVERIFY(r.hidden("frameTool"));
        QVERIFY(r.state.chartRecording);
    }

    // The tools panel's boxes act at once and are saved.
    void settingsBoxesActAndAreSaved()
    {
        WindowRig r({}, {{"Decpnt", "2"}, {"Expert", "0"}});
        r.started();
        auto* tool = r.find<QToolButton>("cmdTool");
        QTest::mouseClick(tool, Qt::LeftButton);
        QVERIFY(!r.hidden("frameTool"));
        QVERIFY(r.find<QRadioButton>("optDec_2")->isChecked());
        QTest::mouseClick(r.find("optDec_0"), Qt::LeftButton);
        QCOMPARE(r.state.decPnt, 0);
        QCOMPARE(r.stored("Decpnt"), QStringLiteral("0"));
        // Each showing selects the option of the current decimal places, and that saves them.
        QTest::mouseClick(tool, Qt::LeftButton);
        QVERIFY(r.hidden("frameTool"));
        r.state.decPnt = 1;
        QTest::mouseClick(tool, Qt::LeftButton);
        QCOMPARE(r.stored("Decpnt"), QStringLiteral("1"));

        for (const char* expert : {"1", "0"}) {
            r.find<QCheckBox>("Check2")->click();
            QCOMPARE(r.stored("Expert"), QString(expert));
            QCOMPARE(r.hidden("SSTab1"), expert[0] == '0');
            QCOMPARE(r.hidden("simplePanel"), expert[0] == '1');
        }
        for (const char* encoder : {"0", "1"}) {
            r.find<QCheckBox>("chkEncoder")->click();
            QCOMPARE(r.stored("Encoder"), QString(encoder));
            QCOMPARE(r.hidden("cmbPara_2142"), encoder[0] == '1');
        }
        // Clearing the chart's "auto" box resumes recording; ticking it does not.
        for (const bool resumes : {false, true, false}) {
            r.state.chartRecording = false;
            r.find<QCheckBox>("chkReadStop_0")->click();
            QCOMPARE(r.state.chartRecording, resumes);
        }
    }

    // txtCur is 1 / current and txtPwm 24 / PWM, to fifteen digits; letters are dropped as typed,
    // an emptied box is 1, and 0 changes nothing.
    void scaleTextsFollowTheMultipliers()
    {
        WindowRig r;
        r.started();
        for (const auto& [box, typed, boxAfter, label, scale] :
             {std::tuple{"valPwmMult", "2x", "2", "txtPwm", "msg4312msg44"},
              {"valPwmMult", "7", "7", "txtPwm", "msg433.42857142857143msg44"},
              {"valPwmMult", "0", "0", "txtPwm", "unchanged"},
              {"valCurMult", "", "1", "txtCur", "msg431A"},
              {"valCurMult", "4", "4", "txtCur", "msg430.25A"},
              {"valCurMult", "3", "3", "txtCur", "msg430.333333333333333A"}}) {
            auto* edit = r.find<QLineEdit>(box);
            edit->setText("3");
            r.find<QLabel>(label)->setText("unchanged");
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            if (!*typed)
                QTest::keyClick(edit, Qt::Key_Backspace);
            QCOMPARE(edit->text(), QString(boxAfter));
            QCOMPARE(r.find<QLabel>(label)->text(), QString(scale));
        }
        // A huge multiplier does not overflow.
        r.find<QLineEdit>("valCurMult")->setText("99999999999999999999999");
        r.window->updateScaleTexts();
        QCOMPARE(r.find<QLabel>("txtCur")->text(), QStringLiteral("msg431e-23A"));
    }

    // Decimal places shown and entered at the decimal setting 2, read-only, the simple panel's
    // mirror: each kind of parameter once, the other axes' and the device's scaled ones too.
    void parameterCatalogue()
    {
        for (const auto& [cmd, shown, entered, readOnly, mirror] :
             {std::tuple{10, 2, 2, false, 0}, {2100, 2, 2, true, 0},    {2101, 2, 2, false, 0}, {2102, 2, 2, false, 3102},
              {2106, 0, 0, false, 3106},    {2107, 2, 2, false, 3107}, {2110, 2, 2, false, 0}, {2115, 3, 3, false, 0},
              {2122, 3, 3, false, 0},       {2131, 3, 3, false, 0},    {2137, 3, 3, false, 0}, {2141, 2, 2, false, 0},
              {2156, 0, 0, false, 0},       {2170, 2, 0, false, 0},    {2180, 0, 0, true, 0},  {2182, 2, 0, true, 0},
              {2218, 0, 2, false, 0},       {2315, 3, 3, false, 0},    {2402, 0, 0, true, 0},  {2413, 2, 2, false, 0},
              {2426, 2, 2, false, 0}}) {
            QVERIFY2(displayDecimals(cmd, 2) == shown && entryDecimals(cmd, 2) == entered, qPrintable(QString::number(cmd)));
            QCOMPARE(parameterRule(cmd).readOnly, readOnly);
            QCOMPARE(mirrorBoxOf(cmd).value_or(0), mirror);
        }
        for (const int cmd : {2225, 2325})
            QCOMPARE(valueOfSelection(cmd, 2), std::optional<qint64>(4));
    }

    void theElementTable()
    {
        WindowRig r;
        frmSDI& w = *r.window;
        for (const FieldSpec& f : parameterFields()) {
            const QString array = f.kind == FieldKind::List ? QStringLiteral("cmbPara") : QStringLiteral("txtPara");
            const QString name = array + QLatin1Char('_') + QString::number(f.cmd);
            QWidget* widget = w.element(Element{array, f.cmd});
            QVERIFY2(widget && widget->objectName() == name && r.find(name) == widget, qPrintable(name));
            // The simple panel's boxes are exactly the catalogue's mirrors.
            if (f.cmd >= 3000)
                QCOMPARE(mirrorBoxOf(commandOfBox(f.cmd)), std::optional<int>(f.cmd));
        }
        // Hidden by design and never shown: the debug frame, its box and the second test button.
        for (const char* name : {"framepara_13", "cmdComand_1", "chkDebug"})
            QVERIFY(r.hidden(name));

        // Entry boxes and lists are named by their label's current text, picture buttons by hint.
        for (QLabel* label : w.findChildren<QLabel*>())
            if (label->objectName().startsWith(QLatin1String("lblPara")))
                QVERIFY2(label->buddy() && label->buddy()->accessibleName() == label->text(),
                         qPrintable(label->objectName()));
        w.setCaption(el::lblPara(2125), QStringLiteral("Edge &evaluation"));
        QCOMPARE(r.find("cmbPara_2125")->accessibleName(), QStringLiteral("Edge evaluation"));
        for (QToolButton* button : w.findChildren<QToolButton*>())
            if (!button->toolTip().isEmpty())
                QCOMPARE(button->accessibleName(), button->toolTip());
        w.setHint(Element{QStringLiteral("cmdConnect"), 0}, QStringLiteral("Connect"));
        QCOMPARE(r.find("cmdConnect")->accessibleName(), QStringLiteral("Connect"));

        // Elements the window does not have: nothing happens, nothing breaks.
        for (const Element& missing : {el::txtPara(2112), Element{QStringLiteral("nothing"), 0}, el::lblPara(2152),
                                       el::progressBar2(), el::fileHelpLine()}) {
            w.setText(missing, QStringLiteral("x"));
            w.setSelection(missing, 0);
            w.setVisible(missing, false);
            w.setValue(missing, 1);
            w.addItem(missing, QStringLiteral("x"));
            QCOMPARE(w.selection(missing), -1);
        }
        w.setStatusText(9, QStringLiteral("x"));
        w.setTabCaption(7, QStringLiteral("x"));
        QCOMPARE(r.tabs()->count(), 7);
    }

    // Offline a commit keeps the value and says Ok, buttons send nothing, the pause box sets the
    // test's timer only. Closing ends at once, without a question, and nothing goes out after.
    void offlineNothingGoesOnTheWireAndClosingEndsAtOnce()
    {
        WindowRig r;
        r.started();
        r.type(2110, "2");
        QCOMPARE(r.state.table.value(2110).toText(), QStringLiteral("200"));
        QCOMPARE(r.find<QLineEdit>("txtHelp_0")->text(), QStringLiteral("Ok"));
        r.type(12, "5");
        QCOMPARE(r.com->TimerTest().interval(), 5000);
        for (int i : {0, 128, 132, 153, 162})
            QTest::mouseClick(r.button(i), Qt::LeftButton);
        r.clock.advance(1);
        QCOMPARE(r.port.written().size(), 0);
        QCOMPARE(r.modalsOpened, 0);
        r.port.open();
        r.state.comOnline = 1;
        r.state.transferActive = true;
        r.com->timerReceive().setEnabled(true);
        QVERIFY(r.window->close() && r.clock.quitting() && !r.port.isOpen());
        QVERIFY(!r.com->timerReceive().isEnabled() && r.dialogs.shown.isEmpty());
        r.com->WriteCom(11, 2152, 129);
        QVERIFY(r.port.written().isEmpty());
    }

    void inputLockAtStart_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("caption");
        QTest::newRow("locked") << true << "Kinetra ";
        QTest::newRow("open") << false << "Kinetra";
    }
    void inputLockAtStart()
    {
        QFETCH(bool, locked);
        WindowRig r({}, {{"Security", locked ? "1" : "0"}});
        r.started();
        QTEST(r.window->windowTitle(), "caption");
        for (const QString& name : kLocked + QStringList{"frameSecurity", "Check2"})
            QVERIFY2(r.find(name)->isEnabled() != locked, qPrintable(name));
        // The service frame stays open: its commands ask for the login, which opens the tool.
        for (const char* name : {"framepara_11", "cmdComand_161", "framepara_12", "cmdComand_128", "cmdComand_153",
                                 "cmdConnect", "cmdTool"})
            QVERIFY2(r.find(name)->isEnabled(), name);
    }

    void passwordsCompareExactly()
    {
        for (const auto& [password, accepted] :
             {std::pair{QString::fromUtf8("H\xC3\xB6lstan"), true}, {QStringLiteral("Talvo"), true},
              {QStringLiteral("5170628"), true}, {QStringLiteral("talvo"), false}, {QStringLiteral("Talvo "), false},
              {QStringLiteral("Holstan"), false}})
            QCOMPARE(frmLogin::accepted(password), accepted);
    }

    // In position is bit value 4 of the whole status word; the pause box counts its digits.
    void enduranceTestNumbers()
    {
        for (const auto& [word, in] : {std::pair{qint64(4), true}, {qint64(0x05002004), true},
                                       {qint64(0x7F000000), false}, {qint64(0xFFFB), false}})
            QCOMPARE(MotionTimers::inPosition(word), in);
        for (const auto& [pause, ms] : {std::pair{"2", 2000LL}, {"1,5", 15000LL}, {"", 0LL}, {"9999999999", 2147483647LL}})
            QCOMPARE(MotionTimers::pauseMilliseconds(QString::fromLatin1(pause)), ms);
    }
};

QTEST_MAIN(TestWindowTables)
#include "test_window_tables.moc"
