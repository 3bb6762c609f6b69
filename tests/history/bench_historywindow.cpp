// Times the history window's opening over 100 000 stored slips (SQLite in a
// temporary folder): from constructing and showing the window until its first
// list is shown. Prints, one per line:
//   history_window_first_list_median_ms <v>
//   history_fill_100000_slips_s <v>   how long the store took to fill

#include "history/TForm_History.h"
#include "session/HistoryService.h"
#include "support/HistorySlips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const int slips = 100000;
    QElapsedTimer fill;
    fill.start();
    {
        session::HistoryLocation where;
        where.sqlitePath = dir.filePath(session::HistoryFileName());
        session::HistoryStore store(where, u"bench_fill"_s);
        // Filled without waiting for the disk at each slip: the figure is the
        // window's, not the fill's.
        QSqlQuery(QSqlDatabase::database(u"bench_fill"_s)).exec(u"PRAGMA synchronous=OFF"_s);
        const QDateTime start(QDate(2020, 1, 1), QTime(9, 0));
        for (int k = 0; k < slips; ++k) {
            history_test::Customer c{u"顧客%1　様"_s.arg(k % 5000),
                                     u"090-%1-%2"_s.arg(k % 5000, 4, 10, QChar(u'0')).arg(k % 97, 4, 10, QChar(u'0')),
                                     u"100-0001"_s,
                                     u"東京都千代田区千代田%1－%2"_s.arg(k % 9 + 1).arg(k % 31 + 1),
                                     start.addSecs(qint64(k) * 600),
                                     u"品物%1"_s.arg(k % 300)};
            session::HistoryJob job;
            store.record(history_test::SlipOf(c), job);
        }
    }
    const double fillSeconds = double(fill.elapsed()) / 1000.0;

    session::HistoryLocation where;
    where.sqlitePath = dir.filePath(session::HistoryFileName());
    session::HistoryService service(where);
    service.open();
    if (!QTest::qWaitFor([&] { return service.state() == session::HistoryService::State::Ready; }, 30000)) {
        std::printf("history_window_first_list_median_ms unavailable (%s)\n", qPrintable(service.failure()));
        return 1;
    }
    QList<double> times;
    for (int run = 0; run < 11; ++run) {
        QElapsedTimer t;
        t.start();
        TForm_History window(&service, nullptr, dir.path());
        window.show();
        while (window.searchShown() == 0 && t.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::processEvents(); // the list painted
        times << double(t.nsecsElapsed()) / 1e6;
    }
    std::sort(times.begin(), times.end());
    std::printf("history_window_first_list_median_ms %.1f\n", times.at(times.size() / 2));
    std::printf("history_fill_%d_slips_s %.1f\n", slips, fillSeconds);
    return 0;
}
