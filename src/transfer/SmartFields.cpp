// The fields of the items: labelled values, numbers, free lines, and the block
// the fields are taken from.

#include "transfer/SmartTransfer_p.h"

#include "platform/JapaneseText.h"

#include <QRegularExpression>

#include <algorithm>
#include <initializer_list>

namespace transfer::smart {

namespace {

using namespace Qt::StringLiterals;

// Separators left at the ends of a value once its labels and numbers are
// cut out ("東京都港区芝1-2-3　TEL：" loses "TEL" and then "：").
QString trimSeparators(const QString &s)
{
    static const QString seps = u":：/／、,，;；"_s;
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && (vuzo::IsBlankOrControl(s[b]) || seps.contains(s[b])))
        ++b;
    while (e > b && (vuzo::IsBlankOrControl(s[e - 1]) || seps.contains(s[e - 1])))
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
    // A whole address after one with its street number is another one's:
    // the next customer of a list, not more of this address.
    if (!f.address.isEmpty() && hasStreetNumber(FoldForNumbers(f.address.join(QString()))) &&
        startsWithPrefecture(FoldForNumbers(t))) {
        f.others = f.others || !f.address.contains(t);
        f.addressClosed = true;
        f.runOpen = false;
        return;
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
            // Another customer's code and address once this one's is done.
            else if (m.value != f.zip && f.addressClosed && prefectureIndex(fold.mid(m.end, 6)) >= 0)
                f.others = true;
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
        if (vuzo::IsWordBlank(c)) {
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

void classifyFree(Fields &f, const QString &raw, bool cell);
void takeItem(Fields &f, const Item &it, const Parsed &p);

// What follows the address on its line after a wide gap, a price or a
// closing phrase: a building, a labelled value or the name; anything else
// (an item list, a price, a greeting) is no part of the delivery.
void takeAddressTail(Fields &f, const QString &tail, bool cell)
{
    const QString t = vuzo::TrimBlanksAndControls(trimSeparators(tail));
    if (t.isEmpty())
        return;
    const QString fold = FoldForNumbers(t);
    if (fold.contains(u'円') || fold.contains(u'¥') || fold.contains(u'￥'))
        return;
    // Columns or parts of a sentence: each on its own.
    const qsizetype comma = t.indexOf(QRegularExpression(u"[、,，]"_s));
    if (comma >= 0) {
        takeAddressTail(f, t.left(comma), cell);
        takeAddressTail(f, t.mid(comma + 1), cell);
        return;
    }
    // "南船場プレイス902　氏名：…": a building ends as its address does.
    if (const qsizetype end = addressEnd(t); end > 0 && end < t.size()) {
        takeAddressTail(f, t.left(end), cell);
        takeAddressTail(f, t.mid(end), cell);
        return;
    }
    if (const LabelMatch m = labelAt(keyOf(fold), 0); m.matched && m.label != Label::None) {
        classifyFree(f, t, cell);
        return;
    }
    if (isSentence(fold))
        return;
    if (isBuildingLike(fold) && !hasHonorific(fold)) {
        f.buildings << t;
        return;
    }
    const QString name = cleanName(t);
    if (isNameLike(name))
        offerName(f, name, NameEvidence::AfterAddress);
}

// A part of a sentence between 、 that is a name alone ("送り先は姉で、杉本
// 千尋、〒…"): kanji or katakana, hiragana only in a given name after a blank.
bool isNamePart(const QString &part)
{
    const QString t = vuzo::TrimBlanksAndControls(part);
    if (t.isEmpty() || t.size() > 14 || isSentence(FoldForNumbers(t)) || hasNotNameWord(t))
        return false;
    const QString name = cleanName(t);
    if (!isNameLike(name) ||
        !std::any_of(name.begin(), name.end(), [](QChar c) { return vuzo::IsKanji(c) || vuzo::IsKatakana(c); }))
        return false;
    const qsizetype blank = std::find_if(name.begin(), name.end(), vuzo::IsWordBlank) - name.begin();
    const auto hiragana = [](QStringView s) { return std::any_of(s.begin(), s.end(), vuzo::IsHiragana); };
    return !hiragana(QStringView(name).left(blank)) && (blank < name.size() || !hiragana(name));
}

// A company line, with the person after it when one is named:
// "株式会社架空商事 総務部 山田太郎様".
void offerCompany(Fields &f, const QString &raw)
{
    const QString t = withoutEmoji(vuzo::TrimBlanksAndControls(raw));
    QStringList parts = vuzo::SplitAtWordBlanks(t);
    qsizetype lastCompany = -1;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString fold = FoldForNumbers(parts[i]);
        if (isCompanyLike(fold) || endsWithDepartmentWord(fold))
            lastCompany = i;
    }
    if (lastCompany >= 0 && lastCompany + 1 < parts.size()) {
        const QString person = cleanName(parts.mid(lastCompany + 1).join(u' '));
        if (isNameLike(person)) {
            offerName(f, person, hasHonorific(t) ? NameEvidence::WithHonorific : NameEvidence::AfterCompany);
            parts = parts.mid(0, lastCompany + 1);
        }
    }
    QString company = parts.join(QChar(vuzo::kIdeographicSpace));
    if (company.endsWith(u"御中"))
        company = vuzo::TrimBlanksAndControls(company.chopped(2));
    if (!company.isEmpty())
        f.company << company;
}

// An address line in Latin letters: "2-8-3 Honcho, Aoba-ku", "Aoba-ku,
// Sendai-shi", "Sendai, Miyagi" after one of them. The country is no part.
bool isLatinAddress(QStringView fold, bool afterLatinAddress)
{
    if (fold.isEmpty() || !std::all_of(fold.begin(), fold.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return false;
    const QString k = fold.toString().toLower();
    static const QStringList words = {u"-ku"_s,   u"-shi"_s,     u"-cho"_s,  u"-machi"_s,     u"-gun"_s,  u"-mura"_s,
                                      u"-ken"_s,  u"-to "_s,     u" ku"_s,   u" shi"_s,       u"tokyo"_s, u"osaka"_s,
                                      u"kyoto"_s, u"hokkaido"_s, u"chome"_s, u"prefecture"_s, u" city"_s};
    const bool word = std::any_of(words.begin(), words.end(), [&](const QString &w) { return k.contains(w); });
    // "2-8-3 Honcho": a street number of two or three groups, then a place
    // name written with a capital.
    qsizetype i = 0;
    int groups = 0;
    while (i < k.size() && vuzo::IsAsciiDigit(k[i])) {
        while (i < k.size() && vuzo::IsAsciiDigit(k[i]))
            ++i;
        ++groups;
        if (i < k.size() && k[i] == u'-')
            ++i;
    }
    const bool street = groups >= 2 && i + 1 < k.size() && k[i] == u' ' && fold[i + 1].isUpper();
    // A street number or a place word alone is as often a product or a date.
    const bool comma = k.contains(u',');
    const bool digit = std::any_of(k.begin(), k.end(), vuzo::IsAsciiDigit);
    if ((street && (word || comma)) || (word && digit))
        return true;
    return afterLatinAddress && (comma || word) && k != u"japan";
}

// A department's name: "総務部", "営業二課"; not a family name that ends the
// same way (長谷部).
bool isDepartmentWord(QStringView w)
{
    static const QStringList families = {u"長谷部"_s, u"日下部"_s, u"曽我部"_s};
    return w.size() >= 3 && endsWithDepartmentWord(w) && !hasStreetNumber(w) && !families.contains(w);
}

// The length of a time at the start of a chat line with its brackets and the
// blanks after it ("[10:21] ", "21:02 "), or 0.
qsizetype timePrefixLength(QStringView tf)
{
    qsizetype i = 0;
    while (i < tf.size() && (tf[i] == u'[' || tf[i] == u'(' || tf[i] == u'【'))
        ++i;
    const qsizetype d = i;
    while (i < tf.size() && vuzo::IsAsciiDigit(tf[i]))
        ++i;
    if (i - d < 1 || i - d > 2 || i >= tf.size() || tf[i] != u':')
        return 0;
    ++i;
    const qsizetype m = i;
    while (i < tf.size() && vuzo::IsAsciiDigit(tf[i]))
        ++i;
    if (i - m != 2)
        return 0;
    while (i < tf.size() && (tf[i] == u']' || tf[i] == u')' || tf[i] == u'】'))
        ++i;
    const qsizetype t = i;
    while (i < tf.size() && vuzo::IsWordBlank(tf[i]))
        ++i;
    return i > t && i < tf.size() ? i : 0;
}

// A line (or what is left of it) without a label.
void classifyFree(Fields &f, const QString &raw, bool cell)
{
    QString text = vuzo::TrimBlanksAndControls(raw);
    if (text.isEmpty())
        return;
    const QString fold = FoldForNumbers(text);
    const qsizetype lead = skipDecoration(fold, 0);
    text = text.mid(lead);
    const QString tf = fold.mid(lead);
    if (!hasContent(tf))
        return;
    // A chat line's time in front of the speaker or the message ("[10:21] 村井",
    // "21:02 ありがとう") is no part of it.
    if (const qsizetype t = timePrefixLength(tf); t > 0) {
        classifyFree(f, text.mid(t), cell);
        return;
    }

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
            addr.truncate(addressEnd(addr));
            QString name;
            splitTrailingName(addr, addr, name);
            addAddress(f, addr);
            if (!name.isEmpty())
                offerName(f, cleanName(name), NameEvidence::AfterAddress);
        } else if (const qsizetype c = cityStart(tf); c >= 0 && !f.addressClosed) {
            // "…同じで、京都市北区金閣寺町1 の 金田です": a city without its
            // prefecture (the dictionary adds it).
            QString addr = cutAtEnd(c);
            QString name;
            splitTrailingName(addr, addr, name);
            addAddress(f, addr);
            if (!name.isEmpty())
                offerName(f, cleanName(name), NameEvidence::AfterCityInSentence);
        } else if (const qsizetype a = tf.indexOf(u"住所は"); a >= 0 && !f.addressClosed) {
            const QString addr = cutAtEnd(a + 3);
            if (isAddressLike(FoldForNumbers(addr)))
                addAddress(f, addr);
        }
        // "…、杉本 千尋、〒…": a name standing alone between the commas.
        if (tf.contains(u'、')) {
            const QStringList parts = text.split(u'、');
            for (const QString &part : parts) {
                if (isNamePart(part) && prefectureIndex(FoldForNumbers(part)) < 0)
                    offerName(f, cleanName(vuzo::TrimBlanksAndControls(part)), NameEvidence::OwnLine);
            }
        }
        for (const QString &w : {u"名前は"_s, u"宛名は"_s, u"氏名は"_s}) {
            const qsizetype n = tf.indexOf(w);
            if (n >= 0) {
                const QString name = cleanName(cutAtEnd(n + w.size()));
                if (isNameLike(name))
                    offerName(f, name, NameEvidence::NamedInSentence);
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
                offerName(f, name, NameEvidence::IntroducedWithDesu);
        }
        const qsizetype m = tf.indexOf(u"と申します");
        if (m > 0) {
            qsizetype b = m;
            while (b > 0 && !vuzo::IsWordBlank(tf[b - 1]) && tf[b - 1] != u'、' && tf[b - 1] != u'。' &&
                   tf[b - 1] != u':' && tf[b - 1] != u'は')
                --b;
            const QString name = cleanName(text.mid(b, m - b));
            if (isNameLike(name))
                offerName(f, name, NameEvidence::IntroducedWithMoushimasu);
        }
        return;
    }

    // 様方 / 気付 / c/o: the household or office the mail goes through.
    for (const QString &w : {u"様方"_s, u"気付"_s}) {
        const qsizetype k = tf.indexOf(w);
        if (k > 0) {
            // "東京都…1-2-3 鈴木様方": the address before the household name.
            qsizetype b = k;
            while (b > 0 && !vuzo::IsWordBlank(tf[b - 1]))
                --b;
            // "吉田 正男 様方": the whole household name before the mark.
            if (isNameLike(cleanName(text.left(k))) || (b == k && prefectureIndex(tf.left(k)) < 0))
                b = 0;
            const QString before = text.left(b);
            const QString after = text.mid(k + w.size());
            f.careOf = vuzo::TrimBlanksAndControls(text.mid(b, k + w.size() - b));
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

    // "新宿郵便局留", "那覇中央郵便局留め": the post office that holds the mail
    // is a line of the address, after the street (or the town) it follows.
    if (const qsizetype k = tf.indexOf(u"局留"); k > 0 && !f.addressClosed) {
        qsizetype b = k;
        while (b > 0 && !vuzo::IsWordBlank(tf[b - 1]))
            --b;
        qsizetype e = k + 2;
        while (e < tf.size() && (tf[e] == u'め' || tf[e] == u'置' || tf[e] == u'き'))
            ++e;
        const QString before = text.left(b);
        const QString after = text.mid(e);
        if (hasContent(before))
            classifyFree(f, before, cell);
        f.buildings << text.mid(b, e - b);
        if (hasContent(after))
            classifyFree(f, after, cell);
        return;
    }
    if (!f.addressClosed && isLatinAddress(tf, f.runOpen && !f.address.isEmpty() &&
                                                   isLatinAddress(FoldForNumbers(f.address.last()), false))) {
        QString addr = text;
        // ", Japan" after the address is for the mail from abroad.
        for (const QString &country : {u", Japan"_s, u", JAPAN"_s, u" Japan"_s, u" JAPAN"_s}) {
            if (addr.endsWith(country))
                addr.chop(country.size());
        }
        addAddress(f, addr);
        return;
    }
    const qsizetype pref = prefectureIndex(tf);
    if (pref > 0) {
        // An address begins with its prefecture: what stands before it is a
        // name ("山田太郎 東京都…"), a company, or no part of the address.
        const QString before = text.left(pref);
        const QString name = cleanName(before);
        if (isNameLike(name))
            offerName(f, name, NameEvidence::BeforeAddress);
        else if (isCompanyLike(FoldForNumbers(before)))
            classifyFree(f, before, cell);
        classifyFree(f, text.mid(pref), cell);
        return;
    }
    if (isAddressLike(tf) || (pref == 0)) {
        if (f.addressClosed)
            return;
        const qsizetype end = addressEnd(text);
        QString addr;
        QString name;
        // "…5-20-3 ミナモビル2F 株式会社ミナモ工芸 松田 圭": the company and its
        // person after the building end the address.
        QString rest = text.left(end);
        const qsizetype within = std::min<qsizetype>(tf.size(), end);
        for (qsizetype b = 1; b < within; ++b) {
            if (!vuzo::IsWordBlank(tf[b - 1]) || vuzo::IsWordBlank(tf[b]))
                continue;
            qsizetype e = b;
            while (e < within && !vuzo::IsWordBlank(tf[e]))
                ++e;
            if (isCompanyLike(tf.mid(b, e - b)) && !isCompanyLike(tf.left(b)) && hasStreetNumber(tf.left(b))) {
                offerCompany(f, text.mid(b, end - b));
                rest = text.left(b);
                break;
            }
        }
        splitTrailingName(rest, addr, name);
        addAddress(f, addr);
        if (!name.isEmpty())
            offerName(f, cleanName(name), NameEvidence::AfterAddress);
        takeAddressTail(f, text.mid(end), cell);
        return;
    }
    // "経理部 村井 奈緒", "総務課 寺西": a department before the person.
    if (const QStringList words = vuzo::SplitAtWordBlanks(tf);
        words.size() >= 2 && isDepartmentWord(words.first()) && isNameLike(cleanName(words.mid(1).join(u' ')))) {
        offerCompany(f, text);
        f.runOpen = false;
        return;
    }
    // "花屋ミナモ 栄店": a store or a branch named by its last word.
    if (const QStringList words = vuzo::SplitAtWordBlanks(tf);
        words.size() >= 2 && words.last().size() >= 2 && !hasHonorific(tf) &&
        (words.last().endsWith(u'店') || words.last().endsWith(u"支社")) &&
        std::none_of(tf.begin(), tf.end(), vuzo::IsAsciiDigit)) {
        offerCompany(f, text);
        f.runOpen = false;
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
        if (hasStreetNumber(lastFold) && vuzo::IsAsciiDigit(tf.back()) && !hasHonorific(tf) &&
            std::any_of(tf.begin(), tf.end(), [](QChar c) { return vuzo::IsKatakana(c) || vuzo::IsKanji(c); }) &&
            !hasMunicipality(tf)) {
            f.buildings << text;
            return;
        }
    }
    if (isBuildingLike(tf) && !hasHonorific(tf) && !f.address.isEmpty() && !f.addressClosed &&
        std::any_of(tf.begin(), tf.end(), vuzo::IsAsciiDigit)) {
        f.buildings << text;
        return;
    }
    // The building of the address written below the name ("山田 太郎" then
    // "アパート富山 203号"): still line 2, never a name.
    if (!f.address.isEmpty() && f.buildings.isEmpty() && hasBuildingWord(tf) && !hasHonorific(tf)) {
        f.buildings << text;
        return;
    }
    // "ｱﾊﾟｰﾄ盛岡 203号" above the address: a building word and a room number
    // on a short line are line 2 all the same, never a name.
    if (f.address.isEmpty() && f.zip.isEmpty() && f.buildings.isEmpty() && tf.size() <= 30 &&
        hasKatakanaBuildingWord(tf) && std::any_of(tf.begin(), tf.end(), vuzo::IsAsciiDigit) && !hasHonorific(tf)) {
        f.buildings << text;
        return;
    }
    // The street part of an address whose code stood on the line before:
    // "〒150-0043" then "道玄坂1-2-3" (the dictionary adds the city).
    if (f.address.isEmpty() && !f.zip.isEmpty() && !f.addressClosed && hasKanji(tf) &&
        std::any_of(tf.begin(), tf.end(), vuzo::IsAsciiDigit) && !hasHonorific(tf) && !isBuildingLike(tf)) {
        addAddress(f, text);
        return;
    }
    const QString name = cleanName(text);
    if (isNameLike(name)) {
        offerName(f, name,
                  hasHonorific(tf) ? NameEvidence::WithHonorific : (cell ? NameEvidence::Cell : NameEvidence::OwnLine));
        if (f.runOpen)
            f.addressClosed = true;
        f.runOpen = false;
        return;
    }
    if (!f.address.isEmpty() && f.runOpen && !std::any_of(tf.begin(), tf.end(), vuzo::IsAsciiDigit))
        return; // a note between address lines
    if (f.runOpen)
        f.addressClosed = true;
    f.runOpen = false;
}

void takeItem(Fields &f, const Item &it, const Parsed &p)
{
    if (hasCorrectionWord(QStringView(it.key))) {
        f.unlock = true;
        f.addressClosed = false; // the corrected address comes after the name
    }
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
            offerName(f, name, hasHonorific(rest) ? NameEvidence::BesideTelWithHonorific : NameEvidence::BesideTel);
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
        // "宛名は村井奈緒様でお願いします": the name up to the end of its words.
        if (p.label == Label::Name) {
            const QString fold = FoldForNumbers(rest);
            qsizetype e = fold.size();
            for (const QString &w : {u"様で"_s, u"でお願"_s, u"です"_s, u"で、"_s, u"。"_s, u"、"_s}) {
                const qsizetype k = fold.indexOf(w);
                if (k > 0 && k < e)
                    e = k;
            }
            const QString name = cleanName(rest.left(e));
            if (isNameLike(name))
                offerName(f, name, NameEvidence::NamedInSentence);
        }
        classifyFree(f, rest, it.cell);
        return;
    }
    switch (p.label) {
    case Label::Name:
        if (isCompanyLike(FoldForNumbers(rest))) {
            offerCompany(f, rest);
        } else {
            // "ご担当：総務部 松田様": the department goes with the address.
            QString person = rest;
            if (const QStringList words = vuzo::SplitAtWordBlanks(vuzo::TrimBlanksAndControls(rest));
                words.size() >= 2 && isDepartmentWord(words.first())) {
                f.company << words.first();
                person = words.mid(1).join(u' ');
            }
            QString name = cleanName(person);
            // "お客様各位" addresses every customer, none by name.
            if (!name.isEmpty() && !hasSentenceWord(QStringView(name)) && !name.contains(u"各位"))
                offerName(f, name, NameEvidence::Labelled);
        }
        return;
    case Label::Family: f.family = cleanName(rest); return;
    case Label::Given: f.given = cleanName(rest); return;
    case Label::Pref:
        f.address.prepend(vuzo::TrimBlanksAndControls(rest));
        f.runOpen = true;
        return;
    case Label::Address: {
        if (f.unlock) {
            f.address.clear();
            f.buildings.clear();
            f.unlock = false;
        }
        const qsizetype end = addressEnd(rest);
        QString addr;
        QString name;
        splitTrailingName(rest.left(end), addr, name);
        const QString t = trimSeparators(addr);
        if (!t.isEmpty()) {
            f.address << t;
            f.runOpen = true;
        }
        if (!name.isEmpty())
            offerName(f, cleanName(name), NameEvidence::AfterAddress);
        takeAddressTail(f, rest.mid(end), it.cell);
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

// "お客様区分：リピート", "配送希望日：指定なし": a value under a key the
// transfer does not know, so no data of the customer (an address, a number or
// a sentence under such a key is still read).
bool isUnknownKeyLine(const Item &it)
{
    const QStringView key(it.key);
    const qsizetype start = skipDecoration(key, 0);
    const qsizetype colon = key.indexOf(u':', start);
    if (colon - start < 3 || colon - start > 10)
        return false;
    const QStringView head = key.mid(start, colon - start);
    qsizetype roleLength = 0;
    if (std::any_of(head.begin(), head.end(), [](QChar c) { return vuzo::IsAsciiDigit(c) || isDecoration(c); }) ||
        labelAt(key, start).matched || roleWordAt(head, roleLength) != Role::None || prefectureIndex(head) >= 0 ||
        isNameLike(cleanName(head.toString())))
        return false;
    const QStringView value = QStringView(it.fold).mid(colon + 1);
    return hasContent(value) && !value.contains(u'〒') && !isAddressLike(stripDecoration(value)) &&
           !isSentence(value) && FindNumbers(value).isEmpty();
}

struct Group
{
    QList<const Item *> items;
    QList<Parsed> parsed;
    QList<int> paragraph;
};

} // namespace

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
                // The first block is a signature only with the shop's hours or
                // its operator: a customer may well name the shop there.
                const bool shopFooter = std::any_of(block.begin(), block.end(), [](const Item *it) {
                    for (QStringView w :
                         {u"営業時間", u"定休日", u"受付時間", u"運営会社", u"発行元", u"copyright", u"©"}) {
                        if (it->key.contains(w))
                            return true;
                    }
                    return false;
                });
                if ((b > 0 || shopFooter) && isSignatureBlock(block)) {
                    for (qsizetype k = b; k < i; ++k)
                        signature[k] = true;
                }
                b = i + 1;
            }
        }
    }

    Group recipient, orderer, free;
    // A second heading of the recipient's (or the orderer's) block closes the
    // first: a paste of several orders gives its first customer, and says
    // that there are more when the later blocks hold an address.
    bool closed[2] = {false, false};
    bool withAddress[2] = {false, false};
    bool others = false;
    const auto carriesAddress = [](const Item &it, const Parsed &p) {
        const QList<NumberMatch> numbers = FindNumbers(it.fold);
        return startsWithPrefecture(stripDecoration(QStringView(it.fold).mid(p.valueStart))) ||
               std::any_of(numbers.begin(), numbers.end(),
                           [](const NumberMatch &m) { return m.kind == NumberMatch::PostalCode; });
    };
    Role current = Role::None;
    Label pending = Label::None;
    Role pendingRole = Role::None;
    int paragraph = 0;
    // A form that puts each label on its own line, its value under it: blank
    // lines between labels and values do not part the form.
    bool form = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Item *it = lines[i];
        if (it->blank || it->separator) {
            if (it->separator || !form)
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
            if (p.label == Label::None && (p.role == Role::Recipient || p.role == Role::Orderer)) {
                const int side = p.role == Role::Recipient ? 0 : 1;
                closed[side] = withAddress[side];
            }
            pending = p.label;
            pendingRole = p.role;
            form = form || p.label != Label::None;
            continue;
        }
        form = form && (pending != Label::None || p.label != Label::None);
        if (p.label == Label::None && p.role == Role::None && isUnknownKeyLine(*it)) {
            pending = Label::None;
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
        // A shop's or mall's signature after a separator is no customer's,
        // even under the recipient's heading the order gave above it.
        if (signature[i])
            role = Role::Other;
        Group *g = role == Role::Recipient ? &recipient
                   : role == Role::Orderer ? &orderer
                   : role == Role::None    ? &free
                                           : nullptr;
        if (!g)
            continue;
        if (g != &free) {
            const int side = g == &recipient ? 0 : 1;
            const bool again = withAddress[side] && p.role != Role::None &&
                               (p.label == Label::None || p.label == Label::Address || p.label == Label::Zip);
            const bool address = (!withAddress[side] || again || (closed[side] && !others)) && carriesAddress(*it, p);
            // "お届け先：〒…" again once the block has its address.
            if (address && again)
                closed[side] = true;
            if (closed[side]) {
                others = others || address;
                continue;
            }
            withAddress[side] = withAddress[side] || address;
        }
        g->items << it;
        g->parsed << p;
        g->paragraph << paragraph;
    }

    // A block without a name takes the one the mail is addressed to
    // ("大野 真一 様" above "ご注文ありがとうございます").
    auto withSalutation = [&](Fields f) {
        if (f.name.text.isEmpty() && f.family.isEmpty() && f.company.isEmpty()) {
            const Fields top = extract(free.items, free.parsed);
            if (top.name.score >= nameWeight(NameEvidence::WithHonorific))
                f.name = top.name;
        } else if (f.family.isEmpty() && !f.name.text.isEmpty() && !f.name.text.contains(u' ') &&
                   !f.name.text.contains(QChar(vuzo::kIdeographicSpace))) {
            // "松田 圭 様" above the order and "松田" alone in its block: the
            // full name of the salutation.
            const Fields top = extract(free.items, free.parsed);
            QString full = top.name.text;
            full.removeIf(vuzo::IsWordBlank);
            if (top.name.score >= nameWeight(NameEvidence::WithHonorific) && full.size() > f.name.text.size() &&
                full.startsWith(f.name.text))
                f.name = top.name;
        }
        return f;
    };
    auto withOthers = [&](Fields f) {
        f.others = f.others || others;
        return f;
    };
    const Fields rec = extract(recipient.items, recipient.parsed);
    const Fields ord = extract(orderer.items, orderer.parsed);
    if (rec.hasAddress() && !rec.sameAs) {
        Fields f = withOthers(withSalutation(rec));
        // A gift: the orderer's own address comes along.
        if (ord.hasAddress() && (ord.zip != f.zip || ord.address != f.address))
            f.orderer = std::make_shared<const Fields>(ord);
        return f;
    }
    if ((rec.sameAs || !rec.hasAddress()) && ord.hasAddress()) {
        Fields f = ord;
        // A gift without the recipient's address but with a name keeps it.
        if (!rec.sameAs && !rec.name.text.isEmpty())
            f.name = rec.name;
        return withOthers(withSalutation(f));
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
    // A later correction ("住所を間違えました。正しくは…") replaces what it gives;
    // another address that corrects nothing is another customer's.
    for (qsizetype k = anchor + 1; k < paragraphs.size(); ++k) {
        bool correction = false;
        for (qsizetype i = paragraphs[k].first; i < paragraphs[k].second && !correction; ++i)
            correction = hasCorrectionWord(QStringView(free.items[i]->key));
        if (!correction) {
            bool mayHold = false;
            for (qsizetype i = paragraphs[k].first; i < paragraphs[k].second && !mayHold && !best.others; ++i)
                mayHold = free.items[i]->fold.contains(u'〒') || prefectureIndex(free.items[i]->fold) >= 0;
            if (mayHold) {
                const Fields other = fieldsOfParagraphs(k, k);
                best.others = other.hasAddress() && (other.zip != best.zip || other.address != best.address);
            }
            continue;
        }
        const Fields c = fieldsOfParagraphs(k, std::min(k + 1, paragraphs.size() - 1));
        if (!c.zip.isEmpty())
            best.zip = c.zip;
        if (!c.tel.isEmpty())
            best.tel = c.tel;
        if (!c.address.isEmpty()) {
            best.address = c.address;
            best.buildings = c.buildings;
        }
        if (!c.name.text.isEmpty() && c.name.score >= nameWeight(NameEvidence::OwnLine))
            best.name = c.name;
    }
    return best;
}

} // namespace transfer::smart

namespace transfer::smart {

namespace {

using namespace Qt::StringLiterals;

// Replaces the whole number from (not a part of a longer one) by to in the
// last piece that holds it. True when one was replaced.
bool replaceNumber(QStringList &pieces, const QString &from, const QString &to)
{
    for (qsizetype k = pieces.size() - 1; k >= 0; --k) {
        const QString fold = FoldForNumbers(pieces[k]);
        for (qsizetype at = fold.lastIndexOf(from); at >= 0; at = at > 0 ? fold.lastIndexOf(from, at - 1) : -1) {
            const qsizetype end = at + from.size();
            if ((at > 0 && vuzo::IsAsciiDigit(fold[at - 1])) || (end < fold.size() && vuzo::IsAsciiDigit(fold[end])))
                continue;
            pieces[k].replace(at, from.size(), to);
            return true;
        }
    }
    return false;
}

bool isMobile(const QString &tel)
{
    return tel.startsWith(u"090") || tel.startsWith(u"080") || tel.startsWith(u"070");
}

// A building named in a sentence of a follow-up: "加納町コート605です".
QString buildingInSentence(const QString &raw)
{
    static const QRegularExpression parts(u"[。、：:！!]"_s);
    static const QStringList tails = {u"でお願いします"_s, u"をお願いします"_s, u"になります"_s, u"でした"_s,
                                      u"です"_s};
    for (QString part : raw.split(parts, Qt::SkipEmptyParts)) {
        part = vuzo::TrimBlanksAndControls(part);
        for (const QString &t : tails) {
            if (part.endsWith(t)) {
                part = vuzo::TrimBlanksAndControls(part.chopped(t.size()));
                break;
            }
        }
        const QString fold = FoldForNumbers(part);
        if (part.size() >= 3 && part.size() <= 30 && hasBuildingWord(fold) &&
            std::any_of(fold.begin(), fold.end(), vuzo::IsAsciiDigit) && prefectureIndex(fold) < 0 &&
            !fold.contains(u"建物名") && !isSentence(fold))
            return part;
    }
    return {};
}

} // namespace

void applyFollowUps(Fields &f, const QList<const Item *> &lines)
{
    if (!f.hasAddress())
        return;
    static const QRegularExpression swap(
        u"(\\d[\\d-]*)\\s*(?:号室)?\\s*(?:じゃなくて|じゃなく|ではなくて|ではなく|でなく|→|⇒)\\s*(\\d[\\d-]*)"_s);
    static const QRegularExpression roomWas(u"(?:^|[^\\d-])(\\d{2,4})\\s*(?:号室)?\\s*(?:でした|の間違い)"_s);
    static const QStringList forgotten = {u"書き忘れ"_s, u"忘れて"_s, u"抜けて"_s, u"漏れて"_s, u"追記"_s};
    static const QStringList daytime = {u"日中"_s, u"昼間"_s, u"平日"_s, u"つながりやすい"_s, u"繋がりやすい"_s};
    bool wantsMobile = false;
    for (const Item *it : lines) {
        if (it->blank || it->separator)
            continue;
        const QString &fold = it->fold;
        // Only a line with one of the words below can change anything.
        const auto trigger = [](QChar c) {
            switch (c.unicode()) {
            case u'な':
            case u'→':
            case u'⇒':
            case u'で':
            case u'日':
            case u'携':
            case u'間':
            case u'平':
            case u'や':
            case u'忘':
            case u'抜':
            case u'漏':
            case u'追': return true;
            default: return false;
            }
        };
        if (std::none_of(fold.begin(), fold.end(), trigger))
            continue;
        // "202じゃなくて203でした": the number the writer corrects.
        if (const QRegularExpressionMatch m = swap.match(fold); m.hasMatch()) {
            const QString to = it->raw.mid(m.capturedStart(2), m.capturedLength(2));
            if (!replaceNumber(f.buildings, m.captured(1), to) && !replaceNumber(f.address, m.captured(1), to) &&
                FoldForNumbers(f.tel).remove(u'-') == QString(m.captured(1)).remove(u'-'))
                f.tel = FindNumbers(FoldForNumbers(to), NumberContext::PhoneField).value(0).value;
            continue;
        }
        // "部屋番号、503でした。すみません": the room number alone.
        if (const QRegularExpressionMatch m = roomWas.match(fold);
            m.hasMatch() && (fold.contains(u"すみません") || fold.contains(u"失礼") || fold.contains(u"申し訳") ||
                             fold.contains(u"ごめん") || hasCorrectionWord(fold) || fold.contains(u"部屋"))) {
            static const QRegularExpression lastRoom(u"(\\d{2,4})(?:号室|号)?\\s*$"_s);
            QStringList &pieces = f.buildings.isEmpty() ? f.address : f.buildings;
            if (!pieces.isEmpty()) {
                const QRegularExpressionMatch r = lastRoom.match(FoldForNumbers(pieces.last()));
                if (r.hasMatch() && r.capturedLength(1) == m.capturedLength(1) && r.captured(1) != m.captured(1))
                    pieces.last().replace(r.capturedStart(1), r.capturedLength(1), m.captured(1));
            }
            continue;
        }
        // "建物名を書き忘れました。加納町コート605です".
        if (std::any_of(forgotten.begin(), forgotten.end(), [&](const QString &w) { return fold.contains(w); })) {
            const QString building = buildingInSentence(it->raw);
            if (!building.isEmpty() && !f.buildings.contains(building)) {
                f.buildings = QStringList{building};
                continue;
            }
        }
        // "日中は携帯へお願いします", "平日はこちら 080-…".
        const bool shopHours = hasSignatureWord(it->key) || fold.contains(u"営業") || fold.contains(u"受付");
        if (!shopHours &&
            (std::any_of(daytime.begin(), daytime.end(), [&](const QString &w) { return fold.contains(w); }) ||
             fold.contains(u"携帯へ") || fold.contains(u"携帯に") || fold.contains(u"携帯まで"))) {
            const QList<NumberMatch> numbers = FindNumbers(fold, NumberContext::FreeText);
            const auto phone = std::find_if(numbers.begin(), numbers.end(),
                                            [](const NumberMatch &n) { return n.kind == NumberMatch::Phone; });
            if (phone != numbers.end())
                f.tel = phone->value;
            else if (fold.contains(u"携帯"))
                wantsMobile = true;
        }
    }
    if (wantsMobile && !isMobile(f.tel)) {
        for (const Item *it : lines) {
            for (const NumberMatch &n : FindNumbers(it->fold, NumberContext::FreeText)) {
                if (n.kind == NumberMatch::Phone && isMobile(n.value)) {
                    f.tel = n.value;
                    return;
                }
            }
        }
    }
}

} // namespace transfer::smart
