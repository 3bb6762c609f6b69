// The smart transfer on numbers, names, companies, Western and half-width
// addresses, post office holds and the dictionary (invented; codes real).

#include "transfer/SmartTransfer.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The expected fields: postal code, the three address lines, name, telephone.
void addRow(const char *name, const QString &text, const QString &zip, const QString &add1, const QString &add2,
            const QString &add3, const QString &custo1, const QString &tel, bool warns = false)
{
    QTest::newRow(name) << text << QStringList{zip, add1, add2, add3, custo1, tel} << warns;
}

// Two cities of real codes: one with its city-wide code beside a town's.
class ShapesPostal : public transfer::PostalLookup
{
public:
    QStringList addressesOf(const QString &code) const override
    {
        if (code == u"4200852"_s)
            return {u"静岡県静岡市葵区紺屋町"_s};
        if (code == u"1500013"_s)
            return {u"東京都渋谷区恵比寿"_s};
        return code == u"7300011"_s ? QStringList{u"広島県広島市中区基町"_s} : QStringList{};
    }
    QStringList codesOf(const QString &prefix) const override
    {
        if (prefix.startsWith(u"愛知県岡崎市明大寺町"_s))
            return {u"4440000"_s, u"4440864"_s};
        return prefix.startsWith(u"愛知県岡崎市"_s) ? QStringList{u"4440000"_s} : QStringList{};
    }
};

} // namespace

class TestSmartShapes2 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbers_data();
    void numbers() { check(); }
    void names_data();
    void names() { check(); }
    void addressLines_data();
    void addressLines() { check(); }
    void dictionaryOnlyAdds_data();
    void dictionaryOnlyAdds()
    {
        const ShapesPostal postal;
        check(&postal);
    }

private:
    static void columns();
    static void check(const transfer::PostalLookup *postal = nullptr);
};

void TestSmartShapes2::columns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("warns");
}

void TestSmartShapes2::check(const transfer::PostalLookup *postal)
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QFETCH(bool, warns);
    const transfer::SmartTransferResult r = transfer::SmartTransfer(text, postal);
    QCOMPARE((QStringList{r.zip, r.add1, r.add2, r.add3, r.custo1, r.tel}), fields);
    QCOMPARE(!r.warning.isEmpty(), warns);
}

void TestSmartShapes2::numbers_data()
{
    columns();
    addRow("the writer's groups of a mobile stay",
           u"〒980-0014 宮城県仙台市青葉区本町4-1-8\n大沢 俊介\n080-0000-4417"_s, u"980-0014"_s,
           u"宮城県仙台市青葉区本町4-1-8"_s, {}, {}, u"大沢　俊介"_s, u"080-0000-4417"_s);
    addRow("kanji numerals",
           u"〒三八〇-〇八三六 長野県長野市南県町十一番二号\n北條 千尋\n電話 〇九〇・五五一二・三三〇八"_s,
           u"380-0836"_s, u"長野県長野市南県町十一番二号"_s, {}, {}, u"北條　千尋"_s, u"090-5512-3308"_s);
    addRow("circles that hide a code are none", u"〒○○○-○○○○\n岩手県盛岡市内丸4-4\n及川 拓"_s, {},
           u"岩手県盛岡市内丸4-4"_s, {}, {}, u"及川　拓"_s, {});
    addRow("+81 keeps the writer's groups", u"〒020-0023 岩手県盛岡市内丸5-1\n及川 あかね\n+81 (0)80-0000-6152"_s,
           u"020-0023"_s, u"岩手県盛岡市内丸5-1"_s, {}, {}, u"及川　あかね"_s, u"080-0000-6152"_s);
    addRow("TEL glued to the number", u"〒020-0023 岩手県盛岡市内丸3-8 菅野陸 TEL０１９－６２４－７７１５"_s,
           u"020-0023"_s, u"岩手県盛岡市内丸3-8"_s, {}, {}, u"菅野陸"_s, u"019-624-7715"_s);
}

