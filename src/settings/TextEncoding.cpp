#include "settings/TextEncoding.h"

#include "platform/Cp932.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vuzo::codec {
namespace {

// Well-formed UTF-8 with at least one byte above 7F; a cut-off sequence at
// the end is none.
bool IsUtf8WithNonAscii(QByteArrayView bytes)
{
    Utf8Check check;
    return check.feed(bytes) && check.finish() && check.nonAscii();
}

} // namespace

bool Utf8Check::feed(QByteArrayView piece)
{
    const QByteArray bytes = m_carry + piece.toByteArray();
    m_carry.clear();
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        m_nonAscii = true;
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        // The bytes there are must fit; a sequence the piece cuts waits for
        // the next one.
        const qsizetype there = std::min<qsizetype>(length, n - i);
        for (qsizetype k = 1; k < there; ++k) {
            const unsigned char lo = k == 1 ? low : 0x80, hi = k == 1 ? high : 0xBF;
            if (p[i + k] < lo || p[i + k] > hi)
                return false;
        }
        if (there < length) {
            m_carry = bytes.mid(i);
            return true;
        }
        i += length;
    }
    return true;
}

Encoding Detect(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return Encoding::Utf16Le;
    if (bytes.startsWith("\xFE\xFF"))
        return Encoding::Utf16Be;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return Encoding::Utf8Bom;
    return IsUtf8WithNonAscii(bytes) ? Encoding::Utf8 : Encoding::Cp932;
}

QByteArrayView ByteOrderMark(Encoding e)
{
    switch (e) {
    case Encoding::Cp932:
    case Encoding::Utf8: return {};
    case Encoding::Utf8Bom: return QByteArrayView("\xEF\xBB\xBF", 3);
    case Encoding::Utf16Le: return QByteArrayView("\xFF\xFE", 2);
    case Encoding::Utf16Be: return QByteArrayView("\xFE\xFF", 2);
    }
    return {};
}

bool IsUtf16(Encoding e)
{
    return e == Encoding::Utf16Le || e == Encoding::Utf16Be;
}

QString Name(Encoding e)
{
    switch (e) {
    case Encoding::Cp932: return u"CP932"_s;
    case Encoding::Utf8:
    case Encoding::Utf8Bom: return u"UTF-8"_s;
    case Encoding::Utf16Le: return u"UTF-16LE"_s;
    case Encoding::Utf16Be: return u"UTF-16BE"_s;
    }
    return QString();
}

QString Decode(Encoding e, QByteArrayView raw)
{
    switch (e) {
    case Encoding::Cp932: {
        // ASCII is the same in CP932, the backslash and the tilde included.
        const bool ascii =
            std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        return ascii ? QString::fromLatin1(raw) : vuzo::DecodeCp932(raw.toByteArray());
    }
    case Encoding::Utf8:
    case Encoding::Utf8Bom: return QString::fromUtf8(raw);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        // Built by hand so that lone surrogates come through as they are.
        const bool big = e == Encoding::Utf16Be;
        QString s(raw.size() / 2, Qt::Uninitialized);
        const auto *in = reinterpret_cast<const unsigned char *>(raw.data());
        QChar *out = s.data();
        for (qsizetype i = 0; i < s.size(); ++i) {
            const unsigned first = in[2 * i];
            const unsigned second = in[2 * i + 1];
            out[i] = QChar(static_cast<char16_t>(big ? (first << 8 | second) : (second << 8 | first)));
        }
        return s;
    }
    }
    return QString();
}

std::optional<QByteArray> EncodeExactly(Encoding e, QStringView text)
{
    switch (e) {
    case Encoding::Cp932: {
        const QString s = text.toString();
        std::optional<QByteArray> bytes = vuzo::EncodeCp932(s);
        if (!bytes || vuzo::DecodeCp932(*bytes) != s)
            return std::nullopt;
        return bytes;
    }
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        if (!text.isValidUtf16())
            return std::nullopt;
        return text.toUtf8();
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        QByteArray out;
        AppendUtf16(out, text, e == Encoding::Utf16Be);
        return out;
    }
    }
    return std::nullopt;
}

void AppendUtf16(QByteArray &out, QStringView s, bool bigEndian)
{
    const qsizetype at = out.size();
    out.resize(at + s.size() * 2);
    char *p = out.data() + at;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        const char lo = static_cast<char>(u & 0xFF);
        const char hi = static_cast<char>(u >> 8);
        *p++ = bigEndian ? hi : lo;
        *p++ = bigEndian ? lo : hi;
    }
}

} // namespace vuzo::codec
