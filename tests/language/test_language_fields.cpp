#include "language_fields.h"

#include <QTest>

using namespace kinetra;

class TestLanguageFields : public QObject {
    Q_OBJECT
private slots:
    void fieldsAreSplitAsWritten_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("entries with CR LF")
            << QByteArray("1,\"a\"\r\n2,\"b\"\r\n") << QStringList{"1", "a", "2", "b"};
        QTest::newRow("LF alone") << QByteArray("---\nTITLE\n") << QStringList{"---", "TITLE"};
        QTest::newRow("CR alone") << QByteArray("a\rb") << QStringList{"a", "b"};
        QTest::newRow("comma inside quotes")
            << QByteArray("7,\"Start, Stop\"") << QStringList{"7", "Start, Stop"};
        QTest::newRow("blanks around unquoted fields")
            << QByteArray("  12 ,\t x y  \r\n") << QStringList{"12", "x y"};
        QTest::newRow("blanks inside quotes kept")
            << QByteArray("1,  \" keep \"") << QStringList{"1", " keep "};
        QTest::newRow("text after the closing quote dropped")
            << QByteArray("\"ab\"cd,e") << QStringList{"ab", "e"};
        QTest::newRow("empty quoted text")
            << QByteArray("13,\"\"\r\n14,\"x\"") << QStringList{"13", "", "14", "x"};
        QTest::newRow("blank line is an empty field")
            << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("comma before line end") << QByteArray("a,\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("unterminated quote runs to the end")
            << QByteArray("1,\"abc\r\n2,x") << QStringList{"1", "abc\r\n2,x"};
        QTest::newRow("NUL bytes are text")
            << QByteArray("a\0b,c", 5) << QStringList{QString("a") + QChar(0) + "b", "c"};
        QTest::newRow("byte order mark skipped") << QByteArray("\xEF\xBB\xBFx,y") << QStringList{"x", "y"};
        QTest::newRow("nothing") << QByteArray() << QStringList{};
        QTest::newRow("blanks only") << QByteArray("   ") << QStringList{};
    }
    void fieldsAreSplitAsWritten() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, fields);
        const LanguageFields read = splitLanguageFields(bytes, 100);
        QCOMPARE(read.fields, fields);
        QVERIFY(!read.complete);
    }

    void readingStopsAtTheFieldsAskedFor() {
        const LanguageFields read = splitLanguageFields("a,b,c", 2);
        QCOMPARE(read.fields, (QStringList{"a", "b"}));
        QVERIFY(read.complete);
        QVERIFY(!splitLanguageFields("a", 2).complete);
    }

    void textIsUtf8WhenValidElseWindows1252_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("maxFields");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("UTF-8") << QByteArray("\"K\xC3\xA4se\",\"\xC5\x9F\"") << 2 << QStringList{"Käse", "ş"};
        QTest::newRow("Windows-1252")
            << QByteArray("\"K\xE4se\",\"\x80\x9F\"") << 2 << QStringList{"Käse", "€Ÿ"};
        QTest::newRow("one invalid byte makes all of it Windows-1252")
            << QByteArray("\xC3\xA4,\xE4") << 2 << QStringList{"Ã¤", "ä"};
        QTest::newRow("bytes after the last field read do not count")
            << QByteArray("\xC3\xA4,\xE4") << 1 << QStringList{"ä"};
    }
    void textIsUtf8WhenValidElseWindows1252() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, maxFields);
        QFETCH(QStringList, fields);
        QCOMPARE(splitLanguageFields(bytes, maxFields).fields, fields);
    }

    void aLineOfMegabytesIsOneField() {
        QByteArray bytes(8 * 1024 * 1024, 'x');
        bytes += ",\"end\"";
        const LanguageFields read = splitLanguageFields(bytes, 2);
        QVERIFY(read.complete);
        QCOMPARE(read.fields[0].size(), 8 * 1024 * 1024);
        QCOMPARE(read.fields[1], QStringLiteral("end"));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFields)
#include "test_language_fields.moc"
