// The known exports, the remembered mappings and the grouping of rows into orders.

#include "orders/OrderImport.h"
#include "orders/OrderNormalize.h"
#include "platform/Cp932.h"
#include "postal/PostalDictionary.h"
#include "settings/ProfileFile.h"
#include "transfer/PostalLookup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using orders::OrderField;

namespace {

// A table written one row a line, fields split at '|'; the first line is the header.
struct Table
{
    QStringList header;
    QList<orders::CsvRow> rows;
};

Table tableOf(const QString &text)
{
    Table t;
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    t.header = lines.value(0).split(u'|');
    for (qsizetype i = 1; i < lines.size(); ++i)
        t.rows.append({lines[i].split(u'|'), i + 1});
    return t;
}

QList<orders::ImportedOrder> group(const Table &t, const orders::ColumnMapping &m)
{
    orders::OrderGrouper grouper(m);
    for (const orders::CsvRow &row : t.rows)
        grouper.add(row);
    return grouper.finish();
}

// 「item×qty@price」 per line, shipping marked 「*」.
QString linesOf(const orders::ImportedOrder &o)
{
    QStringList out;
    for (const orders::ImportedLine &l : o.lines)
        out.append(l.item + u'×' + l.qty + u'@' + l.unitPrice + (l.shipping ? u"*"_s : u""_s) +
                   (l.taxClass ? u"(軽)"_s : u""_s));
    return out.join(u", "_s);
}

} // namespace

class TestOrderImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void knownExports_data();
    void knownExports();
    void unknownHeaderProposes();
    void grouping_data();
    void grouping();
    void rowsWithoutIdAndLimits();
    void dictionaryCompletesThePrefecture();
    void names_data();
    void names();
    void phones_data();
    void phones();
    void codes_data();
    void codes();
    void prices_data();
    void prices();
    void mappingMemory();
    void wholeFiles_data();
    void wholeFiles();
    void fileWithRememberedMapping();
};

