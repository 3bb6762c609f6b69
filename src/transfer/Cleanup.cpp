#include "transfer/Cleanup.h"

#include "numedit/ZuNumModel.h"
#include "platform/JapaneseText.h"
#include "platform/TextUtil.h"
#include "transfer/Judgements.h"

#include <QStringView>

#include <iterator>
#include <utility>

using namespace Qt::StringLiterals;

namespace transfer {

namespace {

// Half-width forms of the katakana block U+30A1..U+30FC, one entry per code
// point. Voiced and semi-voiced kana take two characters (base and mark); an
// empty entry (ヮ ヰ ヱ ヵ ヶ ヸ ヹ) has no half-width form and stays as it is.
constexpr char16_t kFirstKana = 0x30A1;
constexpr char16_t kLastKana = 0x30FC;
constexpr const char16_t *kHalfKana[] = {
    u"ｧ",  u"ｱ",  u"ｨ",  u"ｲ",  u"ｩ",  u"ｳ",  u"ｪ",  u"ｴ",  // ァアィイゥウェエ
    u"ｫ",  u"ｵ",  u"ｶ",  u"ｶﾞ", u"ｷ",  u"ｷﾞ", u"ｸ",  u"ｸﾞ", // ォオカガキギクグ
    u"ｹ",  u"ｹﾞ", u"ｺ",  u"ｺﾞ", u"ｻ",  u"ｻﾞ", u"ｼ",  u"ｼﾞ", // ケゲコゴサザシジ
    u"ｽ",  u"ｽﾞ", u"ｾ",  u"ｾﾞ", u"ｿ",  u"ｿﾞ", u"ﾀ",  u"ﾀﾞ", // スズセゼソゾタダ
    u"ﾁ",  u"ﾁﾞ", u"ｯ",  u"ﾂ",  u"ﾂﾞ", u"ﾃ",  u"ﾃﾞ", u"ﾄ",  // チヂッツヅテデト
    u"ﾄﾞ", u"ﾅ",  u"ﾆ",  u"ﾇ",  u"ﾈ",  u"ﾉ",  u"ﾊ",  u"ﾊﾞ", // ドナニヌネノハバ
    u"ﾊﾟ", u"ﾋ",  u"ﾋﾞ", u"ﾋﾟ", u"ﾌ",  u"ﾌﾞ", u"ﾌﾟ", u"ﾍ",  // パヒビピフブプヘ
    u"ﾍﾞ", u"ﾍﾟ", u"ﾎ",  u"ﾎﾞ", u"ﾎﾟ", u"ﾏ",  u"ﾐ",  u"ﾑ",  // ベペホボポマミム
    u"ﾒ",  u"ﾓ",  u"ｬ",  u"ﾔ",  u"ｭ",  u"ﾕ",  u"ｮ",  u"ﾖ",  // メモャヤュユョヨ
    u"ﾗ",  u"ﾘ",  u"ﾙ",  u"ﾚ",  u"ﾛ",  u"",   u"ﾜ",  u"",   // ラリルレロヮワヰ
    u"",   u"ｦ",  u"ﾝ",  u"ｳﾞ", u"",   u"",   u"ﾜﾞ", u"",   // ヱヲンヴヵヶヷヸ
    u"",   u"ｦﾞ", u"･",  u"ｰ",                              // ヹヺ・ー
};
static_assert(std::size(kHalfKana) == kLastKana - kFirstKana + 1);

// The wide forms U+FFE0..U+FFE6 and their narrow counterparts.
constexpr char16_t kNarrowSigns[] = {0x00A2, 0x00A3, 0x00AC, 0x00AF, 0x00A6, 0x00A5, 0x20A9};

// Appends the half-width form of c to out; returns false when c has none.
bool AppendHalfWidth(char16_t c, QString &out)
{
    if (vuzo::IsFullWidthAscii(c)) {
        out.append(QChar(vuzo::AsciiOfFullWidth(c)));
        return true;
    }
    if (c >= 0xFFE0 && c <= 0xFFE6) {
        out.append(QChar(kNarrowSigns[c - 0xFFE0]));
        return true;
    }
    if (c >= kFirstKana && c <= kLastKana) {
        const char16_t *half = kHalfKana[c - kFirstKana];
        if (*half == 0)
            return false;
        out.append(QStringView(half));
        return true;
    }
    char16_t half = 0;
    switch (c) {
    case 0x3000: half = u' '; break;
    case 0x3001: half = u'､'; break;
    case 0x3002: half = u'｡'; break;
    case 0x300C: half = u'｢'; break;
    case 0x300D: half = u'｣'; break;
    case 0x3099: // combining voiced sound mark
    case 0x309B: half = u'ﾞ'; break;
    case 0x309A: // combining semi-voiced sound mark
    case 0x309C: half = u'ﾟ'; break;
    default: return false;
    }
    out.append(QChar(half));
    return true;
}

// Removes every occurrence of word from s, left to right, without rescanning
// what the removal joins together. One pass over s.
QString RemoveAll(const QString &s, const QString &word)
{
    qsizetype at = s.indexOf(word, 0, Qt::CaseSensitive);
    if (at < 0)
        return s;
    QString out;
    out.reserve(s.size());
    qsizetype from = 0;
    while (at >= 0) {
        out.append(QStringView(s).sliced(from, at - from));
        from = at + word.size();
        at = s.indexOf(word, from, Qt::CaseSensitive);
    }
    out.append(QStringView(s).sliced(from));
    return out;
}

// Line i (from 0) of lines, trimmed; a missing line reads as empty.
QString TrimmedLine(const QStringList &lines, int i)
{
    return i < lines.size() ? vuzo::Trim(lines.at(i)) : QString();
}

QStringList FirstWorkingLinesTrimmed(const QStringList &lines)
{
    QStringList out;
    out.reserve(kWorkingLines);
    for (int i = 0; i < kWorkingLines; ++i)
        out.append(TrimmedLine(lines, i));
    return out;
}

const QStringList &LabelKeywords()
{
    // "TEL" stands in the list twice; the second removal finds the "TEL" that
    // the first one joined together ("TTELEL").
    static const QStringList list = {
        u"："_s,        u":"_s,        u"様"_s,         u"〒"_s,         u"郵便番号"_s,   u"ゆうびんばんごう"_s,
        u"℡"_s,         u"TEL"_s,      u"Tel"_s,        u"tel"_s,        u"Ｔｅｌ"_s,     u"ｔｅｌ"_s,
        u"TEL"_s,       u"ＴＥＬ"_s,   u"お電話番号"_s, u"電話番号"_s,   u"お電話"_s,     u"電話"_s,
        u"おでんわ"_s,  u"でんわ"_s,   u"おなまえ"_s,   u"お名前"_s,     u"御名前"_s,     u"名前"_s,
        u"御氏名"_s,    u"ご氏名"_s,   u"氏名"_s,       u"おところ１"_s, u"おところ２"_s, u"おところ1"_s,
        u"おところ2"_s, u"おところ"_s, u"ところ"_s,     u"ご住所"_s,     u"住所１"_s,     u"住所２"_s,
        u"住所1"_s,     u"住所2"_s,    u"住所"_s,       u"ご送付先"_s,   u"送付先"_s,     u"お送り先"_s,
        u"送り先"_s,    u"お届け先"_s, u"届け先"_s,
    };
    return list;
}

// The numeric test of the label removal: the numeric text a default numeric
// field keeps for s. Three characters or more mark a line that begins with a
// real number (a postal code, an address number), which is then made half
// width.
bool BeginsWithLongNumber(const QString &s)
{
    return zunum::CanonicalText(s, zunum::NumFormat{}).size() >= 3;
}

} // namespace

const QStringList &LabelKeywordList()
{
    return LabelKeywords();
}

QString ToHalfWidth(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (!AppendHalfWidth(c.unicode(), out))
            out.append(c);
    }
    return out;
}

