#include "platform/Cp932.h"

#include <cerrno>
#include <iconv.h>

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

QString DecodeCp932(const QByteArray &bytes)
{
    Iconv cd("UTF-16LE", "CP932");
    if (!cd.valid())
        return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char16_t buffer[512];
    while (inLeft > 0) {
        char *outPtr = reinterpret_cast<char *>(buffer);
        size_t outLeft = sizeof buffer;
        const size_t r = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(reinterpret_cast<const QChar *>(buffer), (sizeof buffer - outLeft) / 2);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (a lead byte at the end): replace one byte.
            out.append(QChar(0xFFFD));
            ++in;
            --inLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
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
