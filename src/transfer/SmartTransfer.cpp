#include "transfer/SmartTransfer.h"

#include "transfer/Judgements.h"
#include "transfer/PhoneNumbers.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <algorithm>
#include <array>

namespace transfer {

PostalLookup::~PostalLookup() = default;

namespace {

using namespace Qt::StringLiterals;

enum class Role : quint8
{
    None,
    Orderer,
    Recipient,
    Other
};

enum class Label : quint8
{
    None,
    Name,
    Family,
    Given,
    Kana,
    Zip,
    Pref,
    Address,
    Building,
    Tel,
    Fax,
    Company,
    Dept,
    Drop,
};

bool isDataLabel(Label l)
{
    return l != Label::None && l != Label::Drop && l != Label::Fax && l != Label::Kana;
}

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
    {u"ご担当者名", Label::Name},
    {u"ご担当者様", Label::Name},
    {u"ご担当者", Label::Name},
    {u"担当者名", Label::Name},
    {u"担当者", Label::Name},
    {u"ご担当", Label::Name},
    {u"担当", Label::Name},
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

constexpr QStringView kCorrectionWords[] = {u"訂正", u"間違", u"まちがえ", u"正しくは", u"修正", u"変更"};

// Words of a company, an office or a department.
constexpr QStringView kCompanyWords[] = {
    u"株式会社", u"有限会社", u"合同会社", u"合資会社",   u"(株)", u"(有)", u"㈱",       u"㈲",     u"法人",
    u"事務所",   u"医院",     u"病院",     u"クリニック", u"歯科", u"大学", u"学校",     u"幼稚園", u"保育園",
    u"役場",     u"役所",     u"協会",     u"組合",       u"商店", u"商事", u"工業",     u"製作所", u"研究所",
    u"支店",     u"営業所",   u"本社",     u"本店",       u"工場", u"御中", u"センター",
};
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

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c.unicode() == 0x3000 || c.unicode() == 0x00A0;
}

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool isKanjiNumeral(QChar c)
{
    static const QString k = u"一二三四五六七八九十〇"_s;
    return k.contains(c);
}

bool isKatakana(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x30A1 && u <= 0x30FA) || u == 0x30FC || (u >= 0xFF66 && u <= 0xFF9F);
}

bool isHiragana(QChar c)
{
    const char16_t u = c.unicode();
    return u >= 0x3041 && u <= 0x309F;
}

bool isKanji(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0xF900 && u <= 0xFAFF) ||
           u == 0x3005 || u == 0x3006 || u == 0x30F6 || u == 0x30F5;
}

bool isDecoration(QChar c)
{
    static const QString marks =
        u"■□◆◇●○◎・★☆※▼▽▲△▶►◀〇*#=-_~+<>[]【】〔〕《》〈〉「」『』():|｜/\\━─═＿…♪♦◉◯✓✔➤→⇒：＝／＊＃（）＜＞［］"_s;
    return isSpace(c) || marks.contains(c);
}

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

QString trimWide(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && (isSpace(s[b]) || s[b].unicode() < 0x20))
        ++b;
    while (e > b && (isSpace(s[e - 1]) || s[e - 1].unicode() < 0x20))
        --e;
    return s.mid(b, e - b).toString();
}

// Lower-cased ASCII over the folded form, for label words.
QString keyOf(const QString &folded)
{
    QString k = folded;
    for (QChar &c : k) {
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return k;
}

// ---------------------------------------------------------------- lines

struct Item
{
    QString raw;  // the line as written, trimmed, quote marks removed
    QString fold; // FoldForNumbers(raw)
    QString key;  // keyOf(fold)
    int quote = 0;
    Role forced = Role::None;
    bool cell = false;
    bool blank = false;
    bool separator = false;
};

bool isSeparatorLine(QStringView fold)
{
    int marks = 0;
    for (QChar c : fold) {
        if (isSpace(c))
            continue;
        if (!isDecoration(c) && c != u'-' && c != u'*')
            return false;
        ++marks;
    }
    return marks >= 2;
}

bool isForwardMarker(QStringView key)
{
    return key.contains(u"forwarded message") || key.contains(u"original message") || key.contains(u"転送メッセージ") ||
           key.contains(u"元のメッセージ") || key.endsWith(u"wrote:") || key.endsWith(u"書きました:") ||
           key.endsWith(u"のメッセージ:");
}

// The text without lone surrogates, which no field can show.
QString withoutLoneSurrogates(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            out += c;
            out += s[++i];
        } else if (!c.isSurrogate()) {
            out += c;
        }
    }
    return out;
}

Item makeItem(const QString &raw, int quote)
{
    Item it;
    it.raw = trimWide(withoutLoneSurrogates(raw));
    it.fold = FoldForNumbers(it.raw);
    it.key = keyOf(it.fold);
    it.quote = quote;
    it.blank = it.raw.isEmpty();
    it.separator = !it.blank && (isSeparatorLine(it.fold) || isForwardMarker(it.key));
    return it;
}

// Display columns of a character in a monospaced transcription.
int columnsOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x1100 || (u >= 0xFF61 && u <= 0xFF9F))
        return 1;
    return 2;
}

struct Cell
{
    QString text;
    int column = 0;
};

// Cells of a line separated by tabs, runs of two or more blanks, or bars.
QList<Cell> cellsOf(const QString &line)
{
    QList<Cell> cells;
    int column = 0;
    QString current;
    int currentColumn = 0;
    qsizetype i = 0;
    auto flush = [&] {
        const QString t = trimWide(current);
        if (!t.isEmpty())
            cells.append({t, currentColumn});
        current.clear();
    };
    while (i < line.size()) {
        const QChar c = line[i];
        qsizetype j = i;
        int gapColumns = 0;
        while (j < line.size() && isSpace(line[j])) {
            gapColumns += line[j] == u'\t' ? 8 : columnsOf(line[j]);
            ++j;
        }
        const bool tab = line.mid(i, j - i).contains(u'\t');
        if (j > i && (gapColumns >= 3 || tab || j - i >= 2)) {
            flush();
            column += gapColumns;
            i = j;
            currentColumn = column;
            continue;
        }
        if (c == u'|' || c == u'｜' || c == u'│') {
            flush();
            column += 1;
            ++i;
            currentColumn = column;
            continue;
        }
        if (current.isEmpty())
            currentColumn = column;
        current += c;
        column += columnsOf(c);
        ++i;
    }
    flush();
    return cells;
}

// The role word a text begins with (after decorations), its length, or None.
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

// Is text (decorations stripped) nothing but a heading word with a usual tail?
bool isHeadingRest(QStringView rest)
{
    QString r = stripDecoration(rest);
    // "お届け先1", "お届け先②": the first of several is as good a heading.
    while (!r.isEmpty() && (isDigit(r.back()) || (r.back().unicode() >= 0x2460 && r.back().unicode() <= 0x2473)))
        r.chop(1);
    r = stripDecoration(r);
    static const QStringList tails = {u""_s,         u"情報"_s,   u"様"_s,       u"様情報"_s,     u"の情報"_s,
                                      u"様の情報"_s, u"欄"_s,     u"について"_s, u"詳細"_s,       u"住所"_s,
                                      u"様ご住所"_s, u"ご住所"_s, u"の住所"_s,   u"様のご住所"_s, u"一覧"_s,
                                      u"内容"_s,     u"様へ"_s,   u"(ギフト)"_s};
    return tails.contains(r);
}

struct LabelMatch
{
    Label label = Label::None;
    qsizetype valueStart = 0;
    bool matched = false;
};

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

bool isValueSeparator(QChar c)
{
    static const QString seps = u":=]】>)》〉」』\u3011"_s;
    return seps.contains(c) || isSpace(c);
}

