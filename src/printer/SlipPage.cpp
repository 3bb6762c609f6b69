#include "printer/SlipPage.h"

#include "platform/Errors.h"
#include "platform/TextUtil.h"
#include "printer/PainterCanvas.h"
#include "printer/PwgNames.h"
#include "printer/WbPrinterErrors.h"
#include "printer/WbPrinters.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegion>
#include <QSaveFile>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// A painter's resolution is whole dots per inch; an image keeps it as dots
// per metre.
int dotsPerMeter(int dpi)
{
    return int(std::lround(dpi / 0.0254));
}

double mmToPixels(double mm, int dpi)
{
    return mm * dpi / 25.4;
}

} // namespace

QSizeF DefaultSheetMm()
{
    return QSizeF(210, 297);
}

QSizeF RegisteredSheetMm(const QString &media)
{
    const std::optional<std::pair<int, int>> size = vuzo::MediaSizeFromName(vuzo::Trim(media));
    return size ? QSizeF(size->first / 100.0, size->second / 100.0) : DefaultSheetMm();
}

PrintedSheet WholeSheet(const QSizeF &sheetMm)
{
    return {sheetMm, QRectF(QPointF(0, 0), sheetMm)};
}

std::optional<PrintedSheet> SelectedSheet(TWbPrinter &printer)
{
    try {
        const WbSize dpi = printer.DPI();
        const WbSize paper = printer.PaperExtent();
        const WbSize offset = printer.Offset();
        const WbSize page = printer.PageExtent();
        if (dpi.cx <= 0 || dpi.cy <= 0 || paper.cx <= 0 || paper.cy <= 0)
            return std::nullopt;
        // To a tenth of a millimetre, as sheets are given: whole pixels
        // lose a little of them.
        auto mmX = [&](int px) { return std::round(px * 254.0 / dpi.cx) / 10; };
        auto mmY = [&](int px) { return std::round(px * 254.0 / dpi.cy) / 10; };
        return PrintedSheet{QSizeF(mmX(paper.cx), mmY(paper.cy)),
                            QRectF(mmX(offset.cx), mmY(offset.cy), mmX(page.cx), mmY(page.cy))};
    } catch (const EWbPrinter &) {
        return std::nullopt;
    }
}

QStringList ItemsOffSheet(const SlipInputs &inputs, const PrintedSheet &sheet)
{
    // The slip's origin is the printable area's corner.
    const PrintGeometry &g = inputs.geometry;
    const QRectF printable(0, 0, mmToPixels(sheet.printableMm.width(), g.dpiX),
                           mmToPixels(sheet.printableMm.height(), g.dpiY));
    return slipform::ItemsOutside(g, printable);
}

QSizeF SheetPixels(const QSizeF &sheetMm, const PrintGeometry &g)
{
    return QSizeF(mmToPixels(sheetMm.width(), g.dpiX), mmToPixels(sheetMm.height(), g.dpiY));
}

void UseSlipUnits(QPainter &painter, const PrintGeometry &g, double scale)
{
    // The device runs at the vertical resolution, so fonts given in points
    // map as on the printer; x is scaled when the two resolutions differ.
    const double sx = g.dpiX > 0 && g.dpiY > 0 ? double(g.dpiY) / g.dpiX : 1.0;
    painter.resetTransform();
    painter.scale(scale * sx, scale);
}

void WriteSlipPdf(const QString &path, const SlipInputs &inputs, const QSizeF &sheetMm, const QString &title)
{
    WriteSlipPdf(path, QList<SlipInputs>{inputs}, sheetMm, title);
}

void WriteSlipPdf(const QString &path, const QList<SlipInputs> &pages, const QSizeF &sheetMm, const QString &title)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(path + u" に書き込めません"_s);
    {
        QPdfWriter writer(&file);
        writer.setCreator(u"vuzo_Vez_1"_s);
        writer.setTitle(title);
        writer.setResolution(pages.isEmpty() ? kEmptyPdfDpi : qMax(1, pages.first().geometry.dpiY));
        const QPageSize pageSize(sheetMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            throw EInOutError(path + u" に書き込めません"_s);
        }
        for (qsizetype n = 0; n < pages.size(); ++n) {
            if (n > 0 && !writer.newPage()) {
                painter.end();
                file.cancelWriting();
                throw EInOutError(path + u" に書き込めません"_s);
            }
            UseSlipUnits(painter, pages.at(n).geometry);
            PainterCanvas canvas(&painter);
            SLIP97_Prn(canvas, pages.at(n));
        }
        painter.end();
    }
    if (!file.commit())
        throw EInOutError(path + u" に書き込めません"_s);
}

