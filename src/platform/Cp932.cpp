#include "platform/Cp932.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace vuzo {
namespace {

// One conversion descriptor per call keeps the functions free of shared state.
class Iconv
{
public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

} // namespace

namespace {

// The code page as two tables, made once from the system's converter: the
// character of each single byte and of each two-byte sequence, U+FFFF where
// the converter knows none. Decoding is then a lookup per character, which
// matters for an order file of many megabytes.
struct Cp932Tables
{
    static constexpr char16_t kNone = 0xFFFF;
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pair = std::vector<char16_t>(65536, kNone);
    bool valid = false;

    Cp932Tables()
    {
        single.fill(kNone);
        Iconv cd("UTF-16LE", "CP932");
        if (!cd.valid())
            return;
        valid = true;
        const auto convert = [&cd](const char *bytes, size_t length) -> char16_t {
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
            char in[2] = {bytes[0], length > 1 ? bytes[1] : char(0)};
            char *inPtr = in;
            size_t inLeft = length;
            char16_t out[4];
            char *outPtr = reinterpret_cast<char *>(out);
            size_t outLeft = sizeof out;
            if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
                sizeof out - outLeft != 2)
                return kNone;
            return out[0];
        };
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            single[std::size_t(b)] = convert(&c, 1);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead >= 0xA0 && lead < 0xE0)
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pair[std::size_t(lead << 8 | trail)] = convert(two, 2);
            }
        }
    }
};

const Cp932Tables &tables()
{
    static const Cp932Tables t;
    return t;
}

bool isLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace

QString DecodeCp932(const QByteArray &bytes)
{
    const Cp932Tables &t = tables();
    if (!t.valid)
        return QString::fromLatin1(bytes);
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *o = out.data();
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            *o++ = QChar(t.single[c] != Cp932Tables::kNone ? t.single[c] : char16_t(c));
            ++i;
            continue;
        }
        if (isLead(c) && i + 1 < n) {
            const char16_t u = t.pair[std::size_t(c << 8 | p[i + 1])];
            if (u != Cp932Tables::kNone) {
                *o++ = QChar(u);
                i += 2;
                continue;
            }
        }
        // A byte of its own (half-width katakana), or one that is no CP932:
        // that byte alone becomes U+FFFD and decoding goes on after it.
        const char16_t u = isLead(c) ? Cp932Tables::kNone : t.single[c];
        *o++ = QChar(u != Cp932Tables::kNone ? u : char16_t(0xFFFD));
        ++i;
    }
    out.truncate(o - out.constData());
    return out;
}

std::optional<QByteArray> EncodeCp932(const QString &text)
{
    Iconv cd("CP932", "UTF-16LE");
    if (!cd.valid())
        return std::nullopt;
    QByteArray out;
    out.reserve(text.size() * 2);
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.constData()));
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
    char buffer[1024];
    while (inLeft > 0) {
        char *outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t r = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - outLeft));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            return std::nullopt;
        }
        // glibc may transliterate nothing here, but a non-reversible
        // conversion count above 0 means a character was substituted.
        if (r > 0)
            return std::nullopt;
    }
    return out;
}

} // namespace vuzo