void TestOrderImport::knownExports_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("six"); // zip, add1, add2, add3, name, tel of the first order
    QTest::addColumn<QString>("lines");

    QTest::newRow("楽天, the orderer's columns first")
        << u"受注番号|注文者郵便番号1|注文者郵便番号2|注文者姓|注文者名|送付先郵便番号1|送付先郵便番号2|"
           u"送付先住所都道府県|送付先住所郡市区|送付先住所それ以降の住所|送付先姓|送付先名|送付先電話番号1|"
           u"送付先電話番号2|送付先電話番号3|商品名|単価|個数|税込別|送料|合計金額\n"
           u"R-1|100|0001|架空|一郎|150|0043|東京都|渋谷区|道玄坂9-9-9 架空ハイツ202|山河|花子|090|1111|2222|"
           u"架空の茶|1,080|2|0|500|2660\n"_s
        << u"楽天 RMS 受注"_s
        << QStringList{u"150-0043"_s,     u"東京都渋谷区道玄坂9-9-9"_s, u"架空ハイツ202"_s, QString(), u"山河 花子"_s,
                       u"090-1111-2222"_s}
        << u"架空の茶×2@1080, 送料×1@500*"_s;
    QTest::newRow("Amazon, price of the row's items together")
        << u"order-id|buyer-name|recipient-name|ship-address-1|ship-address-2|ship-address-3|ship-city|ship-state|"
           u"ship-postal-code|ship-phone-number|product-name|quantity-purchased|item-price|shipping-price|unknown\n"
           u"250-1|架空 次郎|海野 三郎|博多駅前8-8-8|架空ビル3F||福岡市博多区|福岡県|812-0011|+81 80-3333-4444|"
           u"架空の器|3|4500|350|x\n"_s
        << u"Amazon 注文レポート"_s << QStringList{u"812-0011"_s,   u"福岡県福岡市博多区博多駅前8-8-8"_s,
                                                   u"架空ビル3F"_s, QString(),
                                                   u"海野 三郎"_s,  u"080-3333-4444"_s}
        << u"架空の器×3@1500, 送料×1@350*"_s;
    QTest::newRow("Shopify, given name first, province code")
        << u"Name|Billing Name|Shipping Name|Shipping Company|Shipping Address1|Shipping Address2|Shipping City|"
           u"Shipping Zip|Shipping Province|Shipping Phone|Lineitem name|Lineitem quantity|Lineitem price|"
           u"Shipping|Total|Taxes\n"
           u"#1001|Kako Test|Taro Kawabe|架空商事|山下町7-7|架空荘5|横浜市中区|231-0023|JP-14|+81 90-5555-6666|"
           u"架空の皿|1|2200|0|2200|200\n"_s
        << u"Shopify"_s << QStringList{u"231-0023"_s,    u"神奈川県横浜市中区山下町7-7"_s,
                                       u"架空荘5"_s,     u"架空商事"_s,
                                       u"Kawabe Taro"_s, u"090-5555-6666"_s}
        << u"架空の皿×1@2200"_s;
    QTest::newRow("BASE by its 注文ID, reduced rate")
        << u"注文ID|氏(配送先)|名(配送先)|郵便番号(配送先)|都道府県(配送先)|住所(配送先)|住所2(配送先)|"
           u"電話番号(配送先)|商品名|数量|価格|税率|送料\n"
           u"B1|川上|四郎|5300001|大阪府|大阪市北区梅田6-6-6|架空タワー1001|0611112222|架空の菓子|2|¥864|8%|0\n"_s
        << u"BASE"_s
        << QStringList{u"530-0001"_s,    u"大阪府大阪市北区梅田6-6-6"_s, u"架空タワー1001"_s, QString(), u"川上 四郎"_s,
                       u"06-1111-2222"_s}
        << u"架空の菓子×2@864(軽)"_s;
    QTest::newRow("STORES by its 注文番号, columns in another order")
        << u"商品名|価格|数量|電話番号(配送先)|住所(配送先)|都道府県(配送先)|郵便番号(配送先)|名(配送先)|"
           u"氏(配送先)|注文番号\n"
           u"架空の布|1,280円|1|9011112222|秋田市山王5-5|秋田県|10-0951|五郎|森田|S-7\n"_s
        << u"STORES"_s << QStringList{u"010-0951"_s, u"秋田県秋田市山王5-5"_s, QString(),
                                      QString(),     u"森田 五郎"_s,           u"090-1111-2222"_s}
        << u"架空の布×1@1280"_s;
    QTest::newRow("カラーミー, 様, the address ending in a family name")
        << u"売上ID|配送先 名前|配送先 郵便番号|配送先 都道府県名|配送先 住所|商品名|販売価格|個数\n"
           u"C9|谷口　六子　様|〒9000014|沖縄県|那覇市松尾4-4 海野|架空の塩|1280.00|4\n"_s
        << u"カラーミーショップ"_s
        << QStringList{u"900-0014"_s, u"沖縄県那覇市松尾4-4"_s, u"海野"_s, QString(), u"谷口 六子"_s, QString()}
        << u"架空の塩×4@1280"_s;
}

void TestOrderImport::knownExports()
{
    QFETCH(QString, text);
    QFETCH(QString, format);
    QFETCH(QStringList, six);
    QFETCH(QString, lines);
    const Table t = tableOf(text);
    const orders::ColumnMapping m = orders::RecognizeHeader(t.header);
    QCOMPARE(m.formatName, format);
    const QList<orders::ImportedOrder> got = group(t, m);
    QCOMPARE(got.size(), 1);
    const orders::ImportedOrder &o = got.first();
    QCOMPARE((QStringList{o.zip, o.add1, o.add2, o.add3, o.custo1, o.tel}), six);
    QCOMPARE(linesOf(o), lines);
    QCOMPARE(o.problems, QStringList());
}

void TestOrderImport::unknownHeaderProposes()
{
    const QStringList header{u"伝票"_s, u"お名前"_s, u"ご住所"_s, u"住所"_s, u"注文番号"_s, u"郵便番号"_s};
    const orders::ColumnMapping m = orders::RecognizeHeader(header);
    QCOMPARE(m.formatName, QString());
    QCOMPARE(m.columns.value(OrderField::FullName), QList<int>{1});
    QCOMPARE(m.columns.value(OrderField::Street), QList<int>{3});
    QCOMPARE(m.columns.value(OrderField::OrderId), QList<int>{4});
    QVERIFY(m.usable());
}

