#pragma once
// Postal codes and telephone numbers as people write them: with or without
// hyphens, in full-width digits, with ー or − between the groups, spaced, in
// brackets, as +81, or with the leading zero a spreadsheet dropped. Plain
// functions; lengths and positions count UTF-16 code units.

#include <QList>
#include <QString>
#include <QStringView>

namespace transfer {

// A copy of text with the same length in which full-width ASCII is ASCII, the
// ideographic space is a blank and every dash that stands between digits
// (－ − ‐ – — ― ー ｰ ─ ━) is "-". A run of seven kanji digits or more
// ("〇七四二‐五五‐〇三六一") reads as ASCII digits; other kana and kanji stay,
// so a position in the folded text is the same position in the original.
QString FoldForNumbers(QStringView text);

// The length of the area code of a Japanese number (digits only, leading 0
// included): 2 to 5 for fixed lines, 3 for 050/070/080/090/020, 4 for
// 0120/0800/0570/0180. Unknown prefixes of fixed lines read as 4 digits.
int AreaCodeLength(QStringView digits);

// The number written with hyphens by the numbering plan: 090-1234-5678,
// 03-1234-5678, 0465-12-3456, 0120-123-456, 0800-123-4567, 050-1234-5678.
// digits holds only ASCII digits. A number of nine digits, or of ten digits
// that begins as a mobile or IP number without its 0, gets its leading zero
// back. Empty when digits cannot be a Japanese number.
QString FormatPhoneDigits(const QString &digits);

// "NNN-NNNN" for seven digits; empty otherwise.
QString FormatPostalDigits(const QString &digits);

// One postal code or telephone number found in a folded line.
struct NumberMatch
{
    enum Kind
    {
        PostalCode,
        Phone
    };
    Kind kind = Phone;
    qsizetype start = 0; // first character of the number (its 〒 or bracket included)
    qsizetype end = 0;   // one past its last character
    QString value;       // "NNN-NNNN" or the hyphenated telephone number
};

// How sure the caller is that bare digit runs are numbers: a labelled field
// or a spreadsheet cell takes seven digits as a postal code and nine or ten
// digits as a number that lost its leading zero; free text does not.
enum class NumberContext
{
    FreeText,
    PostalField,
    PhoneField,
    Cell
};

// The postal codes and telephone numbers in a folded line, left to right.
// Groups are joined over single blanks, hyphens, dots and brackets, so
// "03 1234 5678", "(03)1234-5678" and "+81-90-1234-5678" are one number and
// "123-4567 03-1234-5678" are two. A run that is neither is skipped. Linear in
// the line's length.
QList<NumberMatch> FindNumbers(QStringView folded, NumberContext context = NumberContext::FreeText);

} // namespace transfer
