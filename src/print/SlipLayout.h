#pragma once
// The payment slip layout: one copy of the slip drawn onto a PrintCanvas.
//
// Positions are held in the layout unit of 1/160 inch and converted to device
// pixels with the effective resolution; the registered print offsets (whole
// device pixels) are added to every position, never to widths. The routine
// neither begins, advances nor ends a print job.

#include "print/PrintCanvas.h"
#include "slip/Currency.h"

#include <QString>
#include <array>
#include <cstdint>

// One sales line as the main window holds it: item name (the row's second name
// line), unit, and the numeric texts of quantity, unit price and line amount.
struct SlipRow
{
    QString item, unit, qty, price, sales;
};

// Everything the layout reads, as the texts of the main window's fields.
struct SlipInputs
{
    QString dpix, dpiy;      // effective resolution, decimal text
    QString prnTop, prnLeft; // print offsets in device pixels; empty means 0
    QString sttl;            // slip total, plain digits
    QString zip, add1, add2, add3, custo1, tel;
    std::array<SlipRow, 4> rows; // sales lines 1 to 4; later lines are never printed
};

// Draws one slip. Reads the resolutions and offsets first: a text among them
// that is not an integer (an empty offset is 0) raises EConvertError
// ("''<text>'' は整数ではありません") before anything is drawn.
void SLIP97_Prn(PrintCanvas &canvas, const SlipInputs &in);

// Device pixels per layout unit in units of 1/10000: dpi x 10000 / 160,
// rounded to the nearest integer with ties to even (37500 at 600 dpi, 12688 at
// 203 dpi).
int64_t LayoutScale(int dpi);

// floor((layout x scale + 5000) / 10000) + offset, formed exactly. Results
// beyond the int range are held at its ends rather than wrapped.
int LayoutToDevice(int layout, int64_t scale, int offset = 0);

// The text of a right-aligned field of 11 character cells: the last 11
// characters of 11 spaces followed by the value. Longer values lose their
// leftmost characters.
QString BoxText(const QString &value);

// "\" (U+005C, the yen mark of the slip's Japanese face) and the trimmed total.
QString AmountText(const QString &totalText);

// A whole number with thousands grouped by commas, rounded half away from
// zero, without padding: 1234 -> "1,234", -5 -> "-5", 0 -> "0".
QString GroupedNumberText(Currency value);

// The number text of a sales-line cell: the field's text read leniently (text
// that is not a number counts as 0) and grouped.
QString SalesNumberText(const QString &fieldText);