// A label at position p of key: the label word, an optional qualifier in
// brackets ("お名前(フリガナ)", "電話(携帯)"), then a separator, the end of the
// line, or digits for a number label.
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
            if (c > q && c - q <= 16 && !std::any_of(key.begin() + q, key.begin() + c, isDigit)) {
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
        const bool digitsNext =
            numberLabel && v < key.size() && (isDigit(key[v]) || key[v] == u'(' || key[v] == u'+' || key[v] == u'〒');
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

struct Parsed
{
    Role role = Role::None; // role the line itself names, None if none
    bool heading = false;   // a heading line: sets the block for the following lines
    bool otherHeading = false;
    Label label = Label::None;
    qsizetype valueStart = 0; // where the value begins in raw
    bool sameAs = false;
};

bool isSameAs(QStringView key)
{
    const QString s = stripDecoration(key);
    // "ご注文者住所と同じ", "上記に同じ": a value that only refers to another.
    if (s.size() <= 16 && (s.contains(u"同じ") || s.contains(u"同上")) && !std::any_of(s.begin(), s.end(), isDigit))
        return true;
    for (QStringView w : kSameAs) {
        if (s.startsWith(QStringView(w)))
            return true;
    }
    return false;
}

Parsed parse(const Item &it)
{
    Parsed p;
    const QStringView key(it.key);
    const qsizetype start = skipDecoration(key, 0);
    // Mail header lines carry addresses of mailboxes, never of the customer.
    if (key.contains(u'@') || key.contains(u"http://") || key.contains(u"https://") || key.contains(u"www.")) {
        const LabelMatch lm = labelAt(key, start);
        qsizetype rl = 0;
        const Role r = roleWordAt(key.mid(start), rl);
        if ((lm.matched && (lm.label == Label::Drop || lm.label == Label::None)) || r != Role::None || !lm.matched) {
            p.label = Label::Drop;
            // A web or mail address inside a data line is cut out later; a line
            // that is only a mail header or an address is dropped.
            if (lm.matched && isDataLabel(lm.label)) {
                p.label = lm.label;
                p.valueStart = lm.valueStart;
            }
            return p;
        }
    }
    qsizetype roleLength = 0;
    const Role role = roleWordAt(key.mid(start), roleLength);
    if (role != Role::None) {
        qsizetype q = start + roleLength;
        // "お届け先様のお名前", "配送先 電話番号", "ご依頼主・住所"
        qsizetype r = q;
        while (r < key.size() && (key[r] == u'様' || key[r] == u'の' || key[r] == u'・' || key[r] == u'/' ||
                                  isSpace(key[r]) || key[r] == u'ご' || key[r] == u'お'))
            ++r;
        // The polite prefix belongs to the label: step back over it.
        while (r > q && (key[r - 1] == u'ご' || key[r - 1] == u'お'))
            --r;
        const LabelMatch lm = labelAt(key, r);
        if (lm.matched && lm.label != Label::Drop) {
            p.role = role;
            p.label = lm.label;
            p.valueStart = lm.valueStart;
            if (p.valueStart >= key.size())
                p.heading = true; // "お届け先お名前:" with the value on the next line
            p.sameAs = isSameAs(key.mid(p.valueStart));
            return p;
        }
        if (!lm.matched) {
            const QStringView rest = key.mid(q);
            if (isHeadingRest(rest)) {
                p.role = role;
                p.heading = true;
                return p;
            }
            qsizetype v = q;
            bool separated = false;
            while (v < key.size() && isValueSeparator(key[v])) {
                separated = true;
                ++v;
            }
            if (separated) {
                p.role = role;
                p.valueStart = v;
                p.sameAs = isSameAs(key.mid(v));
                return p;
            }
        }
    }
    // "ギフトのお届け先", "今回の送り先": a role word at the end of a short heading.
    if (key.size() - start <= 16 && !std::any_of(key.begin(), key.end(), isDigit)) {
        for (qsizetype at = start + 1; at < key.size(); ++at) {
            qsizetype len = 0;
            const Role r = roleWordAt(key.mid(at), len);
            if (r != Role::None && isHeadingRest(key.mid(at + len)) && !key.mid(start, at - start).contains(u':')) {
                p.role = r;
                p.heading = true;
                return p;
            }
        }
    }
    // Headings of blocks without the customer's address.
    static const QString headingFirsts = [] {
        QString c;
        for (QStringView h : kOtherHeadings)
            c += h.front();
        return c;
    }();
    for (QStringView h : kOtherHeadings) {
        if (start >= key.size() || !headingFirsts.contains(key[start]))
            break;
        const QStringView hv(h);
        if (key.mid(start).startsWith(hv)) {
            const QStringView rest = key.mid(start + hv.size());
            if (stripDecoration(rest).size() <= 4 && !std::any_of(rest.begin(), rest.end(), isDigit)) {
                p.heading = true;
                p.otherHeading = true;
                return p;
            }
        }
    }
    const LabelMatch lm = labelAt(key, start);
    if (lm.matched) {
        p.label = lm.label;
        p.valueStart = lm.valueStart;
        if (stripDecoration(key.mid(lm.valueStart)).isEmpty())
            p.heading = true;
        return p;
    }
    p.valueStart = start;
    return p;
}

// ---------------------------------------------------------------- fields

struct Name
{
    QString text;
    int score = -1;
};

struct Fields
{
    QString zip;           // NNN-NNNN
    QString tel;           // formatted
    QStringList address;   // address pieces in order (prefecture first)
    QStringList buildings; // building and room pieces
    QStringList company;   // company and department
    QString careOf;
    Name name;
    QString family, given;
    bool sameAs = false;
    bool runOpen = false; // the last content line added to the address
    bool addressClosed = false;
    bool unlock = false; // a correction: the next values replace the earlier ones

    bool hasAddress() const { return !zip.isEmpty() || !address.isEmpty(); }
    bool empty() const
    {
        return zip.isEmpty() && tel.isEmpty() && address.isEmpty() && buildings.isEmpty() && name.text.isEmpty() &&
               family.isEmpty() && given.isEmpty() && company.isEmpty() && careOf.isEmpty();
    }
};

bool isSentence(QStringView fold)
{
    if (containsAny<kSentenceWords>(fold))
        return true;
    return fold.endsWith(u'ね') || fold.endsWith(u'よ') || fold.endsWith(u'な');
}

const QSet<QStringView> &prefectureSet()
{
    static const QSet<QStringView> set = [] {
        QSet<QStringView> names;
        for (const QString &p : PrefectureNames())
            names.insert(p);
        return names;
    }();
    return set;
}

// The length of the prefecture name that ends at position end - 1, or 0.
qsizetype prefectureEndingAt(QStringView s, qsizetype end)
{
    for (qsizetype len : {3, 4}) {
        if (end >= len && prefectureSet().contains(s.mid(end - len, len)))
            return len;
    }
    return 0;
}

bool startsWithPrefecture(QStringView s)
{
    return prefectureEndingAt(s.left(3), 3) > 0 || prefectureEndingAt(s.left(4), 4) > 0;
}

// The position of the first prefecture name in s, or -1. Every name ends in
// 都, 道, 府 or 県.
qsizetype prefectureIndex(QStringView s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c != u'都' && c != u'道' && c != u'府' && c != u'県')
            continue;
        if (const qsizetype len = prefectureEndingAt(s, i + 1))
            return i + 1 - len;
    }
    return -1;
}

bool hasStreetNumber(QStringView fold)
{
    return std::any_of(fold.begin(), fold.end(), isDigit) || fold.contains(u"丁目") || fold.contains(u"番地") ||
           fold.contains(u"番") || fold.contains(u"号");
}

// A municipality word (市 区 町 村 郡) near the start of the text.
bool hasMunicipality(QStringView fold)
{
    const QStringView head = fold.left(14);
    for (QChar c : head) {
        if (c == u'市' || c == u'区' || c == u'町' || c == u'村' || c == u'郡')
            return true;
    }
    return false;
}

bool isAddressLike(QStringView fold)
{
    if (fold.size() < 4)
        return false;
    if (startsWithPrefecture(fold))
        return true;
    if (hasMunicipality(fold) && hasStreetNumber(fold))
        return true;
    return false;
}

bool isBuildingLike(QStringView fold)
{
    if (containsAny<kBuildingWords>(fold))
        return true;
    // "101", "#203", "5F", "B-201": a room or floor alone.
    const QString t = stripDecoration(fold);
    if (t.isEmpty() || t.size() > 8)
        return false;
    bool digit = false;
    for (QChar c : t) {
        if (isDigit(c))
            digit = true;
        else if (!(c == u'-' || c == u'#' || c == u'F' || c == u'f' || (c.unicode() < 0x80 && c.isLetter())))
            return false;
    }
    return digit;
}

bool isCompanyLike(QStringView fold)
{
    if (containsAny<kCompanyWords>(fold))
        return true;
    return false;
}

