// The smart transfer on numbers written as their writer grouped them or in
// kanji numerals, on names beside staff and shop words, on companies and
// departments, Western-order addresses, half-width katakana, post office
// holds and the dictionary's completion (all names, streets and numbers
// invented; postal codes real).

#include "transfer/SmartTransfer.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void addRow(const char *name, const QString &text, const QString &zip, const QString &add1, const QString &add2,
            const QString &add3, const QString &custo1, const QString &tel)
{
    QTest::newRow(name) << text << zip << add1 << add2 << add3 << custo1 << tel;
}

// A few real codes with their dictionary addresses: one city has a code of
// its own beside its towns' codes, another has only its city-wide code here.
class ShapesPostal : public transfer::PostalLookup
{
public:
    QStringList addressesOf(const QString &code) const override
    {
        if (code == u"7300011"_s)
            return {u"広島県広島市中区基町"_s};
        if (code == u"4440864"_s)
            return {u"愛知県岡崎市明大寺町"_s};
        if (code == u"4440000"_s)
            return {u"愛知県岡崎市"_s};
        return {};
    }
    QStringList codesOf(const QString &prefix) const override
    {
        if (u"愛知県岡崎市明大寺町"_s.startsWith(prefix) || prefix.startsWith(u"愛知県岡崎市明大寺町"_s))
            return {u"4440000"_s, u"4440864"_s};
        if (prefix.startsWith(u"愛知県岡崎市"_s))
            return {u"4440000"_s};
        return {};
    }
};

} // namespace

class TestSmartShapes2 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void phones_data();
    void phones();
    void names_data();
    void names();
    void companies_data();
    void companies();
    void westernOrder_data();
    void westernOrder();
    void halfWidthKana_data();
    void halfWidthKana();
    void postOfficeHold_data();
    void postOfficeHold();
    void dictionaryOnlyAdds_data();
    void dictionaryOnlyAdds();

private:
    void columns();
    void check(const transfer::PostalLookup *postal = nullptr);
};

void TestSmartShapes2::columns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("add1");
    QTest::addColumn<QString>("add2");
    QTest::addColumn<QString>("add3");
    QTest::addColumn<QString>("custo1");
    QTest::addColumn<QString>("tel");
}

void TestSmartShapes2::check(const transfer::PostalLookup *postal)
{
    QFETCH(QString, text);
    QFETCH(QString, zip);
    QFETCH(QString, add1);
    QFETCH(QString, add2);
    QFETCH(QString, add3);
    QFETCH(QString, custo1);
    QFETCH(QString, tel);
    const transfer::SmartTransferResult r = transfer::SmartTransfer(text, postal);
    QCOMPARE(r.zip, zip);
    QCOMPARE(r.tel, tel);
    QCOMPARE(r.custo1, custo1);
    QCOMPARE(r.add1, add1);
    QCOMPARE(r.add2, add2);
    QCOMPARE(r.add3, add3);
}

