#pragma once
// Currency: the number type of all slip arithmetic, a signed 64-bit count of
// 1/10000 (four decimals). Sums are exact; a product is exact and then rounded
// to four decimals, half to even. Every operation that could leave the range
// returns std::nullopt instead of wrapping, so an overflow is always seen by
// the caller and never undefined.

#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

class Currency
{
public:
    static constexpr int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(int64_t raw) { return Currency(raw); }
    // A whole number of units; nullopt when it does not fit.
    static std::optional<Currency> fromInteger(int64_t units);

    constexpr int64_t raw() const { return m_raw; }
    constexpr bool isZero() const { return m_raw == 0; }
    constexpr bool isNegative() const { return m_raw < 0; }
    // The integer part, truncated toward zero.
    constexpr int64_t truncated() const { return m_raw / Scale; }

    static std::optional<Currency> add(Currency a, Currency b);
    static std::optional<Currency> subtract(Currency a, Currency b);
    static std::optional<Currency> multiply(Currency a, Currency b);
    // a / divisor rounded to four decimals, half to even; nullopt for divisor 0.
    static std::optional<Currency> divide(Currency a, int64_t divisor);

    constexpr auto operator<=>(const Currency &) const = default;

private:
    constexpr explicit Currency(int64_t raw) : m_raw(raw) {}
    int64_t m_raw = 0;
};

// Strict reading of decimal number text: optional blanks around it, an optional
// sign, digits with at most one "." (digits on at least one side). More than
// four decimals are rounded half to even. nullopt for anything else and for
// values outside the Currency range.
std::optional<Currency> ParseCurrency(const QString &text);

// ParseCurrency, or 0 for any text that is not such a number (the empty text
// and a lone "-" included). Never raises.
Currency StrToCurrZero(const QString &text);

// The shortest decimal text of a value: "-" for negatives, integer digits
// without grouping, significant decimals only; zero is "0".
// Examples: 1500, 0.05, 2.5, -50.
QString NumberText(Currency value);

// Number of integer digits of the value (0 has one digit).
int IntegerDigits(Currency value);
