// The order file reader on real files: encodings, the separator, RFC 4180
// quoting, ragged and over-long rows, and the files it refuses.

#include "orders/CsvReader.h"
#include "platform/Cp932.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using orders::CsvReader;
using orders::CsvRow;
using orders::TextEncoding;

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QList<QStringList> allRows(CsvReader &reader)
{
    QList<QStringList> rows;
    CsvRow row;
    while (reader.next(row))
        rows.append(row.fields);
    return rows;
}

const QString kSmallOrder = u"注文番号,お名前,住所\r\nA-1,矢島 里美,北海道札幌市中央区北一条西\r\n"_s;

} // namespace

class TestCsvReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("found");
        QTest::addColumn<bool>("bom");
        const QByteArray utf8 = kSmallOrder.toUtf8();
        QByteArray utf16("\xFF\xFE");
        const QString tabbed = QString(kSmallOrder).replace(u',', u'\t');
        utf16.append(reinterpret_cast<const char *>(tabbed.utf16()), tabbed.size() * 2);
        QTest::newRow("utf-8") << utf8 << int(TextEncoding::Auto) << int(TextEncoding::Utf8) << false;
        QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF") + utf8 << int(TextEncoding::Auto)
                                   << int(TextEncoding::Utf8) << true;
        QTest::newRow("cp932") << *vuzo::EncodeCp932(kSmallOrder) << int(TextEncoding::Auto) << int(TextEncoding::Cp932)
                               << false;
        QTest::newRow("cp932 asked") << *vuzo::EncodeCp932(kSmallOrder) << int(TextEncoding::Cp932)
                                     << int(TextEncoding::Cp932) << false;
        QTest::newRow("utf-16 tsv") << utf16 << int(TextEncoding::Auto) << int(TextEncoding::Utf16) << true;
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, asked);
        QFETCH(int, found);
        QFETCH(bool, bom);
        QTemporaryDir dir;
        CsvReader reader(writeFile(dir, u"orders.csv"_s, bytes), TextEncoding(asked));
        QCOMPARE(reader.refusal(), QString());
        QCOMPARE(int(reader.encoding()), found);
        QCOMPARE(reader.hadBom(), bom);
        QCOMPARE(reader.header(), (QStringList{u"注文番号"_s, u"お名前"_s, u"住所"_s}));
        QCOMPARE(allRows(reader), (QList<QStringList>{{u"A-1"_s, u"矢島 里美"_s, u"北海道札幌市中央区北一条西"_s}}));
    }

    // A CP932 file whose first megabyte is plain ASCII is still found out by
    // the kanji at its end, and a kanji cut by the reader's chunks is whole.
    void cp932AfterLongAsciiPart()
    {
        QByteArray bytes = "id,memo\n";
        const QByteArray filler = "1,abcdefghijklmnopqrstuvwxyz\n";
        while (bytes.size() < 1024 * 1024)
            bytes += filler;
        bytes.truncate(1024 * 1024 - 4); // after 「\n2,」 the kanji's first byte ends the first chunk
        bytes += "\n2," + *vuzo::EncodeCp932(u"梅干し"_s) + "\n";
        QTemporaryDir dir;
        CsvReader reader(writeFile(dir, u"long.csv"_s, bytes));
        QCOMPARE(int(reader.encoding()), int(TextEncoding::Cp932));
        const QList<QStringList> rows = allRows(reader);
        QCOMPARE(rows.last(), (QStringList{u"2"_s, u"梅干し"_s}));
    }

    void shapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QStringList>("problems");
        QTest::newRow("quoted comma, quote, line break")
            << u"a,b,c\n\"x,1\",\"say \"\"hi\"\"\",\"line1\r\nline2\"\n"_s
            << QList<QStringList>{{u"x,1"_s, u"say \"hi\""_s, u"line1\nline2"_s}} << QStringList();
        QTest::newRow("tab separated, trailing empty lines")
            << u"a\tb\tc\r\n1\tx,y\t3\r\n\r\n\r\n"_s << QList<QStringList>{{u"1"_s, u"x,y"_s, u"3"_s}} << QStringList();
        QTest::newRow("trailing separator and blank rows are no fault")
            << u"a,b\n1,2,\n,,\n3,4\n"_s << QList<QStringList>{{u"1"_s, u"2"_s}, {u"3"_s, u"4"_s}} << QStringList();
        QTest::newRow("ragged rows padded and cut, with their lines")
            << u"a,b,c\n1,2\n\"multi\nline\",2,3,4\n"_s
            << QList<QStringList>{{u"1"_s, u"2"_s, QString()}, {u"multi\nline"_s, u"2"_s, u"3"_s}}
            << QStringList{u"2行目：列の数がヘッダーと違います（2列、ヘッダーは3列）"_s,
                           u"3行目：列の数がヘッダーと違います（4列、ヘッダーは3列）"_s};
        QTest::newRow("unclosed quote") << u"a,b\n1,\"never closed\n2,3\n"_s
                                        << QList<QStringList>{{u"1"_s, u"never closed\n2,3\n"_s}}
                                        << QStringList{
                                               u"2行目：引用符（\"）が閉じられないまま、ファイルが終わっています"_s};
        QTest::newRow("over-long field cut")
            << u"a,b\n1,"_s + QString(5000, u'長') + u"\n2,3\n"_s
            << QList<QStringList>{{u"1"_s, QString(orders::kMaxFieldLength, u'長')}, {u"2"_s, u"3"_s}}
            << QStringList{u"2行目：長すぎる値があります（4096文字までを読みました）"_s};
    }
    void shapes()
    {
        QFETCH(QString, text);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QStringList, problems);
        QTemporaryDir dir;
        CsvReader reader(writeFile(dir, u"shape.csv"_s, text.toUtf8()));
        QCOMPARE(reader.refusal(), QString());
        QCOMPARE(allRows(reader), rows);
        QCOMPARE(reader.problems(), problems);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("xlsx") << QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + QByteArray(300, 'x')
                              << u"「CSV（コンマ区切り）」の形式で保存し直して"_s;
        QTest::newRow("binary") << QByteArray("\x7F"
                                              "ELF\x02\x01\x01\x00\x00",
                                              9)
                                << u"テキストのファイルではない"_s;
        QTest::newRow("empty") << QByteArray() << u"何も書かれていません"_s;
    }
    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        QTemporaryDir dir;
        CsvReader reader(writeFile(dir, u"orders.csv"_s, bytes));
        QVERIFY2(reader.refusal().contains(says), qPrintable(reader.refusal()));
        CsvRow row;
        QVERIFY(!reader.next(row));
    }

    void folderAndMissingFileRefused()
    {
        QTemporaryDir dir;
        QVERIFY(CsvReader(dir.path()).refusal().contains(u"普通のファイルではない"_s));
        QVERIFY(CsvReader(dir.filePath(u"none.csv"_s)).refusal().contains(u"見つかりません"_s));
    }

    // One quote at the start of a large file: the reader goes through it to
    // the end, keeping one cut field and one problem.
    void hostileQuoteOverLargeFile()
    {
        QByteArray bytes = "a,b\n1,\"";
        bytes += QByteArray(24 * 1024 * 1024, 'z');
        QTemporaryDir dir;
        CsvReader reader(writeFile(dir, u"big.csv"_s, bytes));
        const QList<QStringList> rows = allRows(reader);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().at(1).size(), orders::kMaxFieldLength);
        QCOMPARE(reader.problems().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCsvReader)
#include "tst_csvreader.moc"
