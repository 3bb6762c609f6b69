#include "session/OrderBatch.h"

#include "platform/Errors.h"
#include "postal/PostalText.h"
#include "print/PrintCommand.h"
#include "printer/InvoicePage.h"
#include "printer/PainterCanvas.h"
#include "printer/SlipPage.h"
#include "printer/WbPrinters.h"
#include "session/FeedRegistration.h"
#include "session/InvoiceContent.h"
#include "settings/ProfileFile.h"
#include "slip/Currency.h"
#include "transfer/PostalLookup.h"

#include <QHash>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QRawFont>
#include <QSet>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace session {

namespace {

qint64 yen(const std::optional<Currency> &value)
{
    return value ? value->truncated() : 0;
}

// 12345 as 「12,345」.
QString yenText(qint64 value)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(value);
}

// The characters of the printed texts that the face each is drawn in has no
// glyph for, each once, in the order met. Blanks are never missing.
QString missingCharacters(const SlipInputs &inputs)
{
    const PrintGeometry &g = inputs.geometry;
    // The faces' answers known on this thread, by face and character: a
    // batch asks about the same few faces and mostly the same characters.
    thread_local QHash<QString, QRawFont> faces;
    thread_local QHash<QPair<QString, char32_t>, bool> answers;
    constexpr qsizetype kMostAnswers = 65536;
    // A device at the slip's resolution, as the printed page is: the canvas
    // maps the face there. Made at the first face not known yet.
    std::optional<QImage> device;
    std::optional<QPainter> painter;
    std::optional<PainterCanvas> canvas;
    QString missing;
    QSet<char32_t> seen;
    for (const SlipTextCell &cell : SlipTextCells(inputs)) {
        const QString faceKey = cell.face + u'\x1f' + QString::number(cell.points) + u'\x1f' + QString::number(g.dpiY);
        auto face = faces.constFind(faceKey);
        if (face == faces.constEnd() || !canvas) {
            if (!device) {
                device.emplace(1, 1, QImage::Format_RGB32);
                const int dpm = int(std::lround(qMax(1, g.dpiY) / 0.0254));
                device->setDotsPerMeterX(dpm);
                device->setDotsPerMeterY(dpm);
                painter.emplace(&*device);
                canvas.emplace(&*painter);
            }
            canvas->setFontName(cell.face);
            canvas->setFontSize(cell.points);
            // The face itself, not the fallbacks the toolkit would draw a
            // missing character in: those are no printer font of the slip.
            if (face == faces.constEnd())
                face = faces.insert(faceKey, QRawFont::fromFont(canvas->deviceFont()));
        } else {
            canvas->setFontName(cell.face);
            canvas->setFontSize(cell.points);
        }
        for (const char32_t c : canvas->deviceText(cell.text).toUcs4()) {
            if (QChar::isSpace(c) || seen.contains(c))
                continue;
            const QPair<QString, char32_t> key(faceKey, c);
            auto known = answers.constFind(key);
            if (known == answers.constEnd()) {
                if (answers.size() >= kMostAnswers)
                    answers.clear();
                known = answers.insert(key, face->supportsCharacter(c));
            }
            if (!*known) {
                seen.insert(c);
                missing += QString::fromUcs4(&c, 1);
            }
        }
    }
    return missing;
}

// The rows of the record that hold anything, counted up to the last one.
int usedRows(const SlipRecord &record)
{
    for (int n = kLineRows; n > 0; --n) {
        const SlipLine &l = record.lines[size_t(n - 1)];
        if (!l.item.isEmpty() || !l.qty.isEmpty() || !l.price.isEmpty() || !l.sales.isEmpty())
            return n;
    }
    return 0;
}

// The postal code's problem, empty when it is a code the dictionary gives
// for the address (or when there is no dictionary to ask).
QString postalProblem(const SlipRecord &record, const transfer::PostalLookup *postal)
{
    if (record.zip.trimmed().isEmpty())
        return u"郵便番号がありません"_s;
    const QString code = postal::NormalizeCode(record.zip);
    if (code.isEmpty())
        return u"郵便番号「"_s + record.zip + u"」は７桁の番号ではありません"_s;
    if (!postal)
        return {};
    const QStringList addresses = postal->addressesOf(code);
    if (addresses.isEmpty())
        return u"郵便番号が辞書にありません"_s;
    // The window compares the first address line, where the town is.
    if (!postal::AddressAgrees(record.add1, addresses))
        return u"郵便番号と住所が合いません"_s;
    return {};
}

