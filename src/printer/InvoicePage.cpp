#include "printer/InvoicePage.h"

#include "platform/Errors.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kA4Width = 210.0;

// Draws in millimetres of an A4 sheet; an A5 sheet is the same drawing
// reduced, so the caller's unit is scaled once here.
class SheetPen
{
public:
    SheetPen(QPainter &painter, double pxPerMm) : m_p(painter), m_px(pxPerMm) {}

    double px(double mm) const { return mm * m_px; }

    void font(double heightMm, bool gothic = true, bool bold = false)
    {
        QFont f(gothic ? u"IPAPGothic"_s : u"IPAPMincho"_s);
        f.setStyleHint(gothic ? QFont::SansSerif : QFont::Serif);
        f.setPixelSize(qMax(1, int(std::lround(px(heightMm)))));
        f.setBold(bold);
        m_p.setFont(f);
    }

    // Text in the box from (x, y) of width w (mm), its top at y; elided when
    // it does not fit, so a long item never runs into the next column.
    void text(double x, double y, double w, double h, const QString &s, Qt::Alignment align = Qt::AlignLeft)
    {
        const QRectF box(px(x), px(y), px(w), px(h));
        const QString shown = QFontMetricsF(m_p.font()).elidedText(s, Qt::ElideRight, box.width());
        m_p.drawText(box, int(align | Qt::AlignVCenter), shown);
    }

    void line(double x1, double y1, double x2, double y2, double widthMm = 0.2)
    {
        QPen pen(Qt::black);
        pen.setWidthF(px(widthMm));
        m_p.setPen(pen);
        m_p.drawLine(QLineF(px(x1), px(y1), px(x2), px(y2)));
    }

    void rect(double x, double y, double w, double h, double widthMm = 0.2)
    {
        QPen pen(Qt::black);
        pen.setWidthF(px(widthMm));
        m_p.setPen(pen);
        m_p.setBrush(Qt::NoBrush);
        m_p.drawRect(QRectF(px(x), px(y), px(w), px(h)));
    }

private:
    QPainter &m_p;
    double m_px;
};

} // namespace

std::optional<QSizeF> InvoicePaperMm(const QString &registeredMedia)
{
    const QString m = registeredMedia.trimmed().toLower();
    if (m == u"a5"_s || m.startsWith(u"iso_a5_"_s) || m.startsWith(u"a5."_s))
        return QSizeF(148, 210);
    if (m.isEmpty() || m == u"a4"_s || m.startsWith(u"iso_a4_"_s) || m.startsWith(u"a4."_s))
        return QSizeF(210, 297);
    return std::nullopt;
}

QSizeF InvoiceSheetMm(const QString &registeredMedia)
{
    return InvoicePaperMm(registeredMedia).value_or(QSizeF(210, 297));
}

