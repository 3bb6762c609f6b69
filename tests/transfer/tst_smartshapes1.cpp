// The transfer that reads whole texts, on forms, chats, headed blocks, lines
// that go on past the address, prose, texts without a recipient, lists of
// customers, follow-ups and drawn tables (names, numbers and streets invented;
// postal codes and towns real).

#include "transfer/SmartTransfer.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void addRow(const char *name, const QString &text, const QString &zip, const QString &add1, const QString &add2,
            const QString &add3, const QString &custo1, const QString &tel)
{
    QTest::newRow(name) << text << zip << add1 << add2 << add3 << custo1 << tel;
}

void columns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("add1");
    QTest::addColumn<QString>("add2");
    QTest::addColumn<QString>("add3");
    QTest::addColumn<QString>("custo1");
    QTest::addColumn<QString>("tel");
}

} // namespace

class TestSmartShapes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void labelsAbove_data() { formsAndChats(true); }
    void labelsAbove() { check(); }
    void chatExports_data() { formsAndChats(false); }
    void chatExports() { check(); }
    void headedBlocks_data();
    void headedBlocks() { check(); }
    void addressLineEnds_data();
    void addressLineEnds() { check(); }
    void proseOnOneLine_data();
    void proseOnOneLine() { check(); }
    void laterWordsWin_data();
    void laterWordsWin() { check(); }
    void drawnTables_data();
    void drawnTables() { check(); }
    void severalCustomers_data();
    void severalCustomers();
    void giftOrderer_data();
    void giftOrderer();
    void noRecipient_data();
    void noRecipient();

private:
    static void formsAndChats(bool forms);
    static void check();
};

void TestSmartShapes::check()
{
    QFETCH(QString, text);
    QFETCH(QString, zip);
    QFETCH(QString, add1);
    QFETCH(QString, add2);
    QFETCH(QString, add3);
    QFETCH(QString, custo1);
    QFETCH(QString, tel);
    const transfer::SmartTransferResult r = transfer::SmartTransfer(text);
    QCOMPARE(r.zip, zip);
    QCOMPARE(r.add1, add1);
    QCOMPARE(r.add2, add2);
    QCOMPARE(r.add3, add3);
    QCOMPARE(r.custo1, custo1);
    QCOMPARE(r.tel, tel);
}

void TestSmartShapes::formsAndChats(bool forms)
{
    columns();
    if (forms) {
        addRow("required marks and blank lines between label and value",
               u"お名前（必須）\n\n中谷 澪\n\n郵便番号（必須）\n\n980-0021\n\nご住所（必須）\n\n"
               u"宮城県仙台市青葉区中央2-11-4\n\n建物名・部屋番号\n\nアーバン中央508\n\n電話番号（必須）\n\n"
               u"022-266-0193\n"_s,
               u"980-0021"_s, u"宮城県仙台市青葉区中央2-11-4"_s, u"アーバン中央508"_s, QString(), u"中谷　澪"_s,
               u"022-266-0193"_s);
        return;
    }
    addRow("a message in quotes over several lines, a time stamp above",
           u"LINEのトークをコピー\n2025/03/14(金)\n09:41\t岩崎 直\tおはようございます\n"
           u"09:42\t岩崎 直\t\"〒320-0811\n栃木県宇都宮市大通り4-2-19\n岩崎 直\n028-633-7402\"\n"
           u"09:50\t店舗\t承知しました\n"_s,
           u"320-0811"_s, u"栃木県宇都宮市大通り4-2-19"_s, QString(), QString(), u"岩崎　直"_s, u"028-633-7402"_s);
}

void TestSmartShapes::headedBlocks_data()
{
    columns();
    addRow("double angle brackets, the recipient second",
           u"≪ご注文者様≫\nお名前：水野 和樹\n〒600-8216 京都府京都市下京区東塩小路町9-3\nTEL 075-341-2200\n"
           u"≪お届け先様≫\nお名前：水野 絹代\n〒790-0004 愛媛県松山市大街道2-6-15\nTEL 089-943-7710\n"_s,
           u"790-0004"_s, u"愛媛県松山市大街道2-6-15"_s, QString(), QString(), u"水野　絹代"_s, u"089-943-7710"_s);
}

void TestSmartShapes::addressLineEnds_data()
{
    columns();
    addRow("an item list after a wide gap",
           u"〒950-0087 新潟県新潟市中央区東大通2-3-14　　ラ・フランス 3個、洋梨ゼリー 2個\n五十嵐 耕平\n"_s,
           u"950-0087"_s, u"新潟県新潟市中央区東大通2-3-14"_s, QString(), QString(), u"五十嵐　耕平"_s, QString());
    addRow("a building after the gap stays, the next label ends the line",
           u"住所：大阪府大阪市中央区南船場4-9-3  南船場プレイス902　氏名：福田 理沙\n電話：06-6241-5507\n"_s,
           QString(), u"大阪府大阪市中央区南船場4-9-3"_s, u"南船場プレイス902"_s, QString(), u"福田　理沙"_s,
           u"06-6241-5507"_s);
}

