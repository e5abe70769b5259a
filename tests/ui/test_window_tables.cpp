// The main window's fixed parts as tables of known answers: start-up and its settings, the element
// table, the parameter catalogue, the key filter, scale texts, the input lock, the login's
// passwords, the language files' texts, and what happens offline and on closing.
#include "window_rig.h"

#include "about_window.h"
#include "frm_login.h"
#include "language_loader.h"
#include "parameter_catalogue.h"
#include "status_word.h"
#include "window_layout_table.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QString kNotAvailable = QStringLiteral("language not available");
using Settings = QMap<QString, QString>;
using Presets = WindowRig::Presets;

// The language files are copied beside the test programs.
QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

// Every text of the main window a user sees: captions, frame titles, hints, tab captions.
QMap<QString, QString> visibleTexts(frmSDI& window)
{
    QMap<QString, QString> texts;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || w->window() != &window)
            continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && label->pixmap().isNull())
            texts[name] = label->text();
        else if (auto* frame = qobject_cast<QGroupBox*>(w))
            texts[name] = frame->title();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts[name] = button->text();
        if (!w->toolTip().isEmpty())
            texts[name + QStringLiteral(".hint")] = w->toolTip();
    }
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    for (int i = 0; i < tabs->count(); ++i)
        texts[QStringLiteral("tab %1").arg(i)] = tabs->tabText(i);
    return texts;
}

// Everything the input lock disables at start, the change rule's frmMain(0) included.
const QStringList kLocked = {"framepara_0", "framepara_1", "framepara_2",   "framepara_3",   "framepara_4",
                             "framepara_5", "framepara_6", "framepara_7",   "framepara_8",   "framepara_9",
                             "framepara_10", "cmdStop",    "cmdData",       "frmMain_0",     "frmMain_4",
                             "cmdComand_136", "cmdComand_138", "cmdComand_139"};

} // namespace

class TestWindowTables : public QObject {
    Q_OBJECT
private slots:
    void startUpReadsItsSettings_data()
    {
        QTest::addColumn<Settings>("stored");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("decPnt");
        QTest::addColumn<bool>("expert");
        QTest::addColumn<bool>("encoder");
        QTest::addColumn<QString>("languageAfter");
        const auto row = [](const char* name, const Settings& stored, int language, int decPnt, bool expert,
                            bool encoder, const char* languageAfter) {
            QTest::newRow(name) << stored << language << decPnt << expert << encoder << QString(languageAfter);
        };
        row("first start writes the defaults", {}, 1, 1, true, true, "1");
        row("check without language loads English", {{"Check", "1"}}, 0, 0, false, false, "<none>");
        row("language 7 is not rewritten", {{"Check", "1"}, {"Language", "7"}}, 7, 0, false, false, "7");
        row("a damaged decimal setting keeps 0", {{"Check", "1"}, {"Decpnt", "abc"}, {"Expert", "1"}}, 0, 0, true,
            false, "<none>");
        row("every key read", {{"Check", "1"}, {"Language", "4"}, {"decPNT", "2"}, {"Expert", "0"}, {"Encoder", "1"}},
            4, 2, false, true, "4");
        row("a box value out of range is skipped", {{"Check", "1"}, {"Encoder", "5"}, {"Expert", "x"}}, 0, 0, false,
            false, "<none>");
    }
    void startUpReadsItsSettings()
    {
        QFETCH(Settings, stored);
        QFETCH(bool, expert);
        QFETCH(bool, encoder);
        WindowRig r({}, stored, Presets::None);
        r.window->Form_Load();
        QTEST(r.state.languageIndex, "language");
        QTEST(r.state.decPnt, "decPnt");
        QCOMPARE(r.state.expertMode, expert);
        QCOMPARE(r.find<QCheckBox>("chkEncoder")->isChecked(), encoder);
        QTEST(r.stored("Language"), "languageAfter");
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
        QVERIFY(r.find("frameSecurity")->isEnabled());
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
        QTest::mouseClick(tool, Qt::LeftButton);
        QVERIFY(r.hidden("frameTool"));
        // Each showing selects the option of the current decimal places, and that saves them.
        r.state.decPnt = 1;
        QTest::mouseClick(tool, Qt::LeftButton);
        QVERIFY(r.find<QRadioButton>("optDec_1")->isChecked());
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
        auto* autoStop = r.find<QCheckBox>("chkReadStop_0");
        autoStop->click();
        r.state.chartRecording = false;
        autoStop->click();
        QVERIFY(r.state.chartRecording);
        r.state.chartRecording = false;
        autoStop->click();
        QVERIFY(!r.state.chartRecording);
    }

