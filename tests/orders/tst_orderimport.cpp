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
    void fields_data();
    void fields();
    void mappingMemory();
    void wholeFiles_data();
    void wholeFiles();
};

void TestOrderImport::knownExports_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("six"); // zip|add1|add2|add3|name|tel of the first order
    QTest::addColumn<QString>("lines");

    QTest::newRow("楽天, the orderer's columns first")
        << u"受注番号|注文者郵便番号1|注文者郵便番号2|注文者姓|注文者名|送付先郵便番号1|送付先郵便番号2|"
           u"送付先住所都道府県|送付先住所郡市区|送付先住所それ以降の住所|送付先姓|送付先名|送付先電話番号1|"
           u"送付先電話番号2|送付先電話番号3|商品名|単価|個数|税込別|送料(-99999=無効値)|合計金額(-99999=無効値)\n"
           u"R-1|100|0001|架空|一郎|150|0043|東京都|渋谷区|道玄坂9-9-9 架空ハイツ202|山河|花子|090|1111|2222|"
           u"架空の茶|1,080|2|0|500|2660\n"_s
        << u"楽天 RMS 受注"_s << u"150-0043|東京都渋谷区道玄坂9-9-9|架空ハイツ202||山河 花子|090-1111-2222"_s
        << u"架空の茶×2@1080, 送料×1@500*"_s;
    QTest::newRow("Amazon, price of the row's items together")
        << u"order-id|buyer-name|recipient-name|ship-address-1|ship-address-2|ship-address-3|ship-city|ship-state|"
           u"ship-postal-code|ship-phone-number|product-name|quantity-purchased|item-price|shipping-price|unknown\n"
           u"250-1|架空 次郎|海野 三郎|博多駅前8-8-8|架空ビル3F||福岡市博多区|福岡県|812-0011|+81 80-3333-4444|"
           u"架空の器|3|4500|350|x\n"_s
        << u"Amazon 注文レポート"_s << u"812-0011|福岡県福岡市博多区博多駅前8-8-8|架空ビル3F||海野 三郎|080-3333-4444"_s
        << u"架空の器×3@1500, 送料×1@350*"_s;
    QTest::newRow("Shopify, given name first, province code")
        << u"Name|Billing Name|Shipping Name|Shipping Company|Shipping Address1|Shipping Address2|Shipping City|"
           u"Shipping Zip|Shipping Province|Shipping Phone|Lineitem name|Lineitem quantity|Lineitem price|"
           u"Shipping|Total|Taxes\n"
           u"#1001|Kako Test|Taro Kawabe|架空商事|山下町7-7|架空荘5|横浜市中区|231-0023|JP-14|+81 90-5555-6666|"
           u"架空の皿|1|2200|0|2200|200\n"_s
        << u"Shopify"_s << u"231-0023|神奈川県横浜市中区山下町7-7|架空荘5|架空商事|Kawabe Taro|090-5555-6666"_s
        << u"架空の皿×1@2200"_s;
    QTest::newRow("BASE by its 注文ID, reduced rate")
        << u"注文ID|氏(配送先)|名(配送先)|郵便番号(配送先)|都道府県(配送先)|住所(配送先)|住所2(配送先)|"
           u"電話番号(配送先)|商品名|数量|価格|税率|送料\n"
           u"B1|川上|四郎|5300001|大阪府|大阪市北区梅田6-6-6|架空タワー1001|0611112222|架空の菓子|2|¥864|8%|0\n"_s
        << u"BASE"_s << u"530-0001|大阪府大阪市北区梅田6-6-6|架空タワー1001||川上 四郎|06-1111-2222"_s
        << u"架空の菓子×2@864(軽)"_s;
    QTest::newRow("STORES by its 注文番号, columns in another order")
        << u"商品名|価格|数量|電話番号(配送先)|住所(配送先)|都道府県(配送先)|郵便番号(配送先)|名(配送先)|"
           u"氏(配送先)|注文番号\n"
           u"架空の布|1,280円|1|9011112222|秋田市山王5-5|秋田県|10-0951|五郎|森田|S-7\n"_s
        << u"STORES"_s << u"010-0951|秋田県秋田市山王5-5|||森田 五郎|090-1111-2222"_s << u"架空の布×1@1280"_s;
    QTest::newRow("カラーミー, 様, the address ending in a family name")
        << u"売上ID|配送先 名前|配送先 郵便番号|配送先 都道府県名|配送先 住所|商品名|販売価格|個数\n"
           u"C9|谷口　六子　様|〒9000014|沖縄県|那覇市松尾4-4 海野|架空の塩|1280.00|4\n"_s
        << u"カラーミーショップ"_s << u"900-0014|沖縄県那覇市松尾4-4|海野||谷口 六子|"_s << u"架空の塩×4@1280"_s;
}

