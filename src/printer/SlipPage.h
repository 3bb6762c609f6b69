#pragma once
// A slip page apart from a print job: the same layout routine (SLIP97_Prn)
// drawn through the same painter canvas as a print job's page, on a PDF file
// or on an image for the preview, and the drawings that help to place the
// print on a pre-printed form (the form's outline, a millimetre grid and
// crosshairs at the layout's reference points).
//
// Every function takes device pixels of the slip's geometry (its dpiX x dpiY)
// as its drawing unit, with the origin at the printable area's top-left
// corner, which these pages put at the sheet's corner.

#include "print/SlipForm.h"
#include "print/SlipLayout.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

class QPainter;
class TWbPrinter;

// The sheet used when no paper is registered for the feed: A4, 210 x 297 mm.
QSizeF DefaultSheetMm();
// The sheet of a registered PWG media name (PrnMedia, "iso_a5_148x210mm") in
// millimetres; DefaultSheetMm() when the name carries no size.
QSizeF RegisteredSheetMm(const QString &media);

// The sheet a print job lands on and the part of it the printer prints on
// (where the slip's origin lies), in millimetres from the sheet's corner.
struct PrintedSheet
{
    QSizeF sheetMm;
    QRectF printableMm;
};
// A sheet printed on up to its edges.
PrintedSheet WholeSheet(const QSizeF &sheetMm);
// The sheet of the selected printer with the settings in force on it (the
// paper a print job gets now); nullopt when the printer cannot tell it.
std::optional<PrintedSheet> SelectedSheet(TWbPrinter &printer);
// The names of the slip's items (slipform::SlipItemAreas) that do not lie
// wholly within the sheet's printable area at the slip's offsets, in the
// order of SlipItemAreas.
QStringList ItemsOffSheet(const SlipInputs &inputs, const PrintedSheet &sheet);

// The sheet in device pixels of the geometry (width at dpiX, height at dpiY).
QSizeF SheetPixels(const QSizeF &sheetMm, const PrintGeometry &geometry);

// Sets the painter's transform so that one unit is one device pixel of the
// geometry, on a device whose logical resolution is the geometry's vertical
// one (as a print job's page is), scaled by `scale` on top.
void UseSlipUnits(QPainter &painter, const PrintGeometry &geometry, double scale = 1.0);

// Writes the slip as a one-page PDF of the sheet at the geometry's resolution;
// fonts are embedded as subsets. The file is replaced in one step: on failure
// (EInOutError with a message naming the file) an existing file stays as it
// was.
void WriteSlipPdf(const QString &path, const SlipInputs &inputs, const QSizeF &sheetMm, const QString &title);
// The same for several slips, one page each, at the first one's resolution
// (a blank page at kEmptyPdfDpi when there is none).
inline constexpr int kEmptyPdfDpi = 600;
void WriteSlipPdf(const QString &path, const QList<SlipInputs> &pages, const QSizeF &sheetMm, const QString &title);

// The page as the preview shows it: the sheet in white at `scale` image pixels
// per device pixel (of the vertical resolution), the slip drawn by the layout,
// and, when withForm is set, the form's outline laid faintly over it (as a
// printed slip lies on its form: white cells do not hide the form).
//
// printableMm, when given, is the area of the sheet the printer prints on
// (millimetres from the sheet's corner): the slip is drawn from its corner, as
// the printer places it, and the sheet around it is shaded.
QImage RenderSlipPage(const SlipInputs &inputs, const QSizeF &sheetMm, double scale, bool withForm,
                      const QRectF &printableMm = QRectF());

// The texts of the slip wider than their cells (SlipTextCells), measured in
// the faces and sizes the painter canvas draws them with: one line each,
// 「3行目の単位「パック」が欄に入りません」.
QStringList OverfullTextNotices(const SlipInputs &inputs);

// What of the slip would not print as laid out on the sheet: the items
// outside its printable area (ItemsOffSheet) and the texts wider than their
// cells (OverfullTextNotices), in one text for the operator; empty when
// everything fits.
QString SlipFitWarning(const SlipInputs &inputs, const PrintedSheet &sheet);

// The form's outline: amount box cells, remitter blocks, message column and
// its lines, in the colour given, lines `penWidth` device pixels wide.
void DrawFormOutline(QPainter &painter, const slipform::FormReference &form, const QColor &color, double penWidth);

// The alignment sheet on a printable area of areaPixels: a millimetre grid
// anchored at the layout's origin (the offsets), numbered every 10 mm, the
// form's outline, crosshairs at the layout's reference points with their
// names, and a heading with the offsets in pixels and millimetres.
void DrawAlignmentSheet(QPainter &painter, const PrintGeometry &geometry, const QSizeF &areaPixels);

// The grid's numbers: the device position of every 10-mm line from the origin
// within 0 .. extent pixels, with its distance in mm (negative before the
// origin). Exposed for the tests that read a sheet back.
struct GridMark
{
    double position;
    int millimetres;
};
QList<GridMark> TenMillimetreMarks(int origin, int dpi, double extent);