void TestSmartShapes2::phones_data()
{
    columns();
    addRow("the writer's groups of a mobile stay",
           u"〒980-0014 宮城県仙台市青葉区本町4-1-8\n大沢 俊介\n080-0000-4417\n"_s, u"980-0014"_s,
           u"宮城県仙台市青葉区本町4-1-8"_s, QString(), QString(), u"大沢　俊介"_s, u"080-0000-4417"_s);
    addRow("kanji numerals in the code and the number",
           u"〒九二〇‐〇九六二\n石川県金沢市広坂二丁目3-5\n前川 多恵\n〇七六‐二二一‐〇四八八\n"_s, u"920-0962"_s,
           u"石川県金沢市広坂二丁目3-5"_s, QString(), QString(), u"前川　多恵"_s, u"076-221-0488"_s);
    addRow("℡ glued to the number", u"〒700-0822 岡山県岡山市北区表町1-7-30\n岩田 修平\n℡086-231-5520\n"_s,
           u"700-0822"_s, u"岡山県岡山市北区表町1-7-30"_s, QString(), QString(), u"岩田　修平"_s, u"086-231-5520"_s);
    addRow("a number after 電話は in a sentence",
           u"こんにちは。〒790-0003 愛媛県松山市三番町6-2-11 に送ってください。宛名は浜口 美紀です。"
           u"電話は089-911-3087です。"_s,
           u"790-0003"_s, u"愛媛県松山市三番町6-2-11"_s, QString(), QString(), u"浜口　美紀"_s, u"089-911-3087"_s);
    addRow("seven bare digits glued to the address", u"0300801青森県青森市新町2-4-19\n工藤 正樹\n0177-77-1234\n"_s,
           u"030-0801"_s, u"青森県青森市新町2-4-19"_s, QString(), QString(), u"工藤　正樹"_s, u"0177-77-1234"_s);
    addRow("a +81 mobile", u"〒250-0011 神奈川県小田原市栄町3-12-6\n杉浦 あかね\nTEL: +81 90-4412-7730\n"_s,
           u"250-0011"_s, u"神奈川県小田原市栄町3-12-6"_s, QString(), QString(), u"杉浦　あかね"_s, u"090-4412-7730"_s);
    addRow("a +81 number keeps the writer's groups",
           u"〒020-0023 岩手県盛岡市内丸5-1\n及川 拓\n+81 (0)80-0000-6152\n"_s, u"020-0023"_s, u"岩手県盛岡市内丸5-1"_s,
           QString(), QString(), u"及川　拓"_s, u"080-0000-6152"_s);
    addRow("TEL glued to a full-width number on the address line",
           u"〒020-0023 岩手県盛岡市内丸3-8 菅野陸 TEL０１９－６２４－７７１５\n"_s, u"020-0023"_s,
           u"岩手県盛岡市内丸3-8"_s, QString(), QString(), u"菅野陸"_s, u"019-624-7715"_s);
    addRow("kanji numerals with ASCII hyphens and a dot between the groups",
           u"〒三八〇-〇八三六 長野県長野市南県町十一番二号\n北條 千尋\n電話 〇九〇・五五一二・三三〇八\n"_s,
           u"380-0836"_s, u"長野県長野市南県町十一番二号"_s, QString(), QString(), u"北條　千尋"_s, u"090-5512-3308"_s);
}

void TestSmartShapes2::phones()
{
    check();
}

