// The checks of the file name box before a store (checkFilePar) and a load (checkFileParRead).

#include "frm_file_checks.h"
#include "recording_dialogs.h"
#include "shared_state.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace kinetra;
using namespace kinetra::test;

Q_DECLARE_METATYPE(kinetra::FileCheckPurpose)

namespace {

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

} // namespace

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
        put(dir_.filePath("x.PAR"), "\"Parameter KINETRA\"\r\n");
        put(dir_.filePath("set.par"), "\"Parameter KINETRA\"\r\n");
        put(dir_.filePath("notes.txt"), "text\r\n");
        QVERIFY(QDir(dir_.path()).mkdir("folder.par"));
        QVERIFY(QDir(dir_.path()).mkdir("sub"));
        put(dir_.filePath("sub/inner.par"), "\"Parameter KINETRA\"\r\n");
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
        const auto load = FileCheckPurpose::Load;
        const auto store = FileCheckPurpose::Store;
        QTest::newRow("empty") << "" << load << ""
                               << "" << QStringList{"msg0"};
        QTest::newRow("txt refused although listed") << "notes.txt" << load << ""
                                                     << "notes.txt" << QStringList{"msg1"};
        QTest::newRow("other extension") << "set.bak" << store << ""
                                         << "set.bak" << QStringList{"msg1"};
        QTest::newRow("extension in capitals") << "x.PAR" << load << "<dir>/x.PAR"
                                               << "<dir>/x.PAR" << QStringList{};
        QTest::newRow("bare name gets folder and .par") << "set" << load << "<dir>/set.par"
                                                        << "<dir>/set.par" << QStringList{};
        QTest::newRow("absolute path stays") << "<dir>/sub/inner" << load << "<dir>/sub/inner.par"
                                             << "<dir>/sub/inner.par" << QStringList{};
        QTest::newRow("relative path into the folder") << "sub/inner.par" << load << "<dir>/sub/inner.par"
                                                       << "<dir>/sub/inner.par" << QStringList{};
        QTest::newRow("no name before the extension") << ".par" << load << ""
                                                      << "<dir>/.par" << QStringList{"msg0"};
        QTest::newRow("missing file for a load") << "absent" << load << ""
                                                 << "<dir>/absent.par" << QStringList{"msg6"};
        QTest::newRow("missing file for a store asks") << "absent" << store << ""
                                                       << "<dir>/absent.par" << QStringList{"msg7<dir>/absent.parmsg8"};
        QTest::newRow("missing folder") << "<dir>/nowhere/a.par" << store << ""
                                        << "<dir>/nowhere/a.par" << QStringList{"msg4"};
        QTest::newRow("a folder is no file") << "folder.par" << load << ""
                                             << "<dir>/folder.par" << QStringList{"msg4"};
    }
    void nameRules()
    {
        QFETCH(QString, typed);
        QFETCH(FileCheckPurpose, purpose);
        QFETCH(QString, path);
        QFETCH(QString, shown);
        QFETCH(QStringList, messages);
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

    void unreadableFileIsAccessDenied()
    {
        if (geteuid() == 0)
            QSKIP("the administrator reads every file");
        const QString path = dir_.filePath("locked.par");
        put(path, "\"Parameter KINETRA\"\r\n");
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        RecordingDialogs dialogs;
        QString box = QStringLiteral("locked");
        QVERIFY(!checkParameterFile(box, FileCheckPurpose::Load, dir_.path(), dir_.path(), state_, dialogs));
        QCOMPARE(dialogs.texts(), QStringList{"msg5"});
    }
};

QTEST_GUILESS_MAIN(TestFileChecks)
#include "test_file_checks.moc"
