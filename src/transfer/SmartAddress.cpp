// The address: prefecture, city and street number, building, the slip's
// address lines and the dictionary's check.

#include "transfer/SmartTransfer_p.h"

#include "platform/JapaneseText.h"

#include <algorithm>
#include <initializer_list>

namespace transfer::smart {

namespace {

using namespace Qt::StringLiterals;

// The length of the prefecture name that ends at position end - 1, or 0.
qsizetype prefectureEndingAt(QStringView s, qsizetype end)
{
    for (qsizetype len : {3, 4}) {
        if (end >= len && vuzo::IsPrefectureName(s.mid(end - len, len)))
            return len;
    }
    return 0;
}

// Joins address pieces: an address written over several lines runs on
// without a blank; a blank stays where a piece ends in a number and the next
// begins with one.
QString joinPieces(const QStringList &pieces)
{
    QString out;
    for (const QString &p : pieces) {
        if (!out.isEmpty() && vuzo::IsAsciiDigit(FoldForNumbers(out.right(1)).front()) &&
            vuzo::IsAsciiDigit(FoldForNumbers(p.left(1)).front()))
            out += u'-';
        // Lines of an address in Latin letters: "2-8-3 Honcho, Aoba-ku" and
        // "Sendai, Miyagi" read as one with a comma between.
        else if (!out.isEmpty() && vuzo::IsAsciiLetter(out.back()) && p.front().unicode() < 0x80 &&
                 (vuzo::IsAsciiLetter(p.front()) || vuzo::IsAsciiDigit(p.front())))
            out += u", ";
        out += p;
    }
    return out;
}

// The part of a dictionary address up to its city: "東京都港区", "北海道札幌市",
// "長野県北佐久郡".
QString cityPart(const QString &address)
{
    const qsizetype start = vuzo::PrefectureLength(address);
    for (qsizetype i = start + 1; i < address.size(); ++i) {
        const QChar c = address[i];
        if (c == u'市' || c == u'区' || c == u'郡' || c == u'町' || c == u'村')
            return address.left(i + 1);
    }
    return address;
}

// The part of a dictionary address up to its ward or town of a county:
// "広島県広島市中区", "北海道虻田郡倶知安町", "愛知県岡崎市".
QString municipalityPart(const QString &address)
{
    const qsizetype start = vuzo::PrefectureLength(address);
    for (qsizetype i = start + 1; i < address.size(); ++i) {
        const QChar c = address[i];
        if (c == u'区' || c == u'町' || c == u'村')
            return address.left(i + 1);
        if (c == u'市') {
            // A city with wards goes on to its ward.
            for (qsizetype k = i + 2; k < std::min(address.size(), i + 6); ++k) {
                if (address[k] == u'区')
                    return address.left(k + 1);
            }
            return address.left(i + 1);
        }
        if (c == u'郡') {
            for (qsizetype k = i + 2; k < address.size(); ++k) {
                if (address[k] == u'町' || address[k] == u'村')
                    return address.left(k + 1);
            }
        }
    }
    return address;
}

} // namespace

bool startsWithPrefecture(QStringView s)
{
    // A three-character name may stand one character in: "〒東京都…".
    return vuzo::PrefectureLength(s) > 0 || vuzo::IsPrefectureName(s.mid(1, 3));
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
    return std::any_of(fold.begin(), fold.end(), vuzo::IsAsciiDigit) || fold.contains(u"丁目") ||
           fold.contains(u"番地") || fold.contains(u"番") || fold.contains(u"号");
}

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
    if (hasBuildingWord(fold))
        return true;
    // "101", "#203", "5F", "B-201": a room or floor alone.
    const QString t = stripDecoration(fold);
    if (t.isEmpty() || t.size() > 8)
        return false;
    bool digit = false;
    for (QChar c : t) {
        if (vuzo::IsAsciiDigit(c))
            digit = true;
        else if (!(c == u'-' || c == u'#' || c == u'F' || c == u'f' || vuzo::IsAsciiLetter(c)))
            return false;
    }
    return digit;
}