bool isEmojiOrSymbol(char32_t u)
{
    return (u >= 0x1F000 && u <= 0x1FAFF) || (u >= 0x2600 && u <= 0x27BF) || (u >= 0x2B00 && u <= 0x2BFF) ||
           (u >= 0x2190 && u <= 0x21FF) || (u >= 0x25A0 && u <= 0x25FF) || (u >= 0xFE00 && u <= 0xFE0F) ||
           u == 0x200D || u == 0x3030 || u == 0x303D || u == 0x2605 || u == 0x2606 || u == 0x266A || u == 0x2661 ||
           u == 0x2665 || u == 0x20E3 || (u >= 0xE0000 && u <= 0xE007F) || (u >= 0xE000 && u <= 0xF8FF);
}

// Removes emoji, symbols, lone surrogates and control characters; keeps
// characters outside the BMP that are kanji (𠮷).
QString withoutEmoji(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            const char32_t u = QChar::surrogateToUcs4(c, s[i + 1]);
            if (u >= 0x20000 && u <= 0x3FFFF) {
                out += c;
                out += s[i + 1];
            }
            ++i;
            continue;
        }
        if (c.isSurrogate() || c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0) ||
            c.unicode() == 0xFFFD || isEmojiOrSymbol(c.unicode()))
            continue;
        out += c;
    }
    return out;
}

bool isKanaOnly(QStringView s)
{
    bool any = false;
    for (QChar c : s) {
        if (isSpace(c) || c == u'・')
            continue;
        if (!isKatakana(c) && !isHiragana(c))
            return false;
        any = true;
    }
    return any;
}

bool hasKanji(QStringView s)
{
    return std::any_of(s.begin(), s.end(), isKanji);
}

// Brackets and what they hold when it is a reading, a note or a decoration:
// "山田太郎（ヤマダタロウ）" -> "山田太郎"; "ヤマダ（山田）" -> "山田".
QString withoutBrackets(const QString &s)
{
    static const QString open = u"(（【[〔《〈「『<"_s;
    static const QString close = u")）】]〕》〉」』>"_s;
    QString out = s;
    for (int guard = 0; guard < 8; ++guard) {
        qsizetype o = -1;
        qsizetype k = 0;
        for (qsizetype i = 0; i < out.size(); ++i) {
            k = open.indexOf(out[i]);
            if (k >= 0) {
                o = i;
                break;
            }
        }
        if (o < 0)
            break;
        qsizetype c = out.indexOf(close[k], o + 1);
        if (c < 0)
            c = out.size() - 1;
        const QString inside = out.mid(o + 1, c - o - 1);
        const QString outside = out.left(o) + out.mid(c + 1);
        if ((out[o] == u'「' || out[o] == u'『') && !isKanaOnly(inside))
            out = out.left(o) + inside + out.mid(c + 1);
        else if (isKanaOnly(outside) && hasKanji(inside))
            out = inside;
        else
            out = outside;
    }
    return out;
}

QString stripHonorific(QString s)
{
    for (int guard = 0; guard < 4; ++guard) {
        s = trimWide(s);
        bool changed = false;
        for (QStringView h : kHonorifics) {
            const QStringView hv(h);
            if (s.size() > hv.size() && s.endsWith(hv)) {
                s.chop(hv.size());
                changed = true;
                break;
            }
        }
        if (!changed)
            break;
    }
    return trimWide(s);
}

bool hasHonorific(QStringView s)
{
    const QString t = trimWide(s);
    return t.endsWith(u'様') || t.endsWith(u"さま") || t.endsWith(u'殿') || t.endsWith(u"さん");
}

// One space between the parts of a name: U+3000 between Japanese parts, a
// blank between Latin ones.
QString joinNameParts(const QStringList &parts)
{
    bool ascii = true;
    for (const QString &p : parts) {
        for (QChar c : p) {
            if (c.unicode() >= 0x80)
                ascii = false;
        }
    }
    return parts.join(ascii ? u' ' : QChar(0x3000));
}

QString cleanName(const QString &raw)
{
    QString s = withoutEmoji(raw);
    s = withoutBrackets(s);
    // Decorations and separators around it.
    s = stripDecoration(s);
    s = stripHonorific(s);
    QStringList parts;
    QString cur;
    for (QChar c : std::as_const(s)) {
        if (isSpace(c)) {
            if (!cur.isEmpty())
                parts << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.isEmpty())
        parts << cur;
    // Titles before or after the name: "部長 大阪 一郎", "大阪 一郎 店長".
    static const QStringList titles = {u"代表取締役"_s, u"取締役"_s, u"代表"_s,   u"社長"_s, u"部長"_s, u"課長"_s,
                                       u"係長"_s,       u"主任"_s,   u"店長"_s,   u"院長"_s, u"所長"_s, u"支店長"_s,
                                       u"専務"_s,       u"常務"_s,   u"理事長"_s, u"教授"_s, u"先生"_s, u"担当"_s};
    while (parts.size() > 1 && titles.contains(parts.first()))
        parts.removeFirst();
    while (parts.size() > 1 && titles.contains(parts.last()))
        parts.removeLast();
    // A lone honorific left as its own part ("山田 太郎 様").
    while (!parts.isEmpty() && std::any_of(std::begin(kHonorifics), std::end(kHonorifics),
                                           [&](QStringView h) { return parts.last() == QStringView(h); }))
        parts.removeLast();
    return joinNameParts(parts);
}

bool isNameLike(const QString &name)
{
    if (name.size() < 2 || name.size() > 40)
        return false;
    int letters = 0;
    for (QChar c : name) {
        if (isSpace(c) || c == u'・' || c == u'.' || c == u'-' || c == u'\'')
            continue;
        if (isKanji(c) || isKatakana(c) || isHiragana(c) || (c.unicode() < 0x80 && c.isLetter()) || c.isSurrogate()) {
            ++letters;
            continue;
        }
        return false;
    }
    if (letters < 2)
        return false;
    if (containsAny<kNotNameWords>(QStringView(name)) || isCompanyLike(name))
        return false;
    if (name == u"記"_s || name == u"日本"_s || name == u"Japan"_s || name == u"JAPAN"_s || startsWithPrefecture(name))
        return false;
    // A Latin text is a name only as two or three capitalised words.
    if (std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; })) {
        const QStringList words = name.split(u' ', Qt::SkipEmptyParts);
        if (words.size() < 2 || words.size() > 3)
            return false;
        for (const QString &w : words) {
            if (!w.front().isUpper())
                return false;
        }
    }
    // Hiragana only: a word of a sentence far more often than a name.
    if (std::all_of(name.begin(), name.end(), [](QChar c) { return isHiragana(c); }))
        return false;
    return true;
}

void offerName(Fields &f, const QString &cleaned, int score)
{
    if (cleaned.isEmpty())
        return;
    // A name after the postal code or the address belongs to them more
    // surely than a salutation above them.
    if (score < 100 && (!f.zip.isEmpty() || !f.address.isEmpty()))
        score += 15;
    if (isKanaOnly(cleaned))
        score -= 30; // a reading: only when there is no written name
    if (f.unlock && score >= 0) {
        f.name = {cleaned, score};
        return;
    }
    if (score > f.name.score)
        f.name = {cleaned, score};
}

// Separators left at the ends of a value once its labels and numbers are
// cut out ("東京都港区芝1-2-3　TEL：" loses "TEL" and then "：").
QString trimSeparators(const QString &s)
{
    static const QString seps = u":：/／、,，;；"_s;
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && (isSpace(s[b]) || seps.contains(s[b]) || s[b].unicode() < 0x20))
        ++b;
    while (e > b && (isSpace(s[e - 1]) || seps.contains(s[e - 1]) || s[e - 1].unicode() < 0x20))
        --e;
    return s.mid(b, e - b);
}

void addAddress(Fields &f, const QString &piece)
{
    const QString t = trimSeparators(piece);
    if (t.isEmpty())
        return;
    if (f.unlock) {
        f.address.clear();
        f.buildings.clear();
        f.addressClosed = false;
        f.unlock = false;
    }
    f.address << t;
    f.runOpen = true;
}

