#pragma once
// Text helpers with the exact rules the settings files and the slip rely on.
// Lengths and positions count UTF-16 code units.

#include <QString>
#include <cstdint>
#include <optional>

namespace vuzo {

// Removes leading and trailing characters at or below U+0020
// (IsAsciiBlankOrControl). The ideographic space U+3000 is kept: it is part of
// Japanese text, not padding. The other blank rules are in JapaneseText.h.
QString Trim(const QString &s);
QString TrimLeft(const QString &s);
QString TrimRight(const QString &s);

// Integer text: optional leading blanks, optional sign, decimal digits and
// nothing after them. nullopt for anything else, the empty text and values
// outside the signed 32-bit range included.
std::optional<int32_t> ParseInt32(const QString &s);

// ParseInt32, or 0 when the text is not such an integer. Never raises.
int32_t StrToIntZero(const QString &s);

// ParseInt32, or EConvertError with the message "''<text>'' は整数ではありません".
int32_t StrToIntStrict(const QString &s);

// The message of the conversion error for a text.
QString NotAnIntegerMessage(const QString &s);

} // namespace vuzo
