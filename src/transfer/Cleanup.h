#pragma once
// Clean-up of pasted address text before the transfer: the half-width
// conversion and the three line steps (compaction, label removal, one-line
// split). Each step maps a list of lines to a list of lines; the window's
// handlers read and write the paste area around them. The wide trim the label
// removal uses is vuzo::TrimWide.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace transfer {

// Number of working lines the label removal and the one-line split read and
// write.
inline constexpr int kWorkingLines = 7;
// Number of pasted lines the compaction looks at.
inline constexpr int kCompactionLines = 16;

// Converts full-width forms to their half-width forms: U+FF01..U+FF5E to ASCII,
// U+3000 to a space, U+FFE0..U+FFE6 to ¢ £ ¬ ¯ ¦ ¥ ₩, full-width katakana and
// 。「」、・ー゛゜ to U+FF61..U+FF9F (a voiced or semi-voiced kana becomes two
// characters: ガ -> ｶﾞ). Everything else, hiragana and kanji included, stays.
// The whole text is converted, however long, embedded NULs included.
QString ToHalfWidth(const QString &s);

// Converts the half-width katakana block U+FF61..U+FF9F to full width, a kana
// and its voiced or semi-voiced mark to one character (ｱﾊﾟｰﾄ -> アパート,
// ｳﾞ -> ヴ); a mark that no kana takes becomes ゛ or ゜. Everything else stays.
QString KatakanaToFullWidth(QStringView s);

// The lines of a paste area's text. CRLF, LF and a lone CR each end a line; a
// line end at the very end of the text starts no further line, so the empty
// text has no lines.
QStringList SplitPasteText(const QString &memoText);

// The paste area after compaction: its first 16 lines, trimmed, without blank
// lines and without lines holding an e-mail marker, in their order. May be
// empty.
QStringList Compact(const QStringList &pasteLines);

// Label removal over the first seven lines (missing lines read as empty):
// label words and colons removed, wide-trimmed, lines that begin with a number
// of three or more characters converted to half width, line 7 always converted.
// Always returns exactly seven lines.
QStringList RemoveLabels(const QStringList &lines);

// One-line split over the first seven lines: a line whose first 8 characters
// are a postal code and which has more than 6 characters after them keeps the
// code; characters 9 to 88 move to the next line that is blank. Always returns
// exactly seven lines.
QStringList SplitOneLine(const QStringList &lines);

// The 45 label words the label removal strips, in the order it strips them.
const QStringList &LabelKeywordList();

} // namespace transfer
