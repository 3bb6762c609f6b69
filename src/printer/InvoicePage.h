#pragma once
// The invoice sheet on plain paper (A4 or A5 portrait): drawn on a print
// job's page, on a PDF file, or on an image for the preview. The layout is in
// millimetres of the sheet and scales with its width, so A5 is A4 reduced.

#include "print/InvoiceSheet.h"

#include <QImage>
#include <QSizeF>
#include <optional>

class QPainter;

// The invoice's paper from a registered media name (PWG "iso_a5_148x210mm",
// with a suffix such as _borderless, or a driver's "A5"): A4 or A5, A4 when
// none is registered; nullopt for any other paper.
std::optional<QSizeF> InvoicePaperMm(const QString &registeredMedia);
// The sheet the invoice is laid out on: InvoicePaperMm, A4 for any other.
QSizeF InvoiceSheetMm(const QString &registeredMedia);

// Draws the sheet with the painter's unit being one device pixel of a device
// at dpi, with the origin at the sheet's corner shifted by the printable
// area's offset (offsetPx, device pixels of the margin the printer keeps).
void DrawInvoicePage(QPainter &painter, const InvoiceSheet &sheet, const QSizeF &sheetMm, double dpi,
                     const QPointF &offsetPx = {});

// Writes the sheet as a one-page PDF, replaced in one step; EInOutError
// naming the file on failure.
void WriteInvoicePdf(const QString &path, const InvoiceSheet &sheet, const QSizeF &sheetMm);

// The page as the preview shows it, `pixelsPerMm` image pixels per millimetre.
QImage RenderInvoicePage(const InvoiceSheet &sheet, const QSizeF &sheetMm, double pixelsPerMm);
