// The words the transfer looks for: field labels, block headings and role
// words, honorifics, and the words of sentences, companies and buildings.

#include "transfer/SmartTransfer_p.h"

#include "platform/JapaneseText.h"

#include <QHash>

#include <algorithm>
#include <iterator>

namespace transfer::smart {

namespace {

using namespace Qt::StringLiterals;

struct Word
{
    QStringView text;
    Label label;
};

// Field labels as forms, malls and people write them, ASCII in lower case
// (lines are matched in a lower-cased folded form). Longer entries win.
constexpr Word kLabels[] = {
    {u"お名前", Label::Name},
    {u"おなまえ", Label::Name},
    {u"御名前", Label::Name},
    {u"名前", Label::Name},
    {u"氏名", Label::Name},
    {u"ご氏名", Label::Name},
    {u"御氏名", Label::Name},
    {u"宛名", Label::Name},
    {u"受取人名", Label::Name},
    {u"受取人氏名", Label::Name},
    {u"名義", Label::Name},
    {u"name", Label::Name},
    {u"full name", Label::Name},
    {u"your name", Label::Name},
    {u"ご担当者名", Label::Name},
    {u"ご担当者様", Label::Name},
    {u"ご担当者", Label::Name},
    {u"担当者名", Label::Name},
    {u"担当者", Label::Name},
    {u"ご担当", Label::Name},
    {u"担当", Label::Name},
    {u"お客様", Label::Name},
    {u"お客様名", Label::Name},
    {u"お客様氏名", Label::Name},
    {u"受取人様", Label::Name},
    {u"姓", Label::Family},
    {u"名", Label::Given},
    {u"フリガナ", Label::Kana},
    {u"ふりがな", Label::Kana},
    {u"ﾌﾘｶﾞﾅ", Label::Kana},
    {u"よみがな", Label::Kana},
    {u"ヨミガナ", Label::Kana},
    {u"カナ", Label::Kana},
    {u"かな", Label::Kana},
    {u"氏名カナ", Label::Kana},
    {u"お名前カナ", Label::Kana},
    {u"お名前フリガナ", Label::Kana},
    {u"セイ", Label::Kana},
    {u"メイ", Label::Kana},
    {u"読み", Label::Kana},
    {u"郵便番号", Label::Zip},
    {u"ご郵便番号", Label::Zip},
    {u"郵便", Label::Zip},
    {u"ゆうびんばんごう", Label::Zip},
    {u"〒", Label::Zip},
    {u"zip", Label::Zip},
    {u"zipcode", Label::Zip},
    {u"postal code", Label::Zip},
    {u"post code", Label::Zip},
    {u"zip code", Label::Zip},
    {u"都道府県", Label::Pref},
    {u"住所", Label::Address},
    {u"ご住所", Label::Address},
    {u"お住所", Label::Address},
    {u"住所1", Label::Address},
    {u"住所１", Label::Address},
    {u"住所2", Label::Building},
    {u"住所２", Label::Building},
    {u"住所3", Label::Building},
    {u"市区町村", Label::Address},
    {u"市区町村名", Label::Address},
    {u"市区町村・番地", Label::Address},
    {u"市区郡町村", Label::Address},
    {u"番地", Label::Address},
    {u"町名番地", Label::Address},
    {u"町名・番地", Label::Address},
    {u"丁目番地", Label::Address},
    {u"所在地", Label::Address},
    {u"おところ", Label::Address},
    {u"address", Label::Address},
    {u"建物名", Label::Building},
    {u"建物", Label::Building},
    {u"建物名・部屋番号", Label::Building},
    {u"マンション名", Label::Building},
    {u"マンション名等", Label::Building},
    {u"建物名等", Label::Building},
    {u"アパート名", Label::Building},
    {u"ビル名", Label::Building},
    {u"部屋番号", Label::Building},
    {u"マンション・ビル名", Label::Building},
    {u"電話", Label::Tel},
    {u"電話番号", Label::Tel},
    {u"お電話", Label::Tel},
    {u"お電話番号", Label::Tel},
    {u"ご連絡先電話番号", Label::Tel},
    {u"でんわ", Label::Tel},
    {u"tel", Label::Tel},
    {u"tel/fax", Label::Tel},
    {u"tel・fax", Label::Tel},
    {u"℡", Label::Tel},
    {u"携帯", Label::Tel},
    {u"携帯電話", Label::Tel},
    {u"携帯番号", Label::Tel},
    {u"携帯電話番号", Label::Tel},
    {u"自宅", Label::Tel},
    {u"自宅電話", Label::Tel},
    {u"連絡先", Label::Tel},
    {u"ご連絡先", Label::Tel},
    {u"連絡先電話番号", Label::Tel},
    {u"日中連絡先", Label::Tel},
    {u"日中の連絡先", Label::Tel},
    {u"日中のご連絡先", Label::Tel},
    {u"緊急連絡先", Label::Tel},
    {u"phone", Label::Tel},
    {u"phone number", Label::Tel},
    {u"telephone", Label::Tel},
    {u"mobile", Label::Tel},
    {u"fax", Label::Fax},
    {u"ファックス", Label::Fax},
    {u"ファクス", Label::Fax},
    {u"fax番号", Label::Fax},
    {u"会社名", Label::Company},
    {u"貴社名", Label::Company},
    {u"御社名", Label::Company},
    {u"法人名", Label::Company},
    {u"団体名", Label::Company},
    {u"屋号", Label::Company},
    {u"会社", Label::Company},
    {u"店名", Label::Company},
    {u"学校名", Label::Company},
    {u"施設名", Label::Company},
    {u"部署", Label::Dept},
    {u"部署名", Label::Dept},
    {u"所属", Label::Dept},
    // Lines that are not the address: order, payment and mail data.
    {u"注文番号", Label::Drop},
    {u"ご注文番号", Label::Drop},
    {u"受注番号", Label::Drop},
    {u"受付番号", Label::Drop},
    // The shop's staff member who took an order by telephone.
    {u"受付", Label::Drop},
    {u"受付者", Label::Drop},
    {u"受付担当", Label::Drop},
    {u"受付担当者", Label::Drop},
    {u"注文日", Label::Drop},
    {u"ご注文日", Label::Drop},
    {u"注文日時", Label::Drop},
    {u"ご注文日時", Label::Drop},
    {u"会員番号", Label::Drop},
    {u"会員id", Label::Drop},
    {u"お客様番号", Label::Drop},
    {u"顧客番号", Label::Drop},
    {u"id", Label::Drop},
    {u"件名", Label::Drop},
    {u"subject", Label::Drop},
    {u"from", Label::Drop},
    {u"to", Label::Drop},
    {u"cc", Label::Drop},
    {u"bcc", Label::Drop},
    {u"date", Label::Drop},
    {u"sent", Label::Drop},
    {u"reply-to", Label::Drop},
    {u"送信日時", Label::Drop},
    {u"送信者", Label::Drop},
    {u"受信日時", Label::Drop},
    {u"日時", Label::Drop},
    {u"日付", Label::Drop},
    {u"メール", Label::Drop},
    {u"メールアドレス", Label::Drop},
    {u"e-mail", Label::Drop},
    {u"email", Label::Drop},
    {u"mail", Label::Drop},
    {u"pcメール", Label::Drop},
    {u"携帯メール", Label::Drop},
    {u"url", Label::Drop},
    {u"ホームページ", Label::Drop},
    {u"商品", Label::Drop},
    {u"商品名", Label::Drop},
    {u"商品番号", Label::Drop},
    {u"商品コード", Label::Drop},
    {u"品名", Label::Drop},
    {u"品番", Label::Drop},
    {u"型番", Label::Drop},
    {u"数量", Label::Drop},
    {u"個数", Label::Drop},
    {u"単価", Label::Drop},
    {u"価格", Label::Drop},
    {u"金額", Label::Drop},
    {u"小計", Label::Drop},
    {u"合計", Label::Drop},
    {u"合計金額", Label::Drop},
    {u"ご請求金額", Label::Drop},
    {u"請求金額", Label::Drop},
    {u"送料", Label::Drop},
    {u"手数料", Label::Drop},
    {u"消費税", Label::Drop},
    {u"支払方法", Label::Drop},
    {u"支払い方法", Label::Drop},
    {u"お支払い方法", Label::Drop},
    {u"お支払方法", Label::Drop},
    {u"お支払い", Label::Drop},
    {u"お支払", Label::Drop},
    {u"決済方法", Label::Drop},
    {u"配送方法", Label::Drop},
    {u"配送業者", Label::Drop},
    {u"お届け日", Label::Drop},
    {u"お届け希望日", Label::Drop},
    {u"お届け日時", Label::Drop},
    {u"お届け時間", Label::Drop},
    {u"お届け希望時間", Label::Drop},
    {u"配達希望日", Label::Drop},
    {u"配達日", Label::Drop},
    {u"配達時間", Label::Drop},
    {u"希望日", Label::Drop},
    {u"希望時間", Label::Drop},
    {u"時間帯", Label::Drop},
    {u"時間指定", Label::Drop},
    {u"発送日", Label::Drop},
    {u"発送予定日", Label::Drop},
    {u"出荷日", Label::Drop},
    {u"備考", Label::Drop},
    {u"通信欄", Label::Drop},
    {u"ご要望", Label::Drop},
    {u"メッセージ", Label::Drop},
    {u"メッセージカード", Label::Drop},
    {u"のし", Label::Drop},
    {u"熨斗", Label::Drop},
    {u"表書き", Label::Drop},
    {u"名入れ", Label::Drop},
    {u"ラッピング", Label::Drop},
    {u"包装", Label::Drop},
    {u"用途", Label::Drop},
    {u"性別", Label::Drop},
    {u"生年月日", Label::Drop},
    {u"年齢", Label::Drop},
    {u"伝票番号", Label::Drop},
    {u"お問い合わせ番号", Label::Drop},
    {u"追跡番号", Label::Drop},
    {u"ポイント", Label::Drop},
    {u"クーポン", Label::Drop},
    {u"振込先", Label::Drop},
    {u"サイズ", Label::Drop},
    {u"カラー", Label::Drop},
};

// Words that open the recipient's or the orderer's block.
constexpr Word kRecipientWords[] = {
    {u"お届け先", Label::None},     {u"お届先", Label::None},       {u"届け先", Label::None},
    {u"届先", Label::None},         {u"送付先", Label::None},       {u"ご送付先", Label::None},
    {u"送り先", Label::None},       {u"お送り先", Label::None},     {u"配送先", Label::None},
    {u"配達先", Label::None},       {u"発送先", Label::None},       {u"納品先", Label::None},
    {u"出荷先", Label::None},       {u"受取人", Label::None},       {u"お受取人", Label::None},
    {u"受け取り人", Label::None},   {u"お受け取り人", Label::None}, {u"受取り人", Label::None},
    {u"受取先", Label::None},       {u"贈り先", Label::None},       {u"お贈り先", Label::None},
    {u"ギフト送付先", Label::None}, {u"宛先", Label::None},         {u"shipping address", Label::None},
    {u"ship to", Label::None},
};
constexpr Word kOrdererWords[] = {
    {u"注文者", Label::None},     {u"ご注文者", Label::None},        {u"注文主", Label::None},
    {u"ご注文主", Label::None},   {u"ご依頼主", Label::None},        {u"依頼主", Label::None},
    {u"ご依頼人", Label::None},   {u"依頼人", Label::None},          {u"請求先", Label::None},
    {u"ご請求先", Label::None},   {u"購入者", Label::None},          {u"ご購入者", Label::None},
    {u"送り主", Label::None},     {u"贈り主", Label::None},          {u"差出人", Label::None},
    {u"発注者", Label::None},     {u"申込者", Label::None},          {u"お申込者", Label::None},
    {u"お申込み者", Label::None}, {u"お客様情報", Label::None},      {u"送り元", Label::None},
    {u"発送元", Label::None},     {u"billing address", Label::None},
};
// Headings of blocks that hold no address of the customer.
constexpr QStringView kOtherHeadings[] = {
    u"ご注文内容", u"注文内容",     u"ご注文商品", u"注文商品", u"ご購入商品",     u"購入商品",
    u"商品情報",   u"ご注文明細",   u"注文明細",   u"明細",     u"お買い上げ明細", u"ショップ情報",
    u"店舗情報",   u"販売店",       u"販売元",     u"発行元",   u"お問い合わせ",   u"お問合せ",
    u"問い合わせ", u"会社概要",     u"運営会社",   u"注意事項", u"特記事項",       u"お知らせ",
    u"ご請求金額", u"お支払い情報", u"お支払情報", u"決済情報", u"お届け日時",     u"ご注文情報",
};

constexpr QStringView kSameAs[] = {
    u"同上",           u"注文者と同じ", u"ご注文者と同じ", u"注文者様と同じ", u"ご注文者様と同じ",
    u"上記と同じ",     u"上記に同じ",   u"依頼主と同じ",   u"ご依頼主と同じ", u"購入者と同じ",
    u"ご購入者と同じ", u"請求先と同じ", u"注文者住所",     u"same as above",
};

// Sentence and greeting marks: such a line is never a name.
constexpr QStringView kSentenceWords[] = {
    u"。",       u"です",   u"ます",       u"ください",     u"下さい",     u"ました", u"ません", u"よろしく",
    u"宜しく",   u"お世話", u"ありがと",   u"有難",         u"いつも",     u"お願い", u"申し訳", u"失礼",
    u"拝啓",     u"敬具",   u"こんにちは", u"はじめまして", u"初めまして", u"承り",   u"ご確認", u"下記",
    u"以下",     u"上記",   u"について",   u"ので",         u"けど",       u"から",   u"!",      u"?",
    u"でしょう", u"ません", u"だけ",       u"ため",
};

// Lines of a shop's signature block.
constexpr QStringView kSignatureWords[] = {u"http", u"www.", u"営業時間", u"定休日", u"受付時間", u"copyright",
                                           u"©",    u"(c)",  u"運営会社", u"発行元", u"ショップ", u"ストア"};

constexpr QStringView kCorrectionWords[] = {u"訂正", u"間違", u"まちがえ", u"正しくは",
                                            u"修正", u"変更", u"やっぱり", u"やはり"};

// Words of a company, an office or a department.
constexpr QStringView kCompanyWords[] = {
    u"株式会社", u"有限会社", u"合同会社", u"合資会社",   u"(株)", u"(有)", u"㈱",       u"㈲",     u"法人",
    u"事務所",   u"医院",     u"病院",     u"クリニック", u"歯科", u"大学", u"学校",     u"幼稚園", u"保育園",
    u"役場",     u"役所",     u"協会",     u"組合",       u"商店", u"商事", u"工業",     u"製作所", u"研究所",
    u"支店",     u"営業所",   u"本社",     u"本店",       u"工場", u"御中", u"センター",
};
// Offices of a company that a line names without the company's own word.
constexpr QStringView kBranchWords[] = {u"支社", u"事業所", u"事業部", u"出張所"};
constexpr QStringView kDepartmentEnds[] = {u"部", u"課", u"係", u"室", u"科", u"店", u"センター", u"御中"};

// Words that never stand in a person's name.
constexpr QStringView kNotNameWords[] = {
    u"送料",         u"無料",       u"注文",     u"商品",       u"合計",     u"金額",     u"円",         u"発送",
    u"配送",         u"配達",       u"支払",     u"振込",       u"振替",     u"入金",     u"代引",       u"到着",
    u"予定",         u"希望",       u"指定",     u"時間",       u"午前",     u"午後",     u"以上",       u"確認",
    u"連絡",         u"返信",       u"メール",   u"お客様",     u"依頼",     u"お届け",   u"領収",       u"請求",
    u"内容",         u"数量",       u"税込",     u"税抜",       u"備考",     u"なし",     u"不要",       u"同上",
    u"同じ",         u"各位",       u"ショップ", u"ストア",     u"本日",     u"明日",     u"今日",       u"了解",
    u"承知",         u"記載",       u"住所",     u"電話",       u"番号",     u"郵便",     u"宅配",       u"ゆうパック",
    u"レターパック", u"クロネコ",   u"佐川",     u"ありがと",   u"こちら",   u"よろしく", u"お疲れ",     u"ギフト",
    u"プレゼント",   u"ラッピング", u"のし",     u"キャンセル", u"在庫",     u"個",       u"点",         u"枚",
    u"セット",       u"サイズ",     u"カラー",   u"様方",       u"気付",     u"転送",     u"メッセージ", u"元の",
    u"返品",         u"交換",       u"http",     u"www",        u"ポイント", u"会員",     u"ログイン",   u"代金",
    u"引換",         u"宅急便",     u"便",       u"祝",         u"中元",     u"歳暮",     u"御礼",       u"粗品",
    u"寸志",         u"自宅",       u"用",       u"携帯",       u"日中",     u"夜間",     u"平日",       u"土日",
    u"会社",         u"勤務先",     u"固定",     u"内線",       u"新規",     u"追加",     u"変更",       u"訂正",
    u"修正",         u"期限",       u"予約",     u"定期",       u"通常",     u"特急",     u"速達",       u"書留",
    u"お手数",       u"手数",       u"品物",     u"郵便局",
};

constexpr QStringView kHonorifics[] = {u"様宛", u"様",   u"さま", u"サマ",   u"殿",   u"御中",
                                       u"さん", u"宛て", u"宛",   u"ちゃん", u"くん", u"君"};

// Building words: a line or the rest of a line holding one is line 2.
constexpr QStringView kBuildingWords[] = {
    u"ビル",       u"ﾋﾞﾙ",        u"マンション", u"ﾏﾝｼｮﾝ",          u"ハイツ",   u"ﾊｲﾂ",      u"コーポ",
    u"アパート",   u"レジデンス", u"タワー",     u"ハウス",         u"ヒルズ",   u"パレス",   u"メゾン",
    u"カーサ",     u"シャトー",   u"ヴィラ",     u"コート",         u"プラザ",   u"ガーデン", u"テラス",
    u"ハイム",     u"荘",         u"寮",         u"号室",           u"号棟",     u"棟",       u"団地",
    u"住宅",       u"階",         u"フラット",   u"ドミール",       u"グラン",   u"ロイヤル", u"サンハイツ",
    u"ライオンズ", u"パーク",     u"ヒルズ",     u"レジデンシャル", u"アーバン", u"ステージ", u"スクエア",
    u"プレイス",   u"ルーム",     u"室",
};

// Whether text holds any of a table's words. Tables are indexed once by
// their first character, so a line is scanned once, not once per word.
template <const auto &words> bool containsAny(QStringView text)
{
    struct Index
    {
        QString firsts;
        QList<QList<QStringView>> byFirst;
    };
    static const Index index = [] {
        Index ix;
        for (QStringView w : words) {
            qsizetype k = ix.firsts.indexOf(w.front());
            if (k < 0) {
                ix.firsts += w.front();
                ix.byFirst.append(QList<QStringView>());
                k = ix.firsts.size() - 1;
            }
            ix.byFirst[k].append(w);
        }
        return ix;
    }();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype k = index.firsts.indexOf(text[i]);
        if (k < 0)
            continue;
        const QStringView rest = text.mid(i);
        for (QStringView w : index.byFirst[k]) {
            if (rest.startsWith(w))
                return true;
        }
    }
    return false;
}

const QHash<char16_t, QList<const Word *>> &labelIndex()
{
    static const QHash<char16_t, QList<const Word *>> index = [] {
        QHash<char16_t, QList<const Word *>> h;
        for (const Word &w : kLabels)
            h[w.text.front().unicode()].append(&w);
        for (auto &list : h)
            std::sort(list.begin(), list.end(),
                      [](const Word *a, const Word *b) { return a->text.size() > b->text.size(); });
        return h;
    }();
    return index;
}

} // namespace