void TestSmartShapes2::names_data()
{
    columns();
    addRow("お客様 and the staff who took the call",
           u"お客様：村井 奈緒\n受付：森\n〒540-0008 大阪府大阪市中央区大手前3-1-4"_s, u"540-0008"_s,
           u"大阪府大阪市中央区大手前3-1-4"_s, {}, {}, u"村井　奈緒"_s, {});
    addRow("お客様 各位 names nobody", u"お客様　各位\n〒540-0008 大阪府大阪市中央区大手前2-2\n村井 奈緒"_s,
           u"540-0008"_s, u"大阪府大阪市中央区大手前2-2"_s, {}, {}, u"村井　奈緒"_s, {});
    addRow("an item with its quantity, あて", u"〒010-0951 秋田県秋田市山王5-3-7\n昆布　二袋\n佐々木 弘あて"_s,
           u"010-0951"_s, u"秋田県秋田市山王5-3-7"_s, {}, {}, u"佐々木　弘"_s, {});
    addRow("宛名は in a sentence", u"宛名は戸川真澄様でお願いします。〒790-0003 愛媛県松山市三番町1-9-6"_s,
           u"790-0003"_s, u"愛媛県松山市三番町1-9-6"_s, {}, {}, u"戸川真澄"_s, {});
    addRow("the salutation's full name",
           u"門脇 志保 様\n\n【お届け先】\nお名前：門脇\n〒020-0023 岩手県盛岡市内丸6-3"_s, u"020-0023"_s,
           u"岩手県盛岡市内丸6-3"_s, {}, {}, u"門脇　志保"_s, {});
    addRow("a chat time before the name", u"[19:47] 塩見 一輝\n〒9000006 沖縄県那覇市おもろまち3-1"_s, u"900-0006"_s,
           u"沖縄県那覇市おもろまち3-1"_s, {}, {}, u"塩見　一輝"_s, {});
    addRow("the romaji name gives way",
           u"Name: Daiki Morishita\n氏名: 森下 大樹\n〒980-0014 宮城県仙台市青葉区本町2-5"_s, u"980-0014"_s,
           u"宮城県仙台市青葉区本町2-5"_s, {}, {}, u"森下　大樹"_s, {});
    addRow("the full name in a sentence below",
           u"氏名：三浦\n〒444-0864 愛知県岡崎市明大寺町5-5\n三浦 紗英さま宛てのお祝いです"_s, u"444-0864"_s,
           u"愛知県岡崎市明大寺町5-5"_s, {}, {}, u"三浦　紗英"_s, {});
    addRow("an honorific with its particle", u"〒420-0852 静岡県静岡市葵区紺屋町8-1\n杉本様宛て"_s, u"420-0852"_s,
           u"静岡県静岡市葵区紺屋町8-1"_s, {}, {}, u"杉本"_s, {});
    addRow("a title with its department", u"〒330-0063 埼玉県さいたま市浦和区高砂1-2-12\n製造部長 永瀬 隆之"_s,
           u"330-0063"_s, u"埼玉県さいたま市浦和区高砂1-2-12"_s, {}, {}, u"永瀬　隆之"_s, {});
    addRow("ご担当 with a department", u"ご担当：品質管理課 江口様\n〒330-0063 埼玉県さいたま市浦和区高砂2-6-1"_s,
           u"330-0063"_s, u"埼玉県さいたま市浦和区高砂2-6-1"_s, u"品質管理課"_s, {}, u"江口"_s, {});
    addRow("a branch without a company word",
           u"〒420-0852 静岡県静岡市葵区紺屋町4-4\nアオイ測量 静岡支社 調査部 川島 誠司"_s, u"420-0852"_s,
           u"静岡県静岡市葵区紺屋町4-4"_s, u"アオイ測量　静岡支社　調査部"_s, {}, u"川島　誠司"_s, {});
    addRow("a company after the building",
           u"〒650-0021 兵庫県神戸市中央区三宮町1-6-2 三宮ビル5F 株式会社ハマナス 北条 梓"_s, u"650-0021"_s,
           u"兵庫県神戸市中央区三宮町1-6-2"_s, u"三宮ビル5F"_s, u"株式会社ハマナス"_s, u"北条　梓"_s, {});
    addRow("a store and its manager", u"雑貨ポルカ 広坂店\n〒920-0962 石川県金沢市広坂2-1-1\n店長 宮内 隼"_s,
           u"920-0962"_s, u"石川県金沢市広坂2-1-1"_s, u"雑貨ポルカ　広坂店"_s, {}, u"宮内　隼"_s, {});
    addRow("a family name ending in 部", u"〒7900003 愛媛県松山市三番町4-2-2\n長谷部 千尋"_s, u"790-0003"_s,
           u"愛媛県松山市三番町4-2-2"_s, {}, {}, u"長谷部　千尋"_s, {});
}