namespace {

// The full-width kana of each half-width character U+FF61..U+FF9F alone
// ([0]), with a voiced mark ([1]) and with a semi-voiced mark ([2]); 0 where
// the pair stands for no single kana. Read off the half-width table above.
struct FullKanaTable
{
    static constexpr char16_t kFirstHalf = 0xFF61;
    static constexpr char16_t kLastHalf = 0xFF9F;
    char16_t full[kLastHalf - kFirstHalf + 1][3] = {};

    FullKanaTable()
    {
        for (char16_t k = kFirstKana; k <= kLastKana; ++k) {
            const QStringView half(kHalfKana[k - kFirstKana]);
            if (half.isEmpty() || half[0] < kFirstHalf || half[0] > kLastHalf)
                continue;
            const int mark = half.size() == 1 ? 0 : (half[1] == u'ﾞ' ? 1 : 2);
            full[half[0].unicode() - kFirstHalf][mark] = k;
        }
        const std::pair<char16_t, char16_t> signs[] = {{u'｡', u'。'}, {u'｢', u'「'}, {u'｣', u'」'},
                                                       {u'､', u'、'}, {u'ﾞ', u'゛'}, {u'ﾟ', u'゜'}};
        for (const auto &[half, wide] : signs)
            full[half - kFirstHalf][0] = wide;
    }
};

} // namespace

