#pragma once
// Where the payment slip's items sit, in the layout unit of 1/160 inch, and
// the form's reference geometry derived from them: the amount boxes' cells,
// the two remitter blocks, the message column and the points an alignment
// sheet marks. SLIP97_Prn draws with these same constants, so a drawing of
// the form can never drift from where the slip prints.

#include "print/SlipLayout.h"

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>

namespace slipform {

inline constexpr int kUnitsPerInch = 160;

// The two rows of amount boxes: 11 cells over 360 units each.
inline constexpr int kAmountCells = 11;
inline constexpr int kAmountWidth = 360;
inline constexpr int kAmountPoints = 12;
inline constexpr int kAmount1X = 385, kAmount1Y = 77;
inline constexpr int kAmount2X = 740, kAmount2Y = 277;

// The right-hand remitter block: three address lines, then the name.
inline constexpr int kRightX = 840, kRightNameX = 850;
inline constexpr int kRightAddY[3] = {340, 365, 390};
inline constexpr int kRightNameY = 430;
// The left-hand remitter block: postal code, three address lines, name and
// telephone.
inline constexpr int kLeftX = 80, kLeftZipY = 335;
inline constexpr int kLeftAddY[3] = {365, 395, 425};
inline constexpr int kLeftNameX = 100, kLeftNameY = 460;
inline constexpr int kLeftTelX = 210, kLeftTelY = 500;

// The message column: its header, the rule under it and four sales lines.
inline constexpr int kHeaderY = 195;
inline constexpr int kHeaderItemX = 40, kHeaderQtyX = 440, kHeaderPriceX = 535, kHeaderSalesX = 630;
inline constexpr int kRuleFromX = 30, kRuleToX = 720, kRuleY = 225;
inline constexpr int kRowsY = 230, kRowStep = 25, kPrintedRows = 4;
inline constexpr int kRowItemX = 40, kRowUnitX = 588;
inline constexpr int kRowQtyX = 385, kRowPriceX = 485, kRowSalesX = 605, kRowCellWidth = 99;

// The form as the slip at a resolution and offsets sees it, in device pixels
// from the printable area's top-left corner (offsets included), converted as
// the layout converts its positions.
struct FormReference
{
    QList<QRectF> amountCells;    // 2 x 11 cells, row by row
    QList<QRectF> remitterBlocks; // left block, right block
    QRectF messageColumn;
    QList<QLineF> messageLines; // the header rule, then the foot of each sales line
    // The points an alignment sheet marks with crosshairs, with their names.
    QList<QPointF> referencePoints;
    QStringList referenceNames;
};

FormReference SlipFormReference(const PrintGeometry &geometry);

// One item of the slip as the operator knows it (「金額（2段目）」) and the
// rectangle it takes, in device pixels as FormReference gives them.
struct ItemArea
{
    QString name;
    QRectF rect;
};
// The amount rows, the two remitter blocks and the message column.
QList<ItemArea> SlipItemAreas(const PrintGeometry &geometry);
// The names of the items that do not lie wholly within the printable area
// (device pixels of the geometry from the same corner), in SlipItemAreas'
// order.
QStringList ItemsOutside(const PrintGeometry &geometry, const QRectF &printable);

} // namespace slipform

// Length units of the print position window. Offsets stay whole device
// pixels; a millimetre figure is held in tenths of a millimetre.
//
// px x 254 / dpi, rounded half away from zero; 0 for a resolution of 0 or less.
int PixelsToTenthMm(int pixels, int dpi);
// tenths x dpi / 254, rounded half away from zero; 0 for a resolution of 0 or
// less. Results beyond the int range are held at its ends.
int TenthMmToPixels(int tenths, int dpi);

// Tenths of a millimetre as the millimetre field shows them: "12.3", "-0.5",
// "12" (no decimal for whole millimetres).
QString TenthMmText(int tenths);
// The tenths of a millimetre of a millimetre text ("12.3", "-0.25" rounds half
// away from zero to -0.3); nullopt for text that is no number (empty, a lone
// sign).
std::optional<int> ParseTenthMm(const QString &text);
