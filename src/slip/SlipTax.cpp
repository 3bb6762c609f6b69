#include "slip/SlipTax.h"

using namespace Qt::StringLiterals;

namespace slip {

namespace {

__extension__ typedef __int128 i128;

constexpr i128 kYen = i128(Currency::Scale) * Currency::Scale; // an amount x a rate is in 1/kYen yen

// What is added to the magnitude, in 1/kYen yen, before it is truncated to
// whole yen.
i128 addendOf(Rounding rounding)
{
    switch (rounding) {
    case Rounding::Truncate: return 0;
    case Rounding::HalfAwayFromZero: return kYen / 2;
    case Rounding::Up: return kYen / 10 * 9;
    case Rounding::NoTax: break;
    }
    return 0;
}

std::optional<Currency> percentOf(Currency rate)
{
    return Currency::multiply(rate, *Currency::fromInteger(100));
}

} // namespace

SlipRates RatesInForce(const TaxRate &standardInForce, Currency reducedPercent, const QDate &reducedFrom,
                       const QDate &slipDate)
{
    SlipRates rates{standardInForce.rate, standardInForce.rate};
    if (!(reducedFrom > slipDate))
        rates.reduced = Currency::divide(reducedPercent, 100).value_or(Currency());
    return rates;
}

std::optional<Currency> RateTax(Currency amount, Currency rate, Rounding rounding, bool pricesIncludeTax)
{
    if (rounding == Rounding::NoTax)
        return Currency();
    if (!pricesIncludeTax)
        return ConsumptionTax(amount, rate, rounding);
    if (rate.isNegative() || rate.raw() > Currency::Scale)
        return std::nullopt;

    // amount x rate / (1 + rate), in 1/kYen yen: a / Scale x q / Scale / ((Scale + q) / Scale)
    // = a x q / (Scale + q) / Scale. The magnitude is compared with the divisor
    // kYen x (Scale + q) so that nothing is rounded before the one rounding to
    // yen. |a| < 2^63 and q <= 10^4, so a x q x Scale stays below 2^63 x 10^8.
    const i128 q = rate.raw();
    const i128 product = i128(amount.raw()) * q * Currency::Scale;
    const i128 magnitude = product < 0 ? -product : product;
    const i128 divisor = kYen * (Currency::Scale + q);
    const i128 yen = (magnitude + addendOf(rounding) * (Currency::Scale + q)) / divisor;
    const i128 raw = (product < 0 ? -yen : yen) * Currency::Scale;
    if (raw > INT64_MAX || raw < INT64_MIN)
        return std::nullopt;
    return Currency::fromRaw(static_cast<int64_t>(raw));
}

RateTotals DEN_SUM_RATES(const Rows &rows, const RowClasses &classes, const SlipRates &rates, Rounding rounding,
                         bool pricesIncludeTax)
{
    RateTotals result;
    result.pricesIncludeTax = pricesIncludeTax;
    // The quantity and amount totals are DEN_SUM's; only the tax and the total
    // with tax are formed per rate below.
    result.totals = DEN_SUM(rows, rates.standard, rounding);

    const auto used = [](const RowValues &row) {
        return !(row.qty && row.qty->isZero()) || !(row.sales && row.sales->isZero());
    };
    const bool split = rates.reduced != rates.standard;
    bool anyStandard = false;
    bool anyReduced = false;
    std::optional<Currency> subtotal[2] = {Currency(), Currency()};
    for (int i = 0; i < kRows; ++i) {
        const bool reducedClass = classes[size_t(i)] == TaxClass::Reduced;
        const bool reduced = split && reducedClass;
        if (used(rows[size_t(i)])) {
            (reduced ? anyReduced : anyStandard) = true;
            result.hasReducedLine = result.hasReducedLine || reducedClass;
        }
        std::optional<Currency> &sum = subtotal[reduced ? 1 : 0];
        if (sum)
            sum = rows[size_t(i)].sales ? Currency::add(*sum, *rows[size_t(i)].sales) : std::nullopt;
    }

    std::optional<Currency> tax = Currency();
    const auto share = [&](int index, Currency rate) {
        RateShare s{rate, index == 1, percentOf(rate).value_or(Currency()), subtotal[index], std::nullopt};
        if (s.subtotal)
            s.tax = RateTax(*s.subtotal, rate, rounding, pricesIncludeTax);
        tax = tax && s.tax ? Currency::add(*tax, *s.tax) : std::nullopt;
        return s;
    };
    const RateShare standard = share(0, rates.standard);
    if (anyStandard || !anyReduced)
        result.shares.append(standard);
    if (split) {
        const RateShare reduced = share(1, rates.reduced);
        if (anyReduced)
            result.shares.append(reduced);
    }

    // Without a reduced line and with the tax added, DEN_SUM's figures stand
    // as they are.
    if (!split && !pricesIncludeTax)
        return result;
    std::optional<Currency> amountTotal = Currency();
    for (const RowValues &row : rows)
        if (amountTotal)
            amountTotal = row.sales ? Currency::add(*amountTotal, *row.sales) : std::nullopt;
    std::optional<Currency> total;
    if (amountTotal && tax)
        total = pricesIncludeTax ? amountTotal : Currency::add(*amountTotal, *tax);

    Totals &totals = result.totals;
    totals.overflowFields.removeAll(kFieldStax.toString());
    totals.overflowFields.removeAll(kFieldSttl.toString());
    const auto put = [&totals](std::optional<Currency> &field, QStringView name, std::optional<Currency> value) {
        field.reset();
        if (value && FitsField(*value))
            field = value;
        else
            totals.overflowFields.append(name.toString());
    };
    put(totals.stax, kFieldStax, tax);
    put(totals.sttl, kFieldSttl, total);
    return result;
}

QString GroupedYen(Currency value)
{
    QString digits = QString::number(value.isNegative() ? -value.truncated() : value.truncated());
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return value.isNegative() && value.truncated() != 0 ? u'-' + digits : digits;
}

QString RateShareText(const RateShare &share, bool pricesIncludeTax)
{
    const auto money = [](const std::optional<Currency> &value) {
        if (!value || !FitsField(*value))
            return u"―"_s;
        return GroupedYen(*value) + u'円';
    };
    return NumberText(share.percent) + u"%対象 "_s + money(share.subtotal) + u'　' + TaxCaption(pricesIncludeTax) +
           u' ' + money(share.tax);
}

std::optional<QString> InvoiceRegistrationNumber(const QString &typed)
{
    QString digits;
    bool letter = false;
    for (const QChar c : typed) {
        const char16_t u = c.unicode();
        const char16_t half = u >= 0xFF01 && u <= 0xFF5E ? char16_t(u - 0xFEE0) : u;
        if (half == u'T' || half == u't') {
            if (letter || !digits.isEmpty())
                return std::nullopt;
            letter = true;
        } else if (half >= u'0' && half <= u'9') {
            if (!letter)
                return std::nullopt;
            digits += QChar(half);
        } else if (half == u' ' || half == u'-' || u == 0x3000 || u == 0x2212 || u == 0x30FC || u == 0x2010) {
            continue;
        } else {
            return std::nullopt;
        }
    }
    if (!letter && digits.isEmpty())
        return QString();
    if (!letter || digits.size() != 13)
        return std::nullopt;
    return u'T' + digits;
}

QString TaxCaption(bool pricesIncludeTax)
{
    return pricesIncludeTax ? u"内消費税"_s : u"消費税"_s;
}

} // namespace slip