// What is left of a value once its numbers, their labels and mail or web
// addresses are cut out.
QString cutNumbers(const Item &it, qsizetype from, NumberContext context, Fields &f, bool faxLine)
{
    // A "+81" or "(" that the line's bullets swallowed belongs to the number.
    while (from > 0 && (it.fold[from - 1] == u'+' || it.fold[from - 1] == u'(' || it.fold[from - 1] == u' '))
        --from;
    const QStringView fold = QStringView(it.fold).mid(from);
    const QList<NumberMatch> numbers = FindNumbers(fold, context);
    QString rest;
    qsizetype last = 0;
    const QStringView key = QStringView(it.key).mid(from);
    for (const NumberMatch &m : numbers) {
        rest += QStringView(it.raw).mid(from + last, m.start - last);
        rest += u' ';
        last = m.end;
        if (m.kind == NumberMatch::PostalCode) {
            if (f.zip.isEmpty() || f.unlock)
                f.zip = m.value;
            continue;
        }
        // The label just before the number tells a fax from a telephone.
        const QStringView before = key.mid(std::max<qsizetype>(0, m.start - 12), std::min<qsizetype>(12, m.start));
        const qsizetype faxAt = std::max(before.lastIndexOf(u"fax"), before.lastIndexOf(u"ファ"));
        const qsizetype telAt =
            std::max({before.lastIndexOf(u"tel"), before.lastIndexOf(u"電話"), before.lastIndexOf(u"携帯")});
        const bool fax = faxAt >= 0 ? faxAt > telAt : (faxLine && telAt < 0);
        if (fax)
            continue;
        if (f.tel.isEmpty() || f.unlock)
            f.tel = m.value;
    }
    rest += QStringView(it.raw).mid(from + last);
    // Mail and web addresses, token by token.
    QStringList tokens;
    QString cur;
    auto flush = [&] {
        if (!cur.isEmpty()) {
            const QString k = keyOf(FoldForNumbers(cur));
            if (!k.contains(u'@') && !k.contains(u"http") && !k.contains(u"www."))
                tokens << cur;
        }
        cur.clear();
    };
    for (QChar c : std::as_const(rest)) {
        if (isSpace(c)) {
            flush();
            tokens << QString(c);
        } else {
            cur += c;
        }
    }
    flush();
    QString out = tokens.join(QString());
    // Labels of numbers left standing beside them.
    static const QStringList numberWords = {u"TEL/FAX"_s,  u"TEL"_s,      u"Tel"_s,    u"tel"_s,    u"ＴＥＬ"_s,
                                            u"Ｔｅｌ"_s,   u"電話番号"_s, u"電話"_s,   u"携帯"_s,   u"自宅"_s,
                                            u"FAX"_s,      u"Fax"_s,      u"ＦＡＸ"_s, u"℡"_s,      u"〒"_s,
                                            u"郵便番号"_s, u"PHONE"_s,    u"Phone"_s,  u"MOBILE"_s, u"Mobile"_s};
    if (!numbers.isEmpty()) {
        for (const QString &w : numberWords)
            out.replace(w, u" "_s);
    }
    return out;
}

// Does text carry something besides blanks, brackets and separators?
bool hasContent(QStringView s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return !isDecoration(c) && c != u'、' && c != u','; });
}

// An address at the start of a text that goes on with a name after a blank and
// an honorific: "東京都港区芝1-2-3 山田太郎様".
void splitAtStreetNumber(const QString &address, QString &line1, QString &line2);

void splitTrailingName(const QString &text, QString &address, QString &name)
{
    address = text;
    name.clear();
    const QString t = trimWide(text);
    if (!hasHonorific(t)) {
        // "東京都…1-2-3 山田太郎": after the street number and a blank, a
        // name without digits or building words.
        QString line1;
        QString line2;
        splitAtStreetNumber(t, line1, line2);
        if (line2.startsWith(u"の ") || line2.startsWith(u"の\u3000"))
            line2 = trimWide(QStringView(line2).mid(2));
        const QString fold2 = FoldForNumbers(line2);
        if (!line2.isEmpty() && t.size() > line1.size() && isSpace(t[line1.size()]) && !isBuildingLike(fold2) &&
            isNameLike(cleanName(line2))) {
            address = line1;
            name = line2;
        }
        return;
    }
    QStringList parts;
    QList<qsizetype> starts;
    qsizetype i = 0;
    while (i < t.size()) {
        while (i < t.size() && isSpace(t[i]))
            ++i;
        const qsizetype b = i;
        while (i < t.size() && !isSpace(t[i]))
            ++i;
        if (i > b) {
            parts << t.mid(b, i - b);
            starts << b;
        }
    }
    // The name is the last one to three parts that have no digit.
    qsizetype k = parts.size();
    while (k > 0 && parts.size() - k < 3 &&
           !std::any_of(parts[k - 1].begin(), parts[k - 1].end(),
                        [](QChar c) { return isDigit(FoldForNumbers(QString(c)).front()); }) &&
           !isBuildingLike(FoldForNumbers(parts[k - 1])) && !isAddressLike(FoldForNumbers(parts[k - 1])))
        --k;
    if (k == 0 || k == parts.size())
        return;
    address = t.left(starts[k]);
    name = t.mid(starts[k]);
}

void classifyFree(Fields &f, const QString &raw, bool cell);
void takeItem(Fields &f, const Item &it, const Parsed &p);

// Where a city name followed by a street number begins in a sentence: the
// kanji run before the first 市 (or 区, 町, 村, 郡) that has a digit after it.
qsizetype cityStart(QStringView fold)
{
    for (qsizetype i = 1; i < fold.size(); ++i) {
        const QChar c = fold[i];
        if (c != u'市' && c != u'区' && c != u'町' && c != u'村' && c != u'郡')
            continue;
        qsizetype b = i;
        while (b > 0 && isKanji(fold[b - 1]))
            --b;
        if (b == i || i - b > 4)
            continue;
        const QStringView after = fold.mid(i, 24);
        if (std::any_of(after.begin(), after.end(), isDigit))
            return b;
    }
    return -1;
}

// A company line, with the person after it when one is named:
// "株式会社架空商事 総務部 山田太郎様".
void offerCompany(Fields &f, const QString &raw)
{
    const QString t = withoutEmoji(trimWide(raw));
    QStringList parts;
    {
        QString cur;
        for (QChar c : t) {
            if (isSpace(c)) {
                if (!cur.isEmpty())
                    parts << cur;
                cur.clear();
            } else {
                cur += c;
            }
        }
        if (!cur.isEmpty())
            parts << cur;
    }
    qsizetype lastCompany = -1;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString fold = FoldForNumbers(parts[i]);
        if (isCompanyLike(fold) || std::any_of(std::begin(kDepartmentEnds), std::end(kDepartmentEnds),
                                               [&](QStringView e) { return fold.endsWith(QStringView(e)); }))
            lastCompany = i;
    }
    if (lastCompany >= 0 && lastCompany + 1 < parts.size()) {
        const QString person = cleanName(parts.mid(lastCompany + 1).join(u' '));
        if (isNameLike(person)) {
            offerName(f, person, hasHonorific(t) ? 46 : 45);
            parts = parts.mid(0, lastCompany + 1);
        }
    }
    QString company = parts.join(QChar(0x3000));
    if (company.endsWith(u"御中"))
        company = trimWide(company.chopped(2));
    if (!company.isEmpty())
        f.company << company;
}

