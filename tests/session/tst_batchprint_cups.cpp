// A batch printed as one job through the real CUPS scheduler on the PDF
// queue of scripts/cups-test-env and read back, and a job stopped after its
// first page. Without the queue the test is skipped, unless
// VUZO_REQUIRE_CUPS=1 asks for it.

#include "PdfText.h"
#include "printer/WbPrinters.h"
#include "session/OrderBatch.h"
#include "support/CupsJobs.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

class TestBatchPrintCups : public QObject
{
    Q_OBJECT

    // The job of the title, purged at the end; 0 when there is none.
    static int jobOf(const QString &queue, const QString &title, bool *completed = nullptr)
    {
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(queue)) {
            if (job.title == title && completed)
                *completed = job.completed;
            if (job.title == title)
                return job.id;
        }
        return 0;
    }

private Q_SLOTS:
    void theBatchIsOneJobOfOnePageEach()
    {
        const QString queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        const QString out = qEnvironmentVariable("VUZO_CUPS_PDF_OUT");
        TWbPrinter printer(CreateCupsSystemPrinter());
        if (queue.isEmpty() || out.isEmpty() || !printer.PrinterNames().contains(queue)) {
            if (qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s)
                QFAIL("the CUPS PDF queue is not there");
            QSKIP("the CUPS PDF queue is not there");
        }
        printer.SetIndex(int(printer.PrinterNames().indexOf(queue)));
        session::BatchContext c;
        c.base = session::DefaultSlipRecord();
        QList<SlipInputs> pages;
        for (const QString &given : {u"一郎"_s, u"二郎"_s, u"三郎"_s}) {
            orders::ImportedOrder o;
            o.orderId = given;
            o.add1 = u"北海道札幌市中央区大通西"_s;
            o.custo1 = u"架空 "_s + given;
            o.lines = {{u"昆布"_s, u"1"_s, u"700"_s, 1, false}};
            pages << session::BatchSlipInputs(session::SlipOfOrder(o, c), c);
        }
        const QString tag = QString::number(QRandomGenerator::global()->generate(), 16);

        QList<int> progress;
        const session::BatchPrintResult whole =
            session::PrintBatch(printer, u"batch_"_s + tag, pages, [&](int done, int) {
                progress << done;
                return true;
            });
        QCOMPARE(progress, QList<int>({1, 2, 3}));
        QCOMPARE(whole.pagesDrawn, 3);
        const int id = jobOf(queue, u"batch_"_s + tag);
        QString pdf;
        QVERIFY(QTest::qWaitFor(
            [&] {
                bool completed = false;
                jobOf(queue, u"batch_"_s + tag, &completed);
                const QStringList files = QDir(out).entryList({u"*-job_%1.pdf"_s.arg(id)}, QDir::Files);
                pdf = completed && !files.isEmpty() ? QDir(out).filePath(files.first()) : QString();
                return !pdf.isEmpty();
            },
            60000));
        QString error;
        QStringList names;
        for (const pdftext::Word &w : pdftext::words(pdf, &error)) {
            if (w.text.endsWith(u"郎"_s))
                names << QString::number(w.page) + w.text;
        }
        names.removeDuplicates();
        QCOMPARE(names, QStringList({u"0一郎"_s, u"1二郎"_s, u"2三郎"_s}));
        QFile::remove(pdf);

        const session::BatchPrintResult stopped =
            session::PrintBatch(printer, u"stopped_"_s + tag, pages, [](int done, int) { return done != 1; });
        QCOMPARE(stopped.pagesDrawn, 1);
        QVERIFY(stopped.stopped);
        const int cancelled = jobOf(queue, u"stopped_"_s + tag);
        QCOMPARE(vuzo::CupsJobAttributes(cancelled).value(u"job-state"_s), u"canceled"_s);
        vuzo::CupsPurgeJob(queue, id);
        vuzo::CupsPurgeJob(queue, cancelled);
    }
};

QTEST_MAIN(TestBatchPrintCups)
#include "tst_batchprint_cups.moc"