void TestSmartShapes2::names_data()
{
    columns();
    addRow("お客様： names the customer",
           u"お客様：村井 奈緒\n〒540-0008 大阪府大阪市中央区大手前3-1-44\n06-6941-0077\n"_s, u"540-0008"_s,
           u"大阪府大阪市中央区大手前3-1-44"_s, QString(), QString(), u"村井　奈緒"_s, u"06-6941-0077"_s);
    addRow("the staff who took the call is not the customer",
           u"電話注文　受付：森\n〒420-0852 静岡県静岡市葵区紺屋町8-3\n柴田 康夫 様\n054-252-0190\n"_s, u"420-0852"_s,
           u"静岡県静岡市葵区紺屋町8-3"_s, QString(), QString(), u"柴田　康夫"_s, u"054-252-0190"_s);
    addRow("a katakana name alone", u"〒362-0042 埼玉県上尾市谷津1-5-2\nオオシマ ケイコ\n048-771-2210\n"_s,
           u"362-0042"_s, u"埼玉県上尾市谷津1-5-2"_s, QString(), QString(), u"オオシマ　ケイコ"_s, u"048-771-2210"_s);
    addRow("あて after the name is left off", u"〒9020067 沖縄県那覇市安里2-9-4\n比嘉 良太あて\n098-861-4420\n"_s,
           u"902-0067"_s, u"沖縄県那覇市安里2-9-4"_s, QString(), QString(), u"比嘉　良太"_s, u"098-861-4420"_s);
    addRow("an item and a quantity are no name",
           u"〒010-0951 秋田県秋田市山王5-3-7\n昆布　二袋\n佐々木 弘\n018-862-5531\n"_s, u"010-0951"_s,
           u"秋田県秋田市山王5-3-7"_s, QString(), QString(), u"佐々木　弘"_s, u"018-862-5531"_s);
    addRow("a title with its department before the name",
           u"〒330-0063 埼玉県さいたま市浦和区高砂1-2-12\n製造部長 永瀬 隆之\n"_s, u"330-0063"_s,
           u"埼玉県さいたま市浦和区高砂1-2-12"_s, QString(), QString(), u"永瀬　隆之"_s, QString());
    addRow("ご担当 with a department", u"ご担当：品質管理課 江口様\n〒330-0063 埼玉県さいたま市浦和区高砂2-6-1\n"_s,
           u"330-0063"_s, u"埼玉県さいたま市浦和区高砂2-6-1"_s, u"品質管理課"_s, QString(), u"江口"_s, QString());
    addRow("宛名は in a sentence", u"宛名は戸川真澄様でお願いします。〒790-0003 愛媛県松山市三番町1-9-6\n"_s,
           u"790-0003"_s, u"愛媛県松山市三番町1-9-6"_s, QString(), QString(), u"戸川真澄"_s, QString());
    addRow("the family name alone below keeps the full name",
           u"野々村 千秋\n〒7000822 岡山県岡山市北区表町2-2-5\n野々村\n"_s, u"700-0822"_s,
           u"岡山県岡山市北区表町2-2-5"_s, QString(), QString(), u"野々村　千秋"_s, QString());
    addRow(
        "the family name in the block takes the full name of the salutation",
        u"門脇 志保 様\n\nご注文ありがとうございます。\n\n【お届け先】\nお名前：門脇\n〒020-0023 岩手県盛岡市内丸6-3\n"_s,
        u"020-0023"_s, u"岩手県盛岡市内丸6-3"_s, QString(), QString(), u"門脇　志保"_s, QString());
    addRow("a chat time in front of the name", u"[19:47] 塩見 一輝\n〒900-0006 沖縄県那覇市おもろまち3-1-4\n"_s,
           u"900-0006"_s, u"沖縄県那覇市おもろまち3-1-4"_s, QString(), QString(), u"塩見　一輝"_s, QString());
    addRow("the romaji name gives way to the one in kanji",
           u"Name: Daiki Morishita\n氏名: 森下 大樹\n〒980-0014 宮城県仙台市青葉区本町2-5-8\n"_s, u"980-0014"_s,
           u"宮城県仙台市青葉区本町2-5-8"_s, QString(), QString(), u"森下　大樹"_s, QString());
}

void TestSmartShapes2::names()
{
    check();
}

void TestSmartShapes2::companies_data()
{
    columns();
    addRow("company, branch and department on one line before the person",
           u"〒460-0008 愛知県名古屋市中区栄5-20-3\n有限会社ミナモ工芸 栄支店 営業部 坂口 亮\n052-241-8816\n"_s,
           u"460-0008"_s, u"愛知県名古屋市中区栄5-20-3"_s, u"有限会社ミナモ工芸　栄支店　営業部"_s, QString(),
           u"坂口　亮"_s, u"052-241-8816"_s);
    addRow(
        "a company after the building goes to line 3",
        u"〒220-0012\n神奈川県横浜市西区みなとみらい2-3-5 ベイサイド棟14階\n株式会社サザナミ 企画課\n野口 玲奈 様\n"_s,
        u"220-0012"_s, u"神奈川県横浜市西区みなとみらい2-3-5"_s, u"ベイサイド棟14階"_s, u"株式会社サザナミ　企画課"_s,
        u"野口　玲奈"_s, QString());
    addRow("a department alone before the person", u"〒920-0962 石川県金沢市広坂1-4-2\n総務課 寺西 弥生\n"_s,
           u"920-0962"_s, u"石川県金沢市広坂1-4-2"_s, u"総務課"_s, QString(), u"寺西　弥生"_s, QString());
    addRow("a branch without a company word",
           u"〒420-0852 静岡県静岡市葵区紺屋町4-4\nアオイ測量 静岡支社 調査部 川島 誠司\n"_s, u"420-0852"_s,
           u"静岡県静岡市葵区紺屋町4-4"_s, u"アオイ測量　静岡支社　調査部"_s, QString(), u"川島　誠司"_s, QString());
    addRow("a company and its person after the building on the address line",
           u"〒650-0021 兵庫県神戸市中央区三宮町1-6-2 三宮ビル5F 株式会社ハマナス 北条 梓\n"_s, u"650-0021"_s,
           u"兵庫県神戸市中央区三宮町1-6-2"_s, u"三宮ビル5F"_s, u"株式会社ハマナス"_s, u"北条　梓"_s, QString());
    addRow("a store's name and its manager", u"雑貨ポルカ 広坂店\n〒920-0962 石川県金沢市広坂2-1-1\n店長 宮内 隼\n"_s,
           u"920-0962"_s, u"石川県金沢市広坂2-1-1"_s, u"雑貨ポルカ　広坂店"_s, QString(), u"宮内　隼"_s, QString());
    addRow("a family name ending in 部 is no department", u"〒7900003 愛媛県松山市三番町4-2-2\n長谷部 千尋\n"_s,
           u"790-0003"_s, u"愛媛県松山市三番町4-2-2"_s, QString(), QString(), u"長谷部　千尋"_s, QString());
}

