// The text rules of the postal dictionary as plain functions: postal codes as
// operators write them, the folded form of addresses, and the agreement of a
// typed address with the dictionary's.

#include "postal/PostalText.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestPostalText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalizeCode_data();
    void normalizeCode();
    void foldAddress_data();
    void foldAddress();
    void addressAgrees_data();
    void addressAgrees();
};

void TestPostalText::normalizeCode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    QTest::newRow("seven digits") << u"1000001"_s << u"1000001"_s;
    QTest::newRow("hyphen after three digits") << u"100-0001"_s << u"1000001"_s;
    QTest::newRow("full width with full-width hyphen") << u"１００－０００１"_s << u"1000001"_s;
    QTest::newRow("postal mark and blanks") << u" 〒 100-0001　"_s << u"1000001"_s;
    QTest::newRow("prolonged sound mark as hyphen") << u"〒100ー0001"_s << u"1000001"_s;
    QTest::newRow("half-width prolonged sound mark") << u"100ｰ0001"_s << u"1000001"_s;
    QTest::newRow("six digits") << u"100-001"_s << QString();
    QTest::newRow("eight digits") << u"10000011"_s << QString();
    QTest::newRow("hyphen in the wrong place") << u"1000-001"_s << QString();
    QTest::newRow("two hyphens") << u"100--0001"_s << QString();
    QTest::newRow("letters") << u"100-000A"_s << QString();
    QTest::newRow("postal mark after the digits") << u"1000001〒"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestPostalText::normalizeCode()
{
    QFETCH(QString, text);
    QFETCH(QString, code);
    QCOMPARE(postal::NormalizeCode(text), code);
}

void TestPostalText::foldAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");
    QTest::newRow("blanks dropped") << u"東京都　千代田区 千代田"_s << u"東京都1000代田区1000代田"_s;
    QTest::newRow("full-width digits and hyphen") << u"１－２"_s << u"1-2"_s;
    QTest::newRow("kanji numerals with units") << u"北二十四条西"_s << u"北24条西"_s;
    QTest::newRow("ten alone") << u"北十条西"_s << u"北10条西"_s;
    QTest::newRow("positional kanji digits") << u"二〇二号"_s << u"202号"_s;
    QTest::newRow("half-width kana, voiced and semi-voiced") << u"ﾃｸﾉﾊﾟｰｸ ｶﾞｰﾃﾞﾝ"_s << u"テクのパークガーデン"_s;
    QTest::newRow("prolonged sound mark after a digit is a hyphen") << u"1ー2"_s << u"1-2"_s;
    QTest::newRow("small ke and ga alike") << u"霞ヶ関 霞が関 霞ケ関"_s << u"霞ケ関霞ケ関霞ケ関"_s;
    QTest::newRow("latin in upper case") << u"ａｂｃ def"_s << u"ABCDEF"_s;
    const QString nines(20, u'九');
    QTest::newRow("a long run of digits before a unit stays in kanji")
        << u"北"_s + nines + u"千条"_s << u"北"_s + nines + u"千条"_s;
    QTest::newRow("a long run of digits before hundred and ten stays in kanji")
        << nines + u"百十号"_s << nines + u"百十号"_s;
    QTest::newRow("a long run of digits without a unit is read digit by digit")
        << nines + u"号"_s << QString(20, u'9') + u"号"_s;
    QTest::newRow("a thousands numeral still folds") << u"千二百三十四番地"_s << u"1234番地"_s;
}

void TestPostalText::foldAddress()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(postal::FoldAddress(QStringView(text)), folded);
}

void TestPostalText::addressAgrees_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<bool>("agrees");
    const QStringList chiyoda{u"東京都千代田区千代田"_s};
    const QStringList tobetsu{u"北海道石狩郡当別町ビトエ"_s, u"北海道石狩郡当別町ビトエ中島"_s};
    QTest::newRow("address with block number") << u"東京都千代田区千代田１－１"_s << chiyoda << true;
    QTest::newRow("prefecture left out") << u"千代田区千代田1-1"_s << chiyoda << true;
    QTest::newRow("still typing the prefecture") << u"東京"_s << chiyoda << true;
    QTest::newRow("other ward") << u"東京都港区芝公園4-2-8"_s << chiyoda << false;
    QTest::newRow("other prefecture") << u"大阪府千代田区千代田"_s << chiyoda << false;
    QTest::newRow("other town of the ward") << u"東京都千代田区丸の内1-1"_s << chiyoda << false;
    QTest::newRow("county left out") << u"当別町ビトエ123"_s << tobetsu << true;
    QTest::newRow("second of several addresses") << u"北海道石狩郡当別町ビトエ中島5"_s << tobetsu << true;
    QTest::newRow("digits for kanji numerals")
        << u"北海道札幌市北区北10条西4丁目"_s << QStringList{u"北海道札幌市北区北十条西"_s} << true;
    QTest::newRow("empty text agrees") << QString() << chiyoda << true;
    QTest::newRow("no dictionary address") << u"東京都"_s << QStringList() << false;
}

void TestPostalText::addressAgrees()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, addresses);
    QFETCH(bool, agrees);
    QCOMPARE(postal::AddressAgrees(typed, addresses), agrees);
}

QTEST_GUILESS_MAIN(TestPostalText)
#include "tst_postaltext.moc"
