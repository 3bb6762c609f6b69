// The transfer that reads whole texts: order mails, replies, gift orders,
// chats, faxes, postcards and spreadsheet rows (all names, addresses and
// numbers invented; postal codes real).

#include "transfer/SmartTransfer.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kSentinel = u"(未設定)"_s;

void addRow(const char *name, const QString &text, const QString &zip, const QString &add1, const QString &add2,
            const QString &add3, const QString &custo1, const QString &tel)
{
    QTest::newRow(name) << text << zip << add1 << add2 << add3 << custo1 << tel;
}

// A dictionary of a handful of codes, enough to complete and to check.
class FakePostal : public transfer::PostalLookup
{
public:
    QStringList addressesOf(const QString &code) const override
    {
        if (code == u"1500043"_s)
            return {u"東京都渋谷区道玄坂"_s};
        if (code == u"5300001"_s)
            return {u"大阪府大阪市北区梅田"_s};
        if (code == u"0600042"_s)
            return {u"北海道札幌市中央区大通西"_s};
        return {};
    }
    QStringList codesOf(const QString &prefix) const override
    {
        if (prefix == u"東京都渋谷区道玄坂"_s)
            return {u"1500043"_s};
        if (prefix == u"大阪府大阪市北区"_s)
            return {u"5300001"_s, u"5300002"_s};
        return {};
    }
};

} // namespace

class TestSmartTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recipientBlock_data();
    void recipientBlock();
    void labelledForms_data();
    void labelledForms();
    void freeText_data();
    void freeText();
    void addressLines_data();
    void addressLines();
    void halfWidthBuildings_data();
    void halfWidthBuildings();
    void spreadsheetRows_data();
    void spreadsheetRows();
    void nothingToTransfer_data();
    void nothingToTransfer();
    void dictionary_data();
    void dictionary();
    void longNameIsNotCut();
    void anyInputGivesAResult_data();
    void anyInputGivesAResult();

private:
    void columns();
    void check();
};

void TestSmartTransfer::columns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("add1");
    QTest::addColumn<QString>("add2");
    QTest::addColumn<QString>("add3");
    QTest::addColumn<QString>("custo1");
    QTest::addColumn<QString>("tel");
}

void TestSmartTransfer::check()
{
    QFETCH(QString, text);
    QFETCH(QString, zip);
    QFETCH(QString, add1);
    QFETCH(QString, add2);
    QFETCH(QString, add3);
    QFETCH(QString, custo1);
    QFETCH(QString, tel);
    transfer::SmartTransferResult r;
    r.zip = r.add1 = r.add2 = r.add3 = r.custo1 = r.tel = kSentinel;
    r = transfer::SmartTransfer(text);
    QVERIFY(!r.noText);
    QCOMPARE(r.zip, zip);
    QCOMPARE(r.tel, tel);
    QCOMPARE(r.custo1, custo1);
    QCOMPARE(r.add1, add1);
    QCOMPARE(r.add2, add2);
    QCOMPARE(r.add3, add3);
    QCOMPARE(r.warning, QString());
}

