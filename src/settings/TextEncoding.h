#pragma once
// The encodings of the program's text files: finding a file's encoding from its
// bytes, decoding bytes to text and encoding text back in that encoding.
//
// A file's encoding is found from its first bytes:
//   FF FE          UTF-16LE with a byte-order mark
//   FE FF          UTF-16BE with a byte-order mark
//   EF BB BF       UTF-8 with a byte-order mark
//   otherwise      UTF-8 when every byte sequence is well-formed UTF-8 and at
//                  least one byte is above 7F; CP932 for everything else.
// An empty or plain ASCII file is CP932, as the Windows program wrote it, so
// new Japanese text in it is written in CP932. CP932 text is almost never
// well-formed UTF-8: the bytes 81-9F that start most kanji and kana can never
// start a UTF-8 character, nor can the half-width katakana A1-BF, C0 and C1;
// only a text made solely of rare byte pairs passes (it is then read as UTF-8).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace vuzo::codec {

enum class Encoding
{
    Cp932,
    Utf8,
    Utf8Bom,
    Utf16Le,
    Utf16Be
};

// The encoding of a file that starts with these bytes (the rules above).
Encoding Detect(QByteArrayView bytes);

// The byte-order mark a file in the encoding starts with; empty for CP932 and
// UTF-8 without one.
QByteArrayView ByteOrderMark(Encoding e);

bool IsUtf16(Encoding e);

// The encoding's name for the operator: "CP932", "UTF-8", "UTF-16LE", "UTF-16BE".
QString Name(Encoding e);

// The text of bytes in the encoding, the byte-order mark not included. Bytes
// that are no CP932 or no well-formed UTF-8 become U+FFFD; UTF-16 units come
// through as they are, lone surrogates included, and an odd last byte is left
// out.
QString Decode(Encoding e, QByteArrayView bytes);

// The text's bytes in the encoding (no byte-order mark), or nullopt when
// decoding them would not give the same text back: CP932 has no form for
// emoji and rare kanji, and its converter writes "¥", "〜", "−" and "¢" as
// characters that read back as "\", "～", "－" and "￠"; UTF-8 has no form for
// a lone surrogate. UTF-16 holds any text.
std::optional<QByteArray> EncodeExactly(Encoding e, QStringView text);

// Appends the UTF-16 units of s to out, in the byte order asked for.
void AppendUtf16(QByteArray &out, QStringView s, bool bigEndian);

// Checks bytes for well-formed UTF-8 as the standard defines it (no overlong
// forms, no surrogates, nothing above U+10FFFF) a piece at a time, as a large
// file is read: a sequence cut by one piece's end is completed by the next.
class Utf8Check
{
public:
    // False once the bytes so far are no UTF-8.
    bool feed(QByteArrayView piece);
    // At the end: no sequence is left cut off.
    bool finish() const { return m_carry.isEmpty(); }
    // A byte above 7F was seen.
    bool nonAscii() const { return m_nonAscii; }

private:
    QByteArray m_carry;
    bool m_nonAscii = false;
};

} // namespace vuzo::codec