void TestOrderImport::knownExports()
{
    QFETCH(QString, text);
    QFETCH(QString, format);
    QFETCH(QString, six);
    QFETCH(QString, lines);
    const Table t = tableOf(text);
    const orders::ColumnMapping m = orders::RecognizeHeader(t.header);
    QCOMPARE(m.formatName, format);
    const QList<orders::ImportedOrder> got = group(t, m);
    QCOMPARE(got.size(), 1);
    const orders::ImportedOrder &o = got.first();
    QCOMPARE((QStringList{o.zip, o.add1, o.add2, o.add3, o.custo1, o.tel}).join(u'|'), six);
    QCOMPARE(linesOf(o), lines);
    QCOMPARE(o.problems, QStringList());
}

void TestOrderImport::unknownHeaderProposes()
{
    const QStringList header{u"伝票"_s, u"お名前"_s, u"ご住所"_s, u"住所"_s, u"注文番号"_s, u"郵便番号"_s};
    const orders::ColumnMapping m = orders::RecognizeHeader(header);
    QCOMPARE(m.formatName, QString());
    const QMap<OrderField, QList<int>> proposal{
        {OrderField::OrderId, {4}}, {OrderField::ZipCode, {5}}, {OrderField::Street, {3}}, {OrderField::FullName, {1}}};
    QCOMPARE(m.columns, proposal);
}

void TestOrderImport::grouping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ids");
    QTest::addColumn<QString>("firstLines");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("problems"); // joined by '/'

    const QString shopify = u"Name|Shipping Name|Shipping Zip|Shipping Province|Shipping City|Shipping Address1|"
                            u"Lineitem name|Lineitem quantity|Lineitem price|Shipping\n"_s;
    QTest::newRow("Shopify gives the order's fields on its first row only")
        << shopify + u"#1|Emi Ono|100-0001|JP-13|千代田区|千代田3-3|架空A|1|100|600\n"
                     u"#1||||||架空B|2|200|\n"_s
        << u"#1"_s << u"架空A×1@100, 架空B×2@200, 送料×1@600*"_s << u"Ono Emi"_s << QString();
    QTest::newRow("rows of one order apart, shipping repeated once")
        << shopify + u"#1|Emi Ono|100-0001|JP-13|千代田区|千代田3-3|架空A|1|100|600\n"
                     u"#2|Ken Abe|460-0001|JP-23|名古屋市中区|三の丸2-2|架空C|1|300|0\n"
                     u"#1|Emi Ono|100-0001|JP-13|千代田区|千代田3-3|架空B|1|200|600\n"_s
        << u"#1 #2"_s << u"架空A×1@100, 架空B×1@200, 送料×1@600*"_s << u"Ono Emi"_s << QString();
    QTest::newRow("rows that disagree, a price and a quantity that are no number")
        << shopify + u"#1|Emi Ono|100-0001|JP-13|千代田区|千代田3-3|架空A|二|100|0\n"
                     u"#1|Emi Ono|150-0043|JP-13|渋谷区|道玄坂1-1|架空B|1|12.5|0\n"_s
        << u"#1"_s << u"架空A×@100, 架空B×1@"_s << u"Ono Emi"_s
        << u"商品「架空A」の数量「二」が数ではありません/商品「架空B」の単価「12.5」が円単位の金額ではありません/"
           u"行によって郵便番号が違います/行によって住所が違います"_s;
    QTest::newRow("Amazon: shipping summed by row, a price not divisible")
        << u"order-id|recipient-name|ship-state|ship-address-1|product-name|quantity-purchased|item-price|"
           u"shipping-price\n"
           u"A|小川 七海|東京都|千代田区千代田1-1|架空X|2|1000|100\n"
           u"A|小川 七海|東京都|千代田区千代田1-1|架空Y|3|1000|50\n"_s
        << u"A"_s << u"架空X×2@500, 架空Y×3@, 送料×1@150*"_s << u"小川 七海"_s
        << u"商品「架空Y」の金額 1000 円が数量 3 で割り切れません"_s;
}

