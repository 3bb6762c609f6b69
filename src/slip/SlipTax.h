#pragma once
// The consumption tax of a slip whose lines are taxed at two rates: food and
// drink at the reduced rate, everything else (shipping, wrapping, fees) at the
// standard one. The lines are summed per rate and each rate's tax is rounded
// once, from the exact value, by the slip's rounding code; the slip's tax is
// the sum of those. A slip without a reduced line gives exactly DEN_SUM.
//
// Prices may be written without tax (the tax is added to the amounts) or with
// it (the amounts already hold it, and each rate's tax is taken out of its
// subtotal: subtotal x rate / (1 + rate)).

#include "slip/SlipCalc.h"

#include <QDate>
#include <QList>
#include <array>
#include <optional>

namespace slip {

// The rate class of a sales line, as the settings file stores it
// (TaxClass<n>): 0 standard, 1 reduced.
enum class TaxClass
{
    Standard = 0,
    Reduced = 1
};
using RowClasses = std::array<TaxClass, kRows>;

// The two rates in force on a slip's date, as fractions (0.1, 0.08). A
// reduced line on a slip dated before the reduced rate's first day takes the
// standard rate in force.
struct SlipRates
{
    Currency standard;
    Currency reduced;
};
SlipRates RatesInForce(const TaxRate &standardInForce, Currency reducedPercent, const QDate &reducedFrom,
                       const QDate &slipDate);

// One rate's part of a slip: the amounts of its lines and the tax on them.
struct RateShare
{
    Currency rate;    // the fraction
    bool reduced;     // the lines are taxed at the reduced rate
    Currency percent; // rate x 100, for captions
    std::optional<Currency> subtotal, tax;
};

// The totals of a slip at its two rates, and the parts per rate: one per rate
// that has a line with an amount or a quantity, the standard rate first. When
// the two rates in force are equal there is one part.
struct RateTotals
{
    Totals totals;
    QList<RateShare> shares;
    bool pricesIncludeTax = false;
    bool hasReducedLine = false; // a line of the reduced class with a quantity or an amount
};

// The tax in whole yen on an amount at a rate, rounded once from the exact
// value; with pricesIncludeTax, the tax that the amount holds
// (amount x rate / (1 + rate)). NoTax gives 0; nullopt when the tax lies
// outside the Currency range or the rate is not between 0 and 100 %.
std::optional<Currency> RateTax(Currency amount, Currency rate, Rounding rounding, bool pricesIncludeTax);

// The totals pass at two rates. Quantity and amount totals are as in DEN_SUM;
// 消費税 is the sum of the rates' taxes; 税込合計 is the amount total plus that
// sum, or with pricesIncludeTax the amount total itself.
RateTotals DEN_SUM_RATES(const Rows &rows, const RowClasses &classes, const SlipRates &rates, Rounding rounding,
                         bool pricesIncludeTax);

// 「10%対象 4,500円　消費税 450円」, or with tax included
// 「8%対象 3,240円　内消費税 240円」; a figure that does not fit reads 「―」.
QString RateShareText(const RateShare &share, bool pricesIncludeTax);

// Whole yen with a comma every three digits: 「12,345」, 「-1,234」.
QString GroupedYen(Currency value);

// The tax field's caption: 「消費税」, or 「内消費税」 when prices include it.
QString TaxCaption(bool pricesIncludeTax);

// An invoice registration number in its one writing, 「T」 and 13 digits,
// from what the operator typed: full-width letters and digits, a small 「t」,
// and blanks or hyphens between the digits are taken. The empty text stays
// empty (the seller is not registered); nullopt for anything else.
std::optional<QString> InvoiceRegistrationNumber(const QString &typed);

} // namespace slip