QString KatakanaToFullWidth(QStringView s)
{
    static const FullKanaTable table;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c < FullKanaTable::kFirstHalf || c > FullKanaTable::kLastHalf) {
            out.append(s[i]);
            continue;
        }
        const auto &forms = table.full[c - FullKanaTable::kFirstHalf];
        const char16_t next = i + 1 < s.size() ? s[i + 1].unicode() : 0;
        const int mark = next == u'ﾞ' ? 1 : (next == u'ﾟ' ? 2 : 0);
        if (mark != 0 && forms[mark] != 0) {
            out.append(QChar(forms[mark]));
            ++i;
        } else {
            out.append(QChar(forms[0]));
        }
    }
    return out;
}

QStringList SplitPasteText(const QString &memoText)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = memoText.size();
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = memoText.at(i).unicode();
        if (c == u'\r' || c == u'\n') {
            lines.append(memoText.sliced(start, i - start));
            if (c == u'\r' && i + 1 < n && memoText.at(i + 1).unicode() == u'\n')
                ++i;
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.append(memoText.sliced(start));
    return lines;
}

QStringList Compact(const QStringList &pasteLines)
{
    QStringList kept;
    for (int i = 0; i < kCompactionLines && i < pasteLines.size(); ++i) {
        const QString line = vuzo::Trim(pasteLines.at(i));
        if (line.isEmpty() || EmailMarkerCount(line) > 0)
            continue;
        kept.append(line);
    }
    return kept;
}

QStringList RemoveLabels(const QStringList &lines)
{
    QStringList l = FirstWorkingLinesTrimmed(lines);
    for (int k = 0; k < kWorkingLines; ++k) {
        QString s = l.at(k);
        for (const QString &label : LabelKeywords())
            s = vuzo::TrimLeft(RemoveAll(s, label));
        s = vuzo::TrimWide(s);
        if (BeginsWithLongNumber(s))
            s = ToHalfWidth(s);
        l[k] = s;
        // The last line is converted at the end of every round, so it is
        // already half width when its own labels are removed.
        l[kWorkingLines - 1] = ToHalfWidth(l.at(kWorkingLines - 1));
    }
    return l;
}

QStringList SplitOneLine(const QStringList &lines)
{
    constexpr qsizetype kHeadLength = 8;
    constexpr qsizetype kShortestRest = 7;
    QStringList l = FirstWorkingLinesTrimmed(lines);
    for (int k = 0; k < kWorkingLines; ++k) {
        const QString line = l.at(k);
        const QString head = line.left(kHeadLength);
        // The whole rest moves: an address after the postal code is never
        // cut short, however long the line.
        const QString rest = line.mid(kHeadLength);
        if (rest.size() < kShortestRest || ZipTelVerdict(head) != QStringView(kVerdictZip))
            continue;
        l[k] = head;
        for (int j = k + 1; j < kWorkingLines; ++j) {
            if (vuzo::Trim(l.at(j)).isEmpty()) {
                l[j] = rest;
                break;
            }
        }
    }
    return l;
}

} // namespace transfer
