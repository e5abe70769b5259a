// The save window: the save sequence 137, a second without serving the window, 138; closing
// in any way resumes live polling.

#include "file_window_rig.h"
#include "frm_save.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

class TestSaveWindow : public QObject {
    Q_OBJECT
private slots:
    void textsComeFromTheMessages()
    {
        FileWindowRig r;
        FrmSave save(*r.com);
        QCOMPARE(save.label1()->text(), QStringLiteral("msg59"));
        QCOMPARE(save.button(0)->text(), QStringLiteral("msg60"));
        QCOMPARE(save.button(1)->text(), QStringLiteral("msg61"));
        QCOMPARE(save.button(0)->objectName(), QStringLiteral("cmdComand1_0"));
    }

    void saveSends137ThenASecondLater138()
    {
        FileWindowRig r;
        r.com->cmdConnect();
        r.com->timerReceive().setEnabled(false);
        const qsizetype before = r.port.written().size();
        FrmSave save(*r.com);
        const double blockedBefore = r.clock.blockedSeconds();
        save.cmdComand1_Click(0);

        QList<FakeSerialPort::Written> writes;
        for (const auto& w : r.port.written().mid(before))
            if (!w.bytes.endsWith(char(5)))
                writes << w;
        QCOMPARE(writes.size(), 2);
        QVERIFY(writes[0].bytes.contains("2152137"));
        QVERIFY(writes[1].bytes.contains("2152138"));
        // The pause between them does not serve the window; the drive's 3-s save pause follows.
        QVERIFY(writes[1].time - writes[0].time >= 1.0);
        QVERIFY(r.clock.blockedSeconds() - blockedBefore >= 1.0 + 3.0);
        QCOMPARE(r.mainWindow.text(el::helpLine()), QStringLiteral("msg62"));
        QVERIFY(!r.com->timerReceive().isEnabled());

        save.cmdComand1_Click(1);
        QVERIFY(r.com->timerReceive().isEnabled());
        QCOMPARE(r.mainWindow.text(el::helpLine()), QString());
    }

    void closingResumesPolling()
    {
        FileWindowRig r;
        r.com->timerReceive().setEnabled(false);
        r.mainWindow.setText(el::helpLine(), "busy");
        FrmSave save(*r.com);
        save.show();
        save.close();
        QVERIFY(r.com->timerReceive().isEnabled());
        QCOMPARE(r.mainWindow.text(el::helpLine()), QString());
        QVERIFY(r.port.written().isEmpty());
    }
};

QTEST_MAIN(TestSaveWindow)
#include "test_save_window.moc"