void TestSmartShapes2::companies()
{
    check();
}

void TestSmartShapes2::westernOrder_data()
{
    columns();
    addRow("a bilingual form keeps no label",
           u"Name / お名前:　Laura　Bennett\nAddress / 住所: 〒330-0063 埼玉県さいたま市浦和区高砂3-9-2\n"
           u"Phone / 電話: 048-829-0415\n"_s,
           u"330-0063"_s, u"埼玉県さいたま市浦和区高砂3-9-2"_s, QString(), QString(), u"Laura Bennett"_s,
           u"048-829-0415"_s);
    addRow("a romaji address stays whole",
           u"Address: 2-5-8 Honcho, Aoba-ku, Sendai, Miyagi 980-0014\nName: Oliver Grant\nPhone: 080-6621-0934\n"_s,
           u"980-0014"_s, u"2-5-8 Honcho, Aoba-ku, Sendai, Miyagi"_s, QString(), QString(), u"Oliver Grant"_s,
           u"080-6621-0934"_s);
    addRow("a Western address over two lines without labels",
           u"Sophie Martin\n7-2 Konyamachi, Aoi-ku\nShizuoka-shi, Shizuoka 420-0852\nJAPAN\n"_s, u"420-0852"_s,
           u"7-2 Konyamachi, Aoi-ku, Shizuoka-shi, Shizuoka"_s, QString(), QString(), u"Sophie Martin"_s, QString());
    addRow("labels with the Japanese word in brackets",
           u"Full name（氏名）: Noah Fischer\nAddress（住所）: 11-3 Konyamachi, Aoi-ku, Shizuoka 420-0852\n"
           u"Telephone（電話）: 070-2291-4456\n"_s,
           u"420-0852"_s, u"11-3 Konyamachi, Aoi-ku, Shizuoka"_s, QString(), QString(), u"Noah Fischer"_s,
           u"070-2291-4456"_s);
    addRow("an English note with numbers is no address",
           u"2-3 weeks, if possible\n〒420-0852 静岡県静岡市葵区紺屋町5-5\n平野 蒼\n"_s, u"420-0852"_s,
           u"静岡県静岡市葵区紺屋町5-5"_s, QString(), QString(), u"平野　蒼"_s, QString());
    addRow("a romaji name with its kanji in brackets",
           u"宛名：Hiro Tanabe（田辺 浩）\n〒980-0014 宮城県仙台市青葉区本町1-1-9\n"_s, u"980-0014"_s,
           u"宮城県仙台市青葉区本町1-1-9"_s, QString(), QString(), u"田辺　浩"_s, QString());
}

void TestSmartShapes2::westernOrder()
{
    check();
}

