#include "language_fields.h"

#include <QTest>

using namespace kinetra;

class TestLanguageFields : public QObject {
    Q_OBJECT
private slots:
    // The fields read when at most `maxFields` are asked for; the reading is complete when it
    // got them all. The text is UTF-8 when the bytes read are valid UTF-8, else Windows-1252.
    void fieldsAreSplitAsWritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("maxFields");
        QTest::addColumn<QStringList>("fields");
        const auto row = [](const char* name, const QByteArray& bytes, const QStringList& fields, int maxFields = 100) {
            QTest::newRow(name) << bytes << maxFields << fields;
        };
        row("entries with CR LF", "1,\"a\"\r\n2,\"b\"\r\n", {"1", "a", "2", "b"});
        row("LF alone", "---\nTITLE\n", {"---", "TITLE"});
        row("CR alone", "a\rb", {"a", "b"});
        row("comma inside quotes", "7,\"Start, Stop\"", {"7", "Start, Stop"});
        row("blanks around unquoted fields", "  12 ,\t x y  \r\n", {"12", "x y"});
        row("blanks inside quotes kept", "1,  \" keep \"", {"1", " keep "});
        row("text after the closing quote dropped", "\"ab\"cd,e", {"ab", "e"});
        row("empty quoted text", "13,\"\"\r\n14,\"x\"", {"13", "", "14", "x"});
        row("blank line is an empty field", "a\r\n\r\nb", {"a", "", "b"});
        row("comma before line end", "a,\r\nb", {"a", "", "b"});
        row("unterminated quote runs to the end", "1,\"abc\r\n2,x", {"1", "abc\r\n2,x"});
        row("NUL bytes are text", QByteArray("a\0b,c", 5), {QString("a") + QChar(0) + "b", "c"});
        row("byte order mark skipped", "\xEF\xBB\xBFx,y", {"x", "y"});
        row("nothing", "", {});
        row("blanks only", "   ", {});
        row("reading stops at the fields asked for", "a,b,c", {"a", "b"}, 2);
        row("one field short", "a", {"a"}, 2);
        row("a line of megabytes is one field", QByteArray(8 << 20, 'x') + ",\"end\"", {QString(8 << 20, 'x'), "end"},
            2);
        row("UTF-8", "\"K\xC3\xA4se\",\"\xC5\x9F\"", {"Käse", "ş"}, 2);
        row("Windows-1252", "\"K\xE4se\",\"\x80\x9F\"", {"Käse", "€Ÿ"}, 2);
        row("one invalid byte makes all of it Windows-1252", "\xC3\xA4,\xE4", {"Ã¤", "ä"}, 2);
        row("bytes after the last field read do not count", "\xC3\xA4,\xE4", {"ä"}, 1);
    }
    void fieldsAreSplitAsWritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, maxFields);
        QFETCH(QStringList, fields);
        const LanguageFields read = splitLanguageFields(bytes, maxFields);
        QCOMPARE(read.fields, fields);
        QCOMPARE(read.complete, fields.size() == maxFields);
    }
};

QTEST_GUILESS_MAIN(TestLanguageFields)
#include "test_language_fields.moc"