bool isDataLabel(Label l)
{
    return l != Label::None && l != Label::Drop && l != Label::Fax && l != Label::Kana;
}

bool isDecoration(QChar c)
{
    static const QString marks =
        u"■□◆◇●○◎・★☆※▼▽▲△▶►◀〇*#=-_~+<>[]【】〔〕《》〈〉「」『』():|｜/\\━─═＿…♪♦◉◯✓✔➤→⇒：＝／＊＃（）＜＞［］≪≫«»"_s;
    return vuzo::IsWordBlank(c) || marks.contains(c);
}

QString keyOf(const QString &folded)
{
    QString k = folded;
    for (QChar &c : k) {
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return k;
}

bool isForwardMarker(QStringView key)
{
    return key.contains(u"forwarded message") || key.contains(u"original message") || key.contains(u"転送メッセージ") ||
           key.contains(u"元のメッセージ") || key.endsWith(u"wrote:") || key.endsWith(u"書きました:") ||
           key.endsWith(u"のメッセージ:");
}

Role roleWordAt(QStringView key, qsizetype &length)
{
    Role best = Role::None;
    length = 0;
    static const QString firstChars = [] {
        QString c;
        for (const Word &w : kRecipientWords)
            c += w.text.front();
        for (const Word &w : kOrdererWords)
            c += w.text.front();
        return c;
    }();
    if (key.isEmpty() || !firstChars.contains(key.front()))
        return best;
    for (const Word &w : kRecipientWords) {
        const QStringView v(w.text);
        if (v.size() > length && key.startsWith(v)) {
            length = v.size();
            best = Role::Recipient;
        }
    }
    for (const Word &w : kOrdererWords) {
        const QStringView v(w.text);
        if (v.size() > length && key.startsWith(v)) {
            length = v.size();
            best = Role::Orderer;
        }
    }
    return best;
}

qsizetype skipDecoration(QStringView s, qsizetype p)
{
    while (p < s.size() && isDecoration(s[p]))
        ++p;
    return p;
}

QString stripDecoration(QStringView s)
{
    qsizetype b = skipDecoration(s, 0);
    qsizetype e = s.size();
    while (e > b && isDecoration(s[e - 1]))
        --e;
    return s.mid(b, e - b).toString();
}

bool isHeadingRest(QStringView rest)
{
    QString r = stripDecoration(rest);
    // "お届け先1", "お届け先②": the first of several is as good a heading.
    while (!r.isEmpty() && (vuzo::IsAsciiDigit(r.back()) || vuzo::IsCircledNumber(r.back())))
        r.chop(1);
    r = stripDecoration(r);
    static const QStringList tails = {u""_s,         u"情報"_s,   u"様"_s,       u"様情報"_s,     u"の情報"_s,
                                      u"様の情報"_s, u"欄"_s,     u"について"_s, u"詳細"_s,       u"住所"_s,
                                      u"様ご住所"_s, u"ご住所"_s, u"の住所"_s,   u"様のご住所"_s, u"一覧"_s,
                                      u"内容"_s,     u"様へ"_s,   u"(ギフト)"_s};
    return tails.contains(r);
}

bool isValueSeparator(QChar c)
{
    static const QString seps = u":=]】>)》〉」』≫»〕\u3011"_s;
    return seps.contains(c) || vuzo::IsWordBlank(c);
}

LabelMatch labelAt(QStringView key, qsizetype p)
{
    LabelMatch m;
    if (p >= key.size())
        return m;
    const auto &index = labelIndex();
    const auto it = index.constFind(key[p].unicode());
    if (it == index.constEnd())
        return m;
    for (const Word *w : *it) {
        const QStringView word(w->text);
        if (!key.mid(p).startsWith(word))
            continue;
        Label label = w->label;
        qsizetype q = p + word.size();
        // Qualifier.
        if (q < key.size() && (key[q] == u'(' || key[q] == u'【' || key[q] == u'[' || key[q] == u'<')) {
            const QChar close = key[q] == u'(' ? u')' : key[q] == u'【' ? u'】' : key[q] == u'[' ? u']' : u'>';
            const qsizetype c = key.indexOf(close, q + 1);
            if (c > q && c - q <= 16 && !std::any_of(key.begin() + q, key.begin() + c, vuzo::IsAsciiDigit)) {
                const QStringView qual = key.mid(q + 1, c - q - 1);
                if (qual.contains(u"カナ") || qual.contains(u"かな") || qual.contains(u"フリガナ") ||
                    qual.contains(u"ふりがな") || qual.contains(u"読み") || qual.contains(u"ヨミ"))
                    label = Label::Kana;
                else if (label == Label::Name && qual == u"姓")
                    label = Label::Family;
                else if (label == Label::Name && qual == u"名")
                    label = Label::Given;
                else if (label == Label::Tel && qual.contains(u"fax") && !qual.contains(u"tel"))
                    label = Label::Fax;
                q = c + 1;
            }
        }
        const bool numberLabel = label == Label::Tel || label == Label::Zip || label == Label::Fax;
        qsizetype v = q;
        bool separated = false;
        while (v < key.size() && isValueSeparator(key[v])) {
            separated = true;
            ++v;
        }
        // Chat: "住所は…", "電話番号は…", "名前は…".
        if (!separated && v < key.size() && key[v] == u'は' && label != Label::Drop && label != Label::Family &&
            label != Label::Given && word.size() >= 2) {
            separated = true;
            ++v;
        }
        const bool atEnd = v >= key.size();
        const bool digitsNext = numberLabel && v < key.size() &&
                                (vuzo::IsAsciiDigit(key[v]) || key[v] == u'(' || key[v] == u'+' || key[v] == u'〒');
        // A single-character label (姓, 名, 〒) needs a separator or digits.
        if (word.size() == 1 && !separated && !digitsNext && !(word == u"〒"))
            continue;
        if (!separated && !atEnd && !digitsNext)
            continue;
        m.label = label;
        m.valueStart = v;
        m.matched = true;
        return m;
    }
    return m;
}

bool isSameAs(QStringView key)
{
    const QString s = stripDecoration(key);
    // "ご注文者住所と同じ", "上記に同じ": a value that only refers to another.
    if (s.size() <= 16 && (s.contains(u"同じ") || s.contains(u"同上")) &&
        !std::any_of(s.begin(), s.end(), vuzo::IsAsciiDigit))
        return true;
    for (QStringView w : kSameAs) {
        if (s.startsWith(QStringView(w)))
            return true;
    }
    return false;
}

bool isSentence(QStringView fold)
{
    if (hasSentenceWord(fold))
        return true;
    if (!(fold.endsWith(u'ね') || fold.endsWith(u'よ') || fold.endsWith(u'な')))
        return false;
    // "杉浦 あかね": a family name in kanji and a given name in kana end in
    // ね or な as often as a chat line does.
    const QStringList parts = vuzo::SplitAtWordBlanks(fold.toString());
    const bool name = parts.size() == 2 && parts[0].size() <= 4 &&
                      std::all_of(parts[0].begin(), parts[0].end(), vuzo::IsKanji) && parts[1].size() <= 4 &&
                      std::all_of(parts[1].begin(), parts[1].end(),
                                  [](QChar c) { return vuzo::IsHiragana(c) || vuzo::IsKatakana(c); });
    return !name;
}

bool isOtherHeading(QStringView key, qsizetype start)
{
    static const QString headingFirsts = [] {
        QString c;
        for (QStringView h : kOtherHeadings)
            c += h.front();
        return c;
    }();
    if (start >= key.size() || !headingFirsts.contains(key[start]))
        return false;
    for (QStringView h : kOtherHeadings) {
        if (key.mid(start).startsWith(h)) {
            const QStringView rest = key.mid(start + h.size());
            if (stripDecoration(rest).size() <= 4 && !std::any_of(rest.begin(), rest.end(), vuzo::IsAsciiDigit))
                return true;
        }
    }
    return false;
}

bool hasSentenceWord(QStringView text)
{
    return containsAny<kSentenceWords>(text);
}

bool hasSignatureWord(QStringView text)
{
    return containsAny<kSignatureWords>(text);
}

bool hasCorrectionWord(QStringView text)
{
    return containsAny<kCorrectionWords>(text);
}

bool hasNotNameWord(QStringView text)
{
    return containsAny<kNotNameWords>(text);
}

bool hasBuildingWord(QStringView text)
{
    return containsAny<kBuildingWords>(text);
}

bool hasKatakanaBuildingWord(QStringView text)
{
    return std::any_of(std::begin(kBuildingWords), std::end(kBuildingWords),
                       [&](QStringView w) { return vuzo::IsKatakana(w.front()) && text.contains(w); });
}

bool isCompanyLike(QStringView fold)
{
    if (containsAny<kCompanyWords>(fold) || containsAny<kBranchWords>(fold))
        return true;
    return false;
}

bool endsWithDepartmentWord(QStringView fold)
{
    return std::any_of(std::begin(kDepartmentEnds), std::end(kDepartmentEnds),
                       [&](QStringView e) { return fold.endsWith(e); });
}

std::span<const QStringView> honorifics()
{
    return kHonorifics;
}

bool hasContent(QStringView s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return !isDecoration(c) && c != u'、' && c != u','; });
}

} // namespace transfer::smart
