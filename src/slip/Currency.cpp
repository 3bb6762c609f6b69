#include "slip/Currency.h"

#include "platform/TextUtil.h"

namespace {

__extension__ typedef __int128 i128;

constexpr i128 kMax = INT64_MAX;
constexpr i128 kMin = INT64_MIN;

std::optional<Currency> fromWide(i128 raw)
{
    if (raw > kMax || raw < kMin)
        return std::nullopt;
    return Currency::fromRaw(static_cast<int64_t>(raw));
}

// n / d rounded to the nearest integer, ties to even; d > 0.
i128 divideHalfEven(i128 n, i128 d)
{
    i128 q = n / d;
    i128 r = n % d;
    if (r == 0)
        return q;
    const bool negative = n < 0;
    if (negative)
        r = -r;
    const i128 twice = 2 * r;
    if (twice > d || (twice == d && (q % 2 != 0)))
        q += negative ? -1 : 1;
    return q;
}

} // namespace

std::optional<Currency> Currency::fromInteger(int64_t units)
{
    return fromWide(i128(units) * Scale);
}

std::optional<Currency> Currency::add(Currency a, Currency b)
{
    return fromWide(i128(a.m_raw) + b.m_raw);
}

std::optional<Currency> Currency::subtract(Currency a, Currency b)
{
    return fromWide(i128(a.m_raw) - b.m_raw);
}

std::optional<Currency> Currency::multiply(Currency a, Currency b)
{
    // Both factors are below 2^63, so the exact product fits in 127 bits.
    return fromWide(divideHalfEven(i128(a.m_raw) * b.m_raw, Scale));
}

std::optional<Currency> Currency::divide(Currency a, int64_t divisor)
{
    if (divisor == 0)
        return std::nullopt;
    i128 n = a.m_raw;
    i128 d = divisor;
    if (d < 0) {
        n = -n;
        d = -d;
    }
    return fromWide(divideHalfEven(n, d));
}

std::optional<Currency> ParseCurrency(const QString &text)
{
    const QString s = vuzo::Trim(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s.at(i) == u'-' || s.at(i) == u'+')) {
        negative = s.at(i) == u'-';
        ++i;
    }
    i128 mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (c == u'.') {
            if (point)
                return std::nullopt;
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        ++digits;
        // Far more digits than the range allows cannot be a Currency; stop
        // before the accumulator itself could overflow.
        if (mantissa > i128(INT64_MAX) * 1000000)
            return std::nullopt;
        mantissa = mantissa * 10 + (c - u'0');
        if (point)
            ++decimals;
    }
    if (digits == 0)
        return std::nullopt;
    i128 raw;
    if (decimals <= 4) {
        raw = mantissa;
        for (int k = decimals; k < 4; ++k)
            raw *= 10;
    } else {
        i128 divisor = 1;
        for (int k = 4; k < decimals; ++k) {
            divisor *= 10;
            if (divisor > i128(INT64_MAX) * 1000000)
                return std::nullopt;
        }
        raw = divideHalfEven(mantissa, divisor);
    }
    return fromWide(negative ? -raw : raw);
}

Currency StrToCurrZero(const QString &text)
{
    return ParseCurrency(text).value_or(Currency());
}

QString NumberText(Currency value)
{
    const int64_t raw = value.raw();
    // Work on the magnitude as unsigned so INT64_MIN is handled too.
    const uint64_t magnitude = raw < 0 ? uint64_t(0) - uint64_t(raw) : uint64_t(raw);
    const uint64_t whole = magnitude / Currency::Scale;
    uint64_t fraction = magnitude % Currency::Scale;
    QString text = QString::number(whole);
    if (fraction != 0) {
        QString decimals = QString::number(fraction).rightJustified(4, u'0');
        while (decimals.endsWith(u'0'))
            decimals.chop(1);
        text += u'.' + decimals;
    }
    if (raw < 0)
        text.prepend(u'-');
    return text;
}

int IntegerDigits(Currency value)
{
    const int64_t raw = value.raw();
    uint64_t whole = (raw < 0 ? uint64_t(0) - uint64_t(raw) : uint64_t(raw)) / Currency::Scale;
    int n = 1;
    while (whole >= 10) {
        whole /= 10;
        ++n;
    }
    return n;
}