void DrawInvoicePage(QPainter &painter, const InvoiceSheet &sheet, const QSizeF &sheetMm, double dpi,
                     const QPointF &offsetPx)
{
    painter.save();
    painter.translate(-offsetPx);
    painter.setPen(Qt::black);
    // One unit of the drawing is one A4 millimetre, in device pixels.
    SheetPen pen(painter, dpi / 25.4 * sheetMm.width() / kA4Width);

    pen.font(6.5, true, true);
    pen.text(15, 12, 180, 10, sheet.title, Qt::AlignHCenter);
    pen.line(15, 23, 195, 23, 0.4);

    pen.font(3.6);
    pen.text(120, 26, 75, 5, sheet.dateText, Qt::AlignRight);
    pen.text(120, 31, 75, 5, sheet.numberText, Qt::AlignRight);

    // The recipient, top left as on an envelope window.
    double y = 30;
    pen.font(3.8);
    for (const QString &l : sheet.recipientAddress) {
        pen.text(15, y, 100, 5.5, l);
        y += 5.5;
    }
    y += 2;
    pen.font(5.2, true, true);
    pen.text(15, y, 100, 8, sheet.recipientName);
    pen.line(15, y + 8.5, 110, y + 8.5, 0.3);

    // The issuer, right, under the date.
    double iy = 42;
    pen.font(3.6);
    for (const QString &l : sheet.issuer) {
        pen.text(120, iy, 75, 5, l, Qt::AlignRight);
        iy += 5;
    }

    pen.font(3.8);
    pen.text(15, 74, 180, 6, u"下記のとおり納品いたします。"_s);

    // The lines' table.
    const double top = 82, rowH = 7.5;
    struct Column
    {
        double x, w;
        const char16_t *caption;
        Qt::Alignment align;
    };
    static const Column columns[] = {{15, 88, u"品名", Qt::AlignLeft},
                                     {103, 20, u"数量", Qt::AlignRight},
                                     {123, 16, u"単位", Qt::AlignLeft},
                                     {139, 26, u"単価", Qt::AlignRight},
                                     {165, 30, u"金額", Qt::AlignRight}};
    const int rows = qMax(5, int(sheet.lines.size()));
    pen.font(3.6, true, true);
    for (const Column &c : columns)
        pen.text(c.x + 1.5, top, c.w - 3, rowH, QString::fromUtf16(c.caption), Qt::AlignHCenter);
    pen.rect(15, top, 180, rowH * (rows + 1), 0.3);
    pen.line(15, top + rowH, 195, top + rowH, 0.3);
    for (int r = 2; r <= rows; ++r)
        pen.line(15, top + rowH * r, 195, top + rowH * r, 0.1);
    for (const Column &c : columns) {
        if (c.x > 15)
            pen.line(c.x, top, c.x, top + rowH * (rows + 1), 0.1);
    }
    pen.font(3.6);
    for (int r = 0; r < sheet.lines.size(); ++r) {
        const InvoiceLine &l = sheet.lines.at(r);
        const double ry = top + rowH * (r + 1);
        const QString cells[] = {l.item, l.qty, l.unit, l.price, l.amount};
        for (int c = 0; c < 5; ++c)
            pen.text(columns[c].x + 1.5, ry, columns[c].w - 3, rowH, cells[c], columns[c].align);
    }

    // The figures per rate and the totals, right under the table.
    y = top + rowH * (rows + 1) + 4;
    pen.font(3.8);
    for (const QString &l : sheet.rateLines) {
        pen.text(95, y, 100, 6, l, Qt::AlignRight);
        y += 6;
    }
    y += 1;
    pen.text(95, y, 100, 6, sheet.subtotalText, Qt::AlignRight);
    y += 6;
    pen.text(95, y, 100, 6, sheet.taxText, Qt::AlignRight);
    y += 6.5;
    pen.font(4.6, true, true);
    pen.text(95, y, 100, 7, sheet.totalText, Qt::AlignRight);
    pen.line(120, y + 7.5, 195, y + 7.5, 0.4);
    y += 11;
    if (!sheet.reducedNote.isEmpty()) {
        pen.font(3.4);
        pen.text(15, y, 180, 5, sheet.reducedNote);
        y += 7;
    }
    pen.font(4.4);
    pen.rect(15, y, 180, 11, 0.3);
    pen.text(20, y, 170, 11, sheet.paymentText, Qt::AlignHCenter);
    painter.restore();
}

void WriteInvoicePdf(const QString &path, const InvoiceSheet &sheet, const QSizeF &sheetMm)
{
    constexpr int kDpi = 600;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(path + u" に書き込めません"_s);
    {
        QPdfWriter writer(&file);
        writer.setCreator(u"vuzo_Vez_1"_s);
        writer.setTitle(sheet.title);
        writer.setResolution(kDpi);
        const QPageSize pageSize(sheetMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            throw EInOutError(path + u" に書き込めません"_s);
        }
        DrawInvoicePage(painter, sheet, sheetMm, kDpi);
        painter.end();
    }
    if (!file.commit())
        throw EInOutError(path + u" に書き込めません"_s);
}

QImage RenderInvoicePage(const InvoiceSheet &sheet, const QSizeF &sheetMm, double pixelsPerMm)
{
    const QSize size(qMax(1, int(std::ceil(sheetMm.width() * pixelsPerMm))),
                     qMax(1, int(std::ceil(sheetMm.height() * pixelsPerMm))));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    DrawInvoicePage(painter, sheet, sheetMm, pixelsPerMm * 25.4);
    painter.end();
    return image;
}
