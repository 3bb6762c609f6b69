// The name guess: cleaning a name, whether a text is one, and the weighing of
// the names offered.

#include "transfer/SmartTransfer_p.h"

#include "platform/JapaneseText.h"

#include <algorithm>

namespace transfer::smart {

namespace {

using namespace Qt::StringLiterals;

bool isEmojiOrSymbol(char32_t u)
{
    return (u >= 0x1F000 && u <= 0x1FAFF) || (u >= 0x2600 && u <= 0x27BF) || (u >= 0x2B00 && u <= 0x2BFF) ||
           (u >= 0x2190 && u <= 0x21FF) || (u >= 0x25A0 && u <= 0x25FF) || (u >= 0xFE00 && u <= 0xFE0F) ||
           u == 0x200D || u == 0x3030 || u == 0x303D || u == 0x2605 || u == 0x2606 || u == 0x266A || u == 0x2661 ||
           u == 0x2665 || u == 0x20E3 || (u >= 0xE0000 && u <= 0xE007F) || (u >= 0xE000 && u <= 0xF8FF);
}

bool isKanaOnly(QStringView s)
{
    bool any = false;
    for (QChar c : s) {
        if (vuzo::IsWordBlank(c) || c == u'・')
            continue;
        if (!vuzo::IsKatakana(c) && !vuzo::IsHiragana(c))
            return false;
        any = true;
    }
    return any;
}

bool isLatinOnly(QStringView s)
{
    bool any = false;
    for (QChar c : s) {
        if (vuzo::IsWordBlank(c) || c == u'.' || c == u'-')
            continue;
        if (!vuzo::IsAsciiLetter(c))
            return false;
        any = true;
    }
    return any;
}

// The name without blanks, to compare the ways one name is written.
QString compact(const QString &s)
{
    QString out = s;
    out.removeIf(vuzo::IsWordBlank);
    return out;
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
        else if ((isKanaOnly(outside) || isLatinOnly(outside)) && hasKanji(inside))
            out = inside; // "Ken Yamamoto（山本 健）": the name as the slip writes it
        else
            out = outside;
    }
    return out;
}

QString stripHonorific(QString s)
{
    for (int guard = 0; guard < 4; ++guard) {
        s = vuzo::TrimBlanksAndControls(s);
        bool changed = false;
        for (QStringView hv : honorifics()) {
            if (s.size() > hv.size() && s.endsWith(hv)) {
                s.chop(hv.size());
                changed = true;
                break;
            }
        }
        // "田村様へ", "田村様宛て": the particle after an honorific goes first.
        for (QStringView particle : {QStringView(u"へ"), QStringView(u"宛て"), QStringView(u"宛")}) {
            if (changed)
                break;
            if (!s.endsWith(particle))
                continue;
            const QStringView head = QStringView(s).chopped(particle.size());
            if (std::any_of(honorifics().begin(), honorifics().end(),
                            [&](QStringView h) { return head.size() > h.size() && head.endsWith(h); })) {
                s.chop(particle.size());
                changed = true;
            }
        }
        // "比嘉 良太あて": あて in kana, as a note to the carrier writes it.
        if (!changed && s.size() > 3 && s.endsWith(u"あて")) {
            s.chop(2);
            changed = true;
        }
        if (!changed)
            break;
    }
    return vuzo::TrimBlanksAndControls(s);
}

} // namespace

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

bool hasKanji(QStringView s)
{
    return std::any_of(s.begin(), s.end(), vuzo::IsKanji);
}

bool hasHonorific(QStringView s)
{
    const QString t = vuzo::TrimBlanksAndControls(s);
    return t.endsWith(u'様') || t.endsWith(u"さま") || t.endsWith(u'殿') || t.endsWith(u"さん");
}

QString joinNameParts(const QStringList &parts)
{
    bool ascii = true;
    for (const QString &p : parts) {
        for (QChar c : p) {
            if (c.unicode() >= 0x80)
                ascii = false;
        }
    }
    return parts.join(ascii ? u' ' : QChar(vuzo::kIdeographicSpace));
}

QString cleanName(const QString &raw)
{
    QString s = withoutEmoji(raw);
    s = withoutBrackets(s);
    // Decorations and separators around it.
    s = stripDecoration(s);
    s = stripHonorific(s);
    QStringList parts = vuzo::SplitAtWordBlanks(s);
    // Titles before or after the name: "部長 大阪 一郎", "大阪 一郎 店長".
    static const QStringList titles = {u"代表取締役"_s, u"取締役"_s, u"代表"_s,   u"社長"_s, u"部長"_s, u"課長"_s,
                                       u"係長"_s,       u"主任"_s,   u"店長"_s,   u"院長"_s, u"所長"_s, u"支店長"_s,
                                       u"専務"_s,       u"常務"_s,   u"理事長"_s, u"教授"_s, u"先生"_s, u"担当"_s};
    // "営業部長 松田 圭": a title with its department.
    const auto isTitle = [&](const QString &part) {
        return titles.contains(part) ||
               (part.size() >= 3 && std::any_of(titles.begin(), titles.end(), [&](const QString &t) {
                    return t.size() >= 2 && t.endsWith(u'長') && part.endsWith(t);
                }));
    };
    while (parts.size() > 1 && isTitle(parts.first()))
        parts.removeFirst();
    while (parts.size() > 1 && titles.contains(parts.last()))
        parts.removeLast();
    // A lone honorific left as its own part ("山田 太郎 様").
    while (!parts.isEmpty() &&
           std::any_of(honorifics().begin(), honorifics().end(), [&](QStringView h) { return parts.last() == h; }))
        parts.removeLast();
    return joinNameParts(parts);
}