void TestSmartTransfer::recipientBlock_data()
{
    columns();
    addRow("a mall notice gives the recipient, not the orderer or the shop",
           u"山田太郎様\n\nこの度は架空ショップをご利用いただき、誠にありがとうございます。\n"
           u"━━━━━━━━━━━━\n■ご注文者情報\n━━━━━━━━━━━━\n"
           u"お名前：山田 太郎（ヤマダ タロウ）様\n〒：１５０－００４３\n住所：東京都渋谷区道玄坂１－２－３\n"
           u"電話番号：03-1234-5678\n━━━━━━━━━━━━\n■お届け先\n━━━━━━━━━━━━\n"
           u"お名前：佐藤 花子 様\n郵便番号：2310023\n住所：神奈川県横浜市中区山下町9-8-7 架空マンション201号室\n"
           u"電話番号：090ー1111ー2222\n━━━━━━━━━━━━\n■ご注文商品\n商品A　2個　3,000円\n合計：6,600円\n"
           u"━━━━━━━━━━━━\n架空ショップ\nhttps://example.jp/\n営業時間 10:00-18:00\n"
           u"〒100-0001 東京都千代田区架空町1-1\nTEL 03-0000-0000\n"_s,
           u"231-0023"_s, u"神奈川県横浜市中区山下町9-8-7"_s, u"架空マンション201号室"_s, QString(), u"佐藤　花子"_s,
           u"090-1111-2222"_s);
    addRow(
        "bracketed blocks of a market mail",
        u"件名：【架空マーケット】ご注文内容の確認（注文番号：12345-67890）\nFrom: shop@example.co.jp\n\n"
        u"[注文者情報]\n氏名: 木村 美咲（キムラ ミサキ）\n郵便番号: 812-0011\n住所: 福岡県福岡市博多区博多駅前2-3-4\n"
        u"電話番号: 092-111-2233\n\n[送付先情報]\n氏名: 木村 健太\n郵便番号: 8140001\n"
        u"住所: 福岡県福岡市早良区百道浜1-5-9 シーサイド百道1203\n電話番号: 09011112222\n\n[商品情報]\n"
        u"架空茶葉セット x 1 3,240円\n"_s,
        u"814-0001"_s, u"福岡県福岡市早良区百道浜1-5-9"_s, u"シーサイド百道1203"_s, QString(), u"木村　健太"_s,
        u"090-1111-2222"_s);
    addRow("recipient labels with the block's name in front",
           u"購入者: 小林 修\nお届け先: 小林 恵子\nお届け先住所: 〒370-0801 群馬県高崎市上並榎町567-8\n"
           u"お届け先電話: 027-345-6789\n"_s,
           u"370-0801"_s, u"群馬県高崎市上並榎町567-8"_s, QString(), QString(), u"小林　恵子"_s, u"027-345-6789"_s);
    addRow(
        "同上 means the orderer's data",
        u"注文者：加藤 純一\n住所：岐阜県岐阜市金町1-2 〒500-8842\nTEL：058-262-1234\nお届け先：ご注文者様と同じ\n"_s,
        u"500-8842"_s, u"岐阜県岐阜市金町1-2"_s, QString(), QString(), u"加藤　純一"_s, u"058-262-1234"_s);
    addRow("a ticked 'same as the orderer' box",
           u"お届け先：■ご注文者住所と同じ\nご注文者\n氏名：上田 大\n〒860-8601 熊本県熊本市中央区手取本町1-1\n"
           u"電話：096-328-2111\n"_s,
           u"860-8601"_s, u"熊本県熊本市中央区手取本町1-1"_s, QString(), QString(), u"上田　大"_s, u"096-328-2111"_s);
    addRow("お届け先：同上 before the orderer",
           u"お届け先：同上\nご注文者：高橋 健\n〒980-0811 宮城県仙台市青葉区一番町4-5-6\nTEL(022)123-4567\n"_s,
           u"980-0811"_s, u"宮城県仙台市青葉区一番町4-5-6"_s, QString(), QString(), u"高橋　健"_s, u"022-123-4567"_s);
    addRow("of several numbered recipients the first is taken",
           u"■お届け先1\n〒514-8570\n三重県津市広明町13\n津 花子\n■お届け先2\n〒640-8585\n"
           u"和歌山県和歌山市小松原通1-1\n和歌 次郎\n"_s,
           u"514-8570"_s, u"三重県津市広明町13"_s, QString(), QString(), u"津　花子"_s, QString());
    addRow("a greeting to the shop is no company of the address",
           u"架空ショップ御中\n注文をお願いします。\n〒921-8011 石川県金沢市入江1-2-3\n中村 由紀\n"_s, u"921-8011"_s,
           u"石川県金沢市入江1-2-3"_s, QString(), QString(), u"中村　由紀"_s, QString());
    addRow("a gift: the recipient's block comes first, the orderer after it",
           u"ギフトのお届け先\n〒６０４－８００５\n京都府京都市中京区恵比須町４２７\n藤田 千代 "
           u"様\n（電話）075-211-1234\n\n"
           u"ご依頼主\n〒１８０－０００４\n東京都武蔵野市吉祥寺本町１－１０－１\n藤田 亮\n0422-21-1234\n"_s,
           u"604-8005"_s, u"京都府京都市中京区恵比須町４２７"_s, QString(), QString(), u"藤田　千代"_s,
           u"075-211-1234"_s);
    addRow("a two-column fax with the orderer left and the recipient right",
           u"ご依頼主　　　　　　　　　　お届け先\n〒123-4567　　　　　　　　　〒530-0001\n"
           u"東京都港区芝1-2-3　　　　　 大阪府大阪市北区梅田3-4-5\n山田太郎　　　　　　　　　　 田中 次郎\n"
           u"03-1111-2222　　　　　　　　06-3333-4444\n"_s,
           u"530-0001"_s, u"大阪府大阪市北区梅田3-4-5"_s, QString(), QString(), u"田中　次郎"_s, u"06-3333-4444"_s);
    addRow("a two-column form with row labels at the left",
           u"　　　　　　ご依頼主　　　　　　　　　お届け先\n"
           u"お名前　　　山田　太郎　　　　　　　　鈴木　花子\n"
           u"郵便番号　　100-0005　　　　　　　　　657-0013\n"
           u"ご住所　　　東京都千代田区丸の内1-1　兵庫県神戸市灘区高羽町2-3-4\n"
           u"電話番号　　03-3211-0000　　　　　　 078-851-1234\n"_s,
           u"657-0013"_s, u"兵庫県神戸市灘区高羽町2-3-4"_s, QString(), QString(), u"鈴木　花子"_s, u"078-851-1234"_s);
    addRow("blocks headed ご依頼主様 and お届け先様",
           u"ご依頼主様\n氏名：中島 聡\n住所：〒460-0001 愛知県名古屋市中区三の丸3-1-1\n電話：052-961-1111\n\n"
           u"お届け先様\n氏名：中島 たか子\n住所：〒500-8570 岐阜県岐阜市薮田南2-1-1\n電話：058-272-1111\n"_s,
           u"500-8570"_s, u"岐阜県岐阜市薮田南2-1-1"_s, QString(), QString(), u"中島　たか子"_s, u"058-272-1111"_s);
    addRow("a mall's one-line recipient with reading and honorific",
           u"[送付先] 山田 太郎 (ヤマダ タロウ) 様\n〒123-4567 東京都港区芝公園1-2-3\n(TEL) 090-1234-5678\n"_s,
           u"123-4567"_s, u"東京都港区芝公園1-2-3"_s, QString(), QString(), u"山田　太郎"_s, u"090-1234-5678"_s);
    addRow("a reply in Outlook's style with the headers on top",
           u"From: 吉田 <yoshida@example.jp>\nSent: Tuesday, May 7, 2024 9:12 AM\nTo: info@example.jp\n"
           u"Subject: RE: ご注文確認\n\n吉田です。届け先は実家の方でお願いします。\n"
           u"〒７９０－０００１　愛媛県松山市一番町４－４－２\n吉田 正男 様方 吉田 光\n電話　089-941-1111\n"_s,
           u"790-0001"_s, u"愛媛県松山市一番町４－４－２"_s, QString(), u"吉田 正男 様方"_s, u"吉田　光"_s,
           u"089-941-1111"_s);
    addRow("a mall notice with bracketed labels and the recipient second",
           u"[受注番号] 123456-20240501-0000001\n[日時] 2024-05-01 10:00:00\n[注文者] 山田 太郎 (ヤマダ タロウ) 様\n"
           u"  〒150-0043 東京都渋谷区道玄坂1-2-3\n  (TEL) 03-1234-5678\n[支払方法] 銀行振込\n[配送方法] 宅配便\n"
           u"[送付先] 佐藤 花子 (サトウ ハナコ) 様\n  〒231-0023 神奈川県横浜市中区山下町9-8-7 架空マンション201\n"
           u"  (TEL) 090-1111-2222\n[商品]\n  架空茶葉セット\n  価格 3,000(円) x 2(個) = 6,000(円)\n"_s,
           u"231-0023"_s, u"神奈川県横浜市中区山下町9-8-7"_s, u"架空マンション201"_s, QString(), u"佐藤　花子"_s,
           u"090-1111-2222"_s);
    addRow("a present sent straight to a friend",
           u"いつもありがとうございます！\n今回はプレゼントなので、下記に直接送ってください🎁\n"
           u"送り先：〒359-1111 埼玉県所沢市緑町1-2-3 グリーンハイツ202号室\n受取人：小川 真由美 さん\n"
           u"電話 04-2922-1234\n請求は私（小川 健）宛でお願いします\n"_s,
           u"359-1111"_s, u"埼玉県所沢市緑町1-2-3"_s, u"グリーンハイツ202号室"_s, QString(), u"小川　真由美"_s,
           u"04-2922-1234"_s);
    addRow("a quote inside a quote: the shallower one wins",
           u"> 2024/05/01 10:00 架空ショップ <info@example.jp>:\n> > お届け先をお知らせください。\n"
           u"> > 架空ショップ 〒100-0001 東京都千代田区架空町1-1\n>\n> 以下にお願いします。\n"
           u"> 〒１６０－００２２ 東京都新宿区新宿３－３８－１\n> 新宿 次郎\n\n上記の件、よろしくお願いします。\n"_s,
           u"160-0022"_s, u"東京都新宿区新宿３－３８－１"_s, QString(), QString(), u"新宿　次郎"_s, QString());
    addRow("同上 on its own line under the heading",
           u"ご注文者様\n〒111-0032\n東京都台東区浅草2-3-1\n浅草 一郎\n03-3842-1111\n\nお届け先\n　同上\n"_s,
           u"111-0032"_s, u"東京都台東区浅草2-3-1"_s, QString(), QString(), u"浅草　一郎"_s, u"03-3842-1111"_s);
    addRow("a forwarded mail: its headers are no data",
           u"-------- Forwarded Message --------\n件名: 注文\n日付: Mon, 1 Apr 2024 10:00:00 +0900\n"
           u"差出人: 岡田 <okada@example.com>\n宛先: order@example.jp\n\n送り先\n岡田 直樹\n"
           u"〒730-0011 広島県広島市中区基町10-3\n082-987-6543\n"_s,
           u"730-0011"_s, u"広島県広島市中区基町10-3"_s, QString(), QString(), u"岡田　直樹"_s, u"082-987-6543"_s);
    addRow("a reply: the customer's own lines win over the quoted shop mail",
           u"住所を書きました。\n〒３３０－０８４６\n埼玉県さいたま市大宮区大門町３－１２\n清水　香織\n\n"
           u"> ご注文ありがとうございます。\n> 架空ショップ\n> 〒100-0001 東京都千代田区架空町1-1\n"
           u"> TEL 03-0000-0000\n"_s,
           u"330-0846"_s, u"埼玉県さいたま市大宮区大門町３－１２"_s, QString(), QString(), u"清水　香織"_s, QString());
    addRow("a reply with only a note: the quoted address counts",
           u"これでお願いします\n\n> お届け先\n> 〒650-0021 兵庫県神戸市中央区三宮町1丁目2-3\n> 上田 恵美 様\n"_s,
           u"650-0021"_s, u"兵庫県神戸市中央区三宮町1丁目2-3"_s, QString(), QString(), u"上田　恵美"_s, QString());
}

