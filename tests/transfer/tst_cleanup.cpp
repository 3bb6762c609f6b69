#include "transfer/Cleanup.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Seven lines from a shorter list, padded with empty lines.
QStringList Seven(QStringList lines)
{
    while (lines.size() < 7)
        lines.append(QString());
    return lines;
}

} // namespace

class TestCleanup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toHalfWidth_data();
    void toHalfWidth();
    void toHalfWidthCoversTheWholeAsciiBlock();
    void toHalfWidthAgreesWithUnicodeWidthVariants();
    void toHalfWidthKeepsLongTexts();
    void katakanaToFullWidth_data();
    void katakanaToFullWidth();
    void splitPasteText_data();
    void splitPasteText();
    void compact_data();
    void compact();
    void removeLabels_data();
    void removeLabels();
    void labelListHasItsEntries();
    void splitOneLine_data();
    void splitOneLine();
};

void TestCleanup::toHalfWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty text stays empty") << QString() << QString();
    QTest::newRow("telephone number") << u"０９０－１２３４－５６７８"_s << u"090-1234-5678"_s;
    QTest::newRow("Latin and voiced kana") << u"ＡＢＣ　ガ"_s << u"ABC ｶﾞ"_s;
    QTest::newRow("first of the full-width block") << u"！"_s << u"!"_s;
    QTest::newRow("last of the full-width block") << u"～"_s << u"~"_s;
    QTest::newRow("full-width colon") << u"："_s << u":"_s;
    QTest::newRow("full-width reverse solidus") << u"＼"_s << u"\\"_s;
    QTest::newRow("just before the full-width block") << u"\uFF00"_s << u"\uFF00"_s;
    QTest::newRow("white parenthesis after the block stays") << u"\uFF5F"_s << u"\uFF5F"_s;
    QTest::newRow("ideographic space") << u"\u3000"_s << u" "_s;
    QTest::newRow("wide cent, pound, not, macron, broken bar, yen, won")
        << u"￠￡￢￣￤￥￦"_s << u"\u00A2\u00A3\u00AC\u00AF\u00A6\u00A5\u20A9"_s;
    QTest::newRow("half-width yen sign U+FFE5 is not a backslash") << u"￥"_s << u"\u00A5"_s;
    QTest::newRow("Japanese punctuation") << u"。「」、・"_s << u"｡｢｣､･"_s;
    QTest::newRow("long vowel mark") << u"ー"_s << u"ｰ"_s;
    QTest::newRow("spacing sound marks") << u"゛゜"_s << u"ﾞﾟ"_s;
    QTest::newRow("combining sound marks") << u"\u3099\u309A"_s << u"ﾞﾟ"_s;
    QTest::newRow("voiced k row") << u"ガギグゲゴ"_s << u"ｶﾞｷﾞｸﾞｹﾞｺﾞ"_s;
    QTest::newRow("voiced s row") << u"ザジズゼゾ"_s << u"ｻﾞｼﾞｽﾞｾﾞｿﾞ"_s;
    QTest::newRow("voiced t row") << u"ダヂヅデド"_s << u"ﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ"_s;
    QTest::newRow("voiced h row") << u"バビブベボ"_s << u"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ"_s;
    QTest::newRow("semi-voiced h row") << u"パピプペポ"_s << u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"_s;
    QTest::newRow("voiced u") << u"ヴ"_s << u"ｳﾞ"_s;
    QTest::newRow("voiced wa and wo") << u"ヷヺ"_s << u"ﾜﾞｦﾞ"_s;
    QTest::newRow("vowels and small vowels") << u"アイウエオァィゥェォ"_s << u"ｱｲｳｴｵｧｨｩｪｫ"_s;
    QTest::newRow("small tsu, ya, yu, yo") << u"ッャュョ"_s << u"ｯｬｭｮ"_s;
    QTest::newRow("n, wa, wo") << u"ンワヲ"_s << u"ﾝﾜｦ"_s;
    QTest::newRow("mansion") << u"マンション"_s << u"ﾏﾝｼｮﾝ"_s;
    QTest::newRow("maison") << u"メゾン"_s << u"ﾒｿﾞﾝ"_s;
    QTest::newRow("kana without half-width form stay") << u"ヮヰヱヵヶヸヹ"_s << u"ヮヰヱヵヶヸヹ"_s;
    QTest::newRow("hiragana stays") << u"やまだ"_s << u"やまだ"_s;
    QTest::newRow("kanji stay") << u"東京都"_s << u"東京都"_s;
    QTest::newRow("half-width text stays") << u"ｶﾞ 123"_s << u"ｶﾞ 123"_s;
    QTest::newRow("ideographic full stop of another kind stays") << u"〒"_s << u"〒"_s;
    QTest::newRow("box drawing and arrows stay") << u"│←■○"_s << u"│←■○"_s;
    QTest::newRow("NUL and what follows it are kept") << u"Ａ\0Ｂ"_s << u"A\0B"_s;
    QTest::newRow("emoji stay whole") << u"😀１"_s << u"😀1"_s;
    QTest::newRow("lone surrogates stay")
        << QString(QChar(0xD800)) + u"２"_s + QChar(0xDC00) << QString(QChar(0xD800)) + u"2"_s + QChar(0xDC00);
}

