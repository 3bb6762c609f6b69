#pragma once
// Judgements about one line of pasted address text: keyword counts, e-mail
// markers, postal code / telephone number, prefecture names and the address
// score. Plain functions of their input; no state between calls.
// Lengths count UTF-16 code units.

#include <QString>
#include <QStringList>

namespace transfer {

// The four verdicts of ZipTelVerdict. Callers only act on the first two.
inline constexpr char16_t kVerdictZip[] = u"〒";
inline constexpr char16_t kVerdictTel[] = u"TEL";
inline constexpr char16_t kVerdictAddress[] = u"ADD";
inline constexpr char16_t kVerdictUndetermined[] = u"〒/電話番工判断";

// Number of non-overlapping occurrences of keyword in text, scanning left to
// right and skipping past each match. Exact UTF-16 comparison (no case, width
// or kana folding). An empty keyword occurs 0 times. Linear in the text.
int CountOccurrences(const QString &text, const QString &keyword);

// Sum of the counts of the seven e-mail markers ("@", ".com", ".jp", ".co",
// ".org", ".ne", ".net"); markers contained in one another all count.
// A count above 0 marks an e-mail line.
int EmailMarkerCount(const QString &text);

// "〒" for exactly eight digit-class characters (after trimming), "TEL" for ten
// or more characters with at most one other character, "ADD" for ten or more
// with three or more others, "〒/電話番工判断" for anything else.
QString ZipTelVerdict(const QString &text);

// True when text is exactly one of the 47 prefecture names (not trimmed, no
// partial match).
bool IsPrefecture(const QString &text);

// The hidden label's form of IsPrefecture: "0" for a prefecture, "xxxx" if not.
QString PrefectureLabel(const QString &text);

// Sum of the counts of the 57 address keywords in the trimmed text. 0 means no
// digit, hyphen or address word: the line reads as a person's name.
int AddressScore(const QString &text);

// The keyword tables, in the order the judgements use them.
const QStringList &DigitClassCharacters(); // 22
const QStringList &EmailMarkers();         // 7
const QStringList &PrefectureNames();      // 47
const QStringList &AddressKeywords();      // 57

} // namespace transfer