void TestSmartTransfer::recipientBlock()
{
    check();
}

void TestSmartTransfer::labelledForms_data()
{
    columns();
    addRow("labels on their own lines with the values under them",
           u"■お名前\n中村　優子\n■フリガナ\nナカムラ　ユウコ\n■郵便番号\n４６０－０００８\n■都道府県\n愛知県\n"
           u"■市区町村・番地\n名古屋市中区栄3-15-27\n■建物名\n架空ビル8F\n■電話番号\n052-123-4567\n"
           u"■メールアドレス\nyuko@example.ne.jp\n■ご注文内容\nみかん5kg\n"_s,
           u"460-0008"_s, u"愛知県名古屋市中区栄3-15-27"_s, u"架空ビル8F"_s, QString(), u"中村　優子"_s,
           u"052-123-4567"_s);
    addRow("a fax order of a business",
           u"FAX注文書\nご注文日：2024年5月1日\n貴社名：有限会社架空工務店\nご担当者名：長谷川 誠\n"
           u"ご住所：〒420-0853 静岡県静岡市葵区追手町9-6\nTEL：054-221-1234　FAX：054-221-1235\n"
           u"品名：軍手　数量：10ダース\n"_s,
           u"420-0853"_s, u"静岡県静岡市葵区追手町9-6"_s, u"有限会社架空工務店"_s, QString(), u"長谷川　誠"_s,
           u"054-221-1234"_s);
    addRow("family and given name in their own fields",
           u"お名前(姓)：西村\nお名前(名)：千尋\n郵便番号：6020881\n住所：京都府京都市上京区京都御苑3\n"
           u"電話番号(日中)：075-211-0000\n"_s,
           u"602-0881"_s, u"京都府京都市上京区京都御苑3"_s, QString(), QString(), u"西村　千尋"_s, u"075-211-0000"_s);
    addRow("a fax number beside the telephone is not taken",
           u"氏名：石井 浩\n〒310-0011 茨城県水戸市三の丸1-5-38\nFAX：029-224-0000\nTEL：029-224-1111\n"_s,
           u"310-0011"_s, u"茨城県水戸市三の丸1-5-38"_s, QString(), QString(), u"石井　浩"_s, u"029-224-1111"_s);
    addRow("home and mobile numbers: the first is taken",
           u"お名前：遠藤　誠　様（エンドウ　マコト）\nご住所：〒020-0023\n岩手県盛岡市内丸10-1\n"
           u"電話：019-651-1234（自宅）\n携帯：090-9876-5432\n"_s,
           u"020-0023"_s, u"岩手県盛岡市内丸10-1"_s, QString(), QString(), u"遠藤　誠"_s, u"019-651-1234"_s);
    addRow(
        "an address label over three lines",
        u"ご住所：東京都港区\n　　　　芝公園1-2-3\n　　　　架空ビル5F\nお名前：高田 勇\n電話：03-3433-1234\n〒105-0011\n"_s,
        u"105-0011"_s, u"東京都港区芝公園1-2-3"_s, u"架空ビル5F"_s, QString(), u"高田　勇"_s, u"03-3433-1234"_s);
    addRow(
        "宛名 and full-width numbers",
        u"宛名：横山 由美子\n郵便番号：９３０－８５０１\n住所：富山県富山市新総曲輪1番7号\n電話番号：０７６－４３１－４１１１\n"_s,
        u"930-8501"_s, u"富山県富山市新総曲輪1番7号"_s, QString(), QString(), u"横山　由美子"_s, u"076-431-4111"_s);
    addRow("住所は以下です: the label's value is a sentence",
           u"お世話になっております。\n住所は以下です。\n大阪府堺市堺区南瓦町3-1　堺タワー1203号室\n〒590-0078\n"
           u"西田 美穂\nTEL 072-233-1101\n"_s,
           u"590-0078"_s, u"大阪府堺市堺区南瓦町3-1"_s, u"堺タワー1203号室"_s, QString(), u"西田　美穂"_s,
           u"072-233-1101"_s);
    addRow("a shop form with every label on its own line and an empty building",
           u"■配送先情報\n郵便番号\n1000014\n都道府県\n東京都\n市区町村\n千代田区永田町\n番地\n1-7-1\n"
           u"建物名・部屋番号\n\n氏名\n衆議 太郎\n電話番号\n0335815111\n"_s,
           u"100-0014"_s, u"東京都千代田区永田町1-7-1"_s, QString(), QString(), u"衆議　太郎"_s, u"03-3581-5111"_s);
    addRow("a delivery to an office with the person after 担当",
           u"納品先：株式会社架空製作所　資材課　御中\n〒４６６－８５０１ 愛知県名古屋市昭和区鶴舞１－２－３\n"
           u"ＴＥＬ　０５２（７４１）１１１１\n担当：松井\n"_s,
           u"466-8501"_s, u"愛知県名古屋市昭和区鶴舞１－２－３"_s, u"株式会社架空製作所　資材課"_s, QString(),
           u"松井"_s, u"052-741-1111"_s);
    addRow("several labels on one line",
           u"郵便番号：123-4567　住所：東京都港区芝1-2-3　TEL：03-1234-5678\nお名前：山田太郎　電話：090-1111-2222\n"_s,
           u"123-4567"_s, u"東京都港区芝1-2-3"_s, QString(), QString(), u"山田太郎"_s, u"03-1234-5678"_s);
    addRow("a name beside a contact number and an address beside a home label",
           u"連絡先：山田太郎 090-1234-5678\n自宅 東京都港区芝1-2-3\n〒105-0014\n電話：03-1234-5678（携帯）\n"_s,
           u"105-0014"_s, u"東京都港区芝1-2-3"_s, QString(), QString(), u"山田太郎"_s, u"090-1234-5678"_s);
    addRow("the country code and a mobile label",
           u"Name: Emily Clark\n住所：東京都八王子市元本郷町1-2-3\n〒192-0051\n携帯：+81 90-5555-1234\n"_s,
           u"192-0051"_s, u"東京都八王子市元本郷町1-2-3"_s, QString(), QString(), u"Emily Clark"_s, u"090-5555-1234"_s);
}