void TestCleanup::toHalfWidth()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(transfer::ToHalfWidth(text), expected);
}

void TestCleanup::katakanaToFullWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("building and room") << u"ｱﾊﾟｰﾄ富山 203号"_s << u"アパート富山 203号"_s;
    QTest::newRow("voiced marks combined") << u"ｶﾞｰﾃﾞﾝ ｳﾞｨﾗ"_s << u"ガーデン ヴィラ"_s;
    QTest::newRow("a mark no kana takes") << u"ﾝﾞ ﾟ"_s << u"ン゛ ゜"_s;
    QTest::newRow("signs") << u"｢ｺｰﾎﾟ｣､ﾊｲﾂ･ｱ｡"_s << u"「コーポ」、ハイツ・ア。"_s;
}

void TestCleanup::katakanaToFullWidth()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(transfer::KatakanaToFullWidth(text), expected);
}

void TestCleanup::toHalfWidthCoversTheWholeAsciiBlock()
{
    for (char16_t c = 0xFF01; c <= 0xFF5E; ++c)
        QCOMPARE(transfer::ToHalfWidth(QString(QChar(c))), QString(QChar(char16_t(c - 0xFF01 + 0x21))));
    for (char16_t c = 0x20; c < 0x7F; ++c)
        QCOMPARE(transfer::ToHalfWidth(QString(QChar(c))), QString(QChar(c)));
}

void TestCleanup::toHalfWidthAgreesWithUnicodeWidthVariants()
{
    // Every half-width katakana and punctuation form is the narrow variant of
    // one full-width character; that character must map onto it.
    for (char16_t half = 0xFF61; half <= 0xFF9F; ++half) {
        const QChar h(half);
        QCOMPARE(h.decompositionTag(), QChar::Narrow);
        const QString full = h.decomposition();
        QCOMPARE(full.size(), 1);
        QCOMPARE(transfer::ToHalfWidth(full), QString(h));
    }
    // A voiced or semi-voiced katakana maps to its base and its mark.
    for (char16_t c = 0x30A1; c <= 0x30FC; ++c) {
        const QChar k(c);
        if (k.decompositionTag() != QChar::Canonical)
            continue;
        const QString parts = k.decomposition();
        const QString base = transfer::ToHalfWidth(parts.left(1));
        if (base == parts.left(1))
            QCOMPARE(transfer::ToHalfWidth(QString(k)), QString(k)); // ヸ ヹ: no half-width base
        else
            QCOMPARE(transfer::ToHalfWidth(QString(k)), base + transfer::ToHalfWidth(parts.mid(1)));
    }
}

void TestCleanup::toHalfWidthKeepsLongTexts()
{
    // 255 characters is the longest the original conversion could return;
    // nothing is cut here.
    for (const int n : {254, 255, 256, 1000}) {
        const QString full(n, QChar(u'１'));
        const QString half = transfer::ToHalfWidth(full);
        QCOMPARE(half.size(), n);
        QCOMPARE(half, QString(n, QChar(u'1')));
    }
    const QString kana(200, QChar(u'ガ'));
    QCOMPARE(transfer::ToHalfWidth(kana).size(), 400);
}