void TestOrderImport::grouping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QString>("firstLines");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QStringList>("problems");

    const QString shopify = u"Name|Shipping Name|Shipping Zip|Shipping Province|Shipping City|Shipping Address1|"
                            u"Lineitem name|Lineitem quantity|Lineitem price|Shipping\n"_s;
    QTest::newRow("Shopify gives the order's fields on its first row only")
        << shopify + u"#1|Emi Ono|100-0001|JP-13|千代田区|千代田3-3|架空A|1|100|600\n"
                     u"#1||||||架空B|2|200|\n"_s
        << QStringList{u"#1"_s} << u"架空A×1@100, 架空B×2@200, 送料×1@600*"_s << u"Ono Emi"_s << QStringList();
    QTest::newRow("rows of one order apart, shipping repeated once")
        << shopify + u"#1|Emi Ono|100-0001|JP-13|千代田区|千代田3-3|架空A|1|100|600\n"
                     u"#2|Ken Abe|460-0001|JP-23|名古屋市中区|三の丸2-2|架空C|1|300|0\n"
                     u"#1|Emi Ono|100-0001|JP-13|千代田区|千代田3-3|架空B|1|200|600\n"_s
        << QStringList{u"#1"_s, u"#2"_s} << u"架空A×1@100, 架空B×1@200, 送料×1@600*"_s << u"Ono Emi"_s << QStringList();
    QTest::newRow("rows that disagree, a price and a quantity that are no number")
        << shopify + u"#1|Emi Ono|100-0001|JP-13|千代田区|千代田3-3|架空A|二|100|0\n"
                     u"#1|Emi Ono|150-0043|JP-13|渋谷区|道玄坂1-1|架空B|1|12.5|0\n"_s
        << QStringList{u"#1"_s} << u"架空A×@100, 架空B×1@"_s << u"Ono Emi"_s
        << QStringList{u"商品「架空A」の数量「二」が数ではありません"_s,
                       u"商品「架空B」の単価「12.5」が円単位の金額ではありません"_s, u"行によって郵便番号が違います"_s,
                       u"行によって住所が違います"_s};
    QTest::newRow("Amazon: shipping summed by row, a price not divisible")
        << u"order-id|recipient-name|ship-state|ship-address-1|product-name|quantity-purchased|item-price|"
           u"shipping-price\n"
           u"A|小川 七海|東京都|千代田区千代田1-1|架空X|2|1000|100\n"
           u"A|小川 七海|東京都|千代田区千代田1-1|架空Y|3|1000|50\n"_s
        << QStringList{u"A"_s} << u"架空X×2@500, 架空Y×3@, 送料×1@150*"_s << u"小川 七海"_s
        << QStringList{u"商品「架空Y」の金額 1000 円が数量 3 で割り切れません"_s};
}

void TestOrderImport::grouping()
{
    QFETCH(QString, text);
    QFETCH(QStringList, ids);
    QFETCH(QString, firstLines);
    QFETCH(QString, firstName);
    QFETCH(QStringList, problems);
    const Table t = tableOf(text);
    const QList<orders::ImportedOrder> got = group(t, orders::RecognizeHeader(t.header));
    QStringList gotIds;
    for (const orders::ImportedOrder &o : got)
        gotIds.append(o.orderId);
    QCOMPARE(gotIds, ids);
    QCOMPARE(linesOf(got.first()), firstLines);
    QCOMPARE(got.first().custo1, firstName);
    QCOMPARE(got.first().problems, problems);
    QCOMPARE(got.first().firstLine, 2);
}

void TestOrderImport::rowsWithoutIdAndLimits()
{
    orders::ColumnMapping m;
    m.columns = {{OrderField::OrderId, {0}}, {OrderField::ItemName, {1}}, {OrderField::FullName, {2}}};
    orders::OrderGrouper grouper(m);
    QVERIFY(grouper.add({{u"1"_s, u"架空"_s, u"中村 八重"_s}, 2}));
    QVERIFY(grouper.add({{u" "_s, u"架空"_s, u"中村 八重"_s}, 3}));
    for (int i = 0; i < orders::kMaxKeptLines + 5; ++i)
        QVERIFY(grouper.add({{u"2"_s, u"品%1"_s.arg(i), QString()}, 4 + i}));
    for (int i = 3; i <= orders::kMaxOrders; ++i)
        QVERIFY(grouper.add({{QString::number(i), QString(), QString()}, 100 + i}));
    QVERIFY(!grouper.add({{u"new"_s, QString(), QString()}, 1}));
    QVERIFY(grouper.add({{u"1"_s, u"架空"_s, QString()}, 2}));
    QCOMPARE(grouper.rowsWithoutId(), QList<qint64>{3});
    const QList<orders::ImportedOrder> got = grouper.finish();
    QCOMPARE(got.size(), orders::kMaxOrders);
    QCOMPARE(got[1].lines.size(), orders::kMaxKeptLines);
    QCOMPARE(got[1].lineCount, orders::kMaxKeptLines + 5);
    QCOMPARE(got[1].problems, QStringList{u"明細が 25 行あります。読み込んだのは最初の 20 行です"_s});
}