void TestSmartTransfer::labelledForms()
{
    check();
}

void TestSmartTransfer::freeText_data()
{
    columns();
    addRow(
        "a customer's reply with greetings around the address",
        u"お世話になります。\n下記へ送ってください。\n\n〒060-0042\n北海道札幌市中央区大通西5丁目1-2\n架空ハイツ302\n"
        u"鈴木 一郎\n携帯 080 1234 5678\n\nよろしくお願いします。\n"_s,
        u"060-0042"_s, u"北海道札幌市中央区大通西5丁目1-2"_s, u"架空ハイツ302"_s, QString(), u"鈴木　一郎"_s,
        u"080-1234-5678"_s);
    addRow("a chat message with emoji",
           u"こんにちは！先日はありがとうございました😊\n発送先です↓\n〒９２０－０９６１ 石川県金沢市香林坊1-2-3 "
           u"コーポ香林坊105\n"
           u"松本 あゆみ🌸\n電話 ０７６‐２２２‐３３３３\n"_s,
           u"920-0961"_s, u"石川県金沢市香林坊1-2-3"_s, u"コーポ香林坊105"_s, QString(), u"松本　あゆみ"_s,
           u"076-222-3333"_s);
    addRow("a flea-market message",
           u"【取引メッセージ】\n購入者：ぽんた\n発送先は以下でお願いします！\n〒８１０－０００１\n"
           u"福岡県福岡市中央区天神1-1-1-1205\n前田 奈々\n"_s,
           u"810-0001"_s, u"福岡県福岡市中央区天神1-1-1-1205"_s, QString(), QString(), u"前田　奈々"_s, QString());
    addRow(
        "a postcard transcription",
        u"〒３３０－０８４６\n埼玉県さいたま市大宮区大門町３－１２\n大宮グランドハイツ５０５号室\n清水　香織　様\n"_s,
        u"330-0846"_s, u"埼玉県さいたま市大宮区大門町３－１２"_s, u"大宮グランドハイツ５０５号室"_s, QString(),
        u"清水　香織"_s, QString());
    addRow("everything on one line", u"送り先→〒390-0811長野県松本市中央1-2-3 青木様 0263-32-1234"_s, u"390-0811"_s,
           u"長野県松本市中央1-2-3"_s, QString(), QString(), u"青木"_s, u"0263-32-1234"_s);
    addRow("the address in sentences",
           u"ぼくの住所は、青森県青森市長島1丁目1-1だよ。名前は工藤 蓮。電話は017-734-1111。郵便番号030-0861"_s,
           u"030-0861"_s, u"青森県青森市長島1丁目1-1"_s, QString(), QString(), u"工藤　蓮"_s, u"017-734-1111"_s);
    addRow("a chat with times and speakers",
           u"[10:02] 山田: こんにちは、注文したいです\n[10:03] 店: ありがとうございます。お名前とご住所をお願いします\n"
           u"[10:05] 山田: 山田 恵子です。〒214-0014 神奈川県川崎市多摩区登戸2-3-4 登戸ハイツ105です\n"
           u"[10:06] 山田: 電話は044-911-1234です\n"_s,
           u"214-0014"_s, u"神奈川県川崎市多摩区登戸2-3-4"_s, u"登戸ハイツ105"_s, QString(), u"山田　恵子"_s,
           u"044-911-1234"_s);
    addRow(
        "a business address that names no person",
        u"東京都千代田区神田一丁目二番三号\n神田ビル4階\n株式会社架空出版 編集部 御中\nTEL 03-3291-0000\n〒101-0044\n"_s,
        u"101-0044"_s, u"東京都千代田区神田一丁目二番三号"_s, u"神田ビル4階"_s, QString(),
        u"株式会社架空出版　編集部"_s, u"03-3291-0000"_s);
    addRow("a building without a building word under the street number",
           u"〒４００－００３１\n山梨県甲府市丸の内１－１－１\nサンライズ201\n村上 翼\n"_s, u"400-0031"_s,
           u"山梨県甲府市丸の内１－１－１"_s, u"サンライズ201"_s, QString(), u"村上　翼"_s, QString());
    addRow(
        "a title before the person is no part of the name",
        u"〒530-0001\n大阪市北区梅田1丁目1番3号\n大阪駅前第3ビル 12階\n株式会社ナニワ物産 営業部\n部長 大阪 一郎 様\n"
        u"06-6345-0000\n"_s,
        u"530-0001"_s, u"大阪市北区梅田1丁目1番3号"_s, u"大阪駅前第3ビル 12階"_s, u"株式会社ナニワ物産　営業部"_s,
        u"大阪　一郎"_s, u"06-6345-0000"_s);
    addRow("a city without its prefecture inside a sentence",
           u"こんにちは。また注文させてください。\n住所は前回と同じで、〒６０３－８３６１ 京都市北区金閣寺町1 の 金田 "
           u"です。\n"
           u"電話 075-461-0013\n"_s,
           u"603-8361"_s, u"京都市北区金閣寺町1"_s, QString(), QString(), u"金田"_s, u"075-461-0013"_s);
    addRow("the name the mail is addressed to when the block names nobody",
           u"大野 真一 様\n\nご注文ありがとうございます。\n\n【お届け先】\n〒031-8686\n青森県八戸市内丸1-1-1\n"
           u"電話：0178-43-1111\n"_s,
           u"031-8686"_s, u"青森県八戸市内丸1-1-1"_s, QString(), QString(), u"大野　真一"_s, u"0178-43-1111"_s);
    addRow("a family name with 村 after the building on one line",
           u"〒 103 - 0027 東京都中央区日本橋1ー2ー3 日本橋ビル501 田村 裕子様 ０３（３２７１）１２３４"_s,
           u"103-0027"_s, u"東京都中央区日本橋1ー2ー3"_s, u"日本橋ビル501"_s, QString(), u"田村　裕子"_s,
           u"03-3271-1234"_s);
    addRow(
        "the name under the address wins over the salutation above it",
        u"山田様\nお世話になっております。\n送り先は\n〒243-0018 神奈川県厚木市中町3-17-17\n佐藤 花子\nでお願いします。\n"_s,
        u"243-0018"_s, u"神奈川県厚木市中町3-17-17"_s, QString(), QString(), u"佐藤　花子"_s, QString());
    addRow("the country line of a mall address is no name",
           u"お届け先:\n山田 太郎\n〒123-4567\n東京都港区芝公園1-2-3\n架空マンション101\n日本\n"_s, u"123-4567"_s,
           u"東京都港区芝公園1-2-3"_s, u"架空マンション101"_s, QString(), u"山田　太郎"_s, QString());
    addRow("a correction later in a chat",
           u"住所：〒154-0023 東京都世田谷区若林3-4-5\n名前：伊藤 まり\n電話：090-2222-3333\n"
           u"すみません、住所間違えてました。\n正しくは 〒154-0023 東京都世田谷区若林3-14-5 です\n"_s,
           u"154-0023"_s, u"東京都世田谷区若林3-14-5"_s, QString(), QString(), u"伊藤　まり"_s, u"090-2222-3333"_s);
    addRow("a new address announced in a sentence",
           u"山本さん、住所変わりました！\n新しい住所は 〒232-0066 神奈川県横浜市南区六ツ川4-5-6 です\n"
           u"電話は変わらず 045-711-2233 です\n山本 大輔\n"_s,
           u"232-0066"_s, u"神奈川県横浜市南区六ツ川4-5-6"_s, QString(), QString(), u"山本　大輔"_s, u"045-711-2233"_s);
    addRow("the postal code in brackets after the address",
           u"お届け先\n岡山県岡山市北区内山下2丁目4-6\n(〒700-0824)\n原田　浩二\n電話：086(224)2111\n"_s, u"700-0824"_s,
           u"岡山県岡山市北区内山下2丁目4-6"_s, QString(), QString(), u"原田　浩二"_s, u"086-224-2111"_s);
    addRow("a letter that starts with the sender's greeting",
           u"いつもお世話になっております。宮崎です。\n先日の件、以下の住所に送っていただけますか。\n"
           u"〒880-0805 宮崎市橘通東2-10-1\n宮崎 陽子\n0985-24-1111\n"_s,
           u"880-0805"_s, u"宮崎市橘通東2-10-1"_s, QString(), QString(), u"宮崎　陽子"_s, u"0985-24-1111"_s);
}

