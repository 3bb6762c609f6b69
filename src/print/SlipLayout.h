#pragma once
// The payment slip layout: one copy of the slip drawn onto a PrintCanvas.
//
// Positions are held in the layout unit of 1/160 inch and converted to device
// pixels with the effective resolution; the registered print offsets (whole
// device pixels) are added to every position, never to widths. The routine
// neither begins, advances nor ends a print job, and works on values that are
// already read: ParsePrintGeometry() is where the window's captions are turned
// into numbers, so a bad caption stops a print before the layout is called.

#include "print/PrintCanvas.h"
#include "slip/Currency.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>

// The resolution the layout converts with and the registered print offsets.
struct PrintGeometry
{
    int dpiX = 0, dpiY = 0; // effective resolution, dots per inch
    int top = 0, left = 0;  // print offsets in device pixels
};

// The geometry from the texts of the main window's hidden captions (Label_dpix,
// Label_dpiy, Label_Prn_Top, Label_Prn_Left), read in that order. The first
// text that is not an integer (ParseInt32) raises EConvertError
// ("''<text>'' は整数ではありません"); an empty offset is 0, an empty resolution
// is not an integer.
PrintGeometry ParsePrintGeometry(const QString &dpiX, const QString &dpiY, const QString &top, const QString &left);

// One sales line: item name (the row's second name line), unit, and the
// values of quantity, unit price and line amount.
struct SlipRow
{
    QString item, unit;
    Currency qty, price, sales;
};

// Everything the layout reads.
struct SlipInputs
{
    PrintGeometry geometry;
    // The slip total as its field's text holds it, printed trimmed. It stays
    // text: an empty field prints the yen mark alone, which no value could
    // say, and the slip shows the field's own text, not a value written anew.
    QString sttl;
    QString zip, add1, add2, add3, custo1, tel;
    std::array<SlipRow, 4> rows; // sales lines 1 to 4; later lines are never printed
    // The line amounts include the tax: the column is headed 「税込金額」.
    bool pricesIncludeTax = false;
};

// Draws one slip. A line whose quantity is 0 is not printed.
void SLIP97_Prn(PrintCanvas &canvas, const SlipInputs &in);

// A text SLIP97_Prn draws with natural advances, and the room it has: from
// its position to the next item drawn over it (the next cell of its sales
// line) or to the edge of its block of the form. Beyond that room the text is
// covered or runs over the form.
struct SlipTextCell
{
    QString label; // 「3行目の単位」
    QString text;
    QString face;
    int points = 0;
    int width = 0; // device pixels at the geometry's horizontal resolution
};
// The non-empty texts of the remitter blocks and of the printed sales lines,
// in drawing order.
QList<SlipTextCell> SlipTextCells(const SlipInputs &in);

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
// zero, without padding: 1234 -> "1,234", -5 -> "-5", 0 -> "0". The text of a
// sales-line cell.
QString GroupedNumberText(Currency value);
