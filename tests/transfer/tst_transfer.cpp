#include "transfer/Transfer.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList Seven(QStringList lines)
{
    while (lines.size() < 7)
        lines.append(QString());
    return lines;
}

transfer::TransferResult TransferText(const QString &text)
{
    return transfer::BitBtn_1Transfer(transfer::SplitPasteText(text));
}

// Checks what every result must satisfy, whatever was pasted.
void VerifyShape(const transfer::TransferResult &r)
{
    if (r.noText) {
        QVERIFY(r.memoLines.isEmpty());
        QVERIFY(r.zip.isEmpty() && r.add1.isEmpty() && r.add2.isEmpty() && r.custo1.isEmpty() && r.tel.isEmpty());
    } else {
        QCOMPARE(r.memoLines.size(), 7);
    }
    QVERIFY(r.add3.isEmpty());
    QCOMPARE(transfer::ToHalfWidth(r.zip), r.zip);
    QCOMPARE(transfer::ToHalfWidth(r.tel), r.tel);
    if (!r.zip.isEmpty())
        QCOMPARE(transfer::ZipTelVerdict(r.zip), u"〒"_s);
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nothingToTransfer_data();
    void nothingToTransfer();
    void transfer_data();
    void transfer();
    void pastedAreaShowsTheCleanedLines();
    void badInput_data();
    void badInput();
    void randomTextsAlwaysGiveSevenLines();
};

void TestTransfer::nothingToTransfer_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty paste area") << QString();
    QTest::newRow("only line ends") << u"\r\n\r\n\n\r"_s;
    QTest::newRow("only blanks and tabs") << u"  \t \r\n\t\t\n   "_s;
    QTest::newRow("only e-mail lines") << u"taro@example\r\nhttps://example.com/\r\nexample.ne.jp"_s;
    QTest::newRow("useful text only after the sixteenth line") << QString(u"\n"_s).repeated(16) + u"山田太郎"_s;
}

void TestTransfer::nothingToTransfer()
{
    QFETCH(QString, text);
    const transfer::TransferResult r = TransferText(text);
    QVERIFY(r.noText);
    VerifyShape(r);
}