// A line (or what is left of it) without a label.
void classifyFree(Fields &f, const QString &raw, bool cell)
{
    QString text = trimWide(raw);
    if (text.isEmpty())
        return;
    const QString fold = FoldForNumbers(text);
    const qsizetype lead = skipDecoration(fold, 0);
    text = text.mid(lead);
    const QString tf = fold.mid(lead);
    if (!hasContent(tf))
        return;

    // A second label inside a line: "電話：090-…　住所：東京都…".
    if (const LabelMatch lm = labelAt(keyOf(tf), 0); lm.matched && lm.valueStart > 0 && lm.label != Label::Drop) {
        const Item it = makeItem(text, 0);
        if (it.raw.size() == text.size()) {
            Parsed p;
            p.label = lm.label;
            p.valueStart = lm.valueStart;
            takeItem(f, it, p);
            return;
        }
    }

    if (isSentence(tf)) {
        // "住所は東京都…です", "名前は山田花子です", "山田と申します".
        static const QStringList ends = {u"です"_s, u"でお願い"_s, u"まで"_s,   u"へ"_s,     u"に送"_s,
                                         u"にお"_s, u"。"_s,       u"、"_s,     u"!"_s,      u"でし"_s,
                                         u"にな"_s, u"宛"_s,       u"で "_s,    u"でよろ"_s, u"だよ"_s,
                                         u"だね"_s, u"だ。"_s,     u"となり"_s, u"にて"_s};
        auto cutAtEnd = [&](qsizetype from) {
            qsizetype e = tf.size();
            for (const QString &w : ends) {
                const qsizetype k = tf.indexOf(w, from);
                if (k >= 0 && k < e)
                    e = k;
            }
            return text.mid(from, e - from);
        };
        const qsizetype p = prefectureIndex(tf);
        if (p >= 0 && !f.addressClosed) {
            QString addr = cutAtEnd(p);
            QString name;
            splitTrailingName(addr, addr, name);
            addAddress(f, addr);
            if (!name.isEmpty())
                offerName(f, cleanName(name), 60);
        } else if (const qsizetype c = cityStart(tf); c >= 0 && !f.addressClosed) {
            // "…同じで、京都市北区金閣寺町1 の 金田です": a city without its
            // prefecture (the dictionary adds it).
            QString addr = cutAtEnd(c);
            QString name;
            splitTrailingName(addr, addr, name);
            addAddress(f, addr);
            if (!name.isEmpty())
                offerName(f, cleanName(name), 50);
        } else if (const qsizetype a = tf.indexOf(u"住所は"); a >= 0 && !f.addressClosed) {
            const QString addr = cutAtEnd(a + 3);
            if (isAddressLike(FoldForNumbers(addr)))
                addAddress(f, addr);
        }
        for (const QString &w : {u"名前は"_s, u"宛名は"_s, u"氏名は"_s}) {
            const qsizetype n = tf.indexOf(w);
            if (n >= 0) {
                const QString name = cleanName(cutAtEnd(n + w.size()));
                if (isNameLike(name))
                    offerName(f, name, 90);
            }
        }
        // "山田 恵子です。": a name that introduces the writer.
        for (qsizetype d = tf.indexOf(u"です"); d > 0; d = tf.indexOf(u"です", d + 2)) {
            qsizetype b = d;
            while (b > 0 && tf[b - 1] != u'。' && tf[b - 1] != u'、' && tf[b - 1] != u':' && tf[b - 1] != u']' &&
                   tf[b - 1] != u'!' && tf[b - 1] != u'は' && tf[b - 1] != u'が')
                --b;
            if (d - b > 12)
                continue;
            const QString name = cleanName(text.mid(b, d - b));
            if (isNameLike(name))
                offerName(f, name, 35);
        }
        const qsizetype m = tf.indexOf(u"と申します");
        if (m > 0) {
            qsizetype b = m;
            while (b > 0 && !isSpace(tf[b - 1]) && tf[b - 1] != u'、' && tf[b - 1] != u'。' && tf[b - 1] != u':' &&
                   tf[b - 1] != u'は')
                --b;
            const QString name = cleanName(text.mid(b, m - b));
            if (isNameLike(name))
                offerName(f, name, 30);
        }
        return;
    }

    // 様方 / 気付 / c/o: the household or office the mail goes through.
    for (const QString &w : {u"様方"_s, u"気付"_s}) {
        const qsizetype k = tf.indexOf(w);
        if (k > 0) {
            // "東京都…1-2-3 鈴木様方": the address before the household name.
            qsizetype b = k;
            while (b > 0 && !isSpace(tf[b - 1]))
                --b;
            // "吉田 正男 様方": the whole household name before the mark.
            if (isNameLike(cleanName(text.left(k))) || (b == k && prefectureIndex(tf.left(k)) < 0))
                b = 0;
            const QString before = text.left(b);
            const QString after = text.mid(k + w.size());
            f.careOf = trimWide(text.mid(b, k + w.size() - b));
            if (hasContent(before))
                classifyFree(f, before, cell);
            if (hasContent(after))
                classifyFree(f, after, cell);
            return;
        }
    }
    if (tf.startsWith(u"c/o") || tf.startsWith(u"C/O") || tf.startsWith(u"C/o")) {
        f.careOf = text;
        return;
    }

    const qsizetype pref = prefectureIndex(tf);
    if (pref > 0) {
        // An address begins with its prefecture: what stands before it is a
        // name ("山田太郎 東京都…"), a company, or no part of the address.
        const QString before = text.left(pref);
        const QString name = cleanName(before);
        if (isNameLike(name))
            offerName(f, name, 50);
        else if (isCompanyLike(FoldForNumbers(before)))
            classifyFree(f, before, cell);
        classifyFree(f, text.mid(pref), cell);
        return;
    }
    if (isAddressLike(tf) || (pref == 0)) {
        if (f.addressClosed)
            return;
        QString addr;
        QString name;
        splitTrailingName(text, addr, name);
        addAddress(f, addr);
        if (!name.isEmpty())
            offerName(f, cleanName(name), 60);
        return;
    }
    if (isCompanyLike(tf)) {
        // The shop the customer writes to is no part of the address.
        if (tf.contains(u"ショップ") || tf.contains(u"ストア") || keyOf(tf).contains(u"shop"))
            return;
        offerCompany(f, text);
        f.runOpen = false;
        return;
    }
    if (f.runOpen && !f.addressClosed) {
        // An address written over several lines, then its building.
        const QString lastFold = FoldForNumbers(f.address.isEmpty() ? QString() : f.address.last());
        // A ward or city word past the first character ("渋谷区道玄坂") goes on
        // with the address too; 町 and 村 stand in family names (中村, 町田).
        const auto cityWord = [&] {
            for (qsizetype i = 1; i < tf.size(); ++i) {
                if (tf[i] == u'市' || tf[i] == u'区' || tf[i] == u'郡')
                    return true;
            }
            return false;
        };
        if (!hasStreetNumber(lastFold) && (hasStreetNumber(tf) || cityWord()) && !hasHonorific(tf)) {
            f.address << text;
            return;
        }
        if (isBuildingLike(tf) && !hasHonorific(tf)) {
            f.buildings << text;
            return;
        }
        // "サンライズ201": a building name without a building word, ending in
        // its room number, right under the street number.
        if (hasStreetNumber(lastFold) && isDigit(tf.back()) && !hasHonorific(tf) &&
            std::any_of(tf.begin(), tf.end(), [](QChar c) { return isKatakana(c) || isKanji(c); }) &&
            !hasMunicipality(tf)) {
            f.buildings << text;
            return;
        }
    }
    if (isBuildingLike(tf) && !hasHonorific(tf) && !f.address.isEmpty() && !f.addressClosed &&
        std::any_of(tf.begin(), tf.end(), isDigit)) {
        f.buildings << text;
        return;
    }
    // The street part of an address whose code stood on the line before:
    // "〒150-0043" then "道玄坂1-2-3" (the dictionary adds the city).
    if (f.address.isEmpty() && !f.zip.isEmpty() && !f.addressClosed && hasKanji(tf) &&
        std::any_of(tf.begin(), tf.end(), isDigit) && !hasHonorific(tf) && !isBuildingLike(tf)) {
        addAddress(f, text);
        return;
    }
    const QString name = cleanName(text);
    if (isNameLike(name)) {
        offerName(f, name, hasHonorific(tf) ? 46 : (cell ? 45 : 40));
        if (f.runOpen)
            f.addressClosed = true;
        f.runOpen = false;
        return;
    }
    if (!f.address.isEmpty() && f.runOpen && !std::any_of(tf.begin(), tf.end(), isDigit))
        return; // a note between address lines
    if (f.runOpen)
        f.addressClosed = true;
    f.runOpen = false;
}

