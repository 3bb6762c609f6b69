#pragma once
// The money of the slip as plain functions of field texts: the line amounts,
// the four totals, the consumption-tax rate in force and the rounding of the
// tax to whole yen. The main window reads its controls, calls these and writes
// the results back; nothing here sees a window.
//
// Every numeric text read here is canonical numeric text (optional "-", digits,
// at most one "."); anything that is not a number counts as 0. All arithmetic
// is Currency. A figure that would not fit its field (more than 9 integer
// digits) or the Currency range is never written cut or wrapped: its field is
// left empty and the field is reported, so the window can tell the operator and
// the print command can refuse to print.

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

// The canonical numeric texts of one row: quantity, unit price, amount.
struct RowTexts
{
    QString qty, price, sales;
};
using Rows = std::array<RowTexts, kRows>;

// The effective rate as the main window shows it: xTax is the caption of the
// hidden Label_xTax (the rate as a fraction, "0.05"), staxCaption the caption
// of Label_stax ("消費税 5%").
struct TaxRate
{
    QString xTax;
    QString staxCaption;
};

// Chooses the rate in force on the slip date. Both rate texts are per cent and
// are divided by 100 (rounded to four decimals, half to even). The comparison
// is by calendar day: a slip dated on the enforcement day or later uses the new
// rate, an earlier slip the old one.
TaxRate TAX_RATE_CHK(const QString &oldRateText, const QString &newRateText, const QDate &enforcement,
                     const QDate &slipDate);

// The line pass while a quantity or unit price is edited, rows changed in place.
// Row by row: quantity and price both non-zero -> amount := quantity x price;
// price zero -> amount emptied; quantity zero but price set -> price and amount
// emptied; both zero -> row left as it is (a stale amount stays).
// Returns the 1-based rows, in row order, whose amount does not fit and whose
// amount field has therefore been left empty.
QList<int> DEN_SALS(Rows &rows);

// The line pass before printing. As DEN_SALS, except that a row with a price
// but no quantity calls notify(row) before its price and amount are emptied
// (the caller shows RowPriceWithoutQtyMessage(row) and returns when the box is
// closed), and a row with neither has its amount emptied. Returns the rows whose
// amount does not fit, like DEN_SALS.
QList<int> DEN_SALS_2(Rows &rows, const std::function<void(int row)> &notify);

// "<row>行目　数量の入力がないので、単価を０にします".
QString RowPriceWithoutQtyMessage(int row);

// Names of the four total fields, as used in Totals::overflowFields.
inline constexpr QStringView kFieldSqty = u"ZuNumEdit_sqty";
inline constexpr QStringView kFieldSsal = u"ZuNumEdit_ssal";
inline constexpr QStringView kFieldStax = u"ZuNumEdit_stax";
inline constexpr QStringView kFieldSttl = u"ZuNumEdit_sttl";

// The texts of the four total fields. A total that does not fit is an empty
// text and its field name (kFieldSqty ...) is listed in overflowFields, in the
// order sqty, ssal, stax, sttl. overflowFields is empty when every total fits.
struct Totals
{
    QString sqty, ssal, stax, sttl;
    QStringList overflowFields;
};

// The totals pass over all ten rows: quantity total, amount total (the amount
// texts as they stand, not multiplied again), tax from the amount total and the
// rate text (Label_xTax) by the rounding code, and the total with tax.
Totals DEN_SUM(const Rows &rows, const QString &xTaxText, const QString &roundingCode);

// The tax in whole yen of an amount total at a rate, by rounding code:
// "0" truncates toward zero, "1" rounds halves away from zero, "2" adds 0.9 yen
// to the magnitude and truncates; any other code, the empty one included, gives
// 0. The product is taken exactly (no intermediate rounding). nullopt only when
// the tax lies outside the Currency range.
std::optional<Currency> ConsumptionTax(Currency amountTotal, Currency rate, const QString &roundingCode);

// Whether a value can be shown in a line amount or total field.
bool FitsField(Currency value);

// Notices for figures that do not fit, for the window to show.
QString RowOverflowMessage(int row);
QString TotalOverflowMessage(const QString &fieldCaption);
// The caption the operator knows a total field by (for TotalOverflowMessage);
// an unknown name is returned unchanged.
QString TotalFieldCaption(const QString &fieldName);

} // namespace slip
