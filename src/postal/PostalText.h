#pragma once
// The text rules of the postal code dictionary, as plain functions: reading a
// postal code as operators write it, the folded form in which addresses are
// compared, and whether a typed address agrees with the dictionary's.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <string>
#include <string_view>

namespace postal {

// The seven ASCII digits of a postal code written as operators write it:
// "1000001", "100-0001", full-width digits and hyphens, with or without a
// leading 〒 and blanks around it. Empty when the text is not one postal code
// of seven digits.
QString NormalizeCode(QStringView text);

// "1000001" as "100-0001"; other text unchanged.
QString FormatCode(QStringView code);

// The form in which addresses are compared, so the ways operators write one
// address compare equal: blanks dropped; full-width letters, digits and signs
// as ASCII, letters in upper case; half-width katakana as full width (ｶﾞ as
// ガ); hyphen-like signs as "-" (the prolonged sound mark only after a digit);
// kanji numerals as digits (十 as 10, 二十三 as 23), so 北十条西 matches 北10条西;
// ヶ, ヵ and が as ケ (霞ヶ関, 霞が関), ノ as の (丸ノ内, 丸の内). The result is
// for comparisons only, never shown.
std::u16string FoldAddress(std::u16string_view text);
// FoldAddress, appended to `out` (the dictionary folds its addresses into one buffer).
void AppendFolded(std::u16string &out, std::u16string_view text);
QString FoldAddress(QStringView text);

// Whether the address typed into the slip agrees with one of the dictionary's
// addresses of its postal code: the typed text begins with a dictionary
// address, or is the beginning of one (the operator is still typing). The
// prefecture may be left out, and so may a county (郡) the dictionary names.
// An empty text agrees; no dictionary address disagrees with everything.
bool AddressAgrees(QStringView typed, const QStringList &dictionaryAddresses);

} // namespace postal
