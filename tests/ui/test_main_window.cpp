// The main window itself: start-up and its settings, the tools panel, the element table, the
// about windows, the language buttons and closing.
#include "window_rig.h"

#include "about_window.h"
#include "device_status.h"
#include "language_loader.h"
#include "status_word.h"
#include "window_layout_table.h"

#include "input_inside_answer.h"
#include "parameter_catalogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QString kNotAvailable = QStringLiteral("language not available");
using Settings = QMap<QString, QString>;
using Presets = WindowRig::Presets;

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

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesTheDefaultsAndComesUpOffline()
    {
        WindowRig r({}, {}, Presets::None);
        r.started();
        const Settings defaults{{"Check", "1"},  {"Language", "1"}, {"Decpnt", "1"},
                                {"Expert", "1"}, {"Security", "0"}, {"Encoder", "1"}};
        for (auto it = defaults.begin(); it != defaults.end(); ++it)
            QCOMPARE(r.stored(it.key()), it.value());
        QCOMPARE(r.window->settingsCheck(), 1);
        QCOMPARE(r.state.languageIndex, 1);
        QCOMPARE(r.state.decPnt, 1);
        QVERIFY(r.state.expertMode);
        QCOMPARE(r.state.splashVariant, 1);
        QCOMPARE(r.state.transferTotal, 190);
        QVERIFY(r.state.chartRecording);
        QVERIFY(!r.state.transferActive);

        // Expert view: the tabs show, the simple panel does not; the motor direction is hidden
        // because the internal measuring system is ticked.
        QVERIFY(!r.hidden("SSTab1"));
        QVERIFY(r.hidden("simplePanel"));
        QVERIFY(r.find<QCheckBox>("chkEncoder")->isChecked());
        QVERIFY(!r.find<QCheckBox>("checkSecurity")->isChecked());
        QVERIFY(r.hidden("cmbPara_2142"));
        QVERIFY(r.hidden("lblPara_2142"));
        QVERIFY(r.find<QCheckBox>("Check2")->isChecked());
        QVERIFY(r.window->isVisible());
        QCOMPARE(r.window->windowTitle(), QStringLiteral("Kinetra"));

        QCOMPARE(r.find<QLabel>("StatusBar1_1")->text(), QStringLiteral(" RS232 : OFFLINE"));
        QCOMPARE(r.find<QLabel>("StatusBar1_3")->text(), QString());
        for (int panel : {1, 3, 5})
            QCOMPARE(r.find<QLabel>(QStringLiteral("StatusBar1_%1").arg(panel))->frameShadow(), QFrame::Sunken);
        // Diagnose and Progr. wait for a drive of level 500.
        for (int tab = 0; tab <= 6; ++tab)
            QCOMPARE(r.tabs()->isTabVisible(tab), tab != 4 && tab != 5);
        QVERIFY(r.hidden("frameTool"));
        // Without the input lock the access frame opens at start.
        QVERIFY(r.find("frameSecurity")->isEnabled());
    }

    void storedSettingsAreRead_data()
    {
        QTest::addColumn<Settings>("stored");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("decPnt");
        QTest::addColumn<bool>("expert");
        QTest::addColumn<bool>("encoder");
        QTest::addColumn<QString>("languageAfter");

        QTest::newRow("check without language loads English")
            << Settings{{"Check", "1"}} << 0 << 0 << false << false << QStringLiteral("<none>");
        QTest::newRow("language 7 is not rewritten")
            << Settings{{"Check", "1"}, {"Language", "7"}} << 7 << 0 << false << false << QStringLiteral("7");
        QTest::newRow("a damaged decimal setting keeps 0")
            << Settings{{"Check", "1"}, {"Decpnt", "abc"}, {"Expert", "1"}} << 0 << 0 << true << false
            << QStringLiteral("<none>");
        QTest::newRow("every key read")
            << Settings{{"Check", "1"}, {"Language", "4"}, {"decPNT", "2"}, {"Expert", "0"}, {"Encoder", "1"}} << 4 << 2
            << false << true << QStringLiteral("4");
        QTest::newRow("a box value out of range is skipped")
            << Settings{{"Check", "1"}, {"Encoder", "5"}, {"Expert", "x"}} << 0 << 0 << false << false
            << QStringLiteral("<none>");
    }
    void storedSettingsAreRead()
    {
        QFETCH(Settings, stored);
        WindowRig r({}, stored, Presets::None);
        r.window->Form_Load();
        QTEST(r.state.languageIndex, "language");
        QTEST(r.state.decPnt, "decPnt");
        QTEST(r.state.expertMode, "expert");
        QTEST(r.find<QCheckBox>("chkEncoder")->isChecked(), "encoder");
        QTEST(r.stored("Language"), "languageAfter");
        QFETCH(bool, expert);
        QCOMPARE(r.hidden("SSTab1"), !expert);
        QCOMPARE(r.hidden("simplePanel"), expert);
        QFETCH(bool, encoder);
        QCOMPARE(r.hidden("cmbPara_2142"), encoder);
        // No file in the folder: the load ends with its message and start-up completes.
        QCOMPARE(r.dialogs.texts(), QStringList{kNotAvailable});
        QCOMPARE(r.find<QLabel>("StatusBar1_1")->text(), QStringLiteral(" RS232 : OFFLINE"));
    }

    void toolsButtonTogglesThePanelAndReselectsTheDecimals()
    {
        WindowRig r({}, {{"Decpnt", "2"}});
        r.started();
        r.state.messageText[63] = QStringLiteral("Expert view");
        auto* tool = r.find<QToolButton>("cmdTool");

        QTest::mouseClick(tool, Qt::LeftButton);
        QVERIFY(!r.hidden("frameTool"));
        QVERIFY(r.find<QRadioButton>("optDec_2")->isChecked());
        QCOMPARE(r.find<QCheckBox>("Check2")->text(), QStringLiteral("Expert view"));

        QTest::mouseClick(r.find("optDec_0"), Qt::LeftButton);
        QCOMPARE(r.state.decPnt, 0);
        QCOMPARE(r.stored("Decpnt"), QStringLiteral("0"));

        QTest::mouseClick(tool, Qt::LeftButton);
        QVERIFY(r.hidden("frameTool"));

        // Each showing selects the option of the current decimal places, and that saves them.
        r.state.decPnt = 1;
        QTest::mouseClick(tool, Qt::LeftButton);
        QVERIFY(!r.hidden("frameTool"));
        QVERIFY(r.find<QRadioButton>("optDec_1")->isChecked());
        QCOMPARE(r.stored("Decpnt"), QStringLiteral("1"));
    }

    void theEncoderBoxIsSavedAndShowsTheMotorDirection()
    {
        WindowRig r;
        r.started();
        auto* encoder = r.find<QCheckBox>("chkEncoder");
        r.tabs()->setCurrentIndex(2);
        QTest::mouseClick(encoder, Qt::LeftButton);
        QCOMPARE(r.stored("Encoder"), QStringLiteral("0"));
        QVERIFY(!r.hidden("cmbPara_2142"));
        QVERIFY(!r.hidden("lblPara_2142"));
        QTest::mouseClick(encoder, Qt::LeftButton);
        QCOMPARE(r.stored("Encoder"), QStringLiteral("1"));
        QVERIFY(r.hidden("cmbPara_2142"));
    }

    void clearingTheAutoBoxResumesRecording()
    {
        WindowRig r;
        r.started();
        auto* autoStop = r.find<QCheckBox>("chkReadStop_0");
        autoStop->click();
        r.state.chartRecording = false;
        autoStop->click(); // ticked -> cleared
        QVERIFY(r.state.chartRecording);
        r.state.chartRecording = false;
        autoStop->click(); // ticking does nothing here
        QVERIFY(!r.state.chartRecording);
    }

    // At start (the boxes as the designer or a language left them): txtCur is 1 / current, txtPwm
    // 24 / PWM, to fifteen digits.
    void scaleTextsFollowTheMultipliers_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("pwm");
        QTest::addColumn<QString>("currentText");
        QTest::addColumn<QString>("pwmText");
        const auto row = [](const char* name, const char* current, const char* pwm, const char* currentText,
                            const char* pwmText) {
            QTest::newRow(name) << QString(current) << QString(pwm) << QString(currentText) << QString(pwmText);
        };
        row("design", "1", "1", "Raster=1A", "Raster=24 Steps");
        row("letters dropped", "x2", "2x", "Raster=0.5A", "Raster=12 Steps");
        row("fifteen digits", "3", "7", "Raster=0.333333333333333A", "Raster=3.42857142857143 Steps");
        row("zero changes nothing", "0", "0", "old", "old");
        row("a huge multiplier does not overflow", "99999999999999999999999", "1", "Raster=1e-23A", "Raster=24 Steps");
    }
    void scaleTextsFollowTheMultipliers()
    {
        WindowRig r;
        r.state.messageText[43] = QStringLiteral("Raster=");
        r.state.messageText[44] = QStringLiteral(" Steps");
        r.window->setText(Element{QStringLiteral("txtCur"), 0}, QStringLiteral("old"));
        r.window->setText(Element{QStringLiteral("txtPwm"), 0}, QStringLiteral("old"));
        QFETCH(QString, current);
        QFETCH(QString, pwm);
        r.find<QLineEdit>("valCurMult")->setText(current);
        r.find<QLineEdit>("valPwmMult")->setText(pwm);
        r.window->updateScaleTexts();
        QTEST(r.find<QLabel>("txtCur")->text(), "currentText");
        QTEST(r.find<QLabel>("txtPwm")->text(), "pwmText");
    }

    void everyControlIsNamedByArrayAndIndex()
    {
        WindowRig r;
        for (const FieldSpec& f : parameterFields()) {
            const QString array = f.kind == FieldKind::List ? QStringLiteral("cmbPara") : QStringLiteral("txtPara");
            const QString name = array + QLatin1Char('_') + QString::number(f.cmd);
            QWidget* w = r.window->element(Element{array, f.cmd});
            QVERIFY2(w && w->objectName() == name && r.find(name) == w, qPrintable(name));
            if (f.label)
                QCOMPARE(r.find<QLabel>(QStringLiteral("lblPara_%1").arg(f.cmd))->text(), QString::fromUtf8(f.label));
        }
        QStringList names{"cmdConnect",   "cmdStop",       "cmdData",       "cmdTool",       "cmdInfo",
                          "SSTab1",       "SSTab1_1",      "frameTool",     "frameSecurity", "Check2",
                          "chkEncoder",   "checkSecurity", "chkDebug",      "cmdSecurity",   "cmdMain",
                          "txtHelp_0",    "ProgressBar1",  "ProgressBar2",  "picDiag",       "picCorr",
                          "txtCorr",      "valCurMult",    "valPwmMult",    "txtCur",        "txtPwm",
                          "txtPara_0",    "txtPara_1",     "txtPara1_2180", "txtPara1_2182", "txtPara_2184",
                          "txtPara_2180", "txtPara_2182",  "cmdComand_0",   "cmdComand_140", "cmdComand_161",
                          "chkRead_0",    "chkRead_1",     "chkReadStop_0", "descrObject"};
        for (const QString& name : names)
            QVERIFY2(r.find(name), qPrintable(name));
        // The numbered families, each of its kind of widget.
        for (const auto& [prefix, type, first, last] :
             {std::tuple{"framepara_", "QGroupBox", 0, 13}, std::tuple{"frmMain_", "QGroupBox", 0, 4},
              std::tuple{"lblObject_", "QLabel", 0, 6}, std::tuple{"StatusBar1_", "QLabel", 1, 5},
              std::tuple{"cmdLanguage_", "QWidget", 0, 5}, std::tuple{"ledOn_", "QWidget", 0, 8}}) {
            for (int i = first; i <= last; ++i) {
                const QString name = QLatin1String(prefix) + QString::number(i);
                QVERIFY2(r.find(name) && r.find(name)->inherits(type), qPrintable(name));
            }
        }
        for (int k = 0; k <= 8; ++k)
            QVERIFY(r.hidden(QStringLiteral("ledOn_%1").arg(k)) && !r.hidden(QStringLiteral("ledOff_%1").arg(k)));
        // Hidden by design and never shown: the debug frame, its box and the second test button.
        QVERIFY(r.hidden("framepara_13"));
        QVERIFY(r.hidden("cmdComand_1"));
        QVERIFY(r.hidden("chkDebug"));

        // No two widgets of the window share a name.
        QSet<QString> seen;
        for (QWidget* w : r.window->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (w->window() != r.window.get() || name.isEmpty() || name.startsWith(QLatin1String("qt_")))
                continue;
            QVERIFY2(!seen.contains(name), qPrintable(name));
            seen.insert(name);
        }
    }

    void elementOperationsWorkOnTheWidgets()
    {
        WindowRig r;
        frmSDI& w = *r.window;
        const Element list = el::cmbPara(2125);
        w.clearItems(list);
        for (const char* item : {"1x", "2x", "4x"})
            w.addItem(list, QString::fromLatin1(item));
        w.setSelection(list, 2);
        QCOMPARE(w.selection(list), 2);
        w.setSelection(list, 3);
        w.setSelection(list, -1);
        QCOMPARE(w.selection(list), 2);
        w.setTag(list, QStringLiteral("P25"));
        QCOMPARE(r.find("cmbPara_2125")->toolTip(), QStringLiteral("P25"));

        w.setMaximum(el::progressBar1(), 190);
        w.setValue(el::progressBar1(), 40);
        QCOMPARE(r.find<QProgressBar>("ProgressBar1")->value(), 40);
        w.setTabCaption(0, QStringLiteral("Position!"));
        QCOMPARE(r.tabs()->tabText(0), QStringLiteral("Position!"));
        r.tabs()->setCurrentIndex(3);
        QCOMPARE(w.currentTab(), 3);
        w.setHeight(Element{QStringLiteral("picCorr"), 0}, 30 * 10);
        w.setTop(Element{QStringLiteral("picCorr"), 0}, 2250 - 300);
        QCOMPARE(r.find("picCorr")->height(), 20);
        QCOMPARE(r.find("picCorr")->y(), 130);

        // Elements the window does not have: nothing happens, nothing breaks.
        for (const Element& missing : {el::txtPara(2112), el::cmbPara(2110), Element{QStringLiteral("nothing"), 0},
                                       el::lblPara(2152), el::progressBar2(), el::fileHelpLine()}) {
            w.setText(missing, QStringLiteral("x"));
            w.setSelection(missing, 0);
            w.setVisible(missing, false);
            w.setEnabled(missing, false);
            w.setValue(missing, 1);
            w.setCaption(missing, QStringLiteral("x"));
            w.setHint(missing, QStringLiteral("x"));
            w.addItem(missing, QStringLiteral("x"));
            if (missing.name != QLatin1String("ProgressBar2"))
                QCOMPARE(w.text(missing), QString());
            if (missing.name != QLatin1String("cmbPara") || missing.index != 2110)
                QCOMPARE(w.selection(missing), -1);
        }
        w.setStatusText(9, QStringLiteral("x"));
        w.setTabCaption(7, QStringLiteral("x"));
        QCOMPARE(r.tabs()->count(), 7);
    }

    void accessibleNamesFollowTheLabels()
    {
        WindowRig r;
        // Every entry box and list is its label's buddy and carries the label's text.
        for (QLabel* label : r.window->findChildren<QLabel*>()) {
            if (!label->objectName().startsWith(QLatin1String("lblPara")))
                continue;
            QVERIFY2(label->buddy(), qPrintable(label->objectName()));
            QCOMPARE(label->buddy()->accessibleName(), label->text());
        }
        r.window->setCaption(el::lblPara(2125), QStringLiteral("Edge &evaluation"));
        QCOMPARE(r.find("cmbPara_2125")->accessibleName(), QStringLiteral("Edge evaluation"));
        r.window->setText(el::lblPara(3102), QStringLiteral("mm reference"));
        QCOMPARE(r.find("txtPara_3102")->accessibleName(), QStringLiteral("mm reference"));

        // Every picture button is named by its hint; the reset buttons, which have none, by the
        // label beside them.
        for (QToolButton* button : r.window->findChildren<QToolButton*>())
            if (!button->toolTip().isEmpty())
                QCOMPARE(button->accessibleName(), button->toolTip());
        QCOMPARE(r.find("cmdComand_162")->accessibleName(), QStringLiteral("Werkseinstellung Achse"));
        QCOMPARE(r.find("cmdComand_128")->accessibleName(), QStringLiteral("Start Absolut"));
        QCOMPARE(r.find("cmdConnect")->accessibleName(), QStringLiteral("Verbinden"));
        r.window->setHint(Element{QStringLiteral("cmdConnect"), 0}, QStringLiteral("Connect"));
        QCOMPARE(r.find("cmdConnect")->accessibleName(), QStringLiteral("Connect"));
        QCOMPARE(r.find("cmdConnect")->toolTip(), QStringLiteral("Connect"));
    }

    void infoButtonOpensOneAboutWindow()
    {
        WindowRig r;
        r.started();
        AboutWindow* orven = r.window->splashWindow(1);
        AboutWindow* maker = r.window->splashWindow(0);
        QCOMPARE(orven->objectName(), QStringLiteral("frmSplashOrven"));
        QCOMPARE(maker->objectName(), QStringLiteral("frmSplash"));
        auto* info = r.find<QToolButton>("cmdInfo");

        QTest::mouseClick(info, Qt::LeftButton);
        QVERIFY(orven->isVisible());
        QVERIFY(!maker->isVisible());
        // Any key hides it; it stays the same window.
        QTest::keyClick(orven, Qt::Key_A);
        QVERIFY(!orven->isVisible());
        QCOMPARE(r.window->splashWindow(1), orven);

        // A click on the frame hides it, and so does its button.
        QTest::mouseClick(info, Qt::LeftButton);
        QTest::mouseClick(orven->findChild<QWidget*>(QStringLiteral("lblCompany")), Qt::LeftButton);
        QVERIFY(!orven->isVisible());
        QTest::mouseClick(info, Qt::LeftButton);
        QTest::mouseClick(orven->findChild<QWidget*>(QStringLiteral("cmdExit")), Qt::LeftButton);
        QVERIFY(!orven->isVisible());

        // While one shows, the button opens nothing more.
        QTest::mouseClick(info, Qt::LeftButton);
        r.state.splashVariant = 0;
        QTest::mouseClick(info, Qt::LeftButton);
        QVERIFY(!maker->isVisible());
        orven->hide();
        QTest::mouseClick(info, Qt::LeftButton);
        QVERIFY(maker->isVisible());
        QVERIFY(maker->findChild<QLabel*>(QStringLiteral("lblKunde")));
        maker->hide();

        // Not during a transfer.
        r.state.transferActive = true;
        QTest::mouseClick(info, Qt::LeftButton);
        QVERIFY(!maker->isVisible());
    }

    void aboutWindowsCarryTheirVersions_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("date");
        QTest::newRow("distributor") << 1 << QStringLiteral("version 2-0") << QStringLiteral("7.10.2005");
        QTest::newRow("maker") << 0 << QStringLiteral("version 1-9") << QStringLiteral("20.08.2005");
    }
    void aboutWindowsCarryTheirVersions()
    {
        WindowRig r;
        QFETCH(int, variant);
        AboutWindow* about = r.window->splashWindow(variant);
        QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblProductName"))->text(), QStringLiteral("Kinetra"));
        QTEST(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), "version");
        QTEST(about->findChild<QLabel*>(QStringLiteral("lblDate"))->text(), "date");
        QCOMPARE(about->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lblContact_"))).size(), 5);
    }

    void languageButtonsCheckTheFileOnlyForTheLeftButton()
    {
        WindowRig r;
        r.started();
        QWidget* french = r.find("cmdLanguage_3");
        const QPoint inside(5, 5);

        QTest::mouseRelease(french, Qt::LeftButton, {}, inside);
        QCOMPARE(r.dialogs.texts(), QStringList{kNotAvailable});
        QCOMPARE(r.state.languageIndex, 1);

        QTest::mouseRelease(french, Qt::LeftButton, {}, QPoint(-3, 5));
        QTest::mouseRelease(french, Qt::RightButton, {}, QPoint(french->width() + 2, 5));
        QCOMPARE(r.dialogs.shown.size(), 1);

        // Another button loads without the check: the index changes, the setting does not.
        QTest::mouseRelease(french, Qt::RightButton, {}, inside);
        QCOMPARE(r.state.languageIndex, 3);
        QCOMPARE(r.dialogs.texts(), (QStringList{kNotAvailable, kNotAvailable}));
        QCOMPARE(r.stored("Language"), QStringLiteral("1"));
    }

    // Every selection list shows the drive's value, or nothing where the table holds none, after
    // the full read and again after a language switch that lands inside a poll's answer; the
    // lists whose items depend on the level have the drive's level's items.
    void listsShowTheDrivesValuesAcrossALanguageSwitch_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("inputItems");
        QTest::addColumn<int>("invertedText"); // the entry of the list texts that value 1 of 2126 shows
        QTest::newRow("level 499") << 499 << 4 << 4;
        QTest::newRow("level 540") << 540 << 5 << 5;
    }
    void listsShowTheDrivesValuesAcrossALanguageSwitch()
    {
        QFETCH(int, level);
        QFETCH(int, inputItems);
        QFETCH(int, invertedText);
        const QString programFolder = QCoreApplication::applicationDirPath();
        if (!QFile::exists(programFolder + QStringLiteral("/English.txt")))
            QSKIP("no language files beside the test");
        sim::DriveConfig config;
        config.pacing = true;
        config.softwareVersion = level;
        config.startValues = {{2125, 4}, {2126, 1}, {2147, 2}};
        WindowRig r(config, {{"Language", "1"}}, Presets::Written, programFolder);
        r.liveDisplay().started();
        const QList<int> lists{2125, 2126, 2127, 2129, 2130, 2136, 2139, 2142, 2146, 2147, 2148, 2149};
        // Before any value has come, the lists show nothing.
        for (const int list : lists)
            QCOMPARE(r.find<QComboBox>(QStringLiteral("cmbPara_%1").arg(list))->currentIndex(), -1);
        r.connected();
        const auto showTheTable = [&] {
            for (const int list : lists) {
                auto* box = r.find<QComboBox>(QStringLiteral("cmbPara_%1").arg(list));
                const auto slot = r.state.table.value(list).toInteger();
                const int expected = slot ? selectionOfValue(list, *slot).value_or(-1) : -1;
                QVERIFY2(box->currentIndex() == expected,
                         qPrintable(QStringLiteral("%1 shows %2").arg(list).arg(box->currentIndex())));
            }
            QCOMPARE(r.find<QComboBox>("cmbPara_2125")->currentIndex(), 2); // 4 edges
            QCOMPARE(r.find<QComboBox>("cmbPara_2146")->count(), inputItems);
            QCOMPARE(r.find<QComboBox>("cmbPara_2126")->currentText(), r.state.selectionTexts.value(invertedText - 1));
        };
        showTheTable();
        InputInsideAnswer inject(r.clock, r.port);
        inject.arm(AnswerPoint::Half,
                   [&] { QTest::mouseRelease(r.find("cmdLanguage_0"), Qt::LeftButton, {}, QPoint(5, 5)); });
        r.clock.advance(0.5);
        QVERIFY(inject.heldUntilTheAnswerWasIn());
        QCOMPARE(r.state.languageIndex, 0);
        QCOMPARE(r.state.selectionTexts.value(0), QStringLiteral("1x"));
        showTheTable();
    }

    // A switch shows every text of the new language at once, those taken from the message
    // table included, and leaves no help text of the old one.
    void aLanguageSwitchLeavesNoTextOfTheOldLanguage()
    {
        const QString programFolder = QCoreApplication::applicationDirPath();
        if (!QFile::exists(programFolder + QStringLiteral("/English.txt")))
            QSKIP("no language files beside the test");
        WindowRig r({}, {{"Language", "1"}}, Presets::Written, programFolder);
        r.started();
        r.window->cmdTool_Click();
        const auto texts = [&] {
            return QStringList{r.find<QCheckBox>("chkRead_0")->text(), r.find<QCheckBox>("chkRead_1")->text(),
                               r.find<QCheckBox>("chkReadStop_0")->text(), r.find<QLabel>("txtCur")->text(),
                               r.find<QLabel>("txtPwm")->text(), r.find<QCheckBox>("Check2")->text()};
        };
        const auto fromMessages = [&] {
            const SharedState& s = r.state;
            return QStringList{s.message(45), s.message(46), s.message(47), s.message(43) + "1A",
                               s.message(43) + "24" + s.message(44), s.message(63)};
        };
        QCOMPARE(texts(), fromMessages());
        const QStringList german = texts();
        r.window->setText(el::helpLine(), r.state.message(40));
        QTest::mouseRelease(r.find("cmdLanguage_0"), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(r.state.languageIndex, 0);
        QCOMPARE(texts(), fromMessages());
        QVERIFY(texts() != german);
        QCOMPARE(r.find<QLineEdit>("txtHelp_0")->text(), QString());
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
        const QString programFolder = QCoreApplication::applicationDirPath();
        if (!QFile::exists(programFolder + QStringLiteral("/English.txt")))
            QSKIP("no language files beside the test");
        WindowRig r({}, {{"Language", QString::number(language)}}, Presets::Written, programFolder);
        r.started();
        r.window->resize(1280, 800);
        // The diagnostics page shows from level 500 on.
        r.find<QTabWidget>("SSTab1")->setTabVisible(4, true);
        int checked = 0;
        for (const int tab : {0, 4}) {
            r.find<QTabWidget>("SSTab1")->setCurrentIndex(tab);
            QApplication::processEvents();
            const struct {
                const char* box;
                QList<int> messages;
            } boxes[] = {{"txtPara_2180", statusBoxMessages()},
                         {"txtPara1_2180", statusBoxMessages()},
                         {"txtPara_0", pageTextMessages()},
                         {"txtPara_1", {kModelNote}}};
            for (const auto& b : boxes) {
                auto* box = r.find<QLineEdit>(b.box);
                if (!box->isVisible())
                    continue;
                const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
                // A line edit shows its text inside its frame and a margin of 2 pixels a side.
                const int room = box->width() - 2 * frame - 4;
                ++checked;
                for (const int message : b.messages) {
                    const QString text = r.state.message(message);
                    QVERIFY2(QFontMetrics(box->font()).horizontalAdvance(text) <= room,
                             qPrintable(QStringLiteral("%1: \"%2\" in %3 pixels").arg(b.box, text).arg(room)));
                }
            }
        }
        QCOMPARE(checked, 4 + 2); // boxes 2180 and 1 beside both pages, 2180 and 0 on the diagnostics page
    }

    void theGermanFileReproducesTheDesignTexts()
    {
        // The language files are copied beside the programs, this test among them.
        const QString programFolder = QCoreApplication::applicationDirPath();
        if (!QFile::exists(programFolder + QStringLiteral("/German.txt")))
            QSKIP("no language files beside the test");
        WindowRig r({}, {{"Check", "1"}, {"Language", "1"}}, Presets::None, programFolder);
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

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