    // txtCur is 1 / current and txtPwm 24 / PWM, to fifteen digits; letters are dropped as typed.
    void scaleTextsFollowTheMultipliers_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("boxAfter");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("scale");
        const auto row = [](const char* name, const char* box, const char* typed, const char* boxAfter,
                            const char* label, const char* scale) {
            QTest::newRow(name) << QString(box) << QString(typed) << QString(boxAfter) << QString(label) << QString(scale);
        };
        row("pwm 2x", "valPwmMult", "2x", "2", "txtPwm", "msg4312msg44");
        row("pwm fifteen digits", "valPwmMult", "7", "7", "txtPwm", "msg433.42857142857143msg44");
        row("pwm 0 changes nothing", "valPwmMult", "0", "0", "txtPwm", "unchanged");
        row("current emptied", "valCurMult", "", "1", "txtCur", "msg431A");
        row("current 4", "valCurMult", "4", "4", "txtCur", "msg430.25A");
        row("current fifteen digits", "valCurMult", "3", "3", "txtCur", "msg430.333333333333333A");
    }
    void scaleTextsFollowTheMultipliers()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, label);
        WindowRig r;
        r.started();
        auto* edit = r.find<QLineEdit>(box);
        edit->setText("3");
        r.find<QLabel>(label)->setText("unchanged");
        edit->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, typed);
        QTEST(edit->text(), "boxAfter");
        QTEST(r.find<QLabel>(label)->text(), "scale");
        // A huge multiplier does not overflow.
        r.find<QLineEdit>("valCurMult")->setText("99999999999999999999999");
        r.window->updateScaleTexts();
        QCOMPARE(r.find<QLabel>("txtCur")->text(), QStringLiteral("msg431e-23A"));
    }

    // How each kind of parameter is shown and entered, which the user may edit and which the
    // simple panel repeats.
    void parameterCatalogue_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<int>("shown");  // decimal places at the setting 2
        QTest::addColumn<int>("entered"); // decimal places a typed number carries at the setting 2
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("mirror"); // 0: none
        const auto row = [](int cmd, int shown, int entered, bool readOnly, int mirror) {
            QTest::newRow(qPrintable(QString::number(cmd))) << cmd << shown << entered << readOnly << mirror;
        };
        row(10, 2, 2, false, 0); // the endurance test's positions
        row(2100, 2, 2, true, 0);
        row(2101, 2, 2, false, 0);
        row(2102, 2, 2, false, 3102);
        row(2106, 0, 0, false, 3106);
        row(2107, 2, 2, false, 3107);
        row(2110, 2, 2, false, 0);
        row(2115, 3, 3, false, 0);
        row(2122, 3, 3, false, 0);
        row(2131, 3, 3, false, 0);
        row(2141, 2, 2, false, 0);
        row(2170, 2, 0, false, 0);
        row(2180, 0, 0, true, 0);
        row(2182, 2, 0, true, 0);
        row(2218, 0, 2, false, 0); // entered in hundredths, shown as the drive holds it
        row(2315, 3, 3, false, 0);
        row(2402, 0, 0, true, 0);
        row(2413, 2, 2, false, 0);
        row(2426, 2, 2, false, 0);
        row(2156, 0, 0, false, 0);
    }
    void parameterCatalogue()
    {
        QFETCH(int, cmd);
        QFETCH(int, mirror);
        QTEST(displayDecimals(cmd, 2), "shown");
        QTEST(entryDecimals(cmd, 2), "entered");
        QTEST(parameterRule(cmd).readOnly, "readOnly");
        QCOMPARE(mirrorBoxOf(cmd).value_or(0), mirror);
        if (mirror)
            QCOMPARE(commandOfBox(mirror), cmd);
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
        for (int k = 0; k <= 8; ++k)
            QVERIFY(r.hidden(QStringLiteral("ledOn_%1").arg(k)) && !r.hidden(QStringLiteral("ledOff_%1").arg(k)));
        // Hidden by design and never shown: the debug frame, its box and the second test button.
        for (const char* name : {"framepara_13", "cmdComand_1", "chkDebug"})
            QVERIFY(r.hidden(name));
        QSet<QString> seen;
        for (QWidget* widget : w.findChildren<QWidget*>()) {
            const QString name = widget->objectName();
            if (widget->window() != &w || name.isEmpty() || name.startsWith(QLatin1String("qt_")))
                continue;
            QVERIFY2(!seen.contains(name), qPrintable(name));
            seen.insert(name);
        }

        // Every entry box and list is its label's buddy, named by the label's current text;
        // every picture button by its hint.
        for (QLabel* label : w.findChildren<QLabel*>())
            if (label->objectName().startsWith(QLatin1String("lblPara")))
                QVERIFY2(label->buddy() && label->buddy()->accessibleName() == label->text(),
                         qPrintable(label->objectName()));
        w.setCaption(el::lblPara(2125), QStringLiteral("Edge &evaluation"));
        QCOMPARE(r.find("cmbPara_2125")->accessibleName(), QStringLiteral("Edge evaluation"));
        for (QToolButton* button : w.findChildren<QToolButton*>())
            if (!button->toolTip().isEmpty())
                QCOMPARE(button->accessibleName(), button->toolTip());
        QCOMPARE(r.find("cmdComand_162")->accessibleName(), QStringLiteral("Werkseinstellung Achse"));
        w.setHint(Element{QStringLiteral("cmdConnect"), 0}, QStringLiteral("Connect"));
        QCOMPARE(r.find("cmdConnect")->accessibleName(), QStringLiteral("Connect"));

        // Elements the window does not have: nothing happens, nothing breaks.
        for (const Element& missing : {el::txtPara(2112), Element{QStringLiteral("nothing"), 0}, el::lblPara(2152),
                                       el::progressBar2(), el::fileHelpLine()}) {
            w.setText(missing, QStringLiteral("x"));
            w.setSelection(missing, 0);
            w.setVisible(missing, false);
            w.setEnabled(missing, false);
            w.setValue(missing, 1);
            w.setCaption(missing, QStringLiteral("x"));
            w.addItem(missing, QStringLiteral("x"));
            QCOMPARE(w.selection(missing), -1);
        }
        w.setStatusText(9, QStringLiteral("x"));
        w.setTabCaption(7, QStringLiteral("x"));
        QCOMPARE(r.tabs()->count(), 7);
    }

    void theKeyFilterTakesNumbersOnly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("letters") << "1a2B" << "12";
        QTest::newRow("point and semicolon") << "3.5;" << "35";
        QTest::newRow("comma and minus") << "-1,5" << "-1,5";
        QTest::newRow("ten characters at most") << "123456789012" << "1234567890";
    }
    void theKeyFilterTakesNumbersOnly()
    {
        QFETCH(QString, typed);
        WindowRig r;
        r.started();
        r.type(2110, typed, false);
        QTEST(r.box(2110)->text(), "kept");
        QVERIFY(r.find<QLabel>("lblPara_2110")->property("edited").toBool());
        // The address takes digits only.
        for (const char c : {',', '-', 'x'}) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QLatin1Char(c)));
            QVERIFY(!r.window->txtPara_KeyPress(2410, &key));
        }
    }

    // Offline a commit keeps the value in the table and says Ok; the buttons send nothing; Enter
    // in the pause box sets the endurance test's timer only.
    void offlineNothingGoesOnTheWire()
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

    void passwordsCompareExactly_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Hölstan") << QString::fromUtf8("H\xC3\xB6lstan") << true;
        QTest::newRow("Talvo") << "Talvo" << true;
        QTest::newRow("5170628") << "5170628" << true;
        QTest::newRow("other case") << "talvo" << false;
        QTest::newRow("trailing blank") << "Talvo " << false;
        QTest::newRow("without umlaut") << "Holstan" << false;
    }
    void passwordsCompareExactly()
    {
        QFETCH(QString, password);
        QTEST(frmLogin::accepted(password), "accepted");
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

    // The info button opens one about window; any key or a click hides it; none during a transfer.
    void infoButtonOpensOneAboutWindow()
    {
        WindowRig r;
        r.started();
        AboutWindow* about = r.window->splashWindow(1);
        auto* info = r.find<QToolButton>("cmdInfo");
        for (const char* part : {"", "lblCompany", "cmdExit"}) {
            QTest::mouseClick(info, Qt::LeftButton);
            QVERIFY(about->isVisible() && !r.window->splashWindow(0)->isVisible());
            if (*part)
                QTest::mouseClick(about->findChild<QWidget*>(part), Qt::LeftButton);
            else
                QTest::keyClick(about, Qt::Key_A);
            QVERIFY(!about->isVisible());
        }
        QCOMPARE(r.window->splashWindow(1), about);
        r.state.transferActive = true;
        QTest::mouseClick(info, Qt::LeftButton);
        QVERIFY(!about->isVisible());
    }

    // Every box that shows a message text shows the longest of its texts whole, in each of the
    // six languages, measured with the font in use on a 1280 x 800 window.
    void messageTextsFitTheirBoxes_data()
    {
        QTest::addColumn<int>("language");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(languageFileName(i))) << i;
    }
    void messageTextsFitTheirBoxes()
    {
        QFETCH(int, language);
        WindowRig r({}, {{"Language", QString::number(language)}}, Presets::Written, programFolder());
        r.started();
        r.window->resize(1280, 800);
        r.tabs()->setTabVisible(4, true);
        int checked = 0;
        for (const int tab : {0, 4}) {
            r.tabs()->setCurrentIndex(tab);
            QApplication::processEvents();
            const std::pair<const char*, QList<int>> boxes[] = {{"txtPara_2180", statusBoxMessages()},
                                                                {"txtPara1_2180", statusBoxMessages()},
                                                                {"txtPara_0", pageTextMessages()},
                                                                {"txtPara_1", {kModelNote}}};
            for (const auto& [name, messages] : boxes) {
                auto* box = r.find<QLineEdit>(name);
                if (!box->isVisible())
                    continue;
                const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
                // A line edit shows its text inside its frame and a margin of 2 pixels a side.
                const int room = box->width() - 2 * frame - 4;
                ++checked;
                for (const int message : messages) {
                    const QString text = r.state.message(message);
                    QVERIFY2(QFontMetrics(box->font()).horizontalAdvance(text) <= room,
                             qPrintable(QStringLiteral("%1: \"%2\" in %3 pixels").arg(name, text).arg(room)));
                }
            }
        }
        QCOMPARE(checked, 4 + 2); // boxes 2180 and 1 beside both pages, 2180 and 0 on the diagnostics page
    }

    void theGermanFileReproducesTheDesignTexts()
    {
        WindowRig r({}, {{"Check", "1"}, {"Language", "1"}}, Presets::None, programFolder());
        const QMap<QString, QString> design = visibleTexts(*r.window);
        r.window->Form_Load();
        QVERIFY(r.dialogs.shown.isEmpty());
        const QMap<QString, QString> german = visibleTexts(*r.window);
        QStringList differences;
        for (auto it = design.begin(); it != design.end(); ++it)
            if (german.value(it.key()) != it.value())
                differences << QStringLiteral("%1: '%2' -> '%3'").arg(it.key(), it.value(), german.value(it.key()));
        for (auto it = german.begin(); it != german.end(); ++it)
            if (!design.contains(it.key()) && !it.key().startsWith(QLatin1String("cmbPara_")) &&
                it.key() != QLatin1String("cmdSecurity.hint"))
                differences << QStringLiteral("%1: new '%2'").arg(it.key(), it.value());
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
    }

    void closingEndsAtOnceWithoutAQuestion()
    {
        WindowRig r;
        r.started();
        r.port.open();
        r.state.comOnline = 1;
        r.state.transferActive = true;
        r.com->timerReceive().setEnabled(true);
        QVERIFY(r.window->close());
        QVERIFY(r.clock.quitting());
        QVERIFY(!r.port.isOpen());
        QVERIFY(!r.com->timerReceive().isEnabled());
        QVERIFY(r.dialogs.shown.isEmpty());
        // Nothing goes on the wire after the end.
        r.com->WriteCom(11, 2152, 129);
        QVERIFY(r.port.written().isEmpty());
    }
};

QTEST_MAIN(TestWindowTables)
#include "test_window_tables.moc"