QImage RenderSlipPage(const SlipInputs &inputs, const QSizeF &sheetMm, double scale, bool withForm,
                      const QRectF &printableMm)
{
    const PrintGeometry &g = inputs.geometry;
    const int dpi = qMax(1, g.dpiY);
    // Square image pixels at the vertical resolution times the scale.
    const QSize size(qMax(1, int(std::ceil(mmToPixels(sheetMm.width(), dpi) * scale))),
                     qMax(1, int(std::ceil(mmToPixels(sheetMm.height(), dpi) * scale))));
    QImage image(size, QImage::Format_RGB32);
    // The image's own resolution is the device's, so the canvas maps point
    // sizes to the same pixel sizes as on the printer.
    image.setDotsPerMeterX(dotsPerMeter(dpi));
    image.setDotsPerMeterY(dotsPerMeter(dpi));
    image.fill(Qt::white);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, scale < 1.0);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QPointF origin;
    if (printableMm.isValid()) {
        // What the printer cannot print on is shaded; the layout's origin is
        // the printable area's corner.
        const double pxPerMm = dpi / 25.4 * scale;
        const QRectF area(printableMm.topLeft() * pxPerMm, printableMm.size() * pxPerMm);
        const QRegion margins = QRegion(image.rect()).subtracted(QRegion(area.toAlignedRect()));
        for (const QRect &band : margins)
            painter.fillRect(band, QColor(0xE8, 0xE8, 0xE8));
        origin = area.topLeft();
    }
    UseSlipUnits(painter, g, scale);
    painter.translate(origin.x() / (scale * (g.dpiX > 0 && g.dpiY > 0 ? double(g.dpiY) / g.dpiX : 1.0)),
                      origin.y() / scale);
    {
        PainterCanvas canvas(&painter);
        SLIP97_Prn(canvas, inputs);
    }
    if (withForm) {
        // Multiplied over the print: the outline darkens white paper and
        // leaves black ink black, as the form under a printed slip does.
        painter.setCompositionMode(QPainter::CompositionMode_Multiply);
        painter.setRenderHint(QPainter::Antialiasing, true);
        // At least one image pixel wide, whatever the zoom.
        DrawFormOutline(painter, slipform::SlipFormReference(g), QColor(0xE0, 0x9A, 0x9A), qMax(1.0, 1.0 / scale));
    }
    painter.end();
    return image;
}

void DrawFormOutline(QPainter &painter, const slipform::FormReference &form, const QColor &color, double penWidth)
{
    painter.save();
    QPen pen(color);
    pen.setWidthF(penWidth);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const QRectF &cell : form.amountCells)
        painter.drawRect(cell);
    for (const QRectF &block : form.remitterBlocks)
        painter.drawRect(block);
    painter.drawRect(form.messageColumn);
    for (const QLineF &line : form.messageLines)
        painter.drawLine(line);
    painter.restore();
}

QList<GridMark> TenMillimetreMarks(int origin, int dpi, double extent)
{
    QList<GridMark> marks;
    if (dpi <= 0)
        return marks;
    const double step = mmToPixels(10, dpi);
    const int first = int(std::ceil(-origin / step));
    for (int k = first;; ++k) {
        const double at = origin + k * step;
        if (at > extent)
            break;
        marks.append({at, k * 10});
    }
    return marks;
}

void DrawAlignmentSheet(QPainter &painter, const PrintGeometry &g, const QSizeF &area)
{
    painter.save();
    const double mmX = mmToPixels(1, g.dpiX);
    const double mmY = mmToPixels(1, g.dpiY);
    // A hairline of the printer: about a tenth of a millimetre.
    const double thin = qMax(1.0, mmY * 0.1);

    // The millimetre grid from the layout's origin: every millimetre faint,
    // every 5 mm stronger, every 10 mm darker and numbered.
    auto gridPen = [&](int k) {
        QPen pen(k % 10 == 0  ? QColor(0x70, 0x70, 0x70)
                 : k % 5 == 0 ? QColor(0xA8, 0xA8, 0xA8)
                              : QColor(0xD8, 0xD8, 0xD8));
        pen.setWidthF(k % 10 == 0 ? thin * 1.5 : thin);
        pen.setCapStyle(Qt::FlatCap);
        return pen;
    };
    for (int k = int(std::ceil(-g.left / mmX));; ++k) {
        const double x = g.left + k * mmX;
        if (x > area.width())
            break;
        painter.setPen(gridPen(k));
        painter.drawLine(QLineF(x, 0, x, area.height()));
    }
    for (int k = int(std::ceil(-g.top / mmY));; ++k) {
        const double y = g.top + k * mmY;
        if (y > area.height())
            break;
        painter.setPen(gridPen(k));
        painter.drawLine(QLineF(0, y, area.width(), y));
    }

    // The numbers of the 10-mm lines, just inside the origin's row and column.
    QFont numbers(u"DejaVu Sans"_s);
    numbers.setPixelSize(qMax(1, int(std::lround(mmY * 2))));
    painter.setFont(numbers);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    const double labelY = qMax(0.0, double(g.top)) + mmY * 2.5;
    for (const GridMark &m : TenMillimetreMarks(g.left, g.dpiX, area.width())) {
        if (m.millimetres != 0)
            painter.drawText(QPointF(m.position + mmX * 0.5, labelY), QString::number(m.millimetres));
    }
    const double labelX = qMax(0.0, double(g.left)) + mmX * 0.5;
    for (const GridMark &m : TenMillimetreMarks(g.top, g.dpiY, area.height())) {
        if (m.millimetres != 0)
            painter.drawText(QPointF(labelX, m.position - mmY * 0.5), QString::number(m.millimetres));
    }

    const slipform::FormReference form = slipform::SlipFormReference(g);
    DrawFormOutline(painter, form, QColor(0x90, 0x90, 0x90), thin);

    // Crosshairs: 10 mm across, a ring of 2 mm, the point's name beside it.
    QPen cross(Qt::black);
    cross.setWidthF(thin * 2);
    cross.setCapStyle(Qt::FlatCap);
    QFont names(u"IPAPGothic"_s);
    names.setPixelSize(qMax(1, int(std::lround(mmY * 2.5))));
    for (qsizetype i = 0; i < form.referencePoints.size(); ++i) {
        const QPointF p = form.referencePoints.at(i);
        painter.setPen(cross);
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QLineF(p.x() - 5 * mmX, p.y(), p.x() + 5 * mmX, p.y()));
        painter.drawLine(QLineF(p.x(), p.y() - 5 * mmY, p.x(), p.y() + 5 * mmY));
        painter.drawEllipse(p, 2 * mmX, 2 * mmY);
        painter.setFont(names);
        painter.drawText(QPointF(p.x() + 1.5 * mmX, p.y() - 1.5 * mmY), form.referenceNames.value(i));
    }

    // What the sheet was printed with.
    QFont heading(u"IPAPGothic"_s);
    heading.setPixelSize(qMax(1, int(std::lround(mmY * 3))));
    painter.setFont(heading);
    const QString text = u"位置合わせ印刷　上 %1 (%2 mm)　左 %3 (%4 mm)　%5 x %6 dpi"_s.arg(g.top)
                             .arg(PixelsToTenthMm(g.top, g.dpiY) / 10.0, 0, 'f', 1)
                             .arg(g.left)
                             .arg(PixelsToTenthMm(g.left, g.dpiX) / 10.0, 0, 'f', 1)
                             .arg(g.dpiX)
                             .arg(g.dpiY);
    painter.drawText(QPointF(mmX * 5, area.height() - mmY * 5), text);
    painter.restore();
}