void TestSmartTransfer::freeText()
{
    check();
}

void TestSmartTransfer::addressLines_data()
{
    columns();
    addRow("company and department on line 2, the building after the street number",
           u"〒１０３－００２７\n東京都中央区日本橋２丁目７番１号　架空タワー２３階\n株式会社架空商事　総務部\n"
           u"ご担当　渡辺 様\nTEL：03-5555-6666　FAX：03-5555-6667\n"_s,
           u"103-0027"_s, u"東京都中央区日本橋２丁目７番１号"_s, u"架空タワー２３階"_s, u"株式会社架空商事　総務部"_s,
           u"渡辺"_s, u"03-5555-6666"_s);
    addRow("a kanji numeral that begins the building name stays on line 2",
           u"〒106-6108 東京都港区六本木六丁目10番1号六本木ヒルズ森タワー\n森 林太郎\n"_s, u"106-6108"_s,
           u"東京都港区六本木六丁目10番1号"_s, u"六本木ヒルズ森タワー"_s, QString(), u"森　林太郎"_s, QString());
    addRow("様方 goes to line 3", u"池田様方 上田 恵美\n〒６５０－００２１ 兵庫県神戸市中央区三宮町1丁目2-3\n"_s,
           u"650-0021"_s, u"兵庫県神戸市中央区三宮町1丁目2-3"_s, QString(), u"池田様方"_s, u"上田　恵美"_s, QString());
    addRow("c/o goes to line 3",
           u"〒862-0950\n熊本県熊本市中央区水前寺6丁目18番1号\nc/o 架空商会\nRobert Smith\n096-383-1111\n"_s,
           u"862-0950"_s, u"熊本県熊本市中央区水前寺6丁目18番1号"_s, QString(), u"c/o 架空商会"_s, u"Robert Smith"_s,
           u"096-383-1111"_s);
    addRow("an address written over two lines is joined", u"〒604-8005\n京都府京都市中京区\n恵比須町427\n森 恵子\n"_s,
           u"604-8005"_s, u"京都府京都市中京区恵比須町427"_s, QString(), QString(), u"森　恵子"_s, QString());
    addRow("an address without street number keeps the name after it apart",
           u"北海道虻田郡倶知安町字樺山\n中村 太郎\n〒044-0083\n"_s, u"044-0083"_s, u"北海道虻田郡倶知安町字樺山"_s,
           QString(), QString(), u"中村　太郎"_s, QString());
    addRow("a northern address keeps its 条 and 丁目 on line 1",
           u"〒0600001 北海道札幌市中央区北1条西2丁目 架空ビル3F\n井上 さくら\n"_s, u"060-0001"_s,
           u"北海道札幌市中央区北1条西2丁目"_s, u"架空ビル3F"_s, QString(), u"井上　さくら"_s, QString());
}

