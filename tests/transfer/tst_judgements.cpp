#include "transfer/Judgements.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestJudgements : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countOccurrences_data();
    void countOccurrences();
    void countOccurrencesIsLinearOnLongText();
    void emailMarkerCount_data();
    void emailMarkerCount();
    void zipTelVerdict_data();
    void zipTelVerdict();
    void prefecture_data();
    void prefecture();
    void everyPrefectureNamePasses();
    void addressScore_data();
    void addressScore();
    void tablesHaveTheirSizes();
};

void TestJudgements::countOccurrences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty text holds nothing") << QString() << u"a"_s << 0;
    QTest::newRow("empty keyword occurs nowhere") << u"abc"_s << QString() << 0;
    QTest::newRow("keyword longer than the text") << u"ab"_s << u"abc"_s << 0;
    QTest::newRow("keyword equal to the text") << u"abc"_s << u"abc"_s << 1;
    QTest::newRow("match at the very end") << u"xxab"_s << u"ab"_s << 1;
    QTest::newRow("partial match at the end does not count") << u"xxa"_s << u"ab"_s << 0;
    QTest::newRow("three equal characters hold the pair once") << u"aaa"_s << u"aa"_s << 1;
    QTest::newRow("four equal characters hold the pair twice") << u"aaaa"_s << u"aa"_s << 2;
    QTest::newRow("case matters") << u"Tel TEL tel"_s << u"TEL"_s << 1;
    QTest::newRow("full-width F is not F") << u"５Ｆ"_s << u"F"_s << 0;
    QTest::newRow("half-width kana is not full-width kana") << u"ﾋﾞﾙ"_s << u"ビル"_s << 0;
    QTest::newRow("scan runs past the kanji one") << u"一丁目一丁目"_s << u"丁目"_s << 2;
    QTest::newRow("scan runs past an ideographic space") << u"　丁目　丁目"_s << u"丁目"_s << 2;
    QTest::newRow("scan runs past a NUL") << u"a\0a"_s << u"a"_s << 2;
    QTest::newRow("emoji are just characters") << u"😀-😀-"_s << u"-"_s << 2;
}

void TestJudgements::countOccurrences()
{
    QFETCH(QString, text);
    QFETCH(QString, keyword);
    QFETCH(int, expected);
    QCOMPARE(transfer::CountOccurrences(text, keyword), expected);
}

void TestJudgements::countOccurrencesIsLinearOnLongText()
{
    // A megabyte of a near-miss pattern: a quadratic scan would not finish in
    // the test's lifetime.
    const QString text = QString(1 << 20, u'a') + u"ab"_s;
    QCOMPARE(transfer::CountOccurrences(text, u"aaaaaaab"_s), 1);
    QCOMPARE(transfer::CountOccurrences(text, u"a"_s), (1 << 20) + 1);
    QCOMPARE(transfer::AddressScore(QString(1 << 20, u'1')), 1 << 20);
}

void TestJudgements::emailMarkerCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty line") << QString() << 0;
    QTest::newRow("plain name") << u"山田太郎"_s << 0;
    QTest::newRow("an at sign") << u"yamada@"_s << 1;
    QTest::newRow(".co.jp counts .co and .jp") << u"example.co.jp"_s << 2;
    QTest::newRow(".com counts .com and .co") << u"example.com"_s << 2;
    QTest::newRow(".net counts .ne and .net") << u"example.net"_s << 2;
    QTest::newRow(".org counts once") << u"example.org"_s << 1;
    QTest::newRow("full address") << u"taro@example.ne.jp"_s << 3;
    QTest::newRow("upper-case .COM counts nothing") << u"EXAMPLE.COM"_s << 0;
    QTest::newRow("full-width at sign counts nothing") << u"taro＠example"_s << 0;
}

void TestJudgements::emailMarkerCount()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(transfer::EmailMarkerCount(text), expected);
}

