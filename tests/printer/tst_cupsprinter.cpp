// The printer layer over the real CUPS scheduler, with the queues that
// scripts/cups-test-env creates. Without them the tests are skipped, unless
// VUZO_REQUIRE_CUPS=1 asks for them, in which case they fail.

#include "printer/WbPrinters.h"
#include "support/CupsJobs.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCupsPrinter : public QObject
{
    Q_OBJECT

    std::unique_ptr<TWbPrinter> m_printer;
    QString m_pdfQueue;
    QString m_pdfOut;
    QString m_trayQueue;
    QList<std::pair<QString, int>> m_jobs; // to purge
    QStringList m_files;                   // to remove

    bool requireQueue(const QString &queue, const char *variable)
    {
        QString problem;
        if (queue.isEmpty()) {
            problem = u"%1 is not set"_s.arg(QString::fromLatin1(variable));
        } else {
            try {
                if (!m_printer->PrinterNames().contains(queue))
                    problem = u"queue %1 does not exist"_s.arg(queue);
            } catch (const EWbPrinter &e) {
                problem = e.message();
            }
        }
        return requireNoProblem(problem);
    }

    // The PDF queue's output folder, which the checks of the printed file
    // read.
    bool requirePdfOut()
    {
        return requireNoProblem(m_pdfOut.isEmpty() ? u"VUZO_CUPS_PDF_OUT is not set"_s : QString());
    }

    // A missing prerequisite skips the test, or fails it when
    // VUZO_REQUIRE_CUPS=1 asks for the CUPS tests.
    static bool requireNoProblem(const QString &problem)
    {
        if (problem.isEmpty())
            return true;
        if (qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s)
            QTest::qFail(qPrintable(problem), __FILE__, __LINE__);
        else
            QTest::qSkip(qPrintable(problem), __FILE__, __LINE__);
        return false;
    }

    void select(const QString &queue) { m_printer->SetIndex(int(m_printer->PrinterNames().indexOf(queue))); }

    // Prints one page with the given text and returns the job's id.
    int printPage(const QString &title, const QString &text)
    {
        m_printer->BeginDoc(title);
        if (!m_printer->Printing())
            return 0;
        QPainter *canvas = m_printer->Canvas();
        QFont font(u"DejaVu Sans"_s);
        font.setPointSize(14);
        canvas->setFont(font);
        canvas->drawText(QPointF(100, 200), text);
        canvas->drawRect(QRectF(0, 0, 300, 300));
        m_printer->EndDoc();
        const QString queue = m_printer->PrinterNames().at(m_printer->Index());
        for (const auto &job : vuzo::CupsJobs(queue)) {
            if (job.title == title) {
                m_jobs.append({queue, job.id});
                return job.id;
            }
        }
        return 0;
    }

    // The PDF cups-pdf wrote for the job, once the job is finished (the file
    // grows while the job runs). Empty when it does not appear in time.
    QString waitForPdf(int id)
    {
        const QString suffix = u"-job_%1.pdf"_s.arg(id);
        QString file;
        auto finished = [&] {
            bool completed = false;
            for (const auto &job : vuzo::CupsJobs(m_pdfQueue))
                completed = completed || (job.id == id && job.completed);
            if (!completed)
                return false;
            for (const QFileInfo &fi : QDir(m_pdfOut).entryInfoList({u"*.pdf"_s}, QDir::Files)) {
                if (fi.fileName().endsWith(suffix) && fi.size() > 0) {
                    file = fi.absoluteFilePath();
                    return true;
                }
            }
            return false;
        };
        return QTest::qWaitFor(finished, 60000) ? file : QString();
    }

    static QString uniqueTitle(const QString &stem)
    {
        return u"%1_%2"_s.arg(stem).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_pdfQueue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        m_pdfOut = qEnvironmentVariable("VUZO_CUPS_PDF_OUT");
        m_trayQueue = qEnvironmentVariable("VUZO_CUPS_TRAY_QUEUE");
        m_printer = std::make_unique<TWbPrinter>(CreateCupsSystemPrinter());
    }

    void cleanupTestCase()
    {
        // VUZO_KEEP_CUPS_JOBS=1 keeps the jobs and files for a look after a failure.
        if (qEnvironmentVariable("VUZO_KEEP_CUPS_JOBS") == u"1"_s)
            return;
        for (const auto &[queue, id] : std::as_const(m_jobs)) {
            try {
                vuzo::CupsPurgeJob(queue, id);
            } catch (const EWbPrinter &) {
            }
        }
        for (const QString &file : std::as_const(m_files))
            QFile::remove(file);
        m_printer.reset();
    }

    void theQueuesAreListedAndSelectable()
    {
        if (!requireQueue(m_pdfQueue, "VUZO_CUPS_PDF_QUEUE") || !requireQueue(m_trayQueue, "VUZO_CUPS_TRAY_QUEUE"))
            return;
        const QStringList names = m_printer->PrinterNames();
        for (int i = 0; i < names.size(); ++i) {
            m_printer->SetIndex(i);
            QCOMPARE(m_printer->Index(), i);
        }
        select(m_trayQueue);
        QCOMPARE(m_printer->PrinterNames().at(m_printer->Index()), m_trayQueue);
        QVERIFY(m_printer->PortNames().contains(u"cups-pdf:/vuzotest"_s));
    }

    void thePdfQueueOffersItsPaperSizesAndResolutions()
    {
        if (!requireQueue(m_pdfQueue, "VUZO_CUPS_PDF_QUEUE"))
            return;
        select(m_pdfQueue);
        const QStringList names = m_printer->PaperSizeNames();
        QVERIFY2(names.contains(u"A4"_s), qPrintable(names.join(u", "_s)));
        QVERIFY2(names.contains(u"A5"_s), qPrintable(names.join(u", "_s)));
        QVERIFY(m_printer->HasPaperSizeNumber(DMPAPER_A5));
        QCOMPARE(m_printer->PaperSizeNumbers(int(names.indexOf(u"A5"_s))), DMPAPER_A5);
        QCOMPARE(m_printer->PaperSizeNumber(), DMPAPER_A4);
        QCOMPARE(m_printer->PaperSizeNumbers(m_printer->PaperSizeIndex()), DMPAPER_A4);
        QVERIFY(m_printer->NumQualities() >= 2);
        QList<WbSize> qualities;
        for (int i = 0; i < m_printer->NumQualities(); ++i)
            qualities.append(m_printer->Qualities(i));
        QVERIFY(qualities.contains((WbSize{300, 300})));
        QVERIFY(qualities.contains((WbSize{600, 600})));
        QCOMPARE(m_printer->DPI(), (WbSize{300, 300}));
        QCOMPARE(m_printer->Scale(), 100);
        QVERIFY(m_printer->MaxCopies() >= 1);
    }

    void theTrayQueueOffersItsTrays()
    {
        if (!requireQueue(m_trayQueue, "VUZO_CUPS_TRAY_QUEUE"))
            return;
        select(m_trayQueue);
        const QStringList bins = m_printer->BinNames();
        QVERIFY2(bins.size() >= 3, qPrintable(bins.join(u", "_s)));
        QCOMPARE(m_printer->NumBins(), bins.size());
        QVERIFY(m_printer->HasBinNumber(DMBIN_MANUAL));
        QVERIFY(m_printer->HasBinNumber(DMBIN_USER + 1));
        const int manual = int(bins.size()) - 1 - [&] {
            for (int i = int(bins.size()) - 1; i >= 0; --i)
                if (m_printer->BinNumbers(i) == DMBIN_MANUAL)
                    return int(bins.size()) - 1 - i;
            return 0;
        }();
        m_printer->SetBinIndex(manual);
        m_printer->ApplySettings();
        QVERIFY(!m_printer->Modified());
        QCOMPARE(m_printer->BinNumber(), DMBIN_MANUAL);
        QCOMPARE(m_printer->BinIndex(), manual);
    }

    void aJobCarriesItsTitleAndSettings()
    {
        if (!requireQueue(m_trayQueue, "VUZO_CUPS_TRAY_QUEUE"))
            return;
        select(m_trayQueue);
        m_printer->SetPaperSizeNumber(DMPAPER_A5);
        m_printer->SetBinNumber(DMBIN_USER + 2);
        m_printer->SetQuality(WbSize{600, 600});
        m_printer->ApplySettings();
        QCOMPARE(m_printer->DPI(), (WbSize{600, 600}));
        const QString title = uniqueTitle(u"vuzo_Vez_1_0_TEST-1"_s);
        const int id = printPage(title, u"settings"_s);
        QVERIFY2(id > 0, "the job was not found by its title");
        const auto attributes = vuzo::CupsJobAttributes(id);
        QCOMPARE(attributes.value(u"job-name"_s), title);
        QVERIFY2(attributes.value(u"media"_s).contains(u"a5"_s), qPrintable(attributes.value(u"media"_s)));
        QCOMPARE(attributes.value(u"media-source"_s), u"tray-2"_s);
        QCOMPARE(attributes.value(u"printer-resolution"_s), u"600dpi"_s);
    }

    void aPrintedPageArrivesAsPdf()
    {
        if (!requireQueue(m_pdfQueue, "VUZO_CUPS_PDF_QUEUE"))
            return;
        if (!requirePdfOut())
            return;
        select(m_pdfQueue);
        m_printer->SetPaperSizeNumber(DMPAPER_A5);
        m_printer->ApplySettings();
        const QString title = uniqueTitle(u"vuzo_pdf"_s);
        const QString text = u"VUZO CUPS CHECK 4711"_s;
        const int id = printPage(title, text);
        QVERIFY(id > 0);
        const QString file = waitForPdf(id);
        QVERIFY(!file.isEmpty());
        m_files.append(file);
        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s, {file, u"-"_s});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString extracted = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(extracted.contains(text), qPrintable(extracted));
        QProcess pdfinfo;
        pdfinfo.start(u"pdfinfo"_s, {file});
        QVERIFY(pdfinfo.waitForFinished(30000));
        const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
        QVERIFY2(info.contains(u"(A5)"_s), qPrintable(info));
    }

    void aLandscapePageArrivesTurned()
    {
        if (!requireQueue(m_pdfQueue, "VUZO_CUPS_PDF_QUEUE"))
            return;
        if (!requirePdfOut())
            return;
        select(m_pdfQueue);
        m_printer->SetPaperSizeNumber(DMPAPER_A5);
        m_printer->SetOrientation(wbOrLandScape);
        m_printer->ApplySettings();
        const WbSize paper = m_printer->PaperExtent();
        QVERIFY(paper.cx > paper.cy);
        const int id = printPage(uniqueTitle(u"vuzo_landscape"_s), u"LANDSCAPE 0815"_s);
        QVERIFY(id > 0);
        const QString file = waitForPdf(id);
        QVERIFY(!file.isEmpty());
        m_files.append(file);
        QProcess pdfinfo;
        pdfinfo.start(u"pdfinfo"_s, {file});
        QVERIFY(pdfinfo.waitForFinished(30000));
        const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
        // The sheet stays A5; the landscape page is turned onto it.
        QVERIFY2(info.contains(u"(A5)"_s), qPrintable(info));
        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s, {file, u"-"_s});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString extracted = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(extracted.contains(u"LANDSCAPE 0815"_s), qPrintable(extracted));
    }
};

QTEST_MAIN(TestCupsPrinter)
#include "tst_cupsprinter.moc"