void TestSmartTransfer::addressLines()
{
    check();
}

void TestSmartTransfer::halfWidthBuildings_data()
{
    columns();
    addRow("under the street number",
           u"〒930-0002\n富山県富山市新富町1-2-3\nｱﾊﾟｰﾄ富山 203号\n高橋 一郎\n090-1111-3333\n"_s, u"930-0002"_s,
           u"富山県富山市新富町1-2-3"_s, u"アパート富山 203号"_s, QString(), u"高橋　一郎"_s, u"090-1111-3333"_s);
    addRow("alone under the address, not taken for the name",
           u"高橋 一郎\n〒930-0002 富山県富山市新富町1-2-3\nｺｰﾎﾟ新富\n"_s, u"930-0002"_s, u"富山県富山市新富町1-2-3"_s,
           u"コーポ新富"_s, QString(), u"高橋　一郎"_s, QString());
    addRow("below the name, with 号室 and voiced marks",
           u"〒920-0001\n石川県金沢市千木町4-5\n中川 由美\nｸﾞﾗﾝﾃﾞｭｵ金沢 105号室\n"_s, u"920-0001"_s,
           u"石川県金沢市千木町4-5"_s, u"グランデュオ金沢 105号室"_s, QString(), u"中川　由美"_s, QString());
    addRow("on the line of the address", u"〒810-0001 福岡県福岡市中央区天神1-1-1 ﾒｿﾞﾝ天神 405号\n森 花子\n"_s,
           u"810-0001"_s, u"福岡県福岡市中央区天神1-1-1"_s, u"メゾン天神 405号"_s, QString(), u"森　花子"_s, QString());
}

