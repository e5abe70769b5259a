// The checks of the file name box before a store (checkFilePar) and a load (checkFileParRead).

#include "frm_file_checks.h"
#include "recording_dialogs.h"
#include "scratch_files.h"
#include "shared_state.h"

#include <QDir>
#include <QTest>

#include <unistd.h>

using namespace kinetra;
using namespace kinetra::test;

Q_DECLARE_METATYPE(kinetra::FileCheckPurpose)

class TestFileChecks : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    SharedState state_;

    // "<dir>" in a row stands for the temporary folder.
    QString expand(QString text) const { return text.replace(QStringLiteral("<dir>"), dir_.path()); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        for (int i = 0; i < SharedState::kMessageCount; ++i)
            state_.messageText[static_cast<size_t>(i)] = QStringLiteral("msg%1").arg(i);
        QVERIFY(QDir(dir_.path()).mkdir("sub") && QDir(dir_.path()).mkdir("folder.par"));
        for (const char* name : {"x.PAR", "set.par", "notes.txt", "sub/inner.par"})
            QVERIFY(put(dir_.filePath(name), "\"Parameter KINETRA\"\r\n"));
        QVERIFY(put(dir_.filePath("locked.par"), "\"Parameter KINETRA\"\r\n"));
        QVERIFY(QFile::setPermissions(dir_.filePath("locked.par"), QFileDevice::WriteOwner));
    }

    // What the box's text becomes and which message refuses it; the answer to a creation
    // question is No, so nothing is created here.
    void nameRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<FileCheckPurpose>("purpose");
        QTest::addColumn<QString>("path");  // "" when refused
        QTest::addColumn<QString>("shown"); // the box afterwards
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char* name, const char* typed, FileCheckPurpose purpose, const char* path,
                            const char* shown, const QStringList& messages) {
            QTest::newRow(name) << typed << purpose << path << shown << messages;
        };
        const auto load = FileCheckPurpose::Load;
        const auto store = FileCheckPurpose::Store;
        row("empty", "", load, "", "", {"msg0"});
        row("txt refused although listed", "notes.txt", load, "", "notes.txt", {"msg1"});
        row("other extension", "set.bak", store, "", "set.bak", {"msg1"});
        row("extension in capitals", "x.PAR", load, "<dir>/x.PAR", "<dir>/x.PAR", {});
        row("bare name gets folder and .par", "set", load, "<dir>/set.par", "<dir>/set.par", {});
        row("absolute path stays", "<dir>/sub/inner", load, "<dir>/sub/inner.par", "<dir>/sub/inner.par", {});
        row("relative path into the folder", "sub/inner.par", load, "<dir>/sub/inner.par", "<dir>/sub/inner.par", {});
        row("no name before the extension", ".par", load, "", "<dir>/.par", {"msg0"});
        row("missing file for a load", "absent", load, "", "<dir>/absent.par", {"msg6"});
        row("missing file for a store asks", "absent", store, "", "<dir>/absent.par", {"msg7<dir>/absent.parmsg8"});
        row("missing folder", "<dir>/nowhere/a.par", store, "", "<dir>/nowhere/a.par", {"msg4"});
        row("a folder is no file", "folder.par", load, "", "<dir>/folder.par", {"msg4"});
        row("unreadable file", "locked", load, "", "<dir>/locked.par", {"msg5"});
    }
    void nameRules()
    {
        QFETCH(QString, typed);
        QFETCH(FileCheckPurpose, purpose);
        QFETCH(QString, path);
        QFETCH(QString, shown);
        QFETCH(QStringList, messages);
        if (typed == "locked" && geteuid() == 0)
            QSKIP("the administrator reads every file");
        RecordingDialogs dialogs;
        dialogs.answers.push_back(MessageAnswer::No);
        QString box = expand(typed);
        const auto result = checkParameterFile(box, purpose, dir_.path(), dir_.path(), state_, dialogs);
        QCOMPARE(result.value_or(QString()), expand(path));
        QCOMPARE(QDir::fromNativeSeparators(box), expand(shown));
        QStringList expected;
        for (const QString& m : messages)
            expected << QDir::toNativeSeparators(expand(m));
        QCOMPARE(dialogs.texts(), expected);
        for (const auto& shownBox : dialogs.shown)
            QCOMPARE(shownBox.icon, MessageIcon::Error);
        QVERIFY(!QFile::exists(dir_.filePath("absent.par")));
    }

    void storeAsksWithNoAsDefaultAndYesCreatesTheHeaderLine()
    {
        RecordingDialogs dialogs;
        dialogs.answers.push_back(MessageAnswer::Yes);
        QString box = QStringLiteral("fresh");
        const auto result = checkParameterFile(box, FileCheckPurpose::Store, dir_.path(), dir_.path(), state_, dialogs);
        QCOMPARE(result.value_or(QString()), dir_.filePath("fresh.par"));
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("msg6"));
        QCOMPARE(dialogs.shown[0].buttons, MessageButtons::YesNo);
        QCOMPARE(dialogs.shown[0].defaultAnswer, MessageAnswer::No);
        QCOMPARE(contentOf(dir_.filePath("fresh.par")), QByteArray("Parameter KINETRA\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestFileChecks)
#include "test_file_checks.moc"