void TestTransfer::transfer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("add1");
    QTest::addColumn<QString>("add2");
    QTest::addColumn<QString>("custo1");
    QTest::addColumn<QString>("tel");

    QTest::newRow("seven labelled lines fill every field")
        << u"お届け先\n〒123-4567\n東京都\n港区架空町1-2-3\n架空ハイツ101号室\n山田　太郎　様\nTEL：03-1234-5678"_s
        << u"123-4567"_s << u"東京都港区架空町1-2-3"_s << u"架空ハイツ101号室"_s << u"山田　太郎"_s
        << u"03-1234-5678"_s;
    QTest::newRow("full-width postal code and address on one line are split")
        << u"〒１２３－４５６７東京都港区架空町1-2-3"_s << u"123-4567"_s << u"東京都港区架空町1-2-3"_s << QString()
        << QString() << QString();
    QTest::newRow("labels with colons and full-width digits")
        << u"お名前：山田　花子　様\r\nご住所：〒１５０－００４３\r\n東京都渋谷区道玄坂１－２－３\r\n"
           u"電話番号：０３－１２３４－５６７８\r\n"_s
        << u"150-0043"_s << u"東京都渋谷区道玄坂１－２－３"_s << QString() << u"山田　花子"_s << u"03-1234-5678"_s;
    QTest::newRow("building line, two telephone numbers, prefecture after the address")
        << u"ご送付先\n港区芝公園四丁目2番8号\n架空ビル12階\n東京都\n佐藤 一郎\n03-1111-2222\n090-3333-4444"_s
        << QString() << u"東京都港区芝公園四丁目2番8号"_s << u"架空ビル12階"_s << u"佐藤 一郎"_s << u"03-1111-2222"_s;
    QTest::newRow("e-mail lines are dropped and a heading line takes the name slot")
        << u"【ご注文者】\ntaro@example.co.jp\nhttps://example.com/shop\n〒100-0001\n千代田区千代田1-1\n"
           u"架空コーポ3号\n鈴木太郎\n0312345678\n備考：なし\n追加の行\n"_s
        << u"100-0001"_s << u"千代田区千代田1-1"_s << u"架空コーポ3号"_s << u"【ご注文者】"_s << u"0312345678"_s;
    QTest::newRow("short building line before the name takes the name slot")
        << u"架空ビル5F\n山田太郎"_s << QString() << QString() << QString() << u"架空ビル5F"_s << QString();
    QTest::newRow("postal code without hyphen fills an address slot")
        << u"1234567\n山田太郎"_s << QString() << u"1234567"_s << QString() << u"山田太郎"_s << QString();
    QTest::newRow("third long address line is dropped")
        << u"港区架空町1-2-3\n架空ハイツ101号室\n第二架空ビル3階"_s << QString() << u"港区架空町1-2-3"_s
        << u"架空ハイツ101号室"_s << QString() << QString();
    QTest::newRow("second postal code is dropped, not taken as an address")
        << u"123-4567\n765-4321\n港区架空町1-2-3"_s << u"123-4567"_s << u"港区架空町1-2-3"_s << QString() << QString()
        << QString();
    QTest::newRow("second prefecture line is dropped")
        << u"東京都\n大阪府\n港区架空町1-2-3"_s << QString() << u"東京都港区架空町1-2-3"_s << QString() << QString()
        << QString();
    QTest::newRow("only the first seven useful lines count")
        << u"a1\na2\na3\na4\na5\na6\na7\n03-1234-5678"_s << QString() << QString() << QString() << u"a1"_s << QString();
    QTest::newRow("blank lines between the useful lines do not count")
        << u"\n\n山田太郎\n\n\n\n\n\n\n\n03-1234-5678"_s << QString() << QString() << QString() << u"山田太郎"_s
        << u"03-1234-5678"_s;
    QTest::newRow("CR-only line ends") << u"〒123-4567\r東京都港区架空町1-2-3\r山田太郎"_s << u"123-4567"_s
                                       << u"東京都港区架空町1-2-3"_s << QString() << u"山田太郎"_s << QString();
    QTest::newRow("telephone on line 7 in full width ends half width")
        << u"1\n2\n3\n4\n5\n6\nＴＥＬ０９０－１２３４－５６７８"_s << QString() << QString() << QString() << u"1"_s
        << u"090-1234-5678"_s;
    QTest::newRow("katakana name on line 7 ends half width")
        << u"123-4567\n03-1234-5678\n東京都\n港区架空町1-2-3\n架空ハイツ101号室\n090-0000-0000\nヤマダ　ハナコ"_s
        << u"123-4567"_s << u"東京都港区架空町1-2-3"_s << u"架空ハイツ101号室"_s << u"ﾔﾏﾀﾞ ﾊﾅｺ"_s << u"03-1234-5678"_s;
    QTest::newRow("tabs around lines are trimmed") << u"\t山田太郎\t\n\t03-1234-5678"_s << QString() << QString()
                                                   << QString() << u"山田太郎"_s << u"03-1234-5678"_s;
    QTest::newRow("long address line stays whole in the first address field")
        << u"北海道札幌市中央区架空町一丁目二番三号架空マンション第一棟一二三四号室架空様方気付"_s << QString()
        << u"北海道札幌市中央区架空町一丁目二番三号架空マンション第一棟一二三四号室架空方気付"_s << QString()
        << QString() << QString();
}

void TestTransfer::transfer()
{
    QFETCH(QString, text);
    QFETCH(QString, zip);
    QFETCH(QString, add1);
    QFETCH(QString, add2);
    QFETCH(QString, custo1);
    QFETCH(QString, tel);

    const transfer::TransferResult r = TransferText(text);
    QVERIFY(!r.noText);
    VerifyShape(r);
    QCOMPARE(r.zip, zip);
    QCOMPARE(r.add1, add1);
    QCOMPARE(r.add2, add2);
    QCOMPARE(r.add3, QString());
    QCOMPARE(r.custo1, custo1);
    QCOMPARE(r.tel, tel);
}

void TestTransfer::pastedAreaShowsTheCleanedLines()
{
    const transfer::TransferResult seven = TransferText(
        u"お届け先\n〒123-4567\n東京都\n港区架空町1-2-3\n架空ハイツ101号室\n山田　太郎　様\nTEL：03-1234-5678"_s);
    QCOMPARE(seven.memoLines, (QStringList{QString(), u"123-4567"_s, u"東京都"_s, u"港区架空町1-2-3"_s,
                                           u"架空ハイツ101号室"_s, u"山田　太郎"_s, u"03-1234-5678"_s}));

    const transfer::TransferResult split = TransferText(u"〒１２３－４５６７東京都港区架空町1-2-3"_s);
    QCOMPARE(split.memoLines, Seven({u"123-4567"_s, u"東京都港区架空町1-2-3"_s}));
}