void TestSmartTransfer::halfWidthBuildings()
{
    check();
}

void TestSmartTransfer::spreadsheetRows_data()
{
    columns();
    addRow("a tab-separated row that lost its zeros",
           u"山田花子\t1500043\t東京都渋谷区道玄坂1-2-3\t架空マンション201\t9012345678"_s, u"150-0043"_s,
           u"東京都渋谷区道玄坂1-2-3"_s, u"架空マンション201"_s, QString(), u"山田花子"_s, u"090-1234-5678"_s);
    addRow("prefecture, city and street in cells of their own",
           u"山田太郎\t150-0043\t東京都\t渋谷区道玄坂\t1-2-3\t架空マンション201\t03-1234-5678"_s, u"150-0043"_s,
           u"東京都渋谷区道玄坂1-2-3"_s, u"架空マンション201"_s, QString(), u"山田太郎"_s, u"03-1234-5678"_s);
    addRow("a CSV row under its heading row",
           u"氏名,郵便番号,住所,電話番号\n森田 翔,5400008,大阪府大阪市中央区大手前1-2-3,6-6941-1234\n"_s, u"540-0008"_s,
           u"大阪府大阪市中央区大手前1-2-3"_s, QString(), QString(), u"森田　翔"_s, u"06-6941-1234"_s);
    addRow("a CSV row under English headings",
           u"Name,Zip,Address,Phone\nHanako Sato,2310023,神奈川県横浜市中区山下町9-8-7,090-1111-2222\n"_s,
           u"231-0023"_s, u"神奈川県横浜市中区山下町9-8-7"_s, QString(), QString(), u"Hanako Sato"_s,
           u"090-1111-2222"_s);
    addRow("a tab-separated row under its headings, the Hokkaido code without its zero",
           u"名前\t郵便番号\t住所1\t住所2\t電話\n井上 さくら\t600001\t北海道札幌市中央区北1条西2丁目\t架空ビル3F\t"
           u"011-231-4567\n"_s,
           u"060-0001"_s, u"北海道札幌市中央区北1条西2丁目"_s, u"架空ビル3F"_s, QString(), u"井上　さくら"_s,
           u"011-231-4567"_s);
}