void TestCleanup::splitPasteText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty text has no line") << QString() << QStringList();
    QTest::newRow("one line without end") << u"a"_s << QStringList{u"a"_s};
    QTest::newRow("a final line end starts no line") << u"a\r\n"_s << QStringList{u"a"_s};
    QTest::newRow("a lone line end is one empty line") << u"\n"_s << QStringList{QString()};
    QTest::newRow("CRLF") << u"a\r\nb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF") << u"a\nb\n"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR only") << u"a\rb\r"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF CR is two line ends") << u"a\n\rb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("blank lines kept") << u"a\r\n\r\nb"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("tabs and NUL stay in their line") << u"\ta\0\r\nb"_s << QStringList{u"\ta\0"_s, u"b"_s};
}

void TestCleanup::splitPasteText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(transfer::SplitPasteText(text), expected);
}

void TestCleanup::compact_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no lines") << QStringList() << QStringList();
    QTest::newRow("only blank lines") << QStringList{QString(), u"  "_s, u"\t"_s} << QStringList();
    QTest::newRow("blank, name, e-mail, prefecture")
        << QStringList{QString(), u"山田　太郎"_s, u"taro@example"_s, u"東京都"_s}
        << QStringList{u"山田　太郎"_s, u"東京都"_s};
    QTest::newRow("lines are trimmed") << QStringList{u"  a  "_s, u"\tb\r"_s} << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("an ideographic space alone is no blank line")
        << QStringList{u"\u3000"_s} << QStringList{u"\u3000"_s};
    QTest::newRow("web address line is dropped") << QStringList{u"www.example.co.jp"_s, u"x"_s} << QStringList{u"x"_s};

    QStringList sixteen;
    QStringList seventeen;
    for (int i = 1; i <= 17; ++i) {
        seventeen.append(QString::number(i));
        if (i <= 16)
            sixteen.append(QString::number(i));
    }
    QTest::newRow("seventeen lines keep the first sixteen") << seventeen << sixteen;
    QStringList withBlanks = seventeen;
    withBlanks[0] = QString();
    QTest::newRow("a blank among the first sixteen does not let the seventeenth in") << withBlanks << sixteen.mid(1);
}

void TestCleanup::compact()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    QCOMPARE(transfer::Compact(lines), expected);
}

void TestCleanup::removeLabels_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no lines give seven empty lines") << QStringList() << Seven({});
    QTest::newRow("name label, colon, honorific and trailing ideographic space")
        << QStringList{u"お名前：山田太郎　様"_s} << Seven({u"山田太郎"_s});
    QTest::newRow("telephone label; its number text 3 is too short")
        << QStringList{u"TEL：０３－１２３４－５６７８"_s} << Seven({u"０３－１２３４－５６７８"_s});
    QTest::newRow("address label with half-width colon")
        << QStringList{u"住所:東京都港区"_s} << Seven({u"東京都港区"_s});
    QTest::newRow("full-width postal code on line 2 becomes half width")
        << QStringList{u"x"_s, u"１２３－４５６７"_s} << Seven({u"x"_s, u"123-4567"_s});
    QTest::newRow("postal code mark goes and the number is converted")
        << QStringList{u"〒１２３－４５６７"_s} << Seven({u"123-4567"_s});
    QTest::newRow("two-digit number stays full width") << QStringList{u"１２丁目"_s} << Seven({u"１２丁目"_s});
    QTest::newRow("three-digit number converts the whole line") << QStringList{u"１２３ビル"_s} << Seven({u"123ﾋﾞﾙ"_s});
    QTest::newRow("line 7 is always converted") << Seven({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"メゾン"_s})
                                                << Seven({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"ﾒｿﾞﾝ"_s});
    QTest::newRow("line 7 is converted before its labels go, so a full-width label turns half width")
        << Seven({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"ＴＥＬ０３"_s})
        << Seven({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"03"_s});
    QTest::newRow("label inside a place name goes too") << QStringList{u"ところざわ市"_s} << Seven({u"ざわ市"_s});
    QTest::newRow("label joined by a removal goes with the second TEL")
        << QStringList{u"TTELEL 0"_s} << Seven({u"0"_s});
    QTest::newRow("labels everywhere in the line") << QStringList{u"電話 03 電話"_s} << Seven({u"03"_s});
    QTest::newRow("only labels leave an empty line") << QStringList{u"お届け先"_s} << Seven({});
    QTest::newRow("lines beyond the seventh are dropped")
        << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s}
        << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s};
    QTest::newRow("leading control characters after a label go with TrimLeft")
        << QStringList{u"様\t山田"_s} << Seven({u"山田"_s});
}

