// A batch of slips printed as one job through the real CUPS scheduler, on
// the PDF queue of scripts/cups-test-env, and read back; and the same job
// stopped after its first page. Without the queue the tests are skipped,
// unless VUZO_REQUIRE_CUPS=1 asks for them.

#include "PdfText.h"
#include "printer/WbPrinters.h"
#include "session/OrderBatch.h"
#include "support/CupsJobs.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

class TestBatchPrintCups : public QObject
{
    Q_OBJECT

    std::unique_ptr<TWbPrinter> m_printer;
    QString m_queue, m_out;
    QList<int> m_jobs;

    bool requireQueue()
    {
        QString problem;
        try {
            if (m_queue.isEmpty() || m_out.isEmpty())
                problem = u"VUZO_CUPS_PDF_QUEUE or VUZO_CUPS_PDF_OUT is not set"_s;
            else if (!m_printer->PrinterNames().contains(m_queue))
                problem = u"queue %1 does not exist"_s.arg(m_queue);
        } catch (const EWbPrinter &e) {
            problem = e.message();
        }
        if (problem.isEmpty()) {
            m_printer->SetIndex(int(m_printer->PrinterNames().indexOf(m_queue)));
            return true;
        }
        if (qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s)
            QTest::qFail(qPrintable(problem), __FILE__, __LINE__);
        else
            QTest::qSkip(qPrintable(problem), __FILE__, __LINE__);
        return false;
    }

    // Three slips of fictional customers.
    static QList<SlipInputs> pages()
    {
        session::BatchContext c;
        c.base = session::DefaultSlipRecord();
        c.base.slipDate = QDate(2026, 12, 10);
        c.geometry = PrintGeometry{300, 300, 0, 0};
        QList<SlipInputs> out;
        for (const QString &given : {u"一郎"_s, u"二郎"_s, u"三郎"_s}) {
            orders::ImportedOrder o;
            o.orderId = given;
            o.zip = u"060-0042"_s;
            o.add1 = u"北海道札幌市中央区大通西"_s;
            o.custo1 = u"架空 "_s + given;
            o.lines = {{u"昆布"_s, u"1"_s, u"700"_s, 1, false}};
            o.lineCount = 1;
            out << session::BatchSlipInputs(session::SlipOfOrder(o, c), c);
        }
        return out;
    }

    int jobOf(const QString &title)
    {
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(m_queue)) {
            if (job.title == title) {
                m_jobs << job.id;
                return job.id;
            }
        }
        return 0;
    }

    // The PDF cups-pdf wrote for the job, once the job is finished.
    QString waitForPdf(int id)
    {
        const QString suffix = u"-job_%1.pdf"_s.arg(id);
        QString file;
        const auto written = [&] {
            bool completed = false;
            for (const vuzo::CupsJob &job : vuzo::CupsJobs(m_queue))
                completed = completed || (job.id == id && job.completed);
            for (const QFileInfo &fi : QDir(m_out).entryInfoList({u"*.pdf"_s}, QDir::Files)) {
                if (completed && fi.fileName().endsWith(suffix) && fi.size() > 0)
                    file = fi.absoluteFilePath();
            }
            return !file.isEmpty();
        };
        return QTest::qWaitFor(written, 60000) ? file : QString();
    }

    static QString uniqueTitle(const QString &stem)
    {
        return u"%1_%2"_s.arg(stem).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        m_out = qEnvironmentVariable("VUZO_CUPS_PDF_OUT");
        m_printer = std::make_unique<TWbPrinter>(CreateCupsSystemPrinter());
    }

    void cleanupTestCase()
    {
        for (const int id : std::as_const(m_jobs)) {
            try {
                vuzo::CupsPurgeJob(m_queue, id);
            } catch (const EWbPrinter &) {
            }
        }
        m_printer.reset();
    }

    void theBatchIsOneJobOfOnePageEach()
    {
        if (!requireQueue())
            return;
        const QString title = uniqueTitle(u"batch"_s);
        QList<int> progress;
        const session::BatchPrintResult result = session::PrintBatch(*m_printer, title, pages(), [&](int done, int) {
            progress << done;
            return true;
        });
        QCOMPARE(result.pagesDrawn, 3);
        QVERIFY(!result.stopped);
        QCOMPARE(progress, QList<int>({1, 2, 3}));
        const int id = jobOf(title);
        QVERIFY(id > 0);
        const QString pdf = waitForPdf(id);
        QVERIFY(!pdf.isEmpty());
        QString error;
        const QList<pdftext::Word> words = pdftext::words(pdf, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList names(3);
        for (const pdftext::Word &w : words) {
            if (w.text.endsWith(u"郎"_s) && w.page < 3)
                names[w.page] = w.text;
        }
        QCOMPARE(names, QStringList({u"一郎"_s, u"二郎"_s, u"三郎"_s}));
        QFile::remove(pdf);
    }

    void aStopAfterTheFirstPageSendsNothing()
    {
        if (!requireQueue())
            return;
        const QString title = uniqueTitle(u"stopped"_s);
        const session::BatchPrintResult result = session::PrintBatch(
            *m_printer, title, pages(), [](int done, int total) { return !(done == 1 && total == 3); });
        QCOMPARE(result.pagesDrawn, 1);
        QVERIFY(result.stopped);
        QVERIFY(!m_printer->Printing());
        const int id = jobOf(title);
        QVERIFY(id > 0);
        QCOMPARE(vuzo::CupsJobAttributes(id).value(u"job-state"_s), u"canceled"_s);
    }
};

QTEST_MAIN(TestBatchPrintCups)
#include "tst_batchprint_cups.moc"
