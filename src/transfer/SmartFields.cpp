// The fields of the items: labelled values, numbers, free lines, and the block
// the fields are taken from.

#include "transfer/SmartTransfer_p.h"

#include "platform/JapaneseText.h"

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
        QString addr;
        QString name;
        // "…5-20-3 ミナモビル2F 株式会社ミナモ工芸 松田 圭": the company and its
        // person after the building end the address.
        QString rest = text;
        for (qsizetype b = 1; b < tf.size(); ++b) {
            if (!vuzo::IsWordBlank(tf[b - 1]) || vuzo::IsWordBlank(tf[b]))
                continue;
            qsizetype e = b;
            while (e < tf.size() && !vuzo::IsWordBlank(tf[e]))
                ++e;
            if (isCompanyLike(tf.mid(b, e - b)) && !isCompanyLike(tf.left(b)) && hasStreetNumber(tf.left(b))) {
                offerCompany(f, text.mid(b));
                rest = text.left(b);
                break;
            }
        }
        splitTrailingName(rest, addr, name);
        addAddress(f, addr);
        if (!name.isEmpty())
            offerName(f, cleanName(name), NameEvidence::AfterAddress);
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
    if (hasCorrectionWord(QStringView(it.key)))
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
        QString addr;
        QString name;
        splitTrailingName(rest, addr, name);
        const QString t = trimSeparators(addr);
        if (!t.isEmpty()) {
            f.address << t;
            f.runOpen = true;
        }
        if (!name.isEmpty())
            offerName(f, cleanName(name), NameEvidence::AfterAddress);
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
            correction = hasCorrectionWord(QStringView(free.items[i]->key));
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
        if (!c.name.text.isEmpty() && c.name.score >= nameWeight(NameEvidence::OwnLine))
            best.name = c.name;
    }
    return best;
}

} // namespace transfer::smart
