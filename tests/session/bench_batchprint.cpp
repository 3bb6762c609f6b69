// Times a batch of 100 slips printed as one job with the CUPS printer on the
// cups-pdf queue, from the job's start until it has been handed to the
// scheduler, and the making and checking of their slips. Prints:
//   batch_100_slips_one_job_ms <v>   median of 3 jobs (target < 5000)
//   batch_100_slips_checked_ms <v>   median of 3 runs of SlipsOfOrders
// Without CUPS or the queue it says so and ends with 0. The jobs are removed
// from the queue as soon as they have been timed.

#include "printer/WbPrinters.h"
#include "session/OrderBatch.h"
#include "session/PostalAssist.h"
#include "support/CupsJobs.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

QList<orders::ImportedOrder> hundredOrders()
{
    QList<orders::ImportedOrder> out;
    for (int n = 1; n <= 100; ++n) {
        orders::ImportedOrder o;
        o.orderId = u"bench-%1"_s.arg(n);
        o.zip = u"530-0001"_s;
        o.add1 = u"大阪府大阪市北区梅田"_s;
        o.add2 = u"%1-1"_s.arg(n);
        o.custo1 = u"架空 客%1"_s.arg(n);
        o.tel = u"06-0000-%1"_s.arg(n, 4, 10, QLatin1Char('0'));
        o.lines = {{u"焼き菓子"_s, u"2"_s, u"1200"_s, 1, false}, {u"送料"_s, u"1"_s, u"600"_s, 0, true}};
        o.lineCount = 2;
        out << o;
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
    TWbPrinter printer(CreateCupsSystemPrinter());
    try {
        if (queue.isEmpty() || !printer.PrinterNames().contains(queue)) {
            std::printf("batch_print skipped: no CUPS PDF queue\n");
            return 0;
        }
        printer.SetIndex(int(printer.PrinterNames().indexOf(queue)));
    } catch (const EWbPrinter &e) {
        std::printf("batch_print skipped: %s\n", qPrintable(e.message()));
        return 0;
    }

    session::PostalAssist postal(postal::PostalDictionary::DefaultDirectory());
    postal.dictionary().waitForLoaded();
    session::BatchContext context;
    context.base = session::DefaultSlipRecord();
    context.base.slipDate = QDate::currentDate();
    context.geometry = PrintGeometry{600, 600, 0, 0};
    context.postal = postal.lookup();
    const QList<orders::ImportedOrder> orders = hundredOrders();

    QList<double> checked, spooled;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QList<session::BatchSlip> slips = session::SlipsOfOrders(orders, context);
        checked << double(timer.nsecsElapsed()) / 1e6;
        QList<SlipInputs> pages;
        for (const session::BatchSlip &slip : slips)
            pages << session::BatchSlipInputs(slip, context);

        const QString title = u"bench_batch_%1"_s.arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        timer.restart();
        const session::BatchPrintResult result = session::PrintBatch(printer, title, pages);
        spooled << double(timer.nsecsElapsed()) / 1e6;
        if (result.pagesDrawn != 100) {
            std::fprintf(stderr, "batch_print: %d pages drawn\n", result.pagesDrawn);
            return 1;
        }
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(queue)) {
            if (job.title == title)
                vuzo::CupsPurgeJob(queue, job.id);
        }
    }
    std::printf("batch_100_slips_one_job_ms %.1f\n", median(spooled));
    std::printf("batch_100_slips_checked_ms %.1f\n", median(checked));
    return 0;
}
