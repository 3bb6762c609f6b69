// The printer registration per paper feed over the real CUPS scheduler, with
// the queues that scripts/cups-test-env creates: the PDF queue for the hand
// feed, the tray queue (several paper sources) for the continuous feed.
// Without the queues the tests are skipped, unless VUZO_REQUIRE_CUPS=1 asks for
// them, in which case they fail.

#include "PrintSetupTestUtil.h"
#include "controls/TZuNumEdit.h"
#include "support/CupsJobs.h"
#include "support/MainWindowFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace Qt::StringLiterals;
using namespace printsetup_test;

// What a registration stores of the queues' own paper, tray and resolution:
// the tray queue names no default tray, so none is stored; the PDF queue
// prints on borderless A4.
const QStringList kPdfKeys = {u"PrnMedia=iso_a4_210x297mm_borderless"_s, u"PrnMediaSource="_s,
                              u"PrnResolution=300x300dpi"_s};
const QStringList kTrayKeys = {u"PrnMedia=na_letter_8.5x11in"_s, u"PrnMediaSource="_s, u"PrnResolution=300x300dpi"_s};

class TestPrintSetupCups : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> fx;
    QString m_pdfQueue;
    QString m_trayQueue;
    QString m_scratchQueue;

    // Adds or removes the scratch queue on the scheduler (the tests run as
    // root, as scripts/cups-test-env does).
    static bool lpadmin(const QStringList &arguments)
    {
        QProcess p;
        p.start(u"lpadmin"_s, arguments);
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    bool addScratchQueue(const QString &uri = u"file:///dev/null"_s, const QStringList &options = {})
    {
        return lpadmin(QStringList({u"-p"_s, m_scratchQueue, u"-E"_s, u"-v"_s, uri, u"-m"_s,
                                    u"drv:///sample.drv/laserjet.ppd"_s, u"-o"_s, u"printer-is-shared=false"_s}) +
                       options);
    }
    // Prints the slip with F11 answered Yes; the ids of the queue's jobs that
    // are new since.
    // F11, or the alignment print of the position window.
    QList<int> printNewJobs(const QString &queue, bool alignment = false)
    {
        QList<int> before;
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(queue))
            before << job.id;
        // Yes to every question: on A5 the slip's right side is asked about.
        fx->dialogs->answer({true, true});
        if (alignment)
            fx->slip97YPrn->findChild<QPushButton *>(u"BitBtn_Align"_s)->click();
        else
            fx->w<QToolButton>(u"SpeedButton_F11"_s)->click();
        fx->dialogs->dropAnswers();
        QList<int> fresh;
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(queue)) {
            if (!before.contains(job.id))
                fresh << job.id;
        }
        return fresh;
    }
    bool removeScratchQueue() { return lpadmin({u"-x"_s, m_scratchQueue}); }

    // The queue's program-level index, or -1 after skipping or failing.
    int queueIndex(const QString &queue, const char *variable)
    {
        const bool required = qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s;
        QString problem;
        int index = -1;
        if (queue.isEmpty()) {
            problem = u"%1 is not set"_s.arg(QString::fromLatin1(variable));
        } else {
            try {
                index = int(WbPrinter().PrinterNames().indexOf(queue));
                if (index < 0)
                    problem = u"queue %1 does not exist"_s.arg(queue);
            } catch (const EWbPrinter &e) {
                problem = e.message();
            }
        }
        if (problem.isEmpty())
            return index;
        if (required)
            QTest::qFail(qPrintable(problem), __FILE__, __LINE__);
        else
            QTest::qSkip(qPrintable(problem), __FILE__, __LINE__);
        return -1;
    }

    void changePage()
    {
        fx->w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
        fx->w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(0);
        QCoreApplication::processEvents();
    }

    // Registers the printer `index` for the chosen feed through the setup dialog.
    void registerFeed(int feed, int index)
    {
        fx->w<QComboBox>(u"ComboBox_SEL"_s)->setCurrentIndex(feed);
        SetupDialogAnswer answer(true, index);
        fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();
        QCOMPARE(answer.calls, 1);
    }

    // The three lists show the selected printer and its own lists; a list the
    // queue does not report stays empty.
    void checkLists(const QString &queue)
    {
        TWbPrinter &printer = WbPrinter();
        QCOMPARE(printer.PrinterNames().value(printer.Index()), queue);
        QCOMPARE(items(fx->w<QComboBox>(u"ComboBox1"_s)), printer.PrinterNames());
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), queue);
        const auto names = [](const std::function<QStringList()> &read) {
            try {
                return read();
            } catch (const EWbPrinter &) {
                return QStringList();
            }
        };
        const auto index = [](const std::function<int()> &read) {
            try {
                return read();
            } catch (const EWbPrinter &) {
                return -1;
            }
        };
        QCOMPARE(items(fx->w<QComboBox>(u"ComboBox2"_s)), names([&] { return printer.PaperSizeNames(); }));
        QCOMPARE(fx->w<QComboBox>(u"ComboBox2"_s)->currentIndex(), index([&] { return printer.PaperSizeIndex(); }));
        QCOMPARE(items(fx->w<QComboBox>(u"ComboBox3"_s)), names([&] { return printer.BinNames(); }));
        QCOMPARE(fx->w<QComboBox>(u"ComboBox3"_s)->currentIndex(), index([&] { return printer.BinIndex(); }));
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(),
                 fx->w<QComboBox>(u"ComboBox1"_s)->currentText() + u'/' +
                     fx->w<QComboBox>(u"ComboBox2"_s)->currentText() + u'/' +
                     fx->w<QComboBox>(u"ComboBox3"_s)->currentText());
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_pdfQueue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        m_trayQueue = qEnvironmentVariable("VUZO_CUPS_TRAY_QUEUE");
        m_scratchQueue = qEnvironmentVariable("VUZO_CUPS_SCRATCH_QUEUE");
    }
    void init()
    {
        fx = std::make_unique<MainWindowFixture>();
        fx->firstStart = true; // the registrations are written here
        fx->useSystemPrinter(CreateCupsSystemPrinter());
    }
    void cleanup()
    {
        TWbPrinterSetupDialog::setExecuteHook({});
        fx.reset();
    }

    void eachFeedSelectsItsOwnQueueWithItsLists()
    {
        const int pdf = queueIndex(m_pdfQueue, "VUZO_CUPS_PDF_QUEUE");
        if (pdf < 0)
            return;
        const int tray = queueIndex(m_trayQueue, "VUZO_CUPS_TRAY_QUEUE");
        if (tray < 0)
            return;
        fx->start();
        fx->dialogs->clear();

        registerFeed(0, pdf);
        registerFeed(1, tray);
        QCOMPARE(fx->dialogs->errors(), QStringList());

        const QString path = fx->path(u"vuzo_a500.ini"_s);
        QCOMPARE(sectionLines(path, u"手差し"_s),
                 QStringList({u"PrnName="_s + m_pdfQueue, u"PrnNoIndex="_s + QString::number(pdf), u"denPrn_Top=0"_s,
                              u"denPrn_Left=0"_s}) +
                     kPdfKeys);
        QCOMPARE(sectionLines(path, u"連続(４．５インチ)"_s),
                 QStringList({u"PrnName="_s + m_trayQueue, u"PrnNoIndex="_s + QString::number(tray), u"denPrn_Top=0"_s,
                              u"denPrn_Left=0"_s}) +
                     kTrayKeys);

        fx->w<QComboBox>(u"ComboBox_SEL"_s)->setCurrentIndex(0);
        changePage();
        QCOMPARE(WbPrinter().Index(), pdf);
        checkLists(m_pdfQueue);

        fx->w<QComboBox>(u"ComboBox_SEL"_s)->setCurrentIndex(1);
        changePage();
        QCOMPARE(WbPrinter().Index(), tray);
        checkLists(m_trayQueue);
        QVERIFY2(fx->w<QComboBox>(u"ComboBox3"_s)->count() >= 2,
                 qPrintable(items(fx->w<QComboBox>(u"ComboBox3"_s)).join(u", "_s)));
        // The tray queue names no default tray: none is chosen, the queue
        // takes its own.
        QCOMPARE(fx->w<QComboBox>(u"ComboBox3"_s)->currentIndex(), -1);
        QVERIFY(fx->w<QComboBox>(u"ComboBox2"_s)->currentIndex() >= 0);

        fx->w<QComboBox>(u"ComboBox_SEL"_s)->setCurrentIndex(0);
        changePage();
        QCOMPARE(WbPrinter().Index(), pdf);
        checkLists(m_pdfQueue);
        QCOMPARE(fx->dialogs->errors(), QStringList());
    }

    void theOffsetsOfTheTrayQueueAreStoredInItsSection()
    {
        const int tray = queueIndex(m_trayQueue, "VUZO_CUPS_TRAY_QUEUE");
        if (tray < 0)
            return;
        fx->start();
        registerFeed(1, tray);
        changePage();
        fx->slip97YPrn->show();
        QCoreApplication::processEvents();
        fx->slip97YPrn->findChild<TZuNumEdit *>(u"ZuNumEdit_TOP"_s)->setText(u"20"_s);
        fx->slip97YPrn->findChild<TZuNumEdit *>(u"ZuNumEdit_LEFT"_s)->setText(u"-10"_s);
        fx->dialogs->answer({true});
        fx->slip97YPrn->findChild<QPushButton *>(u"BitBtn_MRGN"_s)->click();

        const QString path = fx->path(u"vuzo_a500.ini"_s);
        QCOMPARE(sectionLines(path, u"連続(４．５インチ)"_s),
                 QStringList({u"PrnName="_s + m_trayQueue, u"PrnNoIndex="_s + QString::number(tray), u"denPrn_Top=20"_s,
                              u"denPrn_Left=-10"_s}) +
                     kTrayKeys);
        QCOMPARE(sectionLines(path, u"手差し"_s), QStringList());
    }
    void theRegisteredQueueIsKeptWhenAQueueSortingBeforeItComesAndGoes()
    {
        const int pdf = queueIndex(m_pdfQueue, "VUZO_CUPS_PDF_QUEUE");
        if (pdf < 0)
            return;
        if (m_scratchQueue.isEmpty()) {
            queueIndex(QString(), "VUZO_CUPS_SCRATCH_QUEUE");
            return;
        }
        writeCp932(fx->path(u"vuzo_a500.ini"_s),
                   u"[手差し]\r\nPrnName="_s + m_pdfQueue + u"\r\nPrnNoIndex="_s + QString::number(pdf) + u"\r\n"_s);
        fx->start();
        QCOMPARE(WbPrinter().Index(), pdf);

        QVERIFY(addScratchQueue());
        const auto removed = qScopeGuard([this] { removeScratchQueue(); });
        // The change watch runs this check on activation and on its timer.
        WbPrinter().CheckSystemChange();
        QCOMPARE(WbPrinter().Index(), pdf + 1);
        checkLists(m_pdfQueue);

        QVERIFY(removeScratchQueue());
        WbPrinter().CheckSystemChange();
        QCOMPARE(WbPrinter().Index(), pdf);
        checkLists(m_pdfQueue);
        QCOMPARE(fx->dialogs->errors(), QStringList());
    }

    void aRegisteredQueueThatWasDeletedIsNotPrintedOn()
    {
        if (m_scratchQueue.isEmpty()) {
            queueIndex(QString(), "VUZO_CUPS_SCRATCH_QUEUE");
            return;
        }
        QVERIFY(addScratchQueue());
        const auto removed = qScopeGuard([this] { removeScratchQueue(); });
        // The program starts with the scratch queue among the system's printers.
        fx->useSystemPrinter(CreateCupsSystemPrinter());
        writeCp932(fx->path(u"vuzo_a500.ini"_s),
                   u"[手差し]\r\nPrnName="_s + m_scratchQueue + u"\r\nPrnNoIndex=0\r\n"_s);
        fx->start();
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), m_scratchQueue);

        QVERIFY(removeScratchQueue());
        fx->dialogs->answer({true});
        fx->w<QToolButton>(u"SpeedButton_F11"_s)->click();

        QCOMPARE(fx->dialogs->confirms(), QStringList());
        QCOMPARE(fx->dialogs->errors(), QStringList());
        QCOMPARE(fx->dialogs->notices().size(), 1);
        QVERIFY(fx->dialogs->notices().first().contains(u"「"_s + m_scratchQueue + u"」が見つかりません"_s));
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(), m_scratchQueue + u"（見つかりません）"_s);
        QVERIFY(!WbPrinter().Printing());
    }

    void theJobCarriesTheFeedsPaperTrayAndResolution_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("media");
        QTest::addColumn<QString>("source"); // empty: the job names none
        QTest::addColumn<QString>("resolution");
        QTest::newRow("registered") << u"PrnMedia=iso_a5_148x210mm\r\nPrnMediaSource=tray-2\r\n"
                                       u"PrnResolution=600x600dpi\r\n"_s
                                    << u"iso_a5_148x210mm"_s << u"tray-2"_s << u"600dpi"_s;
        QTest::newRow("the queue's own defaults") << QString() << u"na_letter_8.5x11in"_s << QString() << u"300dpi"_s;
    }
    void theJobCarriesTheFeedsPaperTrayAndResolution()
    {
        QFETCH(QString, keys);
        QFETCH(QString, media);
        QFETCH(QString, source);
        QFETCH(QString, resolution);
        if (queueIndex(m_trayQueue, "VUZO_CUPS_TRAY_QUEUE") < 0)
            return;
        // A start on a registration file is what a restart is.
        writeCp932(fx->path(u"vuzo_a500.ini"_s), u"[手差し]\r\nPrnName="_s + m_trayQueue + u"\r\n"_s + keys);
        fx->start();
        const QList<int> jobs = printNewJobs(m_trayQueue);
        QCOMPARE(fx->dialogs->errors(), QStringList());
        QCOMPARE(jobs.size(), 1);
        const QMap<QString, QString> attributes = vuzo::CupsJobAttributes(jobs.first());
        QCOMPARE(attributes.value(u"media"_s), media);
        QCOMPARE(attributes.value(u"media-source"_s), source);
        QCOMPARE(attributes.value(u"printer-resolution"_s), resolution);
        vuzo::CupsPurgeJob(m_trayQueue, jobs.first());
    }

    // F11 and the alignment print alike.
    void aDisabledQueueIsToldAndGetsNoJob_data()
    {
        QTest::addColumn<bool>("alignment");
        QTest::newRow("F11") << false;
        QTest::newRow("the alignment print") << true;
    }
    void aDisabledQueueIsToldAndGetsNoJob()
    {
        QFETCH(bool, alignment);
        if (m_scratchQueue.isEmpty()) {
            queueIndex(QString(), "VUZO_CUPS_SCRATCH_QUEUE");
            return;
        }
        QVERIFY(addScratchQueue());
        const auto removed = qScopeGuard([this] { removeScratchQueue(); });
        QProcess::execute(u"cupsdisable"_s, {u"-r"_s, u"トナー交換中"_s, m_scratchQueue});
        fx->useSystemPrinter(CreateCupsSystemPrinter());
        writeCp932(fx->path(u"vuzo_a500.ini"_s), u"[手差し]\r\nPrnName="_s + m_scratchQueue + u"\r\n"_s);
        fx->start();
        QCOMPARE(printNewJobs(m_scratchQueue, alignment), QList<int>());
        QCOMPARE(fx->dialogs->confirms(), QStringList());
        QCOMPARE(fx->dialogs->notices().size(), 1);
        QVERIFY2(fx->dialogs->notices().first().contains(u"」は停止しています"_s),
                 qPrintable(fx->dialogs->notices().first()));
        QVERIFY(fx->dialogs->notices().first().contains(u"トナー交換中"_s));
    }

    // A backend that fails (scripts/cups-test-env installs one) on a queue
    // that aborts the job: the operator is told after the job was sent.
    void aJobTheBackendStopsIsToldWithTheReason()
    {
        const QString backend = qEnvironmentVariable("VUZO_CUPS_FAILING_URI");
        if (m_scratchQueue.isEmpty() || backend.isEmpty()) {
            queueIndex(QString(), "VUZO_CUPS_FAILING_URI");
            return;
        }
        QVERIFY(addScratchQueue(backend, {u"-o"_s, u"printer-error-policy=abort-job"_s}));
        const auto removed = qScopeGuard([this] { removeScratchQueue(); });
        fx->useSystemPrinter(CreateCupsSystemPrinter());
        writeCp932(fx->path(u"vuzo_a500.ini"_s), u"[手差し]\r\nPrnName="_s + m_scratchQueue + u"\r\n"_s);
        fx->start();
        QCOMPARE(printNewJobs(m_scratchQueue).size(), 1);
        QCOMPARE(fx->dialogs->errors(), QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(fx->dialogs->notices().size(), 1, 15000);
        QVERIFY2(fx->dialogs->notices().first().contains(u"で印刷が止まりました"_s),
                 qPrintable(fx->dialogs->notices().first()));
    }
};

QTEST_MAIN(TestPrintSetupCups)
#include "tst_printsetup_cups.moc"