void TestTransfer::badInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("add1");
    QTest::addColumn<QString>("custo1");

    const QString name = u"山田太郎"_s;
    QTest::newRow("ten thousand lines") << (name + u"\r\n"_s).repeated(10000) << QString() << QString() << name;
    QTest::newRow("one line of a megabyte")
        << QString(1 << 20, u'a') << QString() << QString() << QString(1 << 20, u'a');
    QTest::newRow("a megabyte line that starts with a postal code keeps the whole rest")
        << u"123-4567"_s + u"東京都港区"_s.repeated(200000) << u"123-4567"_s << u"東京都港区"_s.repeated(200000)
        << QString();
    // The line is made half width, then its postal-code-like head is split
    // off again and again until no empty line is left.
    QTest::newRow("a megabyte of full-width digits")
        << QString(1 << 20, u'１') << u"11111111"_s << QString() << QString();
    QTest::newRow("a megabyte of labels")
        << u"電話："_s.repeated(1 << 18) + u"山田"_s << QString() << QString() << u"山田"_s;
    QTest::newRow("NUL inside a line stays") << u"山田\0太郎"_s << QString() << QString() << u"山田\0太郎"_s;
    QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + u"\n"_s + QChar(0xDFFF) << QString() << QString()
                                     << QString(QChar(0xD800));
    QTest::newRow("emoji name") << u"😀😀😀"_s << QString() << QString() << u"😀😀😀"_s;
    QTest::newRow("emoji split at the eighth code unit")
        << u"1234567😀東京都港区架空町"_s << QString() << u"1234567😀東京都港区架空町"_s << QString();
    QTest::newRow("only an ideographic space") << u"\u3000"_s << QString() << QString() << QString();
    QTest::newRow("mixed line ends") << u"山田太郎\r\n\r\r\n\n123-4567"_s << u"123-4567"_s << QString() << name;
}

void TestTransfer::badInput()
{
    QFETCH(QString, text);
    QFETCH(QString, zip);
    QFETCH(QString, add1);
    QFETCH(QString, custo1);

    const transfer::TransferResult r = TransferText(text);
    QVERIFY(!r.noText);
    VerifyShape(r);
    QCOMPARE(r.zip, zip);
    QCOMPARE(r.add1, add1);
    QCOMPARE(r.custo1, custo1);
}

void TestTransfer::randomTextsAlwaysGiveSevenLines()
{
    // Pieces that exercise every rule: digits in both widths, labels, e-mail
    // markers, prefecture names, kana with sound marks, blanks of every kind,
    // line ends, NUL, lone and paired surrogates.
    const QStringList pieces = {
        u"0"_s,
        u"1"_s,
        u"9"_s,
        u"-"_s,
        u"０"_s,
        u"５"_s,
        u"－"_s,
        u"."_s,
        u"．"_s,
        u"，"_s,
        u","_s,
        u"\r"_s,
        u"\n"_s,
        u"\r\n"_s,
        u"\t"_s,
        u" "_s,
        u"\u3000"_s,
        u"\0"_s,
        u"\x01"_s,
        u"@"_s,
        u".com"_s,
        u".co"_s,
        u".jp"_s,
        u"："_s,
        u":"_s,
        u"様"_s,
        u"〒"_s,
        u"TEL"_s,
        u"T"_s,
        u"EL"_s,
        u"電話"_s,
        u"お名前"_s,
        u"住所"_s,
        u"ところ"_s,
        u"東京都"_s,
        u"京都府"_s,
        u"北海道"_s,
        u"区"_s,
        u"丁目"_s,
        u"ビル"_s,
        u"ﾋﾞﾙ"_s,
        u"ガ"_s,
        u"パ"_s,
        u"ヴ"_s,
        u"ー"_s,
        u"あ"_s,
        u"漢"_s,
        u"F"_s,
        u"Ｆ"_s,
        u"😀"_s,
        QString(QChar(0xD800)),
        QString(QChar(0xDC00)),
        u"\uFFFF"_s,
        u"\uFEFF"_s,
    };
    QRandomGenerator random(20240607);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int pieceCount = int(random.bounded(0, 120));
        for (int i = 0; i < pieceCount; ++i)
            text += pieces.at(int(random.bounded(0, int(pieces.size()))));
        const transfer::TransferResult r = TransferText(text);
        VerifyShape(r);
        if (QTest::currentTestFailed()) {
            qWarning("failing text (round %d): %s", round, text.toUtf8().toHex().constData());
            return;
        }
        QCOMPARE(r.noText, transfer::Compact(transfer::SplitPasteText(text)).isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
