// Settings the tool does not control: any text in any key still starts the main window, and
// settings kept in a folder whose name is outside ASCII read back as written. (Damaged parameter
// and language files are tables of their own tests.)

#include "frm_sdi.h"
#include "ini_settings_store.h"
#include "memory_settings_store.h"
#include "numeric_text.h"
#include "recording_dialogs.h"
#include "shared_state.h"
#include "virtual_clock.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    void garbageSettingsStillStartTheWindow_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("binary") << QString::fromLatin1("\x01\xff\x7f,\"=[]\n");
        QTest::newRow("beyond 64 bits") << QStringLiteral("99999999999999999999999");
        QTest::newRow("largest 16-bit") << QStringLiteral("32767");
        QTest::newRow("smallest 16-bit") << QStringLiteral("-32768");
        QTest::newRow("exponent") << QStringLiteral("1e3");
        QTest::newRow("empty") << QString();
        QTest::newRow("100000 digits") << QString(100000, QLatin1Char('7'));
        QTest::newRow("not ASCII") << QStringLiteral("ü€日本");
    }
    void garbageSettingsStillStartTheWindow()
    {
        QFETCH(QString, value);
        SharedState state;
        MemorySettingsStore settings;
        settings.setValue(kApplicationName, "System", "Check", "1");
        for (const char* key : {"Language", "Decpnt", "Expert", "Security", "Encoder", "Explore"})
            settings.setValue(kApplicationName, "System", QString::fromLatin1(key), value);
        RecordingDialogs dialogs;
        VirtualClock clock;
        QTemporaryDir folder;
        const QString previousFolder = QDir::currentPath();
        {
            frmSDI window(state, settings, dialogs, clock, folder.path());
            window.Form_Load();
            QVERIFY(window.isVisible());
            // The folder has no language file: whatever language was asked for, one message.
            QCOMPARE(dialogs.texts(), QStringList{"language not available"});
            // A position shown with whatever decimals the settings gave.
            const auto shown = formatValue(QStringLiteral("-123456789"), 2110, state.decPnt);
            QVERIFY(shown && !shown->isEmpty());
        }
        QDir::setCurrent(previousFolder);
    }

    void settingsInAFolderWithAnOddName()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Prüfstand Ω € 日本"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = QDir(folder).filePath(QStringLiteral("Einstellungen ü"));
        IniSettingsStore(file).setValue(kApplicationName, "System", "Explore", folder);
        QCOMPARE(IniSettingsStore(file).value(kApplicationName, "System", "Explore"), folder);
    }
};

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
