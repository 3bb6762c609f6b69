#pragma once
// The character classes of Japanese text that the transfer, the postal code
// dictionary and the settings files test characters for, the blank rules, the
// wide trims and the 47 prefectures. One place per rule: each blank rule below
// is a different behaviour that callers rely on, so each has its own name.
// Every predicate tests one UTF-16 code unit.

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>
#include <string_view>

namespace vuzo {

// ---------------------------------------------------------------- blanks

// U+3000, the blank of full-width text.
inline constexpr char16_t kIdeographicSpace = 0x3000;

constexpr bool IsIdeographicSpace(QChar c)
{
    return c.unicode() == kIdeographicSpace;
}

// U+0020 and every control character below it: the padding Trim removes from
// settings values, typed fields and pasted lines. U+3000 is no padding here:
// it is part of Japanese text.
constexpr bool IsAsciiBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

// Space, tab, CR, LF, VT and FF: the padding around a name or a value in a
// settings file, as the Windows profile functions trim it. Other control
// characters and U+3000 belong to the value.
constexpr bool IsSettingsPadding(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\r' || u == u'\n' || u == u'\v' || u == u'\f';
}

// The ASCII space or U+3000: the blanks that the wide trim removes once the
// ASCII padding is gone.
constexpr bool IsSpaceOfEitherWidth(QChar c)
{
    return c.unicode() == 0x20 || IsIdeographicSpace(c);
}

// Space, tab, U+3000 and the no-break space U+00A0: a blank between the words
// of a pasted text (the parts of a name, an address and a building, cells
// set apart by blanks). Line ends and other control characters are no such
// blank.
constexpr bool IsWordBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || IsIdeographicSpace(c) || u == 0x00A0;
}

// The words of a text: the runs between IsWordBlank characters, none empty.
QStringList SplitAtWordBlanks(QStringView s);

// A blank of either width, a no-break space or a control character: nothing
// an address is written with, so the address comparison drops it and the
// pasted text's values are trimmed of it.
constexpr bool IsBlankOrControl(QChar c)
{
    return IsAsciiBlankOrControl(c) || IsIdeographicSpace(c) || c.unicode() == 0x00A0;
}

// Trims the ASCII padding (IsAsciiBlankOrControl) from both ends, then the runs
// of U+0020 and U+3000 that are left at them. A control character behind an
// ideographic space stays.
QString TrimWide(const QString &s);

// The text without the blanks and control characters (IsBlankOrControl) at
// its ends.
QString TrimBlanksAndControls(QStringView s);

// ---------------------------------------------------------------- digits and letters

constexpr bool IsAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

constexpr bool IsAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

// ０ to ９ (U+FF10..U+FF19).
constexpr bool IsFullWidthDigit(QChar c)
{
    return c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19;
}

// The full-width forms of the printable ASCII characters, ！ to ～
// (U+FF01..U+FF5E). U+3000 is not among them.
constexpr bool IsFullWidthAscii(QChar c)
{
    return c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E;
}

// The ASCII character of a full-width form (IsFullWidthAscii).
constexpr char16_t AsciiOfFullWidth(QChar c)
{
    return char16_t(c.unicode() - 0xFEE0);
}

// ① to ⑳ (U+2460..U+2473).
constexpr bool IsCircledNumber(QChar c)
{
    return c.unicode() >= 0x2460 && c.unicode() <= 0x2473;
}

// The dashes written for a hyphen: ‐ ‑ ‒ – — ― (U+2010..U+2015), the minus
// sign, the small and the full-width hyphen-minus, and the prolonged sound
// marks ー and ｰ. The ASCII hyphen-minus itself is not among them.
constexpr bool IsHyphenLike(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x2010 && u <= 0x2015) || u == 0x2212 || u == 0xFE63 || u == 0xFF0D || u == 0x30FC || u == 0xFF70;
}

// ---------------------------------------------------------------- kana and kanji

// The hiragana block U+3041..U+309F, the voiced sound marks included.
constexpr bool IsHiragana(QChar c)
{
    return c.unicode() >= 0x3041 && c.unicode() <= 0x309F;
}

// The full-width katakana ァ to ヺ (U+30A1..U+30FA) and the prolonged sound
// mark ー. The middle dot ・ is punctuation, not a kana.
constexpr bool IsFullWidthKatakana(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x30A1 && u <= 0x30FA) || u == 0x30FC;
}

// The half-width katakana ｦ to ﾟ (U+FF66..U+FF9F), the prolonged sound mark
// and the sound marks included; the half-width punctuation before them is not.
constexpr bool IsHalfWidthKatakana(QChar c)
{
    return c.unicode() >= 0xFF66 && c.unicode() <= 0xFF9F;
}

constexpr bool IsKatakana(QChar c)
{
    return IsFullWidthKatakana(c) || IsHalfWidthKatakana(c);
}

// The CJK ideographs of the BMP (the unified block, extension A and the
// compatibility block) and the marks that stand in names and place names as
// kanji do: 々, 〆, ヵ and ヶ. Ideographs outside the BMP are surrogate pairs.
constexpr bool IsKanji(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0xF900 && u <= 0xFAFF) ||
           u == 0x3005 || u == 0x3006 || u == 0x30F6 || u == 0x30F5;
}

// The value of a kanji digit 〇 一 二 三 四 五 六 七 八 九, -1 for any other
// character.
constexpr int KanjiDigitValue(QChar c)
{
    switch (c.unicode()) {
    case u'〇': return 0;
    case u'一': return 1;
    case u'二': return 2;
    case u'三': return 3;
    case u'四': return 4;
    case u'五': return 5;
    case u'六': return 6;
    case u'七': return 7;
    case u'八': return 8;
    case u'九': return 9;
    default: return -1;
    }
}

// The value of a kanji unit 十 百 千, 0 for any other character.
constexpr int KanjiUnitValue(QChar c)
{
    switch (c.unicode()) {
    case u'十': return 10;
    case u'百': return 100;
    case u'千': return 1000;
    default: return 0;
    }
}

// The kanji numerals of street numbers and city blocks: the ten digits and
// 十 (百 and 千 do not stand in them).
constexpr bool IsKanjiNumeral(QChar c)
{
    return KanjiDigitValue(c) >= 0 || c.unicode() == u'十';
}

// The columns a character takes in a monospaced transcription: one for the
// characters before the Hangul jamo and for the half-width forms
// U+FF61..U+FF9F, two for the rest.
constexpr int DisplayColumns(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x1100 || (u >= 0xFF61 && u <= 0xFF9F) ? 1 : 2;
}

// ---------------------------------------------------------------- prefectures

// The 47 prefecture names, north to south in the order of their JIS codes,
// from 北海道 to 沖縄県.
std::span<const std::u16string_view> PrefectureNames();

// The same names as a list, for lists of text and list widgets.
const QStringList &PrefectureNameList();

// Whether text is exactly one of the prefecture names (no trimming, no
// partial match).
bool IsPrefectureName(QStringView text);

// The length of the prefecture name the text begins with (北海道, 東京都,
// 京都府, 神奈川県 ...), 0 when it begins with none.
qsizetype PrefectureLength(QStringView text);

} // namespace vuzo
