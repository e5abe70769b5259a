// A technician's flows on the real window against the simulated drive with live polling: every
// click and key lands inside a poll's answer wait and must run once the answer is in, whole.
#include "window_rig.h"

#include "../display/diagnose_window_rig.h"
#include "diagnosis_chart.h"

#include "frm_login.h"
#include "frm_save.h"
#include "input_inside_answer.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace kinetra;
using namespace kinetra::test;

namespace {

void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Runs `action` inside the answer to the next poll, lets `seconds` pass, and says when it ran.
double insidePoll(WindowRig& r, AnswerPoint point, const std::function<void()>& action, double seconds = 1)
{
    InputInsideAnswer inject(r.clock, r.port);
    inject.arm(point, action);
    r.clock.advance(seconds);
    [&] { QVERIFY(inject.heldUntilTheAnswerWasIn()); }();
    return inject.ranAt();
}
// The same, for what it wrote.
QStringList writesInsidePoll(WindowRig& r, AnswerPoint point, const std::function<void()>& action)
{
    const auto from = r.mark();
    insidePoll(r, point, action);
    return r.writes(from);
}

// Lamps lit, by number: ledOn shown and ledOff hidden.
QList<int> litLamps(const WindowRig& r)
{
    QList<int> lit;
    for (int k = 0; k <= 8; ++k)
        if (!r.hidden(QStringLiteral("ledOn_%1").arg(k)) && r.hidden(QStringLiteral("ledOff_%1").arg(k)))
            lit << k;
    return lit;
}

const QList<int> kLists{2125, 2126, 2127, 2129, 2130, 2136, 2139, 2142, 2146, 2147, 2148, 2149};

// Every selection list shows the drive's value, or nothing where the table holds none.
void listsShowTheTable(WindowRig& r)
{
    for (const int list : kLists) {
        const auto slot = r.state.table.value(list).toInteger();
        const int expected = slot ? selectionOfValue(list, *slot).value_or(-1) : -1;
        const int shown = r.find<QComboBox>(QStringLiteral("cmbPara_%1").arg(list))->currentIndex();
        QVERIFY2(shown == expected, qPrintable(QStringLiteral("%1 shows %2").arg(list).arg(shown)));
    }
}

// Per level: axis reads, version, newer tabs, input list items, the text of 2126=1, and writes.
const struct {
    int level, axisReads;
    const char* version;
    bool newerPages;
    int inputItems, countingText;
    QStringList commit, direction;
} kLevels[] = {
    {499, 59, "V4-99", false, 4, 3, {"2110=250", "2152=137", "2101=25"}, {"2126=0", "2142=1"}},
    {539, 59, "V5-39", true, 5, 4, {"2110=250", "2101=25"}, {"2126=0", "2142=0"}},
    {540, 100, "V5-40", true, 5, 4, {"2110=250", "2101=25"}, {"2126=0", "2142=0"}},
};

// Typed text (or list position), how it is committed, the writes, what is shown, what was asked.
struct Edit {
    const char* name;
    int box, decPnt;
    const char *typed, *how;
    QStringList written;
    const char *shown, *asked = "";
};
const Edit kEdits[] = {
    {"position, 1 place", 2101, 1, "7", "enter", {"2101=70"}, "7,0"},
    {"extra decimal stays a digit", 2101, 1, "7,25", "enter", {"2101=725"}, "72,5"},
    {"position, 2 places", 2102, 2, "12,5", "enter", {"2102=1250"}, "12,50"},
    {"position, no places", 2102, 0, "12,5", "enter", {"2102=125"}, "125"},
    {"hundredths", 2110, 1, "1,234", "enter", {"2110=1234"}, "12,34"},
    {"hundredths typed whole", 2110, 3, "0,5", "enter", {"2110=50"}, "0,50"},
    {"thousandths", 2115, 1, "3", "enter", {"2115=3000"}, "3,000"},
    {"plain", 2106, 1, "1,5", "enter", {"2106=15"}, "15"},
    {"negative", 2103, 2, "-0,50", "enter", {"2103=-50"}, "-0,50"},
    {"minus zero", 2103, 0, "-0", "enter", {"2103=0"}, "0"},
    {"leading zeros", 2106, 1, "007", "enter", {"2106=7"}, "7"},
    {"simple panel mirror", 3107, 1, "4", "enter", {"2107=400"}, "4,00"},
    {"beyond the range: refused", 2113, 1, "150", "enter", {"2113=150"}, "80", "msg75"},
    {"refused on the mirror", 3113, 1, "0", "enter", {"2113=0"}, "80", "msg75"},
    {"letters and points dropped as typed", 2106, 1, "1a2.B;", "enter", {"2106=12"}, "12"},
    {"ten characters at most", 2110, 1, "123456789012", "enter", {"2110=123456789000"}, "0,50", "msg75"},
    {"no digit at all", 2110, 1, ",,", "enter", {}, ",,"},
    {"minus inside a scaled entry", 2110, 1, "1-2", "enter", {}, "1-2"},
    {"read-only box", 2100, 1, "5", "enter", {}, nullptr},
    {"left unchanged: no question", 2110, 1, "0,50", "leave", {}, "0,50"},
    {"left, answered no", 2110, 1, "1,5", "leave", {}, "0,50", "msg36"},
    {"left, answered yes", 2110, 1, "1,5", "leave yes", {"2110=150"}, "1,50", "msg36"},
    {"one edge", 2125, 1, "0", "enter", {"2125=1"}, "0"},
    {"two edges", 2125, 1, "1", "enter", {"2125=2"}, "1"},
    {"four edges", 2125, 1, "2", "enter", {"2125=4"}, "2"},
    {"the list position is the value", 2127, 1, "1", "enter", {"2127=1"}, "1"},
    {"list choice refused", 2125, 1, "0", "refuse", {"2125=1"}, "1", "msg75"},
    {"list left, answered no", 2125, 1, "2", "leave", {}, "1", "msg36"},
    {"decimals x to x.x", 2101, 0, nullptr, "decimals 1", {"2101=-12345"}, "-1234,5"},
    {"decimals x.x to x.xx", 2101, 1, nullptr, "decimals 2", {"2101=-12345"}, "-123,45"},
    {"decimals x.xx to x", 2101, 2, nullptr, "decimals 0", {"2101=-12345"}, "-12345"},
};

} // namespace