void TestSmartShapes::proseOnOneLine_data()
{
    columns();
    addRow("the recipient between commas of a sentence",
           u"届け先は弟の家で、桑原 颯、〒450-0002 愛知県名古屋市中村区名駅3-8-5、電話は052-588-0420です"_s,
           u"450-0002"_s, u"愛知県名古屋市中村区名駅3-8-5"_s, QString(), QString(), u"桑原　颯"_s, u"052-588-0420"_s);
}

void TestSmartShapes::laterWordsWin_data()
{
    columns();
    addRow("a room number given again with an apology",
           u"〒7600023 香川県高松市寿町2-1-1 寿メゾン305\n大川 恵\n087-822-0505\n申し訳ありません、405号室でした\n"_s,
           u"760-0023"_s, u"香川県高松市寿町2-1-1"_s, u"寿メゾン405"_s, QString(), u"大川　恵"_s, u"087-822-0505"_s);
    addRow("the daytime number is the mobile",
           u"〒3200811 栃木県宇都宮市大通り1-9-5\n野村 孝\n自宅 028-600-7171\n携帯 080-6060-1414\n"
           u"昼間は携帯にお願いします\n"_s,
           u"320-0811"_s, u"栃木県宇都宮市大通り1-9-5"_s, QString(), QString(), u"野村　孝"_s, u"080-6060-1414"_s);
}

void TestSmartShapes::drawnTables_data()
{
    columns();
    addRow("label and value cells between bars",
           u"| 氏名 | 大塚 瑞希 |\n| 郵便番号 | 700-0024 |\n| 住所 | 岡山県岡山市北区駅元町15-2 |\n"
           u"| 電話 | 086-251-3090 |\n"_s,
           u"700-0024"_s, u"岡山県岡山市北区駅元町15-2"_s, QString(), QString(), u"大塚　瑞希"_s, u"086-251-3090"_s);
    addRow("a spreadsheet cell over two lines in quotes",
           u"氏名\t住所\t電話\n飯田 翔\t\"兵庫県神戸市中央区加納町3-9-2\nコート加納201\"\t078-222-0461\n"_s, QString(),
           u"兵庫県神戸市中央区加納町3-9-2"_s, u"コート加納201"_s, QString(), u"飯田　翔"_s, u"078-222-0461"_s);
}

void TestSmartShapes::severalCustomers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("custo1");
    QTest::addColumn<bool>("several");
    QTest::newRow("rows of a CSV list")
        << u"氏名,郵便番号,住所,電話\n松尾 仁,860-0806,熊本県熊本市中央区花畑町2-2,096-111-2020\n"
           u"香川 舞,760-0023,香川県高松市寿町1-1,087-111-3030\n"_s
        << u"松尾　仁"_s << true;
    QTest::newRow("two customers in one paragraph of a mail")
        << u"本日分の注文です。\n〒9800021 宮城県仙台市青葉区中央2-2-8 阿部 達也 022-100-2000\n"
           u"〒7900004 愛媛県松山市大街道4-4-1 越智 彩花 089-100-3000\n"_s
        << u"阿部　達也"_s << true;
}

void TestSmartShapes::severalCustomers()
{
    QFETCH(QString, text);
    QFETCH(QString, custo1);
    QFETCH(bool, several);
    const transfer::SmartTransferResult r = transfer::SmartTransfer(text);
    QCOMPARE(r.custo1, custo1);
    QCOMPARE(r.guidance.contains(u"「一括印刷」"_s), several);
}

void TestSmartShapes::giftOrderer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("orderer");
    QTest::newRow("the orderer's block after the recipient's")
        << u"■お届け先\n〒5420081 大阪府大阪市中央区南船場1-4-4\n森本 千夏\n■ご依頼主\n"
           u"〒8800805 宮崎県宮崎市橘通東1-6-2 橘ビル3F\n森本 隆之\n0985-22-1010\n"_s
        << u"880-0805|宮崎県宮崎市橘通東1-6-2|橘ビル3F||森本　隆之|0985-22-1010"_s;
}

void TestSmartShapes::giftOrderer()
{
    QFETCH(QString, text);
    QFETCH(QString, orderer);
    const transfer::SmartTransferResult r = transfer::SmartTransfer(text);
    const transfer::SmartParty &o = r.orderer;
    QCOMPARE(r.custo1, u"森本　千夏"_s);
    QCOMPARE(QStringList({o.zip, o.add1, o.add2, o.add3, o.custo1, o.tel}).join(u'|'), orderer);
}

void TestSmartShapes::noRecipient_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("form labels without values")
        << u"お名前：\nご住所：\nマンション名等：\n電話番号：\nご利用区分：はじめて（紹介 2024/05）\n"_s;
    QTest::newRow("a shop's card alone") << u"架空果樹園\n〒4500002 愛知県名古屋市中村区名駅9-9-9\n"
                                            u"TEL 052-000-0001\n営業時間 8:00-16:00\n"_s;
}

void TestSmartShapes::noRecipient()
{
    QFETCH(QString, text);
    const transfer::SmartTransferResult r = transfer::SmartTransfer(text);
    QVERIFY(!r.noText);
    QCOMPARE(r.zip, QString());
    QCOMPARE(r.add1, QString());
    QCOMPARE(r.add2, QString());
    QCOMPARE(r.tel, QString());
}

QTEST_GUILESS_MAIN(TestSmartShapes)
#include "tst_smartshapes1.moc"
