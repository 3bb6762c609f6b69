#pragma once
// The ranges outside which a stored or typed value cannot have been meant.
// A settings file edited by hand, or damaged, may hold anything; such a value
// is read as the key's default rather than printed a metre off the page or
// taxed at a negative rate.

#include <QDate>
#include <QString>
#include <optional>

namespace limits {

// Print offsets, in device pixels either way: over a metre at 600 dpi, and
// well inside what a painter can draw without overflowing.
constexpr int kMaxOffset = 32767;

// The offset text as stored, or def when it is a number beyond ±kMaxOffset
// or a lone sign. An empty text (no offset) and text that is no number at all
// pass unchanged: the print command reports those as it always has.
QString OffsetText(const QString &stored, const QString &def);

// An offset the operator typed: its value when the text is empty (0) or a
// whole number within ±kMaxOffset, nullopt otherwise (a lone "-" included).
std::optional<int> TypedOffset(const QString &text);

// "<caption>は -32767 から 32767 までの整数で入力してください".
QString OffsetRangeMessage(const QString &caption);

// A tax rate in per cent as stored: the text, or def when it is a number
// below 0 or above 100. Text that is no number passes (it counts as 0).
QString TaxRateText(const QString &stored, const QString &def);

// A date as stored: the date when it lies in the years 1900 to 2099, else def.
QDate TaxDate(const QDate &stored, const QDate &def);

} // namespace limits