void TestSmartShapes2::addressLines_data()
{
    columns();
    addRow("a bilingual form",
           u"Name / お名前:　Laura　Bennett\nAddress / 住所: 〒330-0063 埼玉県さいたま市浦和区高砂3-9-2"_s,
           u"330-0063"_s, u"埼玉県さいたま市浦和区高砂3-9-2"_s, {}, {}, u"Laura Bennett"_s, {});
    addRow("a Western address over two lines",
           u"Sophie Martin\n7-2 Konyamachi, Aoi-ku\nShizuoka-shi, Shizuoka 420-0852\nJAPAN"_s, u"420-0852"_s,
           u"7-2 Konyamachi, Aoi-ku, Shizuoka-shi, Shizuoka"_s, {}, {}, u"Sophie Martin"_s, {});
    addRow("an English note is no address", u"2-3 weeks, if possible\n〒420-0852 静岡県静岡市葵区紺屋町5-5\n平野 蒼"_s,
           u"420-0852"_s, u"静岡県静岡市葵区紺屋町5-5"_s, {}, {}, u"平野　蒼"_s, {});
    addRow("half-width name and building", u"ﾚｼﾞﾃﾞﾝｽ内丸 405\n〒020-0023 岩手県盛岡市内丸2-7\nｵﾉﾃﾞﾗ ﾐｵ"_s,
           u"020-0023"_s, u"岩手県盛岡市内丸2-7"_s, u"レジデンス内丸 405"_s, {}, u"オノデラ　ミオ"_s, {});
    addRow("a mall's footer under the recipient's heading",
           u"◆配送先\n〒020-0023 岩手県盛岡市内丸7-7\n沢口 みのり 様\n══════════\n本メールは配信専用です。\n"
           u"運営会社：架空マーケット株式会社\n〒105-0011 東京都港区芝公園8-8"_s,
           u"020-0023"_s, u"岩手県盛岡市内丸7-7"_s, {}, {}, u"沢口　みのり"_s, {});
    addRow("a building named in a sentence",
           u"送り先は〒420-0852 静岡県静岡市葵区紺屋町3-3 の『コーポ紺屋 203』です。受取人は 野口 亜紀 です。"_s,
           u"420-0852"_s, u"静岡県静岡市葵区紺屋町3-3"_s, u"コーポ紺屋 203"_s, {}, u"野口　亜紀"_s, {});
    addRow("a post office hold on the line", u"〒900-0006 沖縄県那覇市おもろまち 那覇中央郵便局留め\n金城 奈美"_s,
           u"900-0006"_s, u"沖縄県那覇市おもろまち"_s, u"那覇中央郵便局留め"_s, {}, u"金城　奈美"_s, {});
}

void TestSmartShapes2::dictionaryOnlyAdds_data()
{
    columns();
    addRow("a town spelt otherwise gets its city", u"〒730-0011\n架空基町3-21 コーポ基 205\n藤井 武"_s, u"730-0011"_s,
           u"広島県広島市中区架空基町3-21"_s, u"コーポ基 205"_s, {}, u"藤井　武"_s, {});
    addRow("a Western address in the dictionary's words",
           u"Emma Wilson\n9-4 Konyamachi, Aoi-ku\nShizuoka-shi, Shizuoka 420-0852\nJAPAN"_s, u"420-0852"_s,
           u"静岡県静岡市葵区紺屋町9-4"_s, {}, {}, u"Emma Wilson"_s, {});
    addRow("a romaji building and room stay on line 2",
           u"Name: Lucas Gray\nAddress: Room 502, Ebisu Garden Heights, 1-20-3 Ebisu, Shibuya-ku, Tokyo\n〒150-0013"_s,
           u"150-0013"_s, u"東京都渋谷区恵比寿1-20-3"_s, u"Room 502 Ebisu Garden Heights"_s, {}, u"Lucas Gray"_s, {});
    addRow("a town's code over the city's", u"愛知県岡崎市明大寺町2-14\n三浦 里美"_s, u"444-0864"_s,
           u"愛知県岡崎市明大寺町2-14"_s, {}, {}, u"三浦　里美"_s, {});
    addRow("only the city's code: a warning", u"愛知県岡崎市架空新町9-1"_s, u"444-0000"_s, u"愛知県岡崎市架空新町9-1"_s,
           {}, {}, {}, {}, true);
}

QTEST_GUILESS_MAIN(TestSmartShapes2)
#include "tst_smartshapes2.moc"
