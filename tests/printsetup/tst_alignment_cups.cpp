// The alignment sheet end to end: 「位置合わせ印刷」 in the print position
// window, through the real CUPS scheduler into the cups-pdf queue that
// scripts/cups-test-env creates; the PDF the queue produces is read back and
// the grid's numbers, the crosshairs' names and a crosshair's ink are found
// where the layout's reference points are, at the offsets typed.
//
// Without the queue the test is skipped, unless VUZO_REQUIRE_CUPS=1 asks for
// it, in which case it fails.

#include "PdfText.h"
#include "controls/TZuNumEdit.h"
#include "print/PrintCommand.h"
#include "print/SlipForm.h"
#include "printer/SlipPage.h"
#include "settings/ProfileFile.h"
#include "support/CupsJobs.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

class TestAlignmentCups : public QObject
{
    Q_OBJECT

    QString m_queue;
    QString m_out;

    QString pdfOfJob(int id) const
    {
        const QString suffix = u"-job_%1.pdf"_s.arg(id);
        for (const QFileInfo &fi : QDir(m_out).entryInfoList({u"*.pdf"_s}, QDir::Files)) {
            if (fi.fileName().endsWith(suffix) && fi.size() > 0)
                return fi.absoluteFilePath();
        }
        return QString();
    }

    bool jobCompleted(int id) const
    {
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(m_queue)) {
            if (job.id == id)
                return job.completed;
        }
        return false;
    }

    int newestJob(const QString &title) const
    {
        int id = 0;
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(m_queue)) {
            if (job.title == title)
                id = qMax(id, job.id);
        }
        return id;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        m_out = qEnvironmentVariable("VUZO_CUPS_PDF_OUT");
    }

    void theSheetComesOutWithItsGridAndMarksInPlace()
    {
        MainWindowFixture f;
        if (const QString problem = f.registerPdfQueue(0, 0); !problem.isEmpty()) {
            if (qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s)
                QFAIL(qPrintable(problem));
            QSKIP(qPrintable(problem));
        }
        f.start();
        const int before = newestJob(AlignmentJobTitle());

        // Offsets typed in millimetres and not stored: 5 mm down, 3 mm left.
        f.slip97YPrn->show();
        QCoreApplication::processEvents();
        auto *topMm = f.slip97YPrn->findChild<TZuNumEdit *>(u"ZuNumEdit_TOPmm"_s);
        auto *leftMm = f.slip97YPrn->findChild<TZuNumEdit *>(u"ZuNumEdit_LEFTmm"_s);
        topMm->setFocus();
        QTest::keyClicks(topMm, u"5"_s);
        leftMm->setFocus();
        QTest::keyClicks(leftMm, u"-3"_s);
        const WbSize dpi = WbPrinter().DPI();
        PrintGeometry g{dpi.cx, dpi.cy, TenthMmToPixels(50, dpi.cy), TenthMmToPixels(-30, dpi.cx)};
        QCOMPARE(f.slip97YPrn->findChild<TZuNumEdit *>(u"ZuNumEdit_TOP"_s)->text(), QString::number(g.top));
        f.dialogs->answer({true});
        f.slip97YPrn->findChild<QPushButton *>(u"BitBtn_Align"_s)->click();
        QCOMPARE(f.dialogs->errors(), QStringList());

        const int id = newestJob(AlignmentJobTitle());
        QVERIFY2(id > before, "no alignment job");
        // VUZO_KEEP_CUPS_JOBS=1 keeps the job and its PDF for a look afterwards.
        const bool keep = qEnvironmentVariable("VUZO_KEEP_CUPS_JOBS") == u"1"_s;
        const auto purge = qScopeGuard([&] {
            if (keep)
                return;
            try {
                vuzo::CupsPurgeJob(m_queue, id);
            } catch (const EWbPrinter &) {
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(jobCompleted(id), 60000);
        QString pdf;
        QTRY_VERIFY_WITH_TIMEOUT(!(pdf = pdfOfJob(id)).isEmpty(), 30000);
        const auto removePdf = qScopeGuard([&] {
            if (!keep)
                QFile::remove(pdf);
        });
        const WbSize origin = WbPrinter().Offset();
        auto px = [&](double points, int dpiAxis, int originAxis) { return points * dpiAxis / 72.0 - originAxis; };

        QString error;
        const QList<pdftext::Word> words = pdftext::words(pdf, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const double mm = g.dpiX / 25.4;
        // The grid's numbers along the top: each 10-mm line from the layout's
        // origin, its number half a millimetre to the right of it.
        int numbers = 0;
        for (const GridMark &m : TenMillimetreMarks(g.left, g.dpiX, 100 * mm)) {
            if (m.millimetres <= 0)
                continue;
            bool found = false;
            for (const pdftext::Word &w : words) {
                if (w.text == QString::number(m.millimetres) &&
                    std::abs(px(w.xMin, g.dpiX, origin.cx) - (m.position + 0.5 * mm)) < 3 &&
                    px(w.yMax, g.dpiY, origin.cy) < g.top + 4 * mm)
                    found = true;
            }
            QVERIFY2(found, qPrintable(u"no %1 mm number"_s.arg(m.millimetres)));
            ++numbers;
        }
        QVERIFY(numbers >= 5);
        // The crosshairs' names, beside their points.
        const slipform::FormReference form = slipform::SlipFormReference(g);
        for (int i = 0; i < form.referencePoints.size(); ++i) {
            const QPointF p = form.referencePoints.at(i);
            bool found = false;
            for (const pdftext::Word &w : words) {
                // The queue's output may part a name's digit from its letters.
                if (w.text.size() >= 2 && form.referenceNames.at(i).startsWith(w.text) &&
                    std::abs(px(w.xMin, g.dpiX, origin.cx) - (p.x() + 1.5 * mm)) < 3 &&
                    std::abs(px(w.yMax, g.dpiY, origin.cy) - (p.y() - 1.5 * mm)) < 0.5 * mm + 3)
                    found = true;
            }
            QVERIFY2(found, qPrintable(form.referenceNames.at(i)));
        }

        // The first crosshair's ink: its horizontal arm 3 mm right of the
        // point, rasterised at 150 dpi.
        QProcess raster;
        const QString stem = QDir::temp().filePath(u"vuzo-align-%1"_s.arg(id));
        raster.start(u"pdftoppm"_s, {u"-r"_s, u"150"_s, u"-gray"_s, u"-singlefile"_s, pdf, stem});
        QVERIFY(raster.waitForFinished(60000) && raster.exitCode() == 0);
        const QImage page(stem + u".pgm"_s);
        QFile::remove(stem + u".pgm"_s);
        QVERIFY(!page.isNull());
        const QPointF p = form.referencePoints.first();
        auto darkest = [&](double x, double y) {
            const QPoint at(qRound((x + origin.cx) * 150 / g.dpiX), qRound((y + origin.cy) * 150 / g.dpiY));
            int best = 255;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx)
                    best = qMin(best, qGray(page.pixel(at + QPoint(dx, dy))));
            }
            return best;
        };
        QVERIFY(darkest(p.x() + 3 * mm, p.y()) < 128);
        QVERIFY(darkest(p.x(), p.y() + 3 * mm) < 128);
        // Off the arms, between the ring and the arm's end: paper or faint grid.
        QVERIFY(darkest(p.x() + 3.5 * mm, p.y() + 3.5 * mm) > 128);
    }
};

QTEST_MAIN(TestAlignmentCups)
#include "tst_alignment_cups.moc"