QStringList OverfullTextNotices(const SlipInputs &inputs)
{
    const PrintGeometry &g = inputs.geometry;
    // The widths measured before on this thread: the sender's lines, the
    // item names and the remarks come again on every slip of a batch, and
    // measuring a text is the slow part. Kept to a bounded number.
    thread_local QHash<QString, double> measured;
    constexpr qsizetype kMostMeasured = 8192;
    // A device at the slip's vertical resolution, as the pages are: fonts
    // map to the same pixel sizes there. Made at the first text not measured
    // yet.
    std::optional<QImage> device;
    std::optional<QPainter> painter;
    std::optional<PainterCanvas> canvas;
    QStringList notices;
    for (const SlipTextCell &cell : SlipTextCells(inputs)) {
        const QString key = cell.face + u'\x1f' + QString::number(cell.points) + u'\x1f' + QString::number(g.dpiY) +
                            u'\x1f' + cell.text;
        auto it = measured.constFind(key);
        if (it == measured.constEnd()) {
            if (!device) {
                device.emplace(1, 1, QImage::Format_RGB32);
                device->setDotsPerMeterX(dotsPerMeter(qMax(1, g.dpiY)));
                device->setDotsPerMeterY(dotsPerMeter(qMax(1, g.dpiY)));
                painter.emplace(&*device);
                canvas.emplace(&*painter);
            }
            canvas->setFontName(cell.face);
            canvas->setFontSize(cell.points);
            const QFontMetricsF fm(canvas->deviceFont(), &*device);
            if (measured.size() >= kMostMeasured)
                measured.clear();
            it = measured.insert(key, fm.horizontalAdvance(canvas->deviceText(cell.text)));
        }
        // Measured in vertical pixels; the page scales x when the two
        // resolutions differ.
        const double width = *it * (g.dpiX > 0 && g.dpiY > 0 ? double(g.dpiX) / g.dpiY : 1.0);
        if (width > cell.width + 0.5)
            notices << cell.label + u"「"_s + cell.text + u"」が欄に入りません"_s;
    }
    return notices;
}

QString SlipFitWarning(const SlipInputs &inputs, const PrintedSheet &sheet)
{
    QStringList parts;
    if (const QStringList off = ItemsOffSheet(inputs, sheet); !off.isEmpty()) {
        const QSizeF mm = sheet.sheetMm;
        parts << u"用紙（%1 x %2 mm）の印刷できる範囲からはみ出す項目があります（上 %3・左 %4 の位置で）：\n%5"_s
                     .arg(std::lround(mm.width()))
                     .arg(std::lround(mm.height()))
                     .arg(inputs.geometry.top)
                     .arg(inputs.geometry.left)
                     .arg(off.join(u"、"_s));
    }
    if (const QStringList overfull = OverfullTextNotices(inputs); !overfull.isEmpty())
        parts << u"欄に入らない文字があります（次の欄に重なって印刷されます）：\n"_s + overfull.join(u'\n');
    return parts.join(u"\n\n"_s);
}