void TestJudgements::zipTelVerdict_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QString zip = u"〒"_s;
    const QString tel = u"TEL"_s;
    const QString add = u"ADD"_s;
    const QString none = u"〒/電話番工判断"_s;

    QTest::newRow("empty text is undetermined") << QString() << none;
    QTest::newRow("seven digits are no postal code") << u"1234567"_s << none;
    QTest::newRow("postal code with hyphen") << u"123-4567"_s << zip;
    QTest::newRow("full-width postal code") << u"１２３－４５６７"_s << zip;
    QTest::newRow("eight digits") << u"12345678"_s << zip;
    QTest::newRow("eight hyphens count as digit class") << u"--------"_s << zip;
    QTest::newRow("blank-padded postal code judged on its trimmed length") << u"  123-4567  "_s << zip;
    QTest::newRow("eight with one other character") << u"123-456X"_s << none;
    QTest::newRow("nine digit-class characters") << u"123-45678"_s << none;
    QTest::newRow("ten digits are a telephone number") << u"0312345678"_s << tel;
    QTest::newRow("telephone with hyphens") << u"03-1234-5678"_s << tel;
    QTest::newRow("mobile telephone") << u"090-1234-5678"_s << tel;
    QTest::newRow("ten with one other character") << u"03-1234-567X"_s << tel;
    QTest::newRow("two blanks inside are two others") << u"03 1234 5678"_s << none;
    QTest::newRow("brackets are two others") << u"(03)1234-5678"_s << none;
    QTest::newRow("label before the telephone number") << u"TEL03-1234-5678"_s << add;
    QTest::newRow("address line") << u"港区架空町1-2-3"_s << add;
    QTest::newRow("ideographic space is not trimmed") << u"　123-4567"_s << none;
    QTest::newRow("name") << u"山田太郎"_s << none;
}

void TestJudgements::zipTelVerdict()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(transfer::ZipTelVerdict(text), expected);
}

void TestJudgements::prefecture_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    QTest::newRow("empty text") << QString() << false;
    QTest::newRow("Kyoto prefecture") << u"京都府"_s << true;
    QTest::newRow("Okinawa prefecture") << u"沖縄県"_s << true;
    QTest::newRow("Hokkaido, first in the list") << u"北海道"_s << true;
    QTest::newRow("Kagoshima, four characters") << u"鹿児島県"_s << true;
    QTest::newRow("Kyoto without its suffix") << u"京都"_s << false;
    QTest::newRow("address line beginning with Tokyo") << u"東京都港区"_s << false;
    QTest::newRow("padding is not trimmed here") << u" 東京都"_s << false;
    QTest::newRow("trailing ideographic space") << u"東京都　"_s << false;
}

void TestJudgements::prefecture()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(transfer::IsPrefecture(text), expected);
    QCOMPARE(transfer::PrefectureLabel(text), expected ? u"0"_s : u"xxxx"_s);
}

void TestJudgements::everyPrefectureNamePasses()
{
    for (const QString &name : transfer::PrefectureNames()) {
        QVERIFY2(transfer::IsPrefecture(name), qPrintable(name));
        QCOMPARE(name.trimmed(), name);
    }
}

void TestJudgements::addressScore_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty text scores 0") << QString() << 0;
    QTest::newRow("kanji name scores 0") << u"山田太郎"_s << 0;
    QTest::newRow("katakana name scores 0") << u"ヤマダ タロウ"_s << 0;
    QTest::newRow("one digit") << u"1"_s << 1;
    QTest::newRow("ward and chome, past the kanji one") << u"港区六本木一丁目"_s << 2;
    QTest::newRow("past an ideographic space") << u"道玄坂　2丁目"_s << 2;
    QTest::newRow("half-width casa") << u"ｶｰｻ渋谷"_s << 1;
    QTest::newRow("junior high school counts twice") << u"中学校"_s << 2;
    QTest::newRow("Kyoto prefecture counts capital and prefecture") << u"京都府"_s << 2;
    QTest::newRow("Hokkaido") << u"北海道"_s << 1;
    QTest::newRow("building with floor") << u"架空ビル5F"_s << 3;
    QTest::newRow("half-width building with separate marks") << u"ﾋﾞﾙ"_s << 1;
    QTest::newRow("postal code without hyphen") << u"1234567"_s << 7;
    QTest::newRow("full-width digits and hyphen") << u"１－２"_s << 3;
    QTest::newRow("surrounding blanks are trimmed") << u"  山田  "_s << 0;
    QTest::newRow("address line") << u"港区架空町1-2-3"_s << 7;
    QTest::newRow("post office hold") << u"郵便局留"_s << 2;
}

void TestJudgements::addressScore()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(transfer::AddressScore(text), expected);
}

void TestJudgements::tablesHaveTheirSizes()
{
    QCOMPARE(transfer::DigitClassCharacters().size(), 22);
    QCOMPARE(transfer::EmailMarkers().size(), 7);
    QCOMPARE(transfer::PrefectureNames().size(), 47);
    QCOMPARE(transfer::AddressKeywords().size(), 57);
    QCOMPARE(transfer::AddressKeywords().at(22), u"北海道"_s);
    QCOMPARE(transfer::AddressKeywords().at(41), u"ﾋﾞﾙ"_s);
    QCOMPARE(transfer::AddressKeywords().at(41).size(), 3);
    QCOMPARE(transfer::AddressKeywords().last(), u"高等学校"_s);
}

QTEST_GUILESS_MAIN(TestJudgements)
#include "tst_judgements.moc"