void takeItem(Fields &f, const Item &it, const Parsed &p)
{
    if (containsAny<kCorrectionWords>(QStringView(it.key)))
        f.unlock = true;
    if (p.sameAs) {
        f.sameAs = true;
        return;
    }
    switch (p.label) {
    case Label::Drop:
    case Label::Kana: return;
    case Label::Fax: cutNumbers(it, p.valueStart, NumberContext::PhoneField, f, true); return;
    case Label::Tel: {
        // "連絡先：山田太郎 090-…", "自宅 東京都…": what stands beside the
        // number is read as well.
        const QString rest = cutNumbers(it, p.valueStart, NumberContext::PhoneField, f, false);
        const QString name = cleanName(rest);
        if (isAddressLike(FoldForNumbers(trimSeparators(rest))))
            classifyFree(f, rest, false);
        else if (isNameLike(name) && !isSentence(FoldForNumbers(rest)))
            offerName(f, name, hasHonorific(rest) ? 50 : 40);
        return;
    }
    case Label::Zip: {
        const QString rest = cutNumbers(it, p.valueStart, NumberContext::PostalField, f, false);
        if (hasContent(rest))
            classifyFree(f, rest, false);
        return;
    }
    default: break;
    }
    const NumberContext context = it.cell ? NumberContext::Cell : NumberContext::FreeText;
    const QString rest = cutNumbers(it, p.valueStart, context, f, false);
    if (!hasContent(rest))
        return;
    // "住所は以下です。", "名前は山田です": a sentence, not a value.
    if (isSentence(FoldForNumbers(rest)) && p.label != Label::Family && p.label != Label::Given) {
        classifyFree(f, rest, it.cell);
        return;
    }
    switch (p.label) {
    case Label::Name:
        if (isCompanyLike(FoldForNumbers(rest))) {
            offerCompany(f, rest);
        } else {
            QString name = cleanName(rest);
            if (!name.isEmpty() && !containsAny<kSentenceWords>(QStringView(name)))
                offerName(f, name, 100);
        }
        return;
    case Label::Family: f.family = cleanName(rest); return;
    case Label::Given: f.given = cleanName(rest); return;
    case Label::Pref:
        f.address.prepend(trimWide(rest));
        f.runOpen = true;
        return;
    case Label::Address: {
        if (f.unlock) {
            f.address.clear();
            f.buildings.clear();
            f.unlock = false;
        }
        QString addr;
        QString name;
        splitTrailingName(rest, addr, name);
        const QString t = trimSeparators(addr);
        if (!t.isEmpty()) {
            f.address << t;
            f.runOpen = true;
        }
        if (!name.isEmpty())
            offerName(f, cleanName(name), 60);
        return;
    }
    case Label::Building: f.buildings << trimSeparators(rest); return;
    case Label::Company:
    case Label::Dept: offerCompany(f, rest); return;
    default: classifyFree(f, rest, it.cell); return;
    }
}

Fields extract(const QList<const Item *> &items, const QList<Parsed> &parsed)
{
    Fields f;
    for (qsizetype i = 0; i < items.size(); ++i)
        takeItem(f, *items[i], parsed[i]);
    return f;
}

// ---------------------------------------------------------------- address lines

// Splits a joined address at the end of its street number: "…1-2-3架空ビル5F"
// gives "…1-2-3" and "架空ビル5F". A number block is ASCII digits (or kanji
// numerals before 丁目, 番 or 号) with 丁目 番地 番 号 条 線 の and hyphens;
// the building starts after a block when a blank, a building word, katakana
// or a Latin letter follows it.
void splitAtStreetNumber(const QString &address, QString &line1, QString &line2)
{
    line1 = address;
    line2.clear();
    const QString fold = FoldForNumbers(address);
    const QString blockChars = u"0123456789-丁目番地号条線の一二三四五六七八九十"_s;
    qsizetype i = 0;
    const qsizetype n = fold.size();
    // Skip the prefecture and city names: the street number is after them.
    while (i < n) {
        if (!blockChars.contains(fold[i]) || fold[i] == u'の' || fold[i] == u'-' ||
            (isKanjiNumeral(fold[i]) && !(i + 1 < n && (fold[i + 1] == u'丁' || fold[i + 1] == u'番')))) {
            ++i;
            continue;
        }
        const qsizetype b = i;
        bool ascii = false;
        while (i < n && blockChars.contains(fold[i])) {
            if (isDigit(fold[i]))
                ascii = true;
            // A kanji numeral goes on with the block only when a 丁目, 番, 号
            // or 条 follows it: the 六 of "1号六本木ヒルズ" begins a name.
            if (isKanjiNumeral(fold[i]) && i > b) {
                qsizetype k = i;
                while (k < n && isKanjiNumeral(fold[k]))
                    ++k;
                if (!(k < n && QStringView(u"丁番号条線").contains(fold[k])))
                    break;
            }
            // "2丁目" then "地" of 番地 and "番" are in the set; "の" after a
            // number only when a number follows it.
            if (fold[i] == u'の' && !(i + 1 < n && (isDigit(fold[i + 1]) || isKanjiNumeral(fold[i + 1]))))
                break;
            ++i;
        }
        const qsizetype e = i;
        if (e >= n)
            return;
        const QStringView rest = QStringView(fold).mid(e);
        qsizetype nextDigit = e;
        while (nextDigit < n && !isDigit(fold[nextDigit]))
            ++nextDigit;
        const QStringView upToDigit = QStringView(fold).mid(e, nextDigit - e);
        const bool split = isSpace(rest.front()) || containsAny<kBuildingWords>(upToDigit) ||
                           (ascii && (isKatakana(rest.front()) || (rest.front().unicode() < 0x80 &&
                                                                   rest.front().isLetter() && rest.front() != u'F')));
        if (split && b > 0) {
            line1 = trimWide(QStringView(address).left(e));
            line2 = trimWide(QStringView(address).mid(e));
            return;
        }
    }
}

// Joins address pieces: an address written over several lines runs on
// without a blank; a blank stays where a piece ends in a number and the next
// begins with one.
QString joinPieces(const QStringList &pieces)
{
    QString out;
    for (const QString &p : pieces) {
        if (!out.isEmpty() && isDigit(FoldForNumbers(out.right(1)).front()) &&
            isDigit(FoldForNumbers(p.left(1)).front()))
            out += u'-';
        out += p;
    }
    return out;
}

void fillAddress(SmartTransferResult &r, const Fields &f)
{
    QString line1;
    QString line2;
    // An address has a few pieces; a paste of thousands of building-like
    // lines is no address, and the fields stay of a readable size.
    constexpr qsizetype kMostPieces = 6;
    splitAtStreetNumber(joinPieces(f.address.mid(0, kMostPieces)), line1, line2);
    QStringList second;
    if (!line2.isEmpty())
        second << line2;
    for (const QString &b : f.buildings.mid(0, kMostPieces)) {
        if (!b.isEmpty())
            second << b;
    }
    QStringList third;
    if (second.isEmpty())
        second = f.company;
    else
        third = f.company;
    if (!f.careOf.isEmpty())
        third << f.careOf;
    r.add1 = withoutEmoji(line1);
    r.add2 = withoutEmoji(second.join(QChar(0x3000)));
    r.add3 = withoutEmoji(third.join(QChar(0x3000)));
}

// The part of a dictionary address up to its city: "東京都港区", "北海道札幌市",
// "長野県北佐久郡".
QString cityPart(const QString &address)
{
    qsizetype start = 0;
    for (const QString &p : PrefectureNames()) {
        if (address.startsWith(p)) {
            start = p.size();
            break;
        }
    }
    for (qsizetype i = start + 1; i < address.size(); ++i) {
        const QChar c = address[i];
        if (c == u'市' || c == u'区' || c == u'郡' || c == u'町' || c == u'村')
            return address.left(i + 1);
    }
    return address;
}

void applyDictionary(SmartTransferResult &r, const PostalLookup *postal)
{
    if (!postal)
        return;
    if (r.zip.isEmpty()) {
        if (r.add1.isEmpty())
            return;
        // The town part before the street number names one code at best.
        qsizetype e = 0;
        const QString fold = FoldForNumbers(r.add1);
        while (e < fold.size() && !isDigit(fold[e]) && !isKanjiNumeral(fold[e]))
            ++e;
        const QStringList codes = postal->codesOf(r.add1.left(e));
        if (codes.size() == 1)
            r.zip = FormatPostalDigits(codes.first());
        return;
    }
    QString digits = r.zip;
    digits.remove(u'-');
    const QStringList known = postal->addressesOf(digits);
    if (known.isEmpty())
        return;
    if (r.add1.isEmpty()) {
        r.add1 = known.first();
        return;
    }
    QString a1 = r.add1;
    a1.remove(QChar(0x3000));
    a1.remove(u' ');
    if (!startsWithPrefecture(a1)) {
        // The address begins below the prefecture or the city: find where in a
        // dictionary address it starts and put the missing head in front.
        QString head;
        qsizetype bestOverlap = 1;
        for (const QString &k : known) {
            for (qsizetype at = 0; at + 1 < k.size(); ++at) {
                qsizetype common = 0;
                while (at + common < k.size() && common < a1.size() && k[at + common] == a1[common])
                    ++common;
                const bool boundary = at > 0 && QStringView(u"都道府県市区町村郡").contains(k[at - 1]);
                if (common > bestOverlap && (boundary || at + common == k.size())) {
                    bestOverlap = common;
                    head = k.left(at);
                }
            }
        }
        if (!head.isEmpty()) {
            r.add1 = head + r.add1;
            a1 = head + a1;
        }
    }
    for (const QString &k : known) {
        if (a1.startsWith(cityPart(k)))
            return;
    }
    r.warning = u"郵便番号 "_s + r.zip + u" の住所は「"_s + known.first() + u"」です。住所を確かめてください"_s;
}