bool isNameLike(const QString &name)
{
    if (name.size() < 2 || name.size() > 40)
        return false;
    int letters = 0;
    for (QChar c : name) {
        if (vuzo::IsWordBlank(c) || c == u'・' || c == u'.' || c == u'-' || c == u'\'')
            continue;
        if (vuzo::IsKanji(c) || vuzo::IsKatakana(c) || vuzo::IsHiragana(c) || vuzo::IsAsciiLetter(c) ||
            c.isSurrogate()) {
            ++letters;
            continue;
        }
        return false;
    }
    if (letters < 2)
        return false;
    if (hasNotNameWord(QStringView(name)) || isCompanyLike(name) || hasKatakanaBuildingWord(name))
        return false;
    // "昆布 三袋", "みかん 2箱": a quantity of an item in the order.
    static const QString counters = u"袋箱本缶瓶束尾匹杯kg"_s;
    for (qsizetype i = 0; i + 1 < name.size(); ++i) {
        if ((vuzo::KanjiDigitValue(name[i]) >= 0 || name[i] == u'十' || vuzo::IsAsciiDigit(name[i])) &&
            counters.contains(name[i + 1]))
            return false;
    }
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
    if (std::all_of(name.begin(), name.end(), [](QChar c) { return vuzo::IsHiragana(c); }))
        return false;
    return true;
}

void offerName(Fields &f, const QString &cleaned, NameEvidence evidence)
{
    if (cleaned.isEmpty())
        return;
    int score = nameWeight(evidence);
    if (score < nameWeight(NameEvidence::Labelled) && (!f.zip.isEmpty() || !f.address.isEmpty()))
        score += nameWeight(NameEvidence::BelowAddress);
    if (isKanaOnly(cleaned))
        score += nameWeight(NameEvidence::ReadingOnly);
    if (f.unlock && score > kNoNameScore) {
        f.name = {cleaned, score};
        return;
    }
    if (!f.name.text.isEmpty()) {
        const QString known = compact(f.name.text);
        const QString offered = compact(cleaned);
        // The family name alone where the full name stood before keeps the
        // full name; the full name after the family name alone replaces it.
        if (known.size() > offered.size() && known.startsWith(offered))
            return;
        if (offered.size() > known.size() && offered.startsWith(known) && hasKanji(offered)) {
            f.name = {cleaned, std::max(score, f.name.score)};
            return;
        }
        // A name in Latin letters gives way to the same customer's name in
        // kanji ("Name: Ken Yamamoto", then "氏名: 山本 健").
        if (isLatinOnly(f.name.text) && hasKanji(cleaned) &&
            score >= f.name.score - nameWeight(NameEvidence::BelowAddress)) {
            f.name = {cleaned, std::max(score, f.name.score)};
            return;
        }
    }
    if (score > f.name.score)
        f.name = {cleaned, score};
}

void splitTrailingName(const QString &text, QString &address, QString &name)
{
    address = text;
    name.clear();
    const QString t = vuzo::TrimBlanksAndControls(text);
    if (!hasHonorific(t)) {
        // "東京都…1-2-3 山田太郎": after the street number and a blank, a
        // name without digits or building words.
        QString line1;
        QString line2;
        splitAtStreetNumber(t, line1, line2);
        if (line2.startsWith(u"の ") || line2.startsWith(u"の\u3000"))
            line2 = vuzo::TrimBlanksAndControls(QStringView(line2).mid(2));
        const QString fold2 = FoldForNumbers(line2);
        if (!line2.isEmpty() && t.size() > line1.size() && vuzo::IsWordBlank(t[line1.size()]) &&
            !isBuildingLike(fold2) && isNameLike(cleanName(line2))) {
            address = line1;
            name = line2;
        }
        return;
    }
    QStringList parts;
    QList<qsizetype> starts;
    qsizetype i = 0;
    while (i < t.size()) {
        while (i < t.size() && vuzo::IsWordBlank(t[i]))
            ++i;
        const qsizetype b = i;
        while (i < t.size() && !vuzo::IsWordBlank(t[i]))
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
                        [](QChar c) { return vuzo::IsAsciiDigit(FoldForNumbers(QString(c)).front()); }) &&
           !isBuildingLike(FoldForNumbers(parts[k - 1])) && !isAddressLike(FoldForNumbers(parts[k - 1])))
        --k;
    if (k == 0 || k == parts.size())
        return;
    address = t.left(starts[k]);
    name = t.mid(starts[k]);
}

} // namespace transfer::smart
