#pragma once
// Code page 932 (the Windows variant of Shift_JIS), the encoding of the
// settings and sender record files written by the Windows program.

#include <QByteArray>
#include <QString>
#include <optional>

namespace vuzo {

// Decodes CP932 bytes. A byte sequence that is not valid CP932 becomes U+FFFD
// and decoding goes on with the next byte; nothing is ever dropped silently.
QString DecodeCp932(const QByteArray &bytes);

// Encodes to CP932, or nullopt when a character has no CP932 form (emoji,
// kanji outside the code page, lone surrogates).
std::optional<QByteArray> EncodeCp932(const QString &text);

} // namespace vuzo
