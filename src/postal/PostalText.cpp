#include "postal/PostalText.h"

#include "platform/JapaneseText.h"

using namespace Qt::StringLiterals;

namespace postal {

namespace {

// The ASCII hyphen-minus or a dash written for one.
bool isDash(char16_t c)
{
    return c == u'-' || vuzo::IsHyphenLike(c);
}

// Half-width katakana U+FF61 .. U+FF9D and their full-width forms.
constexpr std::u16string_view kHalfKana = u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナ"
                                          u"ニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";

// The full-width kana that takes a voiced (゛) or semi-voiced (゜) mark, and the
// result of adding it; 0 when it takes none.
char16_t voiced(char16_t c, bool semi)
{
    constexpr std::u16string_view kVoiced = u"カキクケコサシスセソタチツテトハヒフヘホ";
    constexpr std::u16string_view kSemiVoiced = u"ハヒフヘホ";
    if (semi)
        return kSemiVoiced.find(c) != std::u16string_view::npos ? char16_t(c + 2) : 0;
    if (c == u'ウ')
        return u'ヴ';
    return kVoiced.find(c) != std::u16string_view::npos ? char16_t(c + 1) : 0;
}

// A run of kanji numerals as decimal digits: 二十三 as 23, 百 as 100, 二〇二 as 202.
void appendKanjiNumber(std::u16string &out, std::u16string_view run)
{
    bool units = false;
    for (char16_t c : run)
        units = units || vuzo::KanjiUnitValue(c) != 0;
    if (!units) {
        for (char16_t c : run)
            out.push_back(char16_t(u'0' + vuzo::KanjiDigitValue(c)));
        return;
    }
    // A run whose value passes kLargest names no street number or block of
    // any address; it stays as the kanji it was written in rather than
    // overflowing the sums below.
    constexpr long long kLargest = 1'000'000'000'000'000LL;
    const auto keepAsText = [&] { out.append(run); };
    long long total = 0;
    long long current = -1;
    for (char16_t c : run) {
        if (const int unit = vuzo::KanjiUnitValue(c)) {
            const long long multiplier = current < 0 ? 1 : current;
            if (multiplier > kLargest / unit)
                return keepAsText();
            total += multiplier * unit;
            if (total > kLargest)
                return keepAsText();
            current = -1;
        } else {
            if (current > (kLargest - 9) / 10)
                return keepAsText();
            current = (current < 0 ? 0 : current * 10) + vuzo::KanjiDigitValue(c);
        }
    }
    if (current > 0) {
        total += current;
        if (total > kLargest)
            return keepAsText();
    }
    char16_t digits[24];
    int n = 0;
    do {
        digits[n++] = char16_t(u'0' + total % 10);
        total /= 10;
    } while (total > 0 && n < 24);
    while (n > 0)
        out.push_back(digits[--n]);
}

bool startsWith(std::u16string_view text, std::u16string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::u16string_view view(QStringView s)
{
    return {reinterpret_cast<const char16_t *>(s.utf16()), size_t(s.size())};
}

} // namespace

QString NormalizeCode(QStringView text)
{
    QString digits;
    bool dash = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (vuzo::IsFullWidthDigit(c))
            c = vuzo::AsciiOfFullWidth(c);
        if (vuzo::IsAsciiDigit(c))
            digits.append(QChar(c));
        else if (isDash(c) && digits.size() == 3 && !dash)
            dash = true;
        else if ((c == u'〒' || c == u'〠') && digits.isEmpty() && !dash)
            continue;
        else if (!vuzo::IsBlankOrControl(c))
            return {};
    }
    return digits.size() == 7 ? digits : QString();
}

QString FormatCode(QStringView code)
{
    if (code.size() == 7)
        return code.left(3).toString() + u'-' + code.mid(3).toString();
    return code.toString();
}

void AppendFolded(std::u16string &out, std::u16string_view text)
{
    size_t numerals = std::u16string_view::npos; // where a run of kanji numerals began
    auto flushNumerals = [&](size_t end) {
        if (numerals != std::u16string_view::npos) {
            appendKanjiNumber(out, text.substr(numerals, end - numerals));
            numerals = std::u16string_view::npos;
        }
    };
    const size_t begin = out.size();
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (vuzo::KanjiDigitValue(c) >= 0 || vuzo::KanjiUnitValue(c)) {
            if (numerals == std::u16string_view::npos)
                numerals = i;
            continue;
        }
        flushNumerals(i);
        if (vuzo::IsBlankOrControl(c))
            continue;
        if (vuzo::IsFullWidthAscii(c) && c != 0xFF0D)
            c = vuzo::AsciiOfFullWidth(c);
        if (c >= 0xFF61 && c <= 0xFF9D) {
            c = kHalfKana[c - 0xFF61];
            if (i + 1 < text.size() && (text[i + 1] == 0xFF9E || text[i + 1] == 0xFF9F)) {
                if (const char16_t v = voiced(c, text[i + 1] == 0xFF9F)) {
                    c = v;
                    ++i;
                }
            }
        } else if (c == 0xFF9E) {
            c = u'゛';
        } else if (c == 0xFF9F) {
            c = u'゜';
        }
        if (c == 0x30FC) {
            // The prolonged sound mark stands for a hyphen only after a digit.
            if (out.size() > begin && vuzo::IsAsciiDigit(out.back()))
                c = u'-';
        } else if (isDash(c)) {
            c = u'-';
        } else if (c >= u'a' && c <= u'z') {
            c = char16_t(c - u'a' + u'A');
        } else if (c == u'ヶ' || c == u'ヵ' || c == u'が') {
            c = u'ケ';
        } else if (c == u'ノ') {
            c = u'の';
        }
        out.push_back(c);
    }
    flushNumerals(text.size());
}

std::u16string FoldAddress(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    AppendFolded(out, text);
    return out;
}

QString FoldAddress(QStringView text)
{
    const std::u16string folded = FoldAddress(view(text));
    return QString::fromUtf16(folded.data(), qsizetype(folded.size()));
}

bool AddressAgrees(QStringView typed, const QStringList &dictionaryAddresses)
{
    qsizetype start = 0;
    while (start < typed.size() && vuzo::IsBlankOrControl(typed[start]))
        ++start;
    typed = typed.mid(start);
    const std::u16string all = FoldAddress(view(typed));
    if (all.empty())
        return true;
    const qsizetype typedPrefecture = vuzo::PrefectureLength(typed);
    const std::u16string rest = FoldAddress(view(typed.mid(typedPrefecture)));
    auto agrees = [](std::u16string_view t, std::u16string_view a) { return startsWith(t, a) || startsWith(a, t); };
    for (const QString &address : dictionaryAddresses) {
        const qsizetype prefecture = vuzo::PrefectureLength(address);
        if (typedPrefecture > 0 && typed.left(typedPrefecture) != QStringView(address).left(prefecture))
            continue;
        if (agrees(all, FoldAddress(view(address))))
            return true;
        const QStringView local = QStringView(address).mid(prefecture);
        if (rest.empty() || agrees(rest, FoldAddress(view(local))))
            return true;
        // A county is often left out: 石狩郡当別町 written 当別町.
        const qsizetype county = local.indexOf(u'郡');
        if (county > 0 && !local.left(county).contains(u'市') && agrees(rest, FoldAddress(view(local.mid(county + 1)))))
            return true;
    }
    return false;
}

} // namespace postal
