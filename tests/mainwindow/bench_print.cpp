// Times the print command through the main window with the CUPS printer on
// the cups-pdf queue: from F11 confirmed until the job has been handed to the
// scheduler. Prints, one per line:
//   print_1_copy_first_ms <v>   the first job of the process (fonts loaded)
//   print_1_copy_ms <v>         median of later one-copy jobs
//   print_100_copies_ms <v>     median of 100-copy jobs
//   print_pdf_one_slip_kb <v>   size of the PDF a one-slip job sends
// Without CUPS or the queue it says so and ends with 0. The jobs are removed
// from the queue as soon as they have been timed.

#include "controls/TZuNumEdit.h"
#include "settings/ProfileFile.h"
#include "support/CupsJobs.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QToolButton>
#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// An address in both blocks and four sales lines.
const window_test::SlipText kSlip{.zip = u"100-0001"_s,
                                  .add1 = u"東京都千代田区千代田１－１"_s,
                                  .add2 = u"皇居前ビル３階"_s,
                                  .add3 = u"総務部受付"_s,
                                  .custo1 = u"山田　太郎　様"_s,
                                  .tel = u"03-1234-5678"_s,
                                  .lines = {
                                      {u"りんご"_s, u"箱"_s, u"1"_s, u"1234"_s},
                                      {u"みかん"_s, u"袋"_s, u"2"_s, u"2234"_s},
                                      {u"ぶどう"_s, u"房"_s, u"3"_s, u"3234"_s},
                                      {u"もも"_s, u"個"_s, u"4"_s, u"4234"_s},
                                  }};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

class Bench
{
public:
    Bench(MainWindowFixture &f, QString queue) : m_f(f), m_queue(std::move(queue)) {}

    // One print command with that many copies; the time from F11 to the job
    // handed over, in milliseconds, or a negative value when it failed.
    double print(int copies, int *jobId = nullptr)
    {
        m_f.w<TZuNumEdit>(u"ZuNumEdit_BUSUU"_s)->setText(QString::number(copies));
        m_f.dialogs->clear();
        m_f.dialogs->answer({true});
        QElapsedTimer timer;
        timer.start();
        m_f.w<QToolButton>(u"SpeedButton_F11"_s)->click();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (!m_f.dialogs->errors().isEmpty()) {
            std::fprintf(stderr, "print failed: %s\n", qPrintable(m_f.dialogs->errors().join(u"; "_s)));
            return -1;
        }
        // The number the history gave the slip.
        const QString slipNo = m_f.w<TZuNumEdit>(u"ZuNumEdit_Slipno"_s)->text();
        const QString title = u"vuzo_Vez_1_0_YUBF-"_s + slipNo;
        int id = 0;
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(m_queue)) {
            if (job.title == title)
                id = qMax(id, job.id);
        }
        if (jobId)
            *jobId = id;
        else
            purge(id);
        return ms;
    }

    void purge(int id)
    {
        if (id <= 0)
            return;
        try {
            vuzo::CupsPurgeJob(m_queue, id);
        } catch (const EWbPrinter &) {
        }
    }

private:
    MainWindowFixture &m_f;
    QString m_queue;
};

// The size of the document a job handed over: the scheduler's copy when it is
// readable, else the job's own size attribute (whole kilobytes).
double documentKb(int id)
{
    const QFileInfo spool(u"/var/spool/cups/d%1-001"_s.arg(id, 5, 10, QLatin1Char('0')));
    if (spool.isReadable())
        return double(spool.size()) / 1024.0;
    return vuzo::CupsJobAttributes(id).value(u"job-k-octets"_s).toDouble();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QString queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
    if (queue.isEmpty())
        queue = u"vuzo-test-pdf"_s;

    MainWindowFixture f;
    f.useSystemPrinter(CreateCupsSystemPrinter());
    int index = -1;
    try {
        index = int(WbPrinter().PrinterNames().indexOf(queue));
    } catch (const EWbPrinter &e) {
        std::printf("print_bench_skipped CUPS unavailable: %s\n", qPrintable(e.message()));
        return 0;
    }
    if (index < 0) {
        std::printf("print_bench_skipped queue %s does not exist\n", qPrintable(queue));
        return 0;
    }
    ProfileFile ini(f.path(u"vuzo_a500.ini"_s));
    ini.WriteString(u"手差し"_s, u"PrnName"_s, queue);
    ini.WriteString(u"手差し"_s, u"PrnNoIndex"_s, QString::number(index));
    ini.WriteString(u"手差し"_s, u"denPrn_Top"_s, u"0"_s);
    ini.WriteString(u"手差し"_s, u"denPrn_Left"_s, u"0"_s);
    f.start();
    window_test::fillSlip(f.form, kSlip);
    f.w<QComboBox>(u"ComboBox_Paper"_s)->setCurrentIndex(0);

    Bench bench(f, queue);
    int firstJob = 0;
    const double first = bench.print(1, &firstJob);
    if (first < 0)
        return 1;
    const double kb = documentKb(firstJob);
    bench.purge(firstJob);

    QList<double> one;
    for (int i = 0; i < 9; ++i) {
        const double ms = bench.print(1);
        if (ms < 0)
            return 1;
        one << ms;
    }
    QList<double> hundred;
    for (int i = 0; i < 3; ++i) {
        const double ms = bench.print(100);
        if (ms < 0)
            return 1;
        hundred << ms;
    }

    std::printf("print_1_copy_first_ms %.1f\n", first);
    std::printf("print_1_copy_ms %.1f\n", median(one));
    std::printf("print_100_copies_ms %.1f\n", median(hundred));
    std::printf("print_pdf_one_slip_kb %.1f\n", kb);
    f.stop();
    return 0;
}