void TestSmartShapes2::halfWidthKana_data()
{
    columns();
    addRow("a half-width name becomes full width", u"〒930-0083 富山県富山市総曲輪4-2-1\nｲｼｸﾞﾛ ﾐﾂﾙ\n076-421-6620\n"_s,
           u"930-0083"_s, u"富山県富山市総曲輪4-2-1"_s, QString(), QString(), u"イシグロ　ミツル"_s, u"076-421-6620"_s);
    addRow("a half-width building with its room above the address",
           u"ﾚｼﾞﾃﾞﾝｽ内丸 405\n〒020-0023 岩手県盛岡市内丸2-7\n小野寺 澪\n"_s, u"020-0023"_s, u"岩手県盛岡市内丸2-7"_s,
           u"レジデンス内丸 405"_s, QString(), u"小野寺　澪"_s, QString());
    addRow("a half-width building with its room under the name",
           u"〒650-0021\n兵庫県神戸市中央区三宮町2-8-4\n松浦 智子\nﾊｲﾂ三宮 302号\n"_s, u"650-0021"_s,
           u"兵庫県神戸市中央区三宮町2-8-4"_s, u"ハイツ三宮 302号"_s, QString(), u"松浦　智子"_s, QString());
}

void TestSmartShapes2::halfWidthKana()
{
    check();
}

void TestSmartShapes2::postOfficeHold_data()
{
    columns();
    addRow("a hold at the post office is kept on line 2",
           u"〒160-0023 東京都新宿区西新宿8-9-1\n新宿郵便局留\n本田 雅也\n090-7781-3054\n"_s, u"160-0023"_s,
           u"東京都新宿区西新宿8-9-1"_s, u"新宿郵便局留"_s, QString(), u"本田　雅也"_s, u"090-7781-3054"_s);
    addRow("a hold on the line of the address", u"〒900-0006 沖縄県那覇市おもろまち 那覇中央郵便局留め\n金城 奈美\n"_s,
           u"900-0006"_s, u"沖縄県那覇市おもろまち"_s, u"那覇中央郵便局留め"_s, QString(), u"金城　奈美"_s, QString());
}

void TestSmartShapes2::postOfficeHold()
{
    check();
}

void TestSmartShapes2::dictionaryOnlyAdds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("add1");
    QTest::addColumn<QString>("add2");
    QTest::addColumn<bool>("warns");
    QTest::newRow("a town the dictionary spells otherwise keeps its number and building")
        << u"〒730-0011\n広島市中区架空基町6-78 コーポ基 205\n藤井 武"_s << u"730-0011"_s
        << u"広島県広島市中区架空基町6-78"_s << u"コーポ基 205"_s << false;
    QTest::newRow("a town the dictionary spells otherwise gets its city in front")
        << u"〒730-0011\n架空基町3-21\n藤井 武"_s << u"730-0011"_s << u"広島県広島市中区架空基町3-21"_s << QString()
        << false;
    QTest::newRow("a town-level code wins over the city's") << u"愛知県岡崎市明大寺町2-14\n三浦 里美"_s << u"444-0864"_s
                                                            << u"愛知県岡崎市明大寺町2-14"_s << QString() << false;
    QTest::newRow("only the city's code fits: taken with a warning")
        << u"愛知県岡崎市架空新町9-1\n三浦 里美"_s << u"444-0000"_s << u"愛知県岡崎市架空新町9-1"_s << QString()
        << true;
}

void TestSmartShapes2::dictionaryOnlyAdds()
{
    QFETCH(QString, text);
    QFETCH(QString, zip);
    QFETCH(QString, add1);
    QFETCH(QString, add2);
    QFETCH(bool, warns);
    const ShapesPostal postal;
    const transfer::SmartTransferResult r = transfer::SmartTransfer(text, &postal);
    QCOMPARE(r.zip, zip);
    QCOMPARE(r.add1, add1);
    QCOMPARE(r.add2, add2);
    QCOMPARE(!r.warning.isEmpty(), warns);
}

QTEST_GUILESS_MAIN(TestSmartShapes2)
#include "tst_smartshapes2.moc"