// ---------------------------------------------------------------- text to items

// Quote marks of a reply ("> ", ">>", "｜").
int stripQuote(QString &line)
{
    int depth = 0;
    qsizetype i = 0;
    while (i < line.size()) {
        const QChar c = line[i];
        if (c == u'>' || c == u'＞' || c == u'|' || c == u'｜') {
            ++depth;
            ++i;
        } else if (c == u' ' && depth > 0) {
            ++i;
        } else {
            break;
        }
    }
    // A lone ">" that starts "> 10:00" is as much a quote as any.
    if (depth > 0)
        line = line.mid(i);
    return depth;
}

QStringList csvCells(const QString &line)
{
    QStringList cells;
    QString cur;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
                cur += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == u',' && !quoted) {
            cells << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    cells << cur;
    return cells;
}

// Is a spreadsheet cell a column heading (a label alone)?
bool isHeadingCell(const QString &cell)
{
    const QString key = keyOf(FoldForNumbers(trimWide(cell)));
    if (key.isEmpty())
        return false;
    const LabelMatch m = labelAt(key, skipDecoration(key, 0));
    if (m.matched && m.valueStart >= key.size())
        return true;
    qsizetype len = 0;
    const Role r = roleWordAt(key, len);
    return r != Role::None && len == key.size();
}

// Splits a line of a side-by-side transcription at the run of blanks that
// ends nearest to the boundary column; a line without such a run belongs to
// the side it starts in.
void splitAtColumn(const QString &line, int boundary, QString &left, QString &right)
{
    left.clear();
    right.clear();
    int column = 0;
    int bestDistance = 9;
    qsizetype bestStart = -1;
    qsizetype bestEnd = -1;
    int firstColumn = -1;
    qsizetype i = 0;
    while (i < line.size()) {
        if (isSpace(line[i])) {
            qsizetype j = i;
            int c = column;
            while (j < line.size() && isSpace(line[j])) {
                c += line[j] == u'\t' ? 8 - c % 8 : columnsOf(line[j]);
                ++j;
            }
            if (firstColumn >= 0 && j < line.size() && std::abs(c - boundary) < bestDistance) {
                bestDistance = std::abs(c - boundary);
                bestStart = i;
                bestEnd = j;
            }
            column = c;
            i = j;
        } else {
            if (firstColumn < 0)
                firstColumn = column;
            column += columnsOf(line[i]);
            ++i;
        }
    }
    if (bestEnd >= 0) {
        left = line.left(bestStart);
        right = line.mid(bestEnd);
    } else if (firstColumn >= boundary - 4) {
        right = line;
    } else {
        left = line;
    }
}

struct TwoColumns
{
    int recipientColumn = -1;
    QList<QPair<int, Role>> columns; // start column and role of each heading cell
};

QList<Item> itemsOf(const QString &text)
{
    QList<Item> items;
    items.reserve(std::min<qsizetype>(text.count(u'\n') + 1, kSmartMaxLines));
    qsizetype pos = 0;
    const qsizetype n = text.size();
    QStringList headingRow;
    std::optional<TwoColumns> twoColumns;
    while (pos <= n && items.size() < kSmartMaxLines) {
        qsizetype e = pos;
        while (e < n && text[e] != u'\n' && text[e] != u'\r')
            ++e;
        QString line = text.mid(pos, std::min(e - pos, kSmartMaxLineLength));
        if (e < n && text[e] == u'\r' && e + 1 < n && text[e + 1] == u'\n')
            ++e;
        pos = e + 1;
        const int quote = stripQuote(line);

        // A fax or form with the orderer and the recipient side by side.
        const QList<Cell> cells = cellsOf(line);
        if (cells.size() >= 2) {
            QList<QPair<int, Role>> roles;
            for (const Cell &c : cells) {
                const QString key = keyOf(FoldForNumbers(c.text));
                qsizetype len = 0;
                const Role r = roleWordAt(key.mid(skipDecoration(key, 0)), len);
                if (r != Role::None && isHeadingRest(QStringView(key).mid(skipDecoration(key, 0) + len)))
                    roles.append({c.column, r});
            }
            const bool both =
                std::any_of(roles.begin(), roles.end(), [](auto &r) { return r.second == Role::Recipient; }) &&
                std::any_of(roles.begin(), roles.end(), [](auto &r) { return r.second == Role::Orderer; });
            if (both) {
                twoColumns = TwoColumns{};
                twoColumns->columns = roles;
                continue;
            }
        }
        if (twoColumns) {
            if (trimWide(line).isEmpty() || isSeparatorLine(FoldForNumbers(line))) {
                twoColumns.reset();
            } else {
                auto columns = twoColumns->columns;
                std::sort(columns.begin(), columns.end());
                const int firstColumn = columns.first().first;
                const int boundary = columns.last().first;
                // A row label at the left ("お名前", "ご住所") is blanked out so
                // the columns stay where they are, and prefixed to both sides.
                QString label;
                QString rest = line;
                if (!cells.isEmpty() && cells.first().column + 2 < firstColumn && isHeadingCell(cells.first().text)) {
                    label = cells.first().text;
                    const qsizetype at = rest.indexOf(label);
                    for (qsizetype k = at; k < at + label.size(); ++k)
                        rest[k] = columnsOf(rest[k]) == 2 ? QChar(0x3000) : QChar(u' ');
                }
                QString left;
                QString right;
                splitAtColumn(rest, boundary, left, right);
                const QList<QPair<QString, Role>> sides = {{left, columns.first().second},
                                                           {right, columns.last().second}};
                for (const auto &side : sides) {
                    const QString t = trimWide(side.first);
                    if (t.isEmpty())
                        continue;
                    Item it = makeItem(label.isEmpty() ? t : label + u'：' + t, quote);
                    it.forced = side.second;
                    items.append(std::move(it));
                }
                continue;
            }
        }

        // Spreadsheet rows: tab or comma separated cells.
        QStringList parts;
        if (line.contains(u'\t'))
            parts = line.split(u'\t');
        else if (line.count(u',') >= 3 && !line.contains(u'。'))
            parts = csvCells(line);
        if (parts.size() >= 2) {
            int headings = 0;
            int nonEmpty = 0;
            for (const QString &c : std::as_const(parts)) {
                if (!trimWide(c).isEmpty()) {
                    ++nonEmpty;
                    headings += isHeadingCell(c) ? 1 : 0;
                }
            }
            if (headings >= 2 && headings * 2 >= nonEmpty) {
                headingRow = parts;
                continue;
            }
            for (qsizetype k = 0; k < parts.size(); ++k) {
                const QString cell = trimWide(parts[k]);
                if (cell.isEmpty())
                    continue;
                const bool labelled = headingRow.size() == parts.size() && !trimWide(headingRow[k]).isEmpty();
                Item it = makeItem(labelled ? trimWide(headingRow[k]) + u'：' + cell : cell, quote);
                it.cell = true;
                items.append(std::move(it));
            }
            // One row is one customer.
            items.append(makeItem(QString(), quote));
            continue;
        }
        items.append(makeItem(line, quote));
    }
    return items;
}

bool isSignatureBlock(const QList<const Item *> &block)
{
    bool signature = false;
    for (const Item *it : block) {
        const QStringView k(it->key);
        if (containsAny<kSignatureWords>(k))
            signature = true;
        qsizetype len = 0;
        if (roleWordAt(k.mid(skipDecoration(k, 0)), len) != Role::None)
            return false;
        if (labelAt(k, skipDecoration(k, 0)).label == Label::Name)
            return false;
    }
    return signature;
}

struct Group
{
    QList<const Item *> items;
    QList<Parsed> parsed;
    QList<int> paragraph;
};

