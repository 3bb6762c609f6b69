#pragma once
// A day's orders as slips: each order of an order file made into the slip it
// prints (the settings file's sender, rates, rounding and price kind with the
// order's address and lines), checked for everything that would print wrong,
// and the chosen slips printed as one job of one page each, or written as one
// PDF.
//
//     session::BatchContext context = session::BatchContextOf(dataDir, slipDate);
//     context.printedBefore = [&](const QString &id) { return store.hasOrder(id); };
//     QList<session::BatchSlip> slips = session::SlipsOfOrders(file.orders, context);

#include "orders/OrderImport.h"
#include "print/SlipLayout.h"
#include "session/HistoryStore.h"
#include "session/SlipComputation.h"
#include "session/SlipRecord.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>

class TWbPrinter;
namespace transfer {
class PostalLookup;
}

namespace session {

// What a batch's slips are made and checked with.
struct BatchContext
{
    // The record the settings file holds, dated the slip's day: its sender,
    // rates, rounding code, price kind, feed, fonts and number of printed
    // lines are every batch slip's.
    SlipRecord base;
    // The registered feed's geometry (resolution and offsets) and sheet.
    PrintGeometry geometry;
    QSizeF sheetMm;
    // The postal dictionary for the code checks; may be null (no check).
    const transfer::PostalLookup *postal = nullptr;
    // Whether the slip history already holds a slip of this order id; empty
    // when there is no history.
    std::function<bool(const QString &orderId)> printedBefore;
    // The lines the slip prints (the rest are in the sum only).
    int slipRows = 4;
};

// The context of the data folder's settings files: the record of
// vuzo_Vez_1.ini dated slipDate, the registration of its feed in
// vuzo_a500.ini (600 dpi and A4 when none). refusal tells a file that could
// not be read.
struct BatchSettings
{
    BatchContext context;
    QString refusal;
};
BatchSettings BatchContextOf(const QString &dataDir, const QDate &slipDate);

// The 「印刷済み」 problem's text, as the list and --check show it.
QString PrintedBeforeProblem();

struct BatchSlip
{
    orders::ImportedOrder order;
    SlipRecord record;   // the slip of the order
    SlipFigures figures; // its figures after the pass before printing
    QString totalText;   // the total as its field shows it
    // Every problem, one short Japanese text each, in a fixed order: the
    // file's own (order.problems), then no or unknown postal code, code and
    // address that disagree, texts wider than their cells, characters the
    // printer fonts lack, figures that do not fit, lines beyond the printed
    // ones or beyond ten, the file's total differing, and last 「印刷済み」.
    QStringList problems;
    bool printedBefore = false;
    // Changed in the main window since it was read.
    bool edited = false;

    bool ready() const { return problems.isEmpty(); }
};

// The slip of one order, checked.
BatchSlip SlipOfOrder(const orders::ImportedOrder &order, const BatchContext &context);
QList<BatchSlip> SlipsOfOrders(const QList<orders::ImportedOrder> &orders, const BatchContext &context);
// The slip checked again after its record changed (the operator fixed it in
// the main window): figures and problems recomputed from slip.record. Once
// the slip is edited, what only the file told (its own problems, lines
// beyond ten, its total) is no longer the slip's.
void RecheckSlip(BatchSlip &slip, const BatchContext &context);

// The layout's inputs of a batch slip on the context's geometry.
SlipInputs BatchSlipInputs(const BatchSlip &slip, const BatchContext &context);
// The slip as the history keeps it, with its order id.
HistorySlip BatchHistorySlip(const BatchSlip &slip);

// The tab-separated line of --check: order id, name, postal code, the three
// address lines, telephone, amount (the total with tax, digits), and the
// problems joined with 「、」; tabs and line breaks in a value become blanks.
QString CheckLine(const BatchSlip &slip);

// Prints the pages as one job on the printer (its selected printer, paper,
// tray and resolution), one page per slip. progress(done, total) is called
// after each page; returning false stops the job (中止): pages not yet drawn
// are not sent and the job is aborted. The pages are laid out at the
// printer's effective resolution, as the window's slip is; their offsets
// are kept. The printer's errors are thrown.
struct BatchPrintResult
{
    int pagesDrawn = 0;
    bool stopped = false;
};
BatchPrintResult PrintBatch(TWbPrinter &printer, const QString &title, const QList<SlipInputs> &pages,
                            const std::function<bool(int done, int total)> &progress = {});

// The same pages as one PDF of one page each, replaced in one step (an
// existing file stays as it was on failure, EInOutError).
void WriteBatchPdf(const QString &path, const QList<SlipInputs> &pages, const QSizeF &sheetMm, const QString &title);

// The invoice sheets of the slips (when the invoice setting prints one with
// every slip) as one job on the printer, one page each, laid out on sheetMm
// (InvoiceSheetMm of the invoice's registration).
void PrintBatchInvoices(TWbPrinter &printer, const QString &title, const QList<BatchSlip> &slips,
                        const QSizeF &sheetMm = QSizeF(210, 297));

} // namespace session