class TestWindowFlows : public QObject {
    Q_OBJECT
private slots:
    // Connect reads the device, then the axis parameters the drive's level has; the window
    // shows what that level offers, and a commit follows the level's rules.
    void connectReadsAndShowsWhatTheLevelHas_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kLevels)); ++i)
            QTest::newRow(kLevels[i].version) << i;
    }
    void connectReadsAndShowsWhatTheLevelHas()
    {
        QFETCH(int, row);
        const auto& [level, axisReads, version, newerPages, inputItems, countingText, commit, direction] = kLevels[row];
        WindowRig r(WindowRig::paced(level, {{2125, 4}, {2126, 1}, {2147, 2}}), {}, WindowRig::Presets::Written,
                    QCoreApplication::applicationDirPath());
        r.started();
        for (const int list : kLists)
            QCOMPARE(r.find<QComboBox>(QStringLiteral("cmbPara_%1").arg(list))->currentIndex(), -1);
        QCOMPARE(r.find<QLabel>("StatusBar1_1")->text(), QStringLiteral(" RS232 : OFFLINE"));

        r.connected();
        QList<int> reads;
        for (const Sent& s : r.sent())
            if (s.poll && s.cmd != 2000)
                reads << s.cmd;
        reads = reads.mid(0, reads.indexOf(2199) + 1);
        const auto count = [&](int from, int to) {
            return std::count_if(reads.begin(), reads.end(), [&](int c) { return c >= from && c <= to; });
        };
        QCOMPARE(count(2400, 2499), 38);
        QCOMPARE(count(2100, 2199), axisReads);
        QCOMPARE(reads.size(), 38 + axisReads);
        QCOMPARE(reads.contains(2156) && reads.contains(2190), level >= 540);
        QVERIFY(r.com->timerReceive().isEnabled() && r.dialogs.shown.isEmpty());
        QCOMPARE(r.box(2402)->text(), QString(version));
        QCOMPARE(r.tabs()->isTabVisible(4), newerPages);
        QCOMPARE(r.tabs()->isTabVisible(5), newerPages);
        listsShowTheTable(r);
        QCOMPARE(r.find<QComboBox>("cmbPara_2125")->currentIndex(), 2);
        QCOMPARE(r.find<QComboBox>("cmbPara_2146")->count(), inputItems);
        QCOMPARE(r.find<QComboBox>("cmbPara_2126")->currentText(), r.state.selectionTexts.value(countingText));

        // Below 500 a value is taken over with 137 (the set position needs none); with the
        // internal measuring system the motor direction follows the counting direction, inverted
        // below 500, and with an external one it is left alone.
        r.type(2110, "2,5", false);
        r.type(2101, "2,5", false);
        const auto enter = [&] { QTest::keyClick(r.box(2110), Qt::Key_Return), QTest::keyClick(r.box(2101), Qt::Key_Return); };
        QCOMPARE(writesInsidePoll(r, AnswerPoint::Half, enter), commit);
        auto* counting = r.find<QComboBox>("cmbPara_2126");
        const auto commitCounting = [&](int position, AnswerPoint point) {
            counting->setCurrentIndex(position);
            emit counting->activated(position);
            return writesInsidePoll(r, point, [&] { QTest::keyClick(counting, Qt::Key_Return); });
        };
        QCOMPARE(commitCounting(0, AnswerPoint::LastCharacter), direction);
        r.find<QCheckBox>("chkEncoder")->click();
        QCOMPARE(commitCounting(1, AnswerPoint::Half), QStringList{"2126=1"});

        // A language switch shows every text of the new language at once, refills the lists
        // for the level with the drive's values still shown, and leaves the values alone.
        r.window->cmdTool_Click();
        const auto texts = [&] {
            return QStringList{r.find<QCheckBox>("chkRead_0")->text(), r.find<QLabel>("txtCur")->text(),
                               r.find<QLabel>("txtPwm")->text(), r.find<QCheckBox>("Check2")->text(),
                               r.find<QComboBox>("cmbPara_2125")->itemText(0)};
        };
        const auto fromMessages = [&] {
            const SharedState& s = r.state;
            return QStringList{s.message(45), s.message(43) + "1A", s.message(43) + "24" + s.message(44),
                               s.message(63), s.selectionTexts.value(0)};
        };
        QCOMPARE(texts(), fromMessages());
        const QStringList german = texts();
        const QString value = r.box(2110)->text();
        r.window->setText(el::helpLine(), r.state.message(40));
        const auto from = r.mark();
        insidePoll(r, AnswerPoint::FirstCharacter,
                   [&] { QTest::mouseRelease(r.find("cmdLanguage_0"), Qt::LeftButton, {}, QPoint(5, 5)); });
        QCOMPARE(r.state.languageIndex, 0);
        QCOMPARE(texts(), fromMessages());
        QCOMPARE(r.state.selectionTexts.value(0), QStringLiteral("1x"));
        QVERIFY(texts() != german);
        QCOMPARE(r.find<QLineEdit>("txtHelp_0")->text(), QString());
        listsShowTheTable(r);
        QCOMPARE(r.find<QComboBox>("cmbPara_2146")->count(), inputItems);
        QCOMPARE(r.box(2110)->text(), value);
        QCOMPARE(r.writes(from), QStringList());
        QVERIFY(r.nothingOverlapped());
    }

    // A typed number is scaled by its parameter's decimal places, a list position becomes the
    // drive's value (edges 0/1/2 are 1/2/4), and either is written once; a refused value is rolled
    // back in the window (mirror too) and the table. Decimals changed online show positions anew.
    void anEditIsWrittenOrRolledBack_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kEdits)); ++i)
            QTest::newRow(kEdits[i].name) << i;
    }
    void anEditIsWrittenOrRolledBack()
    {
        QFETCH(int, row);
        const Edit& e = kEdits[row];
        const int box = e.box;
        const QString how = e.how, typed = e.typed, shown = e.shown, asked = e.asked;
        WindowRig r(WindowRig::paced(540, {{2125, 2}, {2101, -12345}}), {{"Decpnt", QString::number(e.decPnt)}});
        r.started().connected();
        const int cmd = commandOfBox(box);
        const QString before = r.state.table.value(cmd).toText();
        auto* list = r.find<QComboBox>(QStringLiteral("cmbPara_%1").arg(box));
        QWidget* widget = list ? static_cast<QWidget*>(list) : r.box(box);
        if (list) {
            list->setCurrentIndex(typed.toInt());
            emit list->activated(typed.toInt());
        } else if (!typed.isNull()) {
            r.type(box, typed, false);
        }
        if (how == QLatin1String("leave yes"))
            r.dialogs.answers.push_back(MessageAnswer::Yes);
        r.drive.faults().refuseWrites = how == QLatin1String("refuse");
        const auto from = r.mark();
        insidePoll(r, AnswerPoint(row % 3), [&] {
            if (how.startsWith(QLatin1String("decimals")))
                r.window->elementAs<QAbstractButton>(Element{"optDec", how.right(1).toInt()})->click();
            if (how.startsWith(QLatin1String("leave")))
                r.leave(widget);
            else
                QTest::keyClick(widget, Qt::Key_Return);
        });
        QCOMPARE(r.writes(from), e.written);
        if (!shown.isNull())
            QCOMPARE(list ? QString::number(list->currentIndex()) : r.box(box)->text(), shown);
        QCOMPARE(r.window->pendingSelection() != 0, list && how == QLatin1String("leave"));
        QCOMPARE(r.dialogs.texts(), asked.isEmpty() ? QStringList() : QStringList{asked});
        if (asked == QLatin1String("msg36"))
            QCOMPARE(r.dialogs.shown[0].defaultAnswer, MessageAnswer::No);
        if (asked == QLatin1String("msg75"))
            QCOMPARE(r.state.table.value(cmd).toText(), before);
        if (const auto mirror = mirrorBoxOf(cmd); mirror && !e.written.isEmpty())
            QCOMPARE(r.box(*mirror)->text(), r.box(cmd)->text());
        if (!e.written.isEmpty() || !asked.isEmpty())
            QVERIFY(!r.find(QStringLiteral("lblPara_%1").arg(box))->property("edited").toBool());
        if (how.startsWith(QLatin1String("decimals")))
            QCOMPARE(r.box(3102)->text(), r.box(2102)->text());
        // The live display writing into a box only shows; it never commits.
        r.window->setText(el::txtPara(2111), QStringLiteral("12345678901"));
        const auto later = r.mark();
        r.clock.advance(0.5);
        QCOMPARE(r.writes(later), QStringList());
        QCOMPARE(r.box(2111)->text(), QString()); // longer than ten characters: emptied
        QVERIFY(r.nothingOverlapped());
    }

    // A command goes out 0.4 s after the click with no poll in between; a jog goes out on the
    // press and stops once, however the holding ends. The polling resumes after either.
    void commandsAndJogs_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("end");
        QTest::addColumn<AnswerPoint>("point");
        QTest::newRow("Start Absolut") << 128 << "click" << AnswerPoint::FirstCharacter;
        QTest::newRow("reference run") << 139 << "click" << AnswerPoint::LastCharacter;
        QTest::newRow("jog, released") << 132 << "release" << AnswerPoint::FirstCharacter;
        QTest::newRow("negative jog, released") << 133 << "release" << AnswerPoint::Half;
        QTest::newRow("jog released outside the button") << 132 << "outside" << AnswerPoint::LastCharacter;
        QTest::newRow("jog button loses the focus") << 132 << "focus" << AnswerPoint::Half;
        QTest::newRow("window closes while the jog is held") << 132 << "close" << AnswerPoint::Half;
        QTest::newRow("window closes before the stop") << 132 << "release and close" << AnswerPoint::Half;
    }
    void commandsAndJogs()
    {
        QFETCH(int, button);
        QFETCH(QString, end);
        QFETCH(AnswerPoint, point);
        WindowRig r(WindowRig::paced());
        r.started().connected();
        QAbstractButton* b = r.button(button);
        const QString code = QStringLiteral("2152=%1").arg(button);
        const auto from = r.mark();
        if (end == QLatin1String("click")) {
            const double ranAt = insidePoll(r, point, [&] { click(b); });
            QCOMPARE(r.writes(from), QStringList{code});
            const double sentAt = r.framesOf(from, 2152).first().time;
            QVERIFY2(qAbs(sentAt - ranAt - 0.4) < 0.01, qPrintable(QString::number(sentAt - ranAt)));
            for (const Sent& s : r.sent(from))
                QVERIFY(!(s.poll && s.time > ranAt && s.time < sentAt));
            QVERIFY(r.com->timerReceive().isEnabled() && r.nothingOverlapped());
            return;
        }
        insidePoll(r, point, [&] { QTest::mousePress(b, Qt::LeftButton); });
        QCOMPARE(r.writes(from), QStringList{code});
        // (A negative jog from the start position ends at once at the end limit.)
        QCOMPARE(r.drive.model().axis(1).moving(), button == 132);
        const QStringList stopped{code, "2152=129"};
        if (end.contains(QLatin1String("close"))) {
            if (end != QLatin1String("close"))
                QTest::mouseRelease(b, Qt::LeftButton, {}, b->rect().center());
            r.window->close();
            QCOMPARE(r.writes(from), stopped);
            return;
        }
        if (end == QLatin1String("focus")) {
            r.leave(b);
            r.clock.advance(1);
            QCOMPARE(r.writes(from), stopped);
        }
        const auto atRelease = r.mark();
        QTest::mouseRelease(b, Qt::LeftButton, {}, end == QLatin1String("release") ? b->rect().center() : QPoint(-8, -8));
        QCOMPARE(r.writes(atRelease), QStringList());
        r.clock.advance(2);
        QCOMPARE(r.writes(from), stopped);
        r.clock.advance(5);
        QVERIFY(!r.drive.model().axis(1).moving() && r.com->timerReceive().isEnabled() && r.nothingOverlapped());
    }

    // Stop while a silent drive's poll waits: Stop acts as soon as the poll has ended, without
    // its retries, and a link the user took offline is not reported as broken.
    void stopDuringASilentDrivesPollTakesTheLinkOfflineQuietly()
    {
        WindowRig r(WindowRig::paced());
        r.started().connected();
        r.drive.faults().silent = true;
        const double pressed = r.clock.now() + 0.2;
        r.clock.postUserInput(pressed, [&] { click(r.find<QAbstractButton>("cmdStop")); });
        r.clock.advance(5);
        QVERIFY(r.state.comOnline == 0 && r.dialogs.shown.isEmpty());
        QCOMPARE(r.find<QLabel>("StatusBar1_1")->text(), QStringLiteral(" RS232 : OFFLINE"));
        const QList<Sent> all = r.sent();
        QVERIFY(std::count_if(all.begin(), all.end(), [&](const Sent& s) { return s.poll && s.time > pressed; }) <= 1);
    }

    // 153 goes out on the press. The save window stops polling; "Speichern" sends 137, 1 s, 138,
    // then 3 s of quiet. "Saved" shows only once the drive acknowledged.
    void saveWithItsPauses_data()
    {
        QTest::addColumn<AnswerPoint>("point");
        QTest::addColumn<bool>("refusing");
        QTest::newRow("first character in") << AnswerPoint::FirstCharacter << false;
        QTest::newRow("all but the last character in") << AnswerPoint::LastCharacter << false;
        QTest::newRow("a drive that refuses") << AnswerPoint::Half << true;
    }
    void saveWithItsPauses()
    {
        QFETCH(AnswerPoint, point);
        QFETCH(bool, refusing);
        WindowRig r(WindowRig::paced());
        r.started().connected();
        QCOMPARE(writesInsidePoll(r, point, [&] { click(r.button(153)); }), QStringList{"2152=153"});

        std::unique_ptr<frmSave> save;
        r.window->onSaveWindow = [&] {
            save = std::make_unique<frmSave>(*r.com, *r.window, r.window.get());
            save->show();
        };
        QCOMPARE(writesInsidePoll(r, point, [&] { click(r.button(138)); }), QStringList());
        QVERIFY(save && save->isVisible() && !r.com->timerReceive().isEnabled());
        const auto from = r.mark();

        r.drive.faults().refuseWrites = refusing;
        QStringList helpTexts;
        QObject::connect(r.find<QLineEdit>("txtHelp_0"), &QLineEdit::textChanged, [&](const QString& t) { helpTexts << t; });
        const double clicked = r.clock.now() + 0.2;
        r.clock.postUserInput(clicked, [&] { click(save->findChild<QPushButton*>("cmdComand1_0")); });
        // "End" right behind it: it closes the window once the save is through.
        r.clock.postUserInput(clicked + 0.05, [&] { click(save->findChild<QPushButton*>("cmdComand1_1")); });
        r.clock.advance(6);
        QVERIFY(!save->isVisible() && r.nothingOverlapped());
        if (refusing) {
            QCOMPARE(r.writes(from), QStringList{"2152=137"});
            QVERIFY(!helpTexts.contains("msg62"));
            QCOMPARE(r.dialogs.texts(), QStringList{"msg75"});
            return;
        }
        QCOMPARE(r.writes(from), QStringList({"2152=137", "2152=138"}));
        const auto takeOver = r.framesOf(from, 2152, "137").first();
        const auto saved = r.framesOf(from, 2152, "138").first();
        const double pause = saved.time - takeOver.answerTo;
        QVERIFY2(pause >= 1.0 && pause < 1.2, qPrintable(QString::number(pause)));
        // While the drive saves message 76, then 62.
        QVERIFY(helpTexts.contains("msg76") && helpTexts.lastIndexOf("msg62") > helpTexts.indexOf("msg76"));
        // The polling resumes with the window closed, not before the drive has saved.
        const QList<Sent> sent = r.sent(from);
        const auto next = std::find_if(sent.begin(), sent.end(), [&](const Sent& s) { return s.time > saved.time; });
        QVERIFY(next != sent.end() && next->poll && next->time >= saved.answerTo + 3.0);
    }

    // On a locked window a service press opens the login only; a wrong password is selected for
    // retyping; after the login the reset goes out, 2 s of progress, then everything is read again.
    void aServiceResetAfterTheLogin_data() { addAnswerPoints(); }
    void aServiceResetAfterTheLogin()
    {
        QFETCH(AnswerPoint, point);
        WindowRig r(WindowRig::paced(), {{"Security", "1"}});
        r.started().connected();
        QVERIFY(!r.find("Check2")->isEnabled());
        r.onModal = [&](QDialog& d) {
            QTest::keyClicks(d.findChild<QLineEdit*>("txtPassword"), "secret");
            click(d.findChild<QPushButton*>("cmdOK"));
        };
        auto from = r.mark();
        insidePoll(r, point, [&] { click(r.button(162)); });
        QCOMPARE(r.modalsOpened, 1);
        QCOMPARE(r.dialogs.texts(), QStringList{"msg73"});
        frmLogin* login = r.window->loginWindow();
        // The login window's captions come from the messages.
        QCOMPARE(r.dialogs.shown[0].title, QStringLiteral("msg68"));
        QCOMPARE(login->windowTitle(), QStringLiteral("msg68"));
        QCOMPARE(login->findChild<QPushButton*>("cmdOK")->text(), QStringLiteral("msg41"));
        QVERIFY(login->isVisible() && !r.state.loginGranted);
        auto* password = login->findChild<QLineEdit*>("txtPassword");
        QCOMPARE(password->selectedText(), QStringLiteral("secret"));
        QTest::keyClicks(password, "Talvo");
        QTest::keyClick(password, Qt::Key_Return); // OK is the default button
        QVERIFY(r.state.loginGranted && !login->isVisible());
        QVERIFY(r.find("frameSecurity")->isEnabled() && r.find("Check2")->isEnabled());
        QCOMPARE(r.writes(from), QStringList());

        QList<int> progress;
        QObject::connect(r.find<QProgressBar>("ProgressBar1"), &QProgressBar::valueChanged, [&](int v) { progress << v; });
        from = r.mark();
        const double clicked = insidePoll(r, point, [&] { click(r.button(162)); }, 8);
        QCOMPARE(r.writes(from), QStringList{"2452=162"});
        const auto reset = r.framesOf(from, 2452).first();
        QVERIFY(qAbs(reset.time - clicked - 0.4) < 0.01);
        const auto reread = r.framesOf(from, 2400);
        QCOMPARE(reread.size(), 1);
        const double restore = reread[0].time - reset.answerTo;
        QVERIFY2(restore >= 2.0 && restore < 2.3, qPrintable(QString::number(restore)));
        QVERIFY(*std::max_element(progress.begin(), progress.end()) >= 75);
        QCOMPARE(progress.last(), 0);
        const QList<Sent> sent = r.sent(from);
        QVERIFY(std::count_if(sent.begin(), sent.end(), [](const Sent& s) { return s.poll && s.cmd / 100 == 24; }) >= 38);
        QVERIFY(r.com->timerReceive().isEnabled() && r.state.comOnline == 1 && r.nothingOverlapped());
        QCOMPARE(r.dialogs.shown.size(), 1);
        QVERIFY(!r.find("framepara_0")->isEnabled()); // the lock stays on the rest

        // Cancel (Escape) withdraws the login: the next press asks again.
        login->show();
        QTest::keyClick(login, Qt::Key_Escape);
        QVERIFY(!r.state.loginGranted);
        r.onModal = {};
        QCOMPARE(writesInsidePoll(r, point, [&] { click(r.button(161)); }), QStringList());
        QCOMPARE(r.modalsOpened, 2);
    }

    // The next move waits for "in position" after the last one's acknowledgement, then the pause;
    // a canOPEN bus state in the high bits does not stop the test, the Stop press does.
    void theEnduranceTestWaitsForEachMove_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<AnswerPoint>("point");
        QTest::newRow("RS232") << 2011 << AnswerPoint::FirstCharacter;
        QTest::newRow("canOPEN, bus state in the high bits") << 2013 << AnswerPoint::LastCharacter;
    }
    void theEnduranceTestWaitsForEachMove()
    {
        QFETCH(int, deviceType);
        QFETCH(AnswerPoint, point);
        // Fast and slow speed 1 % of the top speed: 2 mm/s, so 5 mm take 2.5 s.
        sim::DriveConfig config = WindowRig::paced(540, {{2113, 4}, {2114, 4}});
        config.deviceType = deviceType;
        config.busState = 5;
        WindowRig r(config);
        r.started().connected();
        QCOMPARE(r.state.table.value(2180).toInteger().value_or(0) > 0xFFFF, deviceType == 2013);
        // The test's positions and pause never reach the drive.
        const auto typed = r.mark();
        r.type(10, "0");
        r.type(11, "50");
        r.type(12, "1");
        QCOMPARE(r.com->TimerTest().interval(), 1000);
        QCOMPARE(r.writes(typed), QStringList());
        const auto from = r.mark();
        insidePoll(r, point, [&] { QTest::mousePress(r.button(0), Qt::LeftButton); }, 0.5);
        QTest::mouseRelease(r.button(0), Qt::LeftButton);
        r.clock.advance(30);
        const auto moves = r.framesOf(from, 2152, "128");
        QVERIFY2(moves.size() >= 4, qPrintable(QString::number(moves.size())));
        // The first move goes to where the drive stands already: it is in position at once.
        for (qsizetype i = 2; i < moves.size(); ++i)
            QVERIFY(moves[i].time - moves[i - 1].answerTo >= 3.5);
        const QStringList targets = r.writes(from).filter(QStringLiteral("2101="));
        for (qsizetype i = 0; i < targets.size(); ++i)
            QCOMPARE(targets[i], QString(i % 2 == 0 ? "2101=0" : "2101=500"));
        QVERIFY(r.state.testRunning && r.dialogs.shown.isEmpty() && r.nothingOverlapped());
        const auto atStop = r.mark();
        QTest::mousePress(r.button(129), Qt::LeftButton);
        QCOMPARE(r.writes(atStop), QStringList());
        QVERIFY(!r.state.testRunning && !r.com->TimerTest().isEnabled());
        QTest::mouseRelease(r.button(129), Qt::LeftButton);
        r.clock.advance(3);
        QCOMPARE(r.writes(atStop), QStringList{"2152=129"});
    }

    // The whole page live against a canOPEN drive with inputs 1 and 3 on, moving, and a
    // ProfiBus drive standing with its emergency-stop circuit open.
    void theDiagnosticsPageLive_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("canOPEN, moving") << 2013;
        QTest::newRow("ProfiBus, emergency stop") << 2014;
    }
    void theDiagnosticsPageLive()
    {
        QFETCH(int, type);
        const bool canOpen = type == 2013;
        // The lamps lit, the message on the page, and what panel 3 may show.
        const QList<int> lit = canOpen ? QList<int>{0, 2, 3, 5, 7, 8} : QList<int>{3, 4, 8};
        const int status1 = canOpen ? 50 : 78;
        const QStringList panel = canOpen ? QStringList{"canOPEN  operate", "canOPEN : OPERATE"}
                                          : QStringList{"ProfiBus : DATA EX "};
        sim::DriveConfig config = WindowRig::paced();
        config.pacing = false;
        config.deviceType = type;
        config.inputs = canOpen ? 1 | 4 : 0;
        config.emergencyStopOpen = !canOpen;
        DiagnoseWindowRig r(config);
        QVERIFY(r.connect());
        QCOMPARE(r.window->text(el::txtPara(2401)), QString(canOpen ? "Pivora canOPEN" : "Pivora ProfiBus"));
        if (canOpen) {
            r.moveTo(20000, 6);
            QVERIFY(r.driveDisplay->chart().chartFull());
            const auto* chart = r.find<DiagnosisChart>(QStringLiteral("picDiag"));
            const auto pixels = [&](ChartInk ink) {
                const QImage& image = chart->backingImage();
                int n = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        n += image.pixel(x, y) == chart->inkColour(ink).rgb();
                return n;
            };
            QVERIFY(pixels(ChartInk::Current) > 100 && pixels(ChartInk::Pwm) > 100);
            // A cleared trace box, or a multiplier without a digit, leaves its trace out.
            r.window->show();
            r.tabs()->setCurrentIndex(4);
            QTest::mouseClick(r.find<QCheckBox>(QStringLiteral("chkRead"), 1), Qt::LeftButton);
            auto* multiplier = r.find<QLineEdit>(QStringLiteral("valCurMult"));
            multiplier->selectAll();
            QTest::keyClicks(multiplier, QStringLiteral("x"));
            r.moveTo(0, 6);
            QVERIFY(pixels(ChartInk::Current) == 0 && pixels(ChartInk::Pwm) == 0);
            multiplier->selectAll();
            QTest::keyClicks(multiplier, QStringLiteral("2"));
            r.moveTo(20000, 6);
            QVERIFY(pixels(ChartInk::Current) > 100);
        } else {
            r.clock.advance(5);
        }
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(litLamps(r), lit);
        QCOMPARE(r.window->text(el::txtPara1(2180)), r.state.message(50));
        QCOMPARE(r.window->text(el::txtPara(2180)), r.state.message(status1));
        // The bus is up: the status word says so, or the field-bus poll does.
        auto* bar = r.find<QLabel>(QStringLiteral("StatusBar1"), 3);
        QVERIFY2(panel.contains(bar->text()), qPrintable(bar->text()));
        QCOMPARE(bar->frameShadow(), QFrame::Raised);
    }
};

QTEST_MAIN(TestWindowFlows)
#include "test_window_flows.moc"