void TestOrderImport::grouping()
{
    QFETCH(QString, text);
    QFETCH(QString, ids);
    QFETCH(QString, firstLines);
    QFETCH(QString, firstName);
    QFETCH(QString, problems);
    const Table t = tableOf(text);
    const QList<orders::ImportedOrder> got = group(t, orders::RecognizeHeader(t.header));
    QStringList gotIds;
    for (const orders::ImportedOrder &o : got)
        gotIds.append(o.orderId);
    QCOMPARE(gotIds.join(u' '), ids);
    QCOMPARE(linesOf(got.first()), firstLines);
    QCOMPARE(got.first().custo1, firstName);
    QCOMPARE(got.first().problems.join(u'/'), problems);
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
    for (int i = 0; i < orders::kMaxProblems; ++i)
        grouper.add({{QString(), u"架空"_s, QString()}, 20000 + i});
    QCOMPARE(grouper.rowsWithoutId().mid(0, 2), (QList<qint64>{3, 20000}));
    QCOMPARE(grouper.rowsWithoutId().size(), orders::kMaxProblems);
    QCOMPARE(grouper.rowsWithoutIdCount(), orders::kMaxProblems + 1);
    const QList<orders::ImportedOrder> got = grouper.finish();
    QCOMPARE(got.size(), orders::kMaxOrders);
    QCOMPARE(got[1].lines.size(), orders::kMaxKeptLines);
    QCOMPARE(got[1].lineCount, orders::kMaxKeptLines + 5);
    QCOMPARE(got[1].problems, QStringList{u"明細が 25 行あります。読み込んだのは最初の 20 行です"_s});
}