// Debian's dictionary as the transfer asks it.
class Lookup : public transfer::PostalLookup
{
public:
    QStringList addressesOf(const QString &code) const override { return dictionary.addresses(code); }
    QStringList codesOf(const QString &address) const override
    {
        QStringList codes;
        for (const postal::PostalEntry &e : dictionary.matchAddress(address, 2).entries)
            codes.append(e.code);
        return codes;
    }
    postal::PostalDictionary dictionary;
};

void TestOrderImport::dictionaryCompletesThePrefecture()
{
    Lookup lookup;
    QVERIFY(lookup.dictionary.waitForLoaded());
    orders::ColumnMapping m;
    m.columns = {{OrderField::OrderId, {0}}, {OrderField::ZipCode, {1}}, {OrderField::Street, {2}}};
    orders::OrderGrouper grouper(m, {&lookup});
    grouper.add({{u"1"_s, u"4600001"_s, u"名古屋市中区三の丸7-7"_s}, 2});
    QCOMPARE(grouper.finish().first().add1, u"愛知県名古屋市中区三の丸7-7"_s);
}

void TestOrderImport::names_data()
{
    QTest::addColumn<QStringList>("parts"); // family, given, full
    QTest::addColumn<int>("order");         // 1 given name first, 2 only in roman letters
    QTest::addColumn<QString>("expected");
    const QString none;
    QTest::newRow("family and given joined") << QStringList{u"青木"_s, u"九美"_s, none} << 0 << u"青木 九美"_s;
    QTest::newRow("full-width blank and 様") << QStringList{none, none, u"青木　九美　様"_s} << 0 << u"青木 九美"_s;
    QTest::newRow("様 written on") << QStringList{none, none, u"青木九美様"_s} << 0 << u"青木九美"_s;
    QTest::newRow("blanks run together") << QStringList{none, none, u" 青木  九美 "_s} << 0 << u"青木 九美"_s;
    QTest::newRow("given name first") << QStringList{none, none, u"九美 青木"_s} << 1 << u"青木 九美"_s;
    QTest::newRow("roman letters swapped") << QStringList{none, none, u"Kumi Aoki"_s} << 2 << u"Aoki Kumi"_s;
    QTest::newRow("kanji kept with roman") << QStringList{none, none, u"青木 九美"_s} << 2 << u"青木 九美"_s;
    QTest::newRow("three parts are kept") << QStringList{none, none, u"Kumi J Aoki"_s} << 1 << u"Kumi J Aoki"_s;
}

void TestOrderImport::names()
{
    QFETCH(QStringList, parts);
    QFETCH(int, order);
    QFETCH(QString, expected);
    QCOMPARE(orders::NormalizeName(parts[0], parts[1], parts[2], order == 1, order == 2), expected);
}

void TestOrderImport::phones_data()
{
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("expected");
    QTest::newRow("three parts") << QStringList{u"03"_s, u"1111"_s, u"2222"_s} << u"03-1111-2222"_s;
    QTest::newRow("three parts, the zero dropped") << QStringList{u"90"_s, u"1111"_s, u"2222"_s} << u"090-1111-2222"_s;
    QTest::newRow("the writer's groups kept") << QStringList{u"0465-1-2345"_s} << u"0465-1-2345"_s;
    QTest::newRow("full width with dashes") << QStringList{u"０９０ー１１１１ー２２２２"_s} << u"090-1111-2222"_s;
    QTest::newRow("ungrouped grouped by the plan") << QStringList{u"0312345678"_s} << u"03-1234-5678"_s;
    QTest::newRow("a dropped zero, nine digits") << QStringList{u"312345678"_s} << u"03-1234-5678"_s;
    QTest::newRow("a dropped zero, ten digits") << QStringList{u"8011112222"_s} << u"080-1111-2222"_s;
    QTest::newRow("+81 grouped") << QStringList{u"+81 90-1111-2222"_s} << u"090-1111-2222"_s;
    QTest::newRow("+81 ungrouped") << QStringList{u"+819011112222"_s} << u"090-1111-2222"_s;
    QTest::newRow("no digits") << QStringList{u"なし"_s} << u"なし"_s;
}