void TestCleanup::removeLabels()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    QCOMPARE(transfer::RemoveLabels(lines), expected);
}

void TestCleanup::labelListHasItsEntries()
{
    const QStringList &labels = transfer::LabelKeywordList();
    QCOMPARE(labels.size(), 45);
    QCOMPARE(labels.at(0), u"："_s);
    QCOMPARE(labels.at(7), u"TEL"_s);
    QCOMPARE(labels.at(12), u"TEL"_s);
    QCOMPARE(labels.last(), u"届け先"_s);
}

void TestCleanup::splitOneLine_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no lines give seven empty lines") << QStringList() << Seven({});
    QTest::newRow("postal code and address split onto the empty next line")
        << QStringList{u"123-4567東京都港区芝公園"_s} << Seven({u"123-4567"_s, u"東京都港区芝公園"_s});
    QTest::newRow("rest goes to the first empty line after it")
        << QStringList{u"123-4567東京都港区芝公園"_s, u"a"_s, QString(), u"b"_s}
        << Seven({u"123-4567"_s, u"a"_s, u"東京都港区芝公園"_s, u"b"_s});
    QTest::newRow("no empty line: the rest is lost")
        << QStringList{u"123-4567東京都港区芝公園"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s}
        << QStringList{u"123-4567"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s};
    QTest::newRow("a rest of six characters stays")
        << QStringList{u"123-4567港区芝公園四"_s} << Seven({u"123-4567港区芝公園四"_s});
    QTest::newRow("a rest of seven characters moves")
        << QStringList{u"123-4567港区芝公園四丁"_s} << Seven({u"123-4567"_s, u"港区芝公園四丁"_s});
    QTest::newRow("a short rest stays") << QStringList{u"123-4567港区芝"_s} << Seven({u"123-4567港区芝"_s});
    QTest::newRow("seven digits and a blank are no postal code")
        << QStringList{u"1234567 港区芝公園四丁目"_s} << Seven({u"1234567 港区芝公園四丁目"_s});
    QTest::newRow("telephone number with suffix is split after eight digit-class characters")
        << QStringList{u"03-1234-5678（代表）"_s} << Seven({u"03-1234-"_s, u"5678（代表）"_s});
    QTest::newRow("the moved rest keeps a leading blank")
        << QStringList{u"123-4567 東京都港区芝"_s} << Seven({u"123-4567"_s, u" 東京都港区芝"_s});
    QTest::newRow("a moved rest is examined in its own round")
        << QStringList{u"111-1111222-2222東京都港区芝公"_s}
        << Seven({u"111-1111"_s, u"222-2222"_s, u"東京都港区芝公"_s});
    QTest::newRow("a rest longer than 80 characters moves whole")
        << QStringList{u"123-4567"_s + QString(80, u'a') + u"kept"_s}
        << Seven({u"123-4567"_s, QString(80, u'a') + u"kept"_s});
    QTest::newRow("full-width postal code splits too")
        << QStringList{u"１２３－４５６７東京都港区芝公園"_s} << Seven({u"１２３－４５６７"_s, u"東京都港区芝公園"_s});
}

void TestCleanup::splitOneLine()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    QCOMPARE(transfer::SplitOneLine(lines), expected);
}

QTEST_GUILESS_MAIN(TestCleanup)
#include "tst_cleanup.moc"