// The fields of one quote level: the recipient's block when there is one, the
// orderer's when the recipient is "同上" or absent, else the free text.
Fields fieldsOf(const QList<const Item *> &lines)
{
    // Blocks between separators; a shop's signature block counts as no
    // customer data.
    QList<bool> signature(lines.size(), false);
    {
        qsizetype b = 0;
        for (qsizetype i = 0; i <= lines.size(); ++i) {
            if (i == lines.size() || lines[i]->separator) {
                const QList<const Item *> block = lines.mid(b, i - b);
                if (b > 0 && isSignatureBlock(block)) {
                    for (qsizetype k = b; k < i; ++k)
                        signature[k] = true;
                }
                b = i + 1;
            }
        }
    }

    Group recipient, orderer, free;
    Role current = Role::None;
    Label pending = Label::None;
    Role pendingRole = Role::None;
    int paragraph = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Item *it = lines[i];
        if (it->blank || it->separator) {
            ++paragraph;
            if (it->separator && isForwardMarker(it->key))
                current = Role::None;
            continue;
        }
        Parsed p = parse(*it);
        if (p.heading) {
            // A block heading changes the block; a label alone on its line
            // ("郵便番号", "■お名前") names the value on the next line.
            if (p.otherHeading)
                current = Role::Other;
            else if (p.role != Role::None)
                current = p.role;
            pending = p.label;
            pendingRole = p.role;
            continue;
        }
        Role role = current;
        if (p.role != Role::None) {
            role = p.role;
            current = p.role;
        }
        if (it->forced != Role::None)
            role = it->forced;
        if (p.label == Label::None && pending != Label::None && p.valueStart == skipDecoration(it->key, 0)) {
            p.label = pending;
            if (pendingRole != Role::None && it->forced == Role::None)
                role = pendingRole;
        }
        pending = Label::None;
        if (role == Role::Other && isDataLabel(p.label))
            role = Role::None;
        if (signature[i] && role == Role::None)
            role = Role::Other;
        Group *g = role == Role::Recipient ? &recipient
                   : role == Role::Orderer ? &orderer
                   : role == Role::None    ? &free
                                           : nullptr;
        if (!g)
            continue;
        g->items << it;
        g->parsed << p;
        g->paragraph << paragraph;
    }

    // A block without a name takes the one the mail is addressed to
    // ("大野 真一 様" above "ご注文ありがとうございます").
    auto withSalutation = [&](Fields f) {
        if (f.name.text.isEmpty() && f.family.isEmpty() && f.company.isEmpty()) {
            const Fields top = extract(free.items, free.parsed);
            if (top.name.score >= 46)
                f.name = top.name;
        }
        return f;
    };
    const Fields rec = extract(recipient.items, recipient.parsed);
    if (rec.hasAddress() && !rec.sameAs)
        return withSalutation(rec);
    const Fields ord = extract(orderer.items, orderer.parsed);
    if ((rec.sameAs || !rec.hasAddress()) && ord.hasAddress()) {
        Fields f = ord;
        // A gift without the recipient's address but with a name keeps it.
        if (!rec.sameAs && !rec.name.text.isEmpty())
            f.name = rec.name;
        return withSalutation(f);
    }

    // Free text: the first paragraph with an address, with the name and
    // telephone from the paragraphs around it when it has none. Paragraphs
    // are runs of items in order: [begin, end) into free.items.
    QList<QPair<qsizetype, qsizetype>> paragraphs;
    for (qsizetype i = 0; i < free.items.size(); ++i) {
        if (paragraphs.isEmpty() || free.paragraph[paragraphs.last().first] != free.paragraph[i])
            paragraphs.append({i, i + 1});
        else
            paragraphs.last().second = i + 1;
    }
    auto fieldsOfParagraphs = [&](qsizetype from, qsizetype to) {
        const qsizetype b = paragraphs[from].first;
        const qsizetype e = paragraphs[to].second;
        return extract(free.items.mid(b, e - b), free.parsed.mid(b, e - b));
    };
    Fields best;
    qsizetype anchor = -1;
    for (qsizetype k = 0; k < paragraphs.size(); ++k) {
        Fields f = fieldsOfParagraphs(k, k);
        if (f.hasAddress()) {
            best = f;
            anchor = k;
            break;
        }
    }
    if (anchor < 0) {
        Fields f = paragraphs.isEmpty() ? Fields() : fieldsOfParagraphs(0, paragraphs.size() - 1);
        if (f.empty() && !rec.empty())
            return rec;
        return f;
    }
    for (qsizetype d : {anchor - 1, anchor + 1, anchor - 2, anchor + 2}) {
        if (d < 0 || d >= paragraphs.size())
            continue;
        if (!best.name.text.isEmpty() && !best.tel.isEmpty())
            break;
        const Fields near = fieldsOfParagraphs(d, d);
        if (near.hasAddress())
            continue;
        if (best.name.text.isEmpty() && best.family.isEmpty())
            best.name = near.name;
        if (best.tel.isEmpty())
            best.tel = near.tel;
    }
    // A later correction ("住所を間違えました。正しくは…") replaces what it gives.
    for (qsizetype k = anchor + 1; k < paragraphs.size(); ++k) {
        bool correction = false;
        for (qsizetype i = paragraphs[k].first; i < paragraphs[k].second && !correction; ++i)
            correction = containsAny<kCorrectionWords>(QStringView(free.items[i]->key));
        if (!correction)
            continue;
        const Fields c = fieldsOfParagraphs(k, std::min(k + 1, paragraphs.size() - 1));
        if (!c.zip.isEmpty())
            best.zip = c.zip;
        if (!c.tel.isEmpty())
            best.tel = c.tel;
        if (!c.address.isEmpty()) {
            best.address = c.address;
            best.buildings = c.buildings;
        }
        if (!c.name.text.isEmpty() && c.name.score >= 40)
            best.name = c.name;
    }
    return best;
}

} // namespace

SmartTransferResult SmartTransfer(const QString &text, const PostalLookup *postal)
{
    SmartTransferResult r;
    const QList<Item> items = itemsOf(text);

    // The writer's own lines, then each level of quotation: a reply's own
    // lines win over the mail it quotes, and that over the one it quotes.
    constexpr int kQuoteLevels = 4;
    std::array<QList<const Item *>, kQuoteLevels> levels;
    bool anyContent = false;
    for (const Item &it : items) {
        levels[std::min(it.quote, kQuoteLevels - 1)] << &it;
        if (!anyContent && !it.blank && !it.separator) {
            // A line of mail or web addresses alone is nothing to transfer.
            for (const QString &token : it.key.split(u' ', Qt::SkipEmptyParts)) {
                if (!token.contains(u'@') && !token.contains(u"http") && !token.contains(u"www.") && hasContent(token))
                    anyContent = true;
            }
        }
    }
    if (!anyContent) {
        r.noText = true;
        return r;
    }

    Fields f = fieldsOf(levels[0]);
    for (int level = 1; level < kQuoteLevels && !f.hasAddress(); ++level) {
        if (levels[level].isEmpty())
            continue;
        const Fields q = fieldsOf(levels[level]);
        if (q.hasAddress() || f.empty())
            f = q;
    }

    r.zip = f.zip;
    r.tel = f.tel;
    fillAddress(r, f);
    if (!f.family.isEmpty() || !f.given.isEmpty()) {
        QStringList parts;
        for (const QString &p : {f.family, f.given}) {
            if (!p.isEmpty())
                parts << p;
        }
        r.custo1 = joinNameParts(parts);
    } else {
        r.custo1 = f.name.text;
    }
    // A company without a named person is the addressee itself.
    if (r.custo1.isEmpty() && !f.company.isEmpty()) {
        r.custo1 = f.company.join(QChar(0x3000));
        if (r.add3 == f.company.join(QChar(0x3000)))
            r.add3.clear();
        else if (r.add2 == f.company.join(QChar(0x3000)))
            r.add2.clear();
    }
    applyDictionary(r, postal);
    if (r.custo1.size() > kNameFieldLength) {
        const QString rest = r.custo1.mid(kNameFieldLength);
        r.custo1.truncate(kNameFieldLength);
        r.add3 = r.add3.isEmpty() ? rest : r.add3 + QChar(0x3000) + rest;
        const QString note = u"お名前が長いため、続きをおところ③に入れました"_s;
        r.warning = r.warning.isEmpty() ? note : r.warning + u"　"_s + note;
    }
    return r;
}

} // namespace transfer