void TestOrderImport::phones()
{
    QFETCH(QStringList, parts);
    QFETCH(QString, expected);
    QCOMPARE(orders::NormalizePhone(parts), expected);
}

void TestOrderImport::codes_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("expected");
    QTest::newRow("seven digits") << u"1500043"_s << QString() << u"150-0043"_s;
    QTest::newRow("six digits") << u"600001"_s << QString() << u"060-0001"_s;
    QTest::newRow("two parts, zero dropped") << u"60"_s << u"0001"_s << u"060-0001"_s;
    QTest::newRow("〒 and full width") << u"〒２３１－００２３"_s << QString() << u"231-0023"_s;
    QTest::newRow("an apostrophe kept the zero") << u"'0600001"_s << QString() << u"060-0001"_s;
    QTest::newRow("no code") << u"不明"_s << QString() << u"不明"_s;
}

void TestOrderImport::codes()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, expected);
    QCOMPARE(orders::NormalizeZip(first, second), expected);
}

void TestOrderImport::prices_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("yen"); // -1: no whole number
    QTest::newRow("yen sign and comma") << u"¥1,280"_s << qint64(1280);
    QTest::newRow("full-width yen sign") << u"￥1,280"_s << qint64(1280);
    QTest::newRow("decimal zeros") << u"1280.00"_s << qint64(1280);
    QTest::newRow("円") << u"1,280円"_s << qint64(1280);
    QTest::newRow("a fraction") << u"1280.50"_s << qint64(-1);
    QTest::newRow("words") << u"無料"_s << qint64(-1);
    QTest::newRow("empty") << QString() << qint64(-1);
}

void TestOrderImport::prices()
{
    QFETCH(QString, text);
    QFETCH(qint64, yen);
    QCOMPARE(orders::ParseYen(text).value_or(-1), yen);
    QCOMPARE(orders::TaxClassOf(u"8%"_s) + orders::TaxClassOf(u"0.08"_s) + orders::TaxClassOf(u"軽減"_s), 3);
    QCOMPARE(orders::TaxClassOf(u"10%"_s), 0);
    QCOMPARE(orders::PricesIncludeTaxOf(u"1"_s), false);
    QCOMPARE(orders::PricesIncludeTaxOf(u"内税"_s), true);
}

void TestOrderImport::mappingMemory()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"vuzo_Vez_1.ini"_s);
    const QStringList header{u"番号"_s, u"宛名"_s, u"所在地"_s, u"所在地2"_s};
    orders::ColumnMapping m;
    m.columns = {{OrderField::OrderId, {0}}, {OrderField::FullName, {1}}, {OrderField::Street, {2, 3}}};
    m.givenNameFirst = true;
    m.romanNamesGivenFirst = true;
    {
        ProfileFile ini(path);
        orders::RememberMapping(ini, header, m);
    }
    ProfileFile ini(path);
    const std::optional<orders::ColumnMapping> back = orders::RememberedMapping(ini, header);
    QVERIFY(back);
    m.formatName = u"保存した対応"_s;
    QCOMPARE(*back, m);
    QVERIFY(!orders::RememberedMapping(ini, header + QStringList{u"備考"_s}));
    QVERIFY(orders::RememberedMapping(ini, {u"番号 "_s, u"宛名"_s, u"所在地"_s, u"所在地２"_s}));
}