void TestOrderImport::fields_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("in"); // name: family, given, full; zip: first, second
    QTest::addColumn<QString>("out");
    const QString none;
    const auto row = [](const char *tag, const char *kind, const QStringList &in, const QString &out) {
        QTest::newRow(tag) << QString::fromLatin1(kind) << in << out;
    };
    row("family and given joined", "name", {u"青木"_s, u"九美"_s, none}, u"青木 九美"_s);
    row("full-width blank and 様", "name", {none, none, u"青木　九美　様"_s}, u"青木 九美"_s);
    row("様 written on", "name", {none, none, u"青木九美様"_s}, u"青木九美"_s);
    row("blanks run together", "name", {none, none, u" 青木  九美 "_s}, u"青木 九美"_s);
    row("given name first", "given first", {none, none, u"九美 青木"_s}, u"青木 九美"_s);
    row("three parts are kept", "given first", {none, none, u"Kumi J Aoki"_s}, u"Kumi J Aoki"_s);
    row("roman letters swapped", "roman", {none, none, u"Kumi Aoki"_s}, u"Aoki Kumi"_s);
    row("kanji kept with roman", "roman", {none, none, u"青木 九美"_s}, u"青木 九美"_s);
    row("three parts", "tel", {u"03"_s, u"1111"_s, u"2222"_s}, u"03-1111-2222"_s);
    row("three parts, the zero dropped", "tel", {u"90"_s, u"1111"_s, u"2222"_s}, u"090-1111-2222"_s);
    row("the writer's groups kept", "tel", {u"0465-1-2345"_s}, u"0465-1-2345"_s);
    row("full width with dashes", "tel", {u"０９０ー１１１１ー２２２２"_s}, u"090-1111-2222"_s);
    row("ungrouped grouped by the plan", "tel", {u"0312345678"_s}, u"03-1234-5678"_s);
    row("a dropped zero, nine digits", "tel", {u"312345678"_s}, u"03-1234-5678"_s);
    row("a dropped zero, ten digits", "tel", {u"8011112222"_s}, u"080-1111-2222"_s);
    row("+81 grouped", "tel", {u"+81 90-1111-2222"_s}, u"090-1111-2222"_s);
    row("+81 ungrouped, kept as text", "tel", {u"'+819011112222"_s}, u"090-1111-2222"_s);
    row("no digits", "tel", {u"なし"_s}, u"なし"_s);
    row("seven digits", "zip", {u"1500043"_s, none}, u"150-0043"_s);
    row("six digits", "zip", {u"600001"_s, none}, u"060-0001"_s);
    row("two parts, zero dropped", "zip", {u"60"_s, u"0001"_s}, u"060-0001"_s);
    row("〒 and full width", "zip", {u"〒２３１－００２３"_s, none}, u"231-0023"_s);
    row("an apostrophe kept the zero", "zip", {u"'0600001"_s, none}, u"060-0001"_s);
    row("no code", "zip", {u"不明"_s, none}, u"不明"_s);
    row("yen sign and comma", "yen", {u"¥1,280"_s}, u"1280"_s);
    row("full-width yen sign", "yen", {u"￥1,280"_s}, u"1280"_s);
    row("decimal zeros", "yen", {u"1280.00"_s}, u"1280"_s);
    row("円", "yen", {u"1,280円"_s}, u"1280"_s);
    row("a fraction", "yen", {u"1280.50"_s}, u"-"_s);
    row("words", "yen", {u"無料"_s}, u"-"_s);
    row("empty", "yen", {none}, u"-"_s);
    row("rates", "rate", {u"8%"_s, u"0.08"_s, u"軽減"_s, u"10%"_s, u"10"_s}, u"11100"_s);
    row("address parts joined", "address", {u"東京都"_s, u"港区"_s, u"芝公園9-9"_s}, u"東京都港区芝公園9-9"_s);
    row("a city the street repeats", "address", {u"東京都"_s, u"港区"_s, u"港区芝公園9-9"_s}, u"東京都港区芝公園9-9"_s);
    row("a prefecture the city repeats", "address", {u"北海道"_s, u"北海道函館市"_s, u"若松町9"_s},
        u"北海道函館市若松町9"_s);
    row("roman letters street first", "address", {u"Tokyo"_s, u"Minato-ku"_s, u"9-9 Shibakoen"_s},
        u"9-9 Shibakoen, Minato-ku, Tokyo"_s);
    row("kinds", "tax", {u"0"_s, u"税込"_s, u"内税"_s, u"1"_s, u"税別"_s, u"外税"_s, u"送料"_s}, u"iiieee-"_s);
}

void TestOrderImport::fields()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, in);
    QFETCH(QString, out);
    QString got;
    if (kind == u"name"_s || kind == u"given first"_s || kind == u"roman"_s)
        got = orders::NormalizeName(in[0], in[1], in[2], kind == u"given first"_s, kind == u"roman"_s);
    else if (kind == u"tel"_s)
        got = orders::NormalizePhone(in);
    else if (kind == u"zip"_s)
        got = orders::NormalizeZip(in[0], in[1]);
    else if (kind == u"address"_s)
        got = orders::JoinAddress(in[0], in[1], in[2]);
    else if (kind == u"yen"_s)
        got = orders::ParseYen(in[0]) ? QString::number(*orders::ParseYen(in[0])) : u"-"_s;
    for (const QString &text : in) {
        if (kind == u"rate"_s)
            got += QString::number(orders::TaxClassOf(text));
        else if (kind == u"tax"_s)
            got += !orders::PricesIncludeTaxOf(text) ? u'-' : *orders::PricesIncludeTaxOf(text) ? u'i' : u'e';
    }
    QCOMPARE(got, out);
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

    QFile out(dir.filePath(u"orders.csv"_s));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(u"番号,宛名,所在地,所在地2\n9,光 村上,沖縄県那覇市松尾6-6,架空荘\n"_s.toUtf8());
    out.close();
    orders::ReadOptions options;
    options.settings = &ini;
    const orders::OrderFile file = orders::ReadOrderFile(out.fileName(), options);
    QCOMPARE(file.mapping, m);
    const orders::ImportedOrder o = file.orders.value(0);
    QCOMPARE(o.add1 + u'|' + o.add2 + u'|' + o.custo1, u"沖縄県那覇市松尾6-6|架空荘|村上 光"_s);
}