// Figures and problems of the slip's record. fromFile adds what only the
// order file tells: its own problems, lines beyond ten, its total.
void checkSlip(BatchSlip &slip, const BatchContext &context, bool fromFile)
{
    SlipRecord &record = slip.record;
    slip.figures = PrintPass(record, RateOf(record).rate);
    slip.totalText = TotalTextsOf(slip.figures.totals).sttl;

    QStringList problems;
    if (fromFile)
        problems << slip.order.problems;
    if (const QString zip = postalProblem(record, context.postal); !zip.isEmpty())
        problems << zip;
    if (record.custo1.trimmed().isEmpty())
        problems << u"お名前がありません"_s;
    if (record.add1.trimmed().isEmpty())
        problems << u"住所がありません"_s;
    const SlipInputs inputs = BatchSlipInputs(slip, context);
    problems << OverfullTextNotices(inputs);
    if (const QString missing = missingCharacters(inputs); !missing.isEmpty())
        problems << u"プリンタのフォントにない文字があります（"_s + missing + u"）"_s;
    if (!slip.figures.overflow.isEmpty())
        problems << u"金額が欄に入りません"_s;
    const int lines = fromFile ? qMax(slip.order.lineCount, usedRows(record)) : usedRows(record);
    if (lines > kLineRows)
        problems << u"明細が%1行あります（伝票に入るのは%2行まで）"_s.arg(lines).arg(kLineRows);
    else if (lines > context.slipRows)
        problems << u"明細が%1行あります（伝票に印刷されるのは%2行まで）"_s.arg(lines).arg(context.slipRows);
    if (fromFile && slip.order.fileTotal && slip.figures.totals.sttl &&
        *slip.order.fileTotal != slip.figures.totals.sttl->truncated())
        problems << u"ファイルの合計（%1円）と伝票の合計（%2円）が違います（値引き・ポイント利用など）"_s.arg(
            yenText(*slip.order.fileTotal), yenText(slip.figures.totals.sttl->truncated()));
    slip.printedBefore =
        context.printedBefore && !slip.order.orderId.isEmpty() && context.printedBefore(slip.order.orderId);
    if (slip.printedBefore)
        problems << PrintedBeforeProblem();
    slip.problems = problems;
}

// Asked to stop between two pages.
struct StopRequested
{
};

} // namespace

BatchSettings BatchContextOf(const QString &dataDir, const QDate &slipDate)
{
    BatchSettings out;
    BatchContext &context = out.context;
    const ProfileFile ini(dataDir + u'/' + SettingsFileName());
    context.base = ReadSlipRecord(ini);
    context.base.slipDate = slipDate;
    if (const QString unreadable = ini.readRefusal(); !unreadable.isEmpty())
        out.refusal =
            u"設定ファイル "_s + ini.path() + u" を読めないため、伝票を作れません（"_s + unreadable + u"）。"_s;

    // The registration of the stored feed, at its registered resolution
    // (600 dpi when none is), as a slip of the window prints.
    const ProfileFile registrationFile(dataDir + u'/' + RegistrationFileName());
    const FeedRegistration registration = FeedRegistration::Read(registrationFile, FeedSection(context.base.feedIndex));
    const WbSize dpi = registration.registeredResolution().value_or(WbSize{kFallbackDpi, kFallbackDpi});
    context.sheetMm = registration.sheetMm();
    try {
        context.geometry =
            ParsePrintGeometry(QString::number(dpi.cx), QString::number(dpi.cy), registration.top, registration.left);
    } catch (const EVuzoError &e) {
        if (out.refusal.isEmpty())
            out.refusal = e.message();
        context.geometry = PrintGeometry{dpi.cx, dpi.cy, 0, 0};
    }
    if (out.refusal.isEmpty())
        out.refusal = RegistrationRefusal(registration);
    return out;
}

QString PrintedBeforeProblem()
{
    return u"印刷済み"_s;
}

BatchSlip SlipOfOrder(const orders::ImportedOrder &order, const BatchContext &context)
{
    BatchSlip slip;
    slip.order = order;
    SlipRecord &record = slip.record;
    record = context.base;
    record.zip = order.zip;
    record.add1 = order.add1;
    record.add2 = order.add2;
    record.add3 = order.add3;
    record.custo1 = order.custo1;
    record.tel = order.tel;
    record.pricesIncludeTax = order.pricesIncludeTax;
    // The settings file's lines are the window's, not the order's.
    record.lines = {};
    for (int n = 0; n < kLineRows && n < order.lines.size(); ++n) {
        const orders::ImportedLine &line = order.lines.at(n);
        SlipLine &l = record.lines[size_t(n)];
        l.item = line.item;
        l.qty = line.qty;
        l.price = line.unitPrice;
        l.taxClass = line.taxClass;
    }
    checkSlip(slip, context, true);
    return slip;
}