// Where a city name followed by a street number begins in a sentence: the
// kanji run before the first 市 (or 区, 町, 村, 郡) that has a digit after it.
qsizetype cityStart(QStringView fold)
{
    for (qsizetype i = 1; i < fold.size(); ++i) {
        const QChar c = fold[i];
        if (c != u'市' && c != u'区' && c != u'町' && c != u'村' && c != u'郡')
            continue;
        qsizetype b = i;
        while (b > 0 && vuzo::IsKanji(fold[b - 1]))
            --b;
        if (b == i || i - b > 4)
            continue;
        const QStringView after = fold.mid(i, 24);
        if (std::any_of(after.begin(), after.end(), vuzo::IsAsciiDigit))
            return b;
    }
    return -1;
}

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
            (vuzo::IsKanjiNumeral(fold[i]) && !(i + 1 < n && (fold[i + 1] == u'丁' || fold[i + 1] == u'番')))) {
            ++i;
            continue;
        }
        const qsizetype b = i;
        bool ascii = false;
        while (i < n && blockChars.contains(fold[i])) {
            if (vuzo::IsAsciiDigit(fold[i]))
                ascii = true;
            // A kanji numeral goes on with the block only when a 丁目, 番, 号
            // or 条 follows it: the 六 of "1号六本木ヒルズ" begins a name.
            if (vuzo::IsKanjiNumeral(fold[i]) && i > b) {
                qsizetype k = i;
                while (k < n && vuzo::IsKanjiNumeral(fold[k]))
                    ++k;
                if (!(k < n && QStringView(u"丁番号条線").contains(fold[k])))
                    break;
            }
            // "2丁目" then "地" of 番地 and "番" are in the set; "の" after a
            // number only when a number follows it.
            if (fold[i] == u'の' &&
                !(i + 1 < n && (vuzo::IsAsciiDigit(fold[i + 1]) || vuzo::IsKanjiNumeral(fold[i + 1]))))
                break;
            ++i;
        }
        const qsizetype e = i;
        if (e >= n)
            return;
        const QStringView rest = QStringView(fold).mid(e);
        qsizetype nextDigit = e;
        while (nextDigit < n && !vuzo::IsAsciiDigit(fold[nextDigit]))
            ++nextDigit;
        const QStringView upToDigit = QStringView(fold).mid(e, nextDigit - e);
        const bool split =
            vuzo::IsWordBlank(rest.front()) || hasBuildingWord(upToDigit) ||
            (ascii && (vuzo::IsKatakana(rest.front()) || (vuzo::IsAsciiLetter(rest.front()) && rest.front() != u'F')));
        if (split && b > 0) {
            line1 = vuzo::TrimBlanksAndControls(QStringView(address).left(e));
            line2 = vuzo::TrimBlanksAndControls(QStringView(address).mid(e));
            return;
        }
    }
}

qsizetype addressEnd(QStringView text)
{
    const QString fold = FoldForNumbers(text);
    const QString key = keyOf(fold);
    static const QStringView kAfterWords[] = {u"よろしく", u"宜しく", u"お願い", u"ありがと", u"です",
                                              u"でお願",   u"まで",   u"へ送",   u"宛"};
    bool street = false;
    for (qsizetype i = 0; i < fold.size(); ++i) {
        const QChar c = fold[i];
        // A column or a part of a sentence after the street number; a comma
        // only after a Japanese address (a Western one has its own commas).
        if (street && (c == u'、' || ((c == u',' || c == u'，') && hasKanji(fold.left(i)))))
            return i;
        if (!vuzo::IsWordBlank(c) && c != u'¥' && c != u'￥') {
            street = street || vuzo::IsAsciiDigit(c) || c == u'丁' || c == u'番' || c == u'号';
            continue;
        }
        if (!street)
            continue;
        if (c == u'¥' || c == u'￥' || c == u'\t' || (i + 1 < fold.size() && vuzo::IsWordBlank(fold[i + 1])))
            return i;
        const QStringView after = QStringView(fold).mid(i + 1);
        qsizetype digits = 0;
        while (digits < after.size() && (vuzo::IsAsciiDigit(after[digits]) || after[digits] == u','))
            ++digits;
        if (after.startsWith(u'¥') || after.startsWith(u'￥') || (digits > 0 && after.mid(digits).startsWith(u'円')))
            return i;
        if (std::any_of(std::begin(kAfterWords), std::end(kAfterWords),
                        [&](QStringView w) { return after.startsWith(w); }))
            return i;
        if (const LabelMatch m = labelAt(key, i + 1);
            m.matched && m.label != Label::None && m.valueStart < key.size() && isValueSeparator(key[m.valueStart - 1]))
            return i;
    }
    return text.size();
}

namespace {

// A building a sentence names after its street address (「…5-6 の「メゾン
// 北一条 301」です」): the particle and the quotes around the name go.
QString proseBuilding(const QString &line)
{
    QString b = line.trimmed();
    if (b.startsWith(u'の') && b.size() > 1 && QStringView(u"「『\"").contains(b.at(1)))
        b.remove(0, 1);
    if (b.size() > 2 && QStringView(u"「『").contains(b.front())) {
        const QChar close = b.front() == u'「' ? u'」' : u'』';
        const qsizetype end = b.indexOf(close);
        if (end > 1)
            b = b.mid(1, end - 1) + b.mid(end + 1).trimmed();
    }
    return b;
}

} // namespace

void fillAddress(SmartTransferResult &r, const Fields &f)
{
    QString line1;
    QString line2;
    // An address has a few pieces; a paste of thousands of building-like
    // lines is no address, and the fields stay of a readable size.
    constexpr qsizetype kMostPieces = 6;
    const QString joined = joinPieces(f.address.mid(0, kMostPieces));
    // An address in Latin letters ("5-20-3 Sakae, Naka-ku, Nagoya") begins
    // with its street number and stays whole.
    if (std::all_of(joined.begin(), joined.end(), [](QChar c) { return c.unicode() < 0x80; }))
        line1 = joined;
    else
        splitAtStreetNumber(joined, line1, line2);
    QStringList second;
    if (!line2.isEmpty())
        second << proseBuilding(line2);
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
    r.add2 = withoutEmoji(second.join(QChar(vuzo::kIdeographicSpace)));
    r.add3 = withoutEmoji(third.join(QChar(vuzo::kIdeographicSpace)));
}