void TestOrderImport::wholeFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("format");     // or the refusal
    QTest::addColumn<QString>("firstOrder"); // count|id|name|zip|add1
    QTest::addColumn<QString>("problems");

    const QString rakuten = u"受注番号,送付先郵便番号1,送付先郵便番号2,送付先住所都道府県,送付先住所郡市区,"
                            u"送付先住所それ以降の住所,送付先姓,送付先名,商品名,単価,個数\r\n"
                            u"R-2,460,0001,愛知県,名古屋市中区,三の丸4-4,石田,十和,\"架空の茶, 大\",540,1\r\n"
                            u",,,,,,,,架空,1,1\r\n"
                            u"R-3,100,0001,東京都,千代田区,千代田5-5,石田,十和,架空,1,1\r\n"_s;
    QTest::newRow("楽天 in CP932") << *vuzo::EncodeCp932(rakuten) << u"楽天 RMS 受注"_s
                                   << u"2|R-2|石田 十和|460-0001|愛知県名古屋市中区三の丸4-4"_s
                                   << u"3行目：注文番号がありません"_s;
    QTest::newRow("Amazon in TSV")
        << u"order-id\trecipient-name\tship-postal-code\tship-state\tship-city\tship-address-1\titem-price\n"
           u"503-1\t松本 葵\t0600001\t北海道\t札幌市中央区\t北一条西3-3\t1200\n"_s.toUtf8()
        << u"Amazon 注文レポート"_s << u"1|503-1|松本 葵|060-0001|北海道札幌市中央区北一条西3-3"_s << QString();
    QTest::newRow("Shopify in UTF-8 with a BOM")
        << QByteArray("\xEF\xBB\xBF") +
               u"Name,Shipping Name,Shipping Zip,Shipping Province,Shipping City,Shipping Address1\n"
               u"#7,Aoi Ueda,1500043,JP-13,渋谷区,道玄坂2-2\n"_s.toUtf8()
        << u"Shopify"_s << u"1|#7|Ueda Aoi|150-0043|東京都渋谷区道玄坂2-2"_s << QString();
    QTest::newRow("no known export") << u"伝票,メモ\n1,架空\n"_s.toUtf8()
                                     << u"この注文ファイルの形式がわかりません。列の対応を指定してください。"_s
                                     << u"0"_s << QString();
}

void TestOrderImport::wholeFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, format);
    QFETCH(QString, firstOrder);
    QFETCH(QString, problems);
    QTemporaryDir dir;
    QFile out(dir.filePath(u"orders.csv"_s));
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    out.close();
    const orders::OrderFile file = orders::ReadOrderFile(out.fileName());
    QCOMPARE(file.refusal.isEmpty() ? file.mapping.formatName : file.refusal, format);
    QCOMPARE(file.needsMapping, !file.refusal.isEmpty());
    QStringList got{QString::number(file.orders.size())};
    for (const orders::ImportedOrder &o : file.orders.mid(0, 1))
        got << o.orderId << o.custo1 << o.zip << o.add1;
    QCOMPARE(got.join(u'|'), firstOrder);
    QCOMPARE(file.problems.join(u'/'), problems);
}

QTEST_GUILESS_MAIN(TestOrderImport)
#include "tst_orderimport.moc"
