#pragma once
// A field's maximum length that holds for the operator's input only.
//
// QLineEdit's own maximum length also cuts every text the program sets, so a
// sender record's "〒100-0001" in an eight-character field would lose its last
// digit and be stored back that way. With a typing limit instead, text set by
// the program (setText) is kept whole, while typing, pasting, dropping and
// input-method commits cannot make the text longer than the limit: an insertion
// is cut to what still fits, and one that does not fit at all is refused. A
// text the program made longer than the limit can still be shortened, never
// lengthened.

class QLineEdit;

namespace vuzo {

// Gives `edit` a typing limit of `limit` characters (UTF-16 code units) in
// place of a maximum length; a limit of 0 or less leaves the field unlimited.
void SetTypingLimit(QLineEdit *edit, int limit);

// The typing limit set on `edit`, 0 when it has none.
int TypingLimit(const QLineEdit *edit);

} // namespace vuzo