namespace {

// An address written in roman letters only (「3-14-2 Nishi-Shinjuku,
// Shinjuku-ku, Tokyo」): no kana or kanji, a few letters.
bool isRomajiAddress(QStringView s)
{
    int letters = 0;
    for (const QChar c : s) {
        if (c.unicode() >= 0x3000)
            return false;
        if (vuzo::IsAsciiLetter(c))
            ++letters;
    }
    return letters >= 4;
}

// Words of a building, a room or a floor in roman letters.
bool isRomajiBuildingWord(QStringView word)
{
    static const QStringView words[] = {
        u"mansion",  u"heights", u"haitsu", u"apartment", u"apartments", u"apt",   u"room", u"rm",    u"bldg",
        u"building", u"biru",    u"tower",  u"residence", u"court",      u"corp",  u"coop", u"co-op", u"house",
        u"hills",    u"plaza",   u"palace", u"villa",     u"maison",     u"floor", u"fl",   u"unit",  u"suite"};
    QString w = word.toString().toLower();
    w.remove(u'.');
    for (const QStringView b : words) {
        if (w == b)
            return true;
    }
    return word.startsWith(u'#') || (w.endsWith(u"f") && w.size() <= 3 && w.front().isDigit());
}

// A street number in roman order: digits and hyphens (「3-14-2」, 「12」).
bool isRomajiStreetNumber(QStringView word)
{
    if (word.isEmpty() || !word.front().isDigit() || !word.back().isDigit())
        return false;
    return std::all_of(word.begin(), word.end(), [](QChar c) { return c.isDigit() || c == u'-'; });
}

// The address of a romaji text in Japanese: the dictionary's prefecture, city
// and town for the code, the text's street number after it, and the text's
// building and room (left in roman letters) as line 2. The parts that name
// the town, ward, city, prefecture and country are the ones the dictionary
// gives; a part with a building word, or one before the street number, is the
// building. False when the text has no street number to place.
bool romajiToDictionary(SmartTransferResult &r, const QString &dictionaryAddress)
{
    QStringList building;
    QString street;
    const QStringList parts = r.add1.split(u',', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QStringList words = part.simplified().split(u' ', Qt::SkipEmptyParts);
        const bool buildingPart =
            std::any_of(words.begin(), words.end(), [](const QString &w) { return isRomajiBuildingWord(w); });
        QStringList kept;
        for (const QString &w : words) {
            if (street.isEmpty() && isRomajiStreetNumber(w) && !buildingPart)
                street = w;
            else if (buildingPart || street.isEmpty())
                kept << w;
        }
        if (!kept.isEmpty() && (buildingPart || street.isEmpty()))
            building << kept.join(u' ');
    }
    if (street.isEmpty())
        return false;
    r.add1 = dictionaryAddress + street;
    if (!building.isEmpty()) {
        const QString b = building.join(u' ');
        r.add2 = r.add2.isEmpty() ? b : b + QChar(vuzo::kIdeographicSpace) + r.add2;
    }
    return true;
}

} // namespace

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
        while (e < fold.size() && !vuzo::IsAsciiDigit(fold[e]) && !vuzo::IsKanjiNumeral(fold[e]))
            ++e;
        // A code ending in 0000 stands for a whole city: it is taken only when
        // no town's code fits, and then with a warning.
        QStringList towns;
        QStringList cities;
        for (const QString &c : postal->codesOf(r.add1.left(e)))
            (c.endsWith(u"0000") ? cities : towns) << c;
        if (towns.size() == 1) {
            r.zip = FormatPostalDigits(towns.first());
        } else if (towns.isEmpty() && cities.size() == 1) {
            r.zip = FormatPostalDigits(cities.first());
            r.warning = u"郵便番号 "_s + r.zip + u" は市区町村全体の番号です。町域の郵便番号を確かめてください"_s;
        }
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
    // An address in roman letters is written as the dictionary spells the
    // code's town, when the code names one town.
    if (known.size() == 1 && isRomajiAddress(r.add1) && romajiToDictionary(r, known.first()))
        return;
    QString a1 = r.add1;
    a1.removeIf(vuzo::IsSpaceOfEitherWidth);
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
        // A town the dictionary spells otherwise ("架空基町6-78" under a code of
        // 基町) still gets its city when the text names none; every character
        // of the text's address stays.
        if (head.isEmpty()) {
            qsizetype e = 0;
            while (e < a1.size() && !vuzo::IsAsciiDigit(FoldForNumbers(a1.mid(e, 1)).front()))
                ++e;
            const QStringView town = QStringView(a1).left(e);
            const QString city = municipalityPart(known.first());
            const bool sameCity =
                std::all_of(known.begin(), known.end(), [&](const QString &k) { return municipalityPart(k) == city; });
            if (sameCity && city != known.first() && !town.contains(u'市') && !town.contains(u'区') &&
                !town.contains(u'郡') && (city.endsWith(u'市') || city.endsWith(u'区')))
                head = city;
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

} // namespace transfer::smart