void TestSmartTransfer::spreadsheetRows()
{
    check();
}

void TestSmartTransfer::nothingToTransfer_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank lines") << u"\n  \n\u3000\n"_s;
    QTest::newRow("mail and web addresses") << u"taro@example.jp\nhttps://example.jp/\n"_s;
    QTest::newRow("separators only") << u"━━━━━━\n-----\n"_s;
}

void TestSmartTransfer::nothingToTransfer()
{
    QFETCH(QString, text);
    QVERIFY(transfer::SmartTransfer(text).noText);
}

void TestSmartTransfer::dictionary_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("add1");
    QTest::addColumn<bool>("warns");

    QTest::newRow("the missing prefecture and city are added")
        << u"〒150-0043\n道玄坂1-2-3\n山田 花子"_s << u"150-0043"_s << u"東京都渋谷区道玄坂1-2-3"_s << false;
    QTest::newRow("the missing prefecture is added") << u"〒060-0042 札幌市中央区大通西5丁目1-2"_s << u"060-0042"_s
                                                     << u"北海道札幌市中央区大通西5丁目1-2"_s << false;
    QTest::newRow("code and address that agree give no warning")
        << u"〒530-0001 大阪府大阪市北区梅田3-4-5"_s << u"530-0001"_s << u"大阪府大阪市北区梅田3-4-5"_s << false;
    QTest::newRow("code and address that disagree warn")
        << u"〒530-0001 東京都港区芝1-2-3"_s << u"530-0001"_s << u"東京都港区芝1-2-3"_s << true;
    QTest::newRow("a missing code is found when only one fits")
        << u"東京都渋谷区道玄坂1-2-3\n山田 花子"_s << u"150-0043"_s << u"東京都渋谷区道玄坂1-2-3"_s << false;
    QTest::newRow("an unknown code changes nothing")
        << u"〒999-9999 架空町1-2-3"_s << u"999-9999"_s << u"架空町1-2-3"_s << false;
}

void TestSmartTransfer::dictionary()
{
    QFETCH(QString, text);
    QFETCH(QString, zip);
    QFETCH(QString, add1);
    QFETCH(bool, warns);
    const FakePostal postal;
    const transfer::SmartTransferResult r = transfer::SmartTransfer(text, &postal);
    QCOMPARE(r.zip, zip);
    QCOMPARE(r.add1, add1);
    QCOMPARE(!r.warning.isEmpty(), warns);
}

void TestSmartTransfer::longNameIsNotCut()
{
    const QString longName = QString(90, u'藤');
    const transfer::SmartTransferResult r =
        transfer::SmartTransfer(u"お名前：%1\n〒150-0043 東京都渋谷区道玄坂1-2-3"_s.arg(longName));
    QCOMPARE(r.custo1.size(), transfer::kNameFieldLength);
    QCOMPARE(r.custo1 + r.add3, longName);
    QVERIFY(!r.warning.isEmpty());
}

void TestSmartTransfer::anyInputGivesAResult_data()
{
    QTest::addColumn<QString>("text");

    QByteArray bytes(1 << 16, '\0');
    QRandomGenerator random(17);
    for (char &b : bytes)
        b = char(random.bounded(256));
    QTest::newRow("random bytes") << QString::fromLatin1(bytes);
    QTest::newRow("lone surrogates") << (u"〒150-0043 東京都"_s + QChar(0xD800) + u"渋谷区道玄坂1-2-3\n山田"_s +
                                         QChar(0xDC00) + u"花子"_s);
    QString lines;
    for (int i = 0; i < 100000; ++i)
        lines += u"〒150-0043 東京都渋谷区道玄坂1-2-3 山田 花子 03-1234-5678\n"_s;
    QTest::newRow("100 000 lines") << lines;
    QTest::newRow("20 MB on one line") << QString(10 * 1024 * 1024, u'ア');
    QTest::newRow("only digits and hyphens") << QString(5000, u'-') + QString(5000, u'1');
}

void TestSmartTransfer::anyInputGivesAResult()
{
    QFETCH(QString, text);
    const transfer::SmartTransferResult r = transfer::SmartTransfer(text);
    QVERIFY(r.zip.isEmpty() || r.zip.size() == 8);
    QVERIFY(r.custo1.size() <= transfer::kNameFieldLength);
    for (const QString &field : {r.zip, r.add1, r.add2, r.add3, r.custo1, r.tel}) {
        for (qsizetype i = 0; i < field.size(); ++i) {
            if (field[i].isHighSurrogate())
                QVERIFY(i + 1 < field.size() && field[i + 1].isLowSurrogate());
        }
    }
}

QTEST_GUILESS_MAIN(TestSmartTransfer)
#include "tst_smarttransfer.moc"