void TestOrderImport::wholeFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("format");         // or the refusal
    QTest::addColumn<QStringList>("firstOrder"); // id, name, zip, add1; the order count last
    QTest::addColumn<QStringList>("problems");

    const QString rakuten = u"受注番号,送付先郵便番号1,送付先郵便番号2,送付先住所都道府県,送付先住所郡市区,"
                            u"送付先住所それ以降の住所,送付先姓,送付先名,商品名,単価,個数\r\n"
                            u"R-2,460,0001,愛知県,名古屋市中区,三の丸4-4,石田,十和,\"架空の茶, 大\",540,1\r\n"
                            u",,,,,,,,架空,1,1\r\n"
                            u"R-3,100,0001,東京都,千代田区,千代田5-5,石田,十和,架空,1,1\r\n"_s;
    QTest::newRow("楽天 in CP932") << *vuzo::EncodeCp932(rakuten) << u"楽天 RMS 受注"_s
                                   << QStringList{u"R-2"_s, u"石田 十和"_s, u"460-0001"_s,
                                                  u"愛知県名古屋市中区三の丸4-4"_s, u"2"_s}
                                   << QStringList{u"3行目：注文番号がありません"_s};
    QTest::newRow("Amazon in TSV")
        << u"order-id\trecipient-name\tship-postal-code\tship-state\tship-city\tship-address-1\titem-price\n"
           u"503-1\t松本 葵\t0600001\t北海道\t札幌市中央区\t北一条西3-3\t1200\n"_s.toUtf8()
        << u"Amazon 注文レポート"_s
        << QStringList{u"503-1"_s, u"松本 葵"_s, u"060-0001"_s, u"北海道札幌市中央区北一条西3-3"_s, u"1"_s}
        << QStringList();
    QTest::newRow("Shopify in UTF-8 with a BOM")
        << QByteArray("\xEF\xBB\xBF") +
               u"Name,Shipping Name,Shipping Zip,Shipping Province,Shipping City,Shipping Address1\n"
               u"#7,Aoi Ueda,1500043,JP-13,渋谷区,道玄坂2-2\n"_s.toUtf8()
        << u"Shopify"_s << QStringList{u"#7"_s, u"Ueda Aoi"_s, u"150-0043"_s, u"東京都渋谷区道玄坂2-2"_s, u"1"_s}
        << QStringList();
    QTest::newRow("no known export") << u"伝票,メモ\n1,架空\n"_s.toUtf8()
                                     << u"この注文ファイルの形式がわかりません。列の対応を指定してください。"_s
                                     << QStringList{u"0"_s} << QStringList();
}

void TestOrderImport::wholeFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, format);
    QFETCH(QStringList, firstOrder);
    QFETCH(QStringList, problems);
    QTemporaryDir dir;
    QFile out(dir.filePath(u"orders.csv"_s));
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    out.close();
    const orders::OrderFile file = orders::ReadOrderFile(out.fileName());
    QCOMPARE(file.refusal.isEmpty() ? file.mapping.formatName : file.refusal, format);
    QCOMPARE(file.needsMapping, !file.refusal.isEmpty());
    QCOMPARE(QString::number(file.orders.size()), firstOrder.last());
    if (!file.orders.isEmpty()) {
        const orders::ImportedOrder &o = file.orders.first();
        QCOMPARE((QStringList{o.orderId, o.custo1, o.zip, o.add1, firstOrder.last()}), firstOrder);
    }
    QCOMPARE(file.problems, problems);
}

void TestOrderImport::fileWithRememberedMapping()
{
    QTemporaryDir dir;
    QFile out(dir.filePath(u"orders.csv"_s));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(u"伝票,宛名,所在地\n9,村上 光,沖縄県那覇市松尾6-6\n"_s.toUtf8());
    out.close();
    ProfileFile ini(dir.filePath(u"vuzo_Vez_1.ini"_s));
    orders::ColumnMapping m;
    m.columns = {{OrderField::OrderId, {0}}, {OrderField::FullName, {1}}, {OrderField::Street, {2}}};
    orders::RememberMapping(ini, {u"伝票"_s, u"宛名"_s, u"所在地"_s}, m);
    orders::ReadOptions options;
    options.settings = &ini;
    const orders::OrderFile file = orders::ReadOrderFile(out.fileName(), options);
    QCOMPARE(file.refusal, QString());
    QCOMPARE(file.mapping.formatName, u"保存した対応"_s);
    QCOMPARE(file.orders.size(), 1);
    QCOMPARE(file.orders.first().add1, u"沖縄県那覇市松尾6-6"_s);
}

QTEST_GUILESS_MAIN(TestOrderImport)
#include "tst_orderimport.moc"