QList<BatchSlip> SlipsOfOrders(const QList<orders::ImportedOrder> &orders, const BatchContext &context)
{
    QList<BatchSlip> slips;
    slips.reserve(orders.size());
    for (const orders::ImportedOrder &order : orders)
        slips.append(SlipOfOrder(order, context));
    return slips;
}

void RecheckSlip(BatchSlip &slip, const BatchContext &context)
{
    checkSlip(slip, context, !slip.edited);
}

SlipInputs BatchSlipInputs(const BatchSlip &slip, const BatchContext &context)
{
    return SlipInputsOf(slip.record, slip.totalText, context.geometry);
}

HistorySlip BatchHistorySlip(const BatchSlip &slip)
{
    HistorySlip h;
    h.orderId = slip.order.orderId;
    h.record = slip.record;
    h.totalText = slip.totalText;
    const slip::RateTotals figures = RateTotalsOf(slip.record, RateOf(slip.record).rate);
    h.amount = yen(figures.totals.ssal);
    h.tax = yen(figures.totals.stax);
    h.total = yen(figures.totals.sttl);
    for (const slip::RateShare &share : figures.shares)
        h.rates.append(HistoryRate{NumberText(share.percent), share.reduced, yen(share.subtotal), yen(share.tax)});
    return h;
}

QString CheckLine(const BatchSlip &slip)
{
    const SlipRecord &r = slip.record;
    const QString amount =
        slip.figures.totals.sttl ? QString::number(slip.figures.totals.sttl->truncated()) : QString();
    QStringList fields{slip.order.orderId,         r.custo1, r.zip, r.add1, r.add2, r.add3, r.tel, amount,
                       slip.problems.join(u"、"_s)};
    for (QString &field : fields) {
        for (QChar &c : field) {
            if (c == u'\t' || c == u'\n' || c == u'\r')
                c = u' ';
        }
    }
    return fields.join(u'\t');
}

BatchPrintResult PrintBatch(TWbPrinter &printer, const QString &title, const QList<SlipInputs> &pages,
                            const std::function<bool(int done, int total)> &progress)
{
    BatchPrintResult result;
    if (pages.isEmpty())
        return result;
    const int total = int(pages.size());
    // The layout converts with the printer's effective resolution, read as
    // the window reads it for its slip; the offsets stay the feed's.
    const WbSize dpi = printer.DPI();
    const int scale = printer.Scale();
    const int dpiX = EffectiveResolution(dpi.cx, scale);
    const int dpiY = EffectiveResolution(dpi.cy, scale);
    try {
        // An error or a stop while drawing aborts the job: nothing of it prints.
        printer.PrintDocument(title, [&] {
            for (int n = 0; n < total; ++n) {
                if (n > 0)
                    printer.Newpage();
                SlipInputs page = pages.at(n);
                page.geometry.dpiX = dpiX;
                page.geometry.dpiY = dpiY;
                PainterCanvas canvas(printer.Canvas());
                SLIP97_Prn(canvas, page);
                ++result.pagesDrawn;
                if (progress && !progress(n + 1, total))
                    throw StopRequested{};
            }
        });
    } catch (const StopRequested &) {
        result.stopped = true;
    }
    return result;
}

void WriteBatchPdf(const QString &path, const QList<SlipInputs> &pages, const QSizeF &sheetMm, const QString &title)
{
    WriteSlipPdf(path, pages, sheetMm, title);
}

void PrintBatchInvoices(TWbPrinter &printer, const QString &title, const QList<BatchSlip> &slips, const QSizeF &sheetMm)
{
    if (slips.isEmpty())
        return;
    printer.PrintDocument(title, [&] {
        for (qsizetype n = 0; n < slips.size(); ++n) {
            if (n > 0)
                printer.Newpage();
            QPainter *painter = printer.Canvas();
            const InvoiceSheet sheet = InvoiceSheetOf(slips.at(n).record, slips.at(n).figures);
            DrawInvoicePage(*painter, sheet, sheetMm, painter->device()->logicalDpiY());
        }
    });
}

} // namespace session
