// The input lock, the expert view and the login window on the real window.
#include "window_rig.h"

#include "frm_login.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// Everything the input lock disables at start, the change rule's frmMain(0) included.
const QStringList kLocked = {"framepara_0",  "framepara_1",   "framepara_2",   "framepara_3",  "framepara_4",
                             "framepara_5",  "framepara_6",   "framepara_7",   "framepara_8",  "framepara_9",
                             "framepara_10", "cmdStop",       "cmdData",       "frmMain_0",
                             "frmMain_4",    "cmdComand_136", "cmdComand_138", "cmdComand_139"};

void answerLogin(WindowRig& r, const QString& user, const QString& password, const char* button = "cmdOK")
{
    r.onModal = [=](QDialog& d) {
        auto* user_ = d.findChild<QLineEdit*>("txtUserName");
        auto* password_ = d.findChild<QLineEdit*>("txtPassword");
        user_->clear();
        password_->clear();
        QTest::keyClicks(user_, user);
        QTest::keyClicks(password_, password);
        QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
    };
}

} // namespace

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void inputLockAtStartDisablesExactlyItsControls_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("caption");
        QTest::newRow("locked") << true << "Kinetra ";
        QTest::newRow("open") << false << "Kinetra";
    }
    void inputLockAtStartDisablesExactlyItsControls()
    {
        QFETCH(bool, locked);
        WindowRig r({}, {{"Security", locked ? "1" : "0"}});
        r.started();
        QTEST(r.window->windowTitle(), "caption");
        for (const QString& name : kLocked)
            QVERIFY2(r.find(name)->isEnabled() != locked, qPrintable(name));
        QCOMPARE(r.find("frameSecurity")->isEnabled(), !locked);
        QCOMPARE(r.find("Check2")->isEnabled(), !locked);
        // Not in the tables: left as they are.
        // The service frame stays open: its commands ask for the login, which opens the tool.
        for (const char* name :
             {"framepara_11", "cmdComand_161", "framepara_12", "cmdComand_128", "cmdComand_153", "cmdConnect", "cmdTool"})
            QVERIFY2(r.find(name)->isEnabled(), name);
        QCOMPARE(r.stored("Security"), QString(locked ? "1" : "0"));
    }

    void loginOpensTheAccessFrameAndCancelWithdrawsIt()
    {
        // Locked, pressing a service command opens the login and does nothing else; after it the
        // expert box is usable and the next press runs the command.
        WindowRig r({}, {{"Security", "1"}});
        r.started().connected();
        QVERIFY(!r.find("Check2")->isEnabled());
        answerLogin(r, "", "Talvo");
        auto from = r.mark();
        QTest::mouseClick(r.button(161), Qt::LeftButton);
        QCOMPARE(r.modalsOpened, 1);
        QCOMPARE(r.writes(from), QStringList());
        frmLogin* login = r.window->loginWindow();
        QVERIFY(r.state.loginGranted);
        QVERIFY(!login->isVisible());
        QVERIFY(r.find("frameSecurity")->isEnabled());
        QVERIFY(r.find("Check2")->isEnabled());
        QVERIFY(r.find("checkSecurity")->isEnabled());
        QVERIFY(r.find("checkSecurity")->isHidden());
        // The login window's captions come from the messages.
        QCOMPARE(login->windowTitle(), QStringLiteral("msg68"));
        QCOMPARE(login->findChild<QPushButton*>("cmdOK")->text(), QStringLiteral("msg41"));
        QCOMPARE(login->findChild<QPushButton*>("cmdCancel")->text(), QStringLiteral("msg67"));
        QCOMPARE(login->findChild<QLabel*>("lblLabels_1")->text(), QStringLiteral("msg66"));

        // Cancel (Escape) withdraws the login; the frame stays open.
        login->show();
        QTest::keyClick(login, Qt::Key_Escape);
        QVERIFY(!r.state.loginGranted);
        QVERIFY(!login->isVisible());
        QVERIFY(r.find("frameSecurity")->isEnabled());
        QVERIFY(r.find("Check2")->isEnabled());
        // Hidden, not destroyed: the boxes still hold what was typed.
        QCOMPARE(login->findChild<QLineEdit*>("txtPassword")->text(), QStringLiteral("Talvo"));
        // Logged in again, the next press runs the command; the lock keeps the rest disabled.
        answerLogin(r, "", "Talvo");
        QTest::mouseClick(r.button(161), Qt::LeftButton);
        from = r.mark();
        QTest::mouseClick(r.button(161), Qt::LeftButton);
        QCOMPARE(r.writes(from).value(0), QStringLiteral("2452=161"));
        for (const QString& name : kLocked)
            QVERIFY2(!r.find(name)->isEnabled(), qPrintable(name));
    }

    void aServiceCommandRunsOnlyAfterTheLogin()
    {
        WindowRig r;
        r.started().connected();
        answerLogin(r, "", "Talvo");
        const auto from = r.mark();
        QTest::mouseClick(r.button(161), Qt::LeftButton);
        QCOMPARE(r.modalsOpened, 1);
        QVERIFY(r.state.loginGranted);
        QCOMPARE(r.writes(from), QStringList());
        // The next click runs the command; Cancel on a later opening withdraws the login.
        QTest::mouseClick(r.button(161), Qt::LeftButton);
        QCOMPARE(r.modalsOpened, 1);
        QCOMPARE(r.writes(from).value(0), QStringLiteral("2452=161"));
        answerLogin(r, "", "", "cmdCancel");
        r.window->loginWindow()->show();
        QTest::mouseClick(r.window->loginWindow()->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        const auto afterCancel = r.mark();
        QTest::mouseClick(r.button(161), Qt::LeftButton);
        QCOMPARE(r.modalsOpened, 2);
        QCOMPARE(r.writes(afterCancel), QStringList());
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

    // Only the password box counts; a refused password is selected for typing it again.
    void aWrongPasswordIsRefusedAndSelectedForRetyping()
    {
        WindowRig r;
        r.started().connected();
        answerLogin(r, "5170628", "secret");
        QTest::mouseClick(r.button(163), Qt::LeftButton);
        QCOMPARE(r.dialogs.texts(), QStringList{"msg73"});
        QCOMPARE(r.dialogs.shown[0].title, QStringLiteral("msg68"));
        QCOMPARE(r.dialogs.shown[0].buttons, MessageButtons::Ok);
        QVERIFY(!r.state.loginGranted);
        QVERIFY(r.window->loginWindow()->isVisible());
        auto* password = r.window->loginWindow()->findChild<QLineEdit*>("txtPassword");
        QCOMPARE(password->selectedText(), QStringLiteral("secret"));
        QTest::keyClicks(password, "Talvo");
        QTest::keyClick(password, Qt::Key_Return); // OK is the default button
        QVERIFY(r.state.loginGranted);
    }

    void theExpertBoxSwitchesTheViewAndIsSaved()
    {
        WindowRig r({}, {{"Expert", "0"}});
        r.started();
        QVERIFY(r.find("SSTab1")->isHidden());
        QVERIFY(!r.find("simplePanel")->isHidden());
        r.window->cmdTool_Click();
        r.find<QCheckBox>("Check2")->click();
        QVERIFY(!r.find("SSTab1")->isHidden());
        QVERIFY(r.find("simplePanel")->isHidden());
        QCOMPARE(r.stored("Expert"), QStringLiteral("1"));
        r.find<QCheckBox>("Check2")->click();
        QVERIFY(r.find("SSTab1")->isHidden());
        QVERIFY(!r.find("simplePanel")->isHidden());
        QCOMPARE(r.stored("Expert"), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"
