#pragma once
// The money of the slip as plain functions of typed values: the line amounts,
// the four totals, the consumption-tax rate in force and the rounding of the
// tax to whole yen. The main window reads its fields once through
// ReadFieldValue(), ParseRounding() and StrToCurrZero(), calls these and writes
// the results back with FieldText(); nothing here sees a window.
//
// All arithmetic is Currency. A figure that would not fit its field (more than
// 9 integer digits) or the Currency range is never written cut or wrapped: its
// field is left empty and the field is reported, so the window can tell the
// operator and the print command can refuse to print.

#include "slip/Currency.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <functional>
#include <optional>

namespace slip {

// Rows of the line-item table.
constexpr int kRows = 10;
// Integer digits a line amount or a total field can show.
constexpr int kMaxIntegerDigits = 9;

// The value of a numeric field of the line table. Text that is not a number
// (the empty text and a lone "-" included) counts as 0. nullopt stands for text
// that has the shape of a number but lies outside the Currency range: it is not
// zero, its value is unknown, and any figure formed from it does not fit.
using FieldValue = std::optional<Currency>;

// The value of a field text: ParseCurrency, 0 for text that is not shaped like
// a decimal number (optional blanks, sign, digits with at most one "."), and
// nullopt for such a number too large to read.
FieldValue ReadFieldValue(const QString &text);

// The text a figure is shown with in its field: NumberText, or the empty text
// when there is no figure to show.
QString FieldText(const std::optional<Currency> &value);

// The values of one row: quantity, unit price, amount.
struct RowValues
{
    FieldValue qty, price, sales;
};
using Rows = std::array<RowValues, kRows>;

// What a line pass does to one row. The quantity is never changed.
struct RowUpdate
{
    enum class Amount
    {
        Keep,  // the amount field keeps its text
        Clear, // the amount field is emptied
        Set    // the amount field shows `amount`
    };
    bool clearPrice = false; // the unit price field is emptied
    Amount sales = Amount::Keep;
    Currency amount; // the new line amount when sales is Set; it fits the field
};

// The outcome of a line pass: one update per row, and the 1-based rows, in row
// order, whose amount does not fit and whose amount field is therefore emptied.
struct LinePass
{
    std::array<RowUpdate, kRows> rows;
    QList<int> overflowRows;
};

// The line pass while a quantity or unit price is edited.
// Row by row: quantity and price both non-zero -> amount := quantity x price;
// price zero -> amount emptied; quantity zero but price set -> price and amount
// emptied; both zero -> the amount is kept (a stale amount stays) unless it
// does not fit, in which case it is emptied and the row reported.
LinePass DEN_SALS(const Rows &rows);

// The line pass before printing. As DEN_SALS, except that a row with a price
// but no quantity calls notify(row) in row order before anything is returned
// (the caller shows RowPriceWithoutQtyMessage(row) and returns when the box is
// closed), and a row with neither has its amount emptied.
LinePass DEN_SALS_2(const Rows &rows, const std::function<void(int row)> &notify);

// The line pass over lines restored from the settings file at start-up. As
// DEN_SALS for every row with a quantity; a row without one is left as it was
// stored, its unit price included (the pass before printing tells about it),
// unless its amount does not fit.
LinePass RestoredLinePass(const Rows &rows);

// The rows after the first `printedRows` (the rows the printed slip holds) that
// have a quantity, in row order: they count in the totals but are not printed.
QList<int> UnprintedRowsWithQuantity(const Rows &rows, int printedRows);
// The notice before printing such a slip: which rows, that they are not
// printed and that the printed lines will not add up to the amount due.
QString UnprintedRowsMessage(const QList<int> &rows, int printedRows);

// "<row>行目　数量の入力がないので、単価を０にします".
QString RowPriceWithoutQtyMessage(int row);

// How the tax is brought to whole yen: the code of the rounding field
// (Edit_TxDisp, "0:切捨て 1:四捨五入 2:切上げ").
enum class Rounding
{
    Truncate = 0,         // toward zero
    HalfAwayFromZero = 1, // halves away from zero
    Up = 2,               // 0.9 yen added to the magnitude, then truncated
    NoTax                 // any other code: no tax at all
};

// The rounding of a code text. Only the exact texts "0", "1" and "2" are codes;
// anything else, the empty text, blanks and full-width digits included, is
// Rounding::NoTax.
Rounding ParseRounding(const QString &code);

// The rate in force. `rate` is the fraction ("0.05"), which the main window
// keeps in the hidden Label_xTax as NumberText(rate); staxCaption is the
// caption of Label_stax ("消費税 5%").
struct TaxRate
{
    Currency rate;
    QString staxCaption;
};

// Chooses the rate in force on the slip date. Both rates are per cent and are
// divided by 100 (rounded to four decimals, half to even). The comparison is by
// calendar day: a slip dated on the enforcement day or later uses the new rate,
// an earlier slip the old one.
TaxRate TAX_RATE_CHK(Currency oldPercent, Currency newPercent, const QDate &enforcement, const QDate &slipDate);

// Names of the four total fields, as used in Totals::overflowFields.
inline constexpr QStringView kFieldSqty = u"ZuNumEdit_sqty";
inline constexpr QStringView kFieldSsal = u"ZuNumEdit_ssal";
inline constexpr QStringView kFieldStax = u"ZuNumEdit_stax";
inline constexpr QStringView kFieldSttl = u"ZuNumEdit_sttl";

// The four totals. A total that does not fit is nullopt (its field is shown
// empty) and its field name (kFieldSqty ...) is listed in overflowFields, in
// the order sqty, ssal, stax, sttl. overflowFields is empty when every total
// fits.
struct Totals
{
    std::optional<Currency> sqty, ssal, stax, sttl;
    QStringList overflowFields;
};

// The totals pass over all ten rows: quantity total, amount total (the amounts
// as they stand, not multiplied again), tax from the amount total and the rate
// by the rounding, and the total with tax.
Totals DEN_SUM(const Rows &rows, Currency rate, Rounding rounding);

// The tax in whole yen of an amount total at a rate, by the rounding; NoTax
// gives 0. The product is taken exactly (no intermediate rounding). nullopt
// only when the tax lies outside the Currency range.
std::optional<Currency> ConsumptionTax(Currency amountTotal, Currency rate, Rounding rounding);

// Whether a value can be shown in a line amount or total field.
bool FitsField(Currency value);

// Notices for figures that do not fit, for the window to show.
QString RowOverflowMessage(int row);
QString TotalOverflowMessage(const QString &fieldCaption);
// The caption the operator knows a total field by (for TotalOverflowMessage);
// an unknown name is returned unchanged.
QString TotalFieldCaption(const QString &fieldName);

} // namespace slip
