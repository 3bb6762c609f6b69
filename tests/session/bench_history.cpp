// Times the slip history on a SQLite file of 100 000 slips: the search as it
// runs on every keystroke of a name and of a telephone number (slips and
// customers), and the recording of one slip. Prints "name value unit".

#include "session/HistoryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QStringList kFamilies{u"浜田"_s, u"森"_s,   u"川端"_s, u"宮野"_s, u"石塚"_s, u"岡部"_s, u"白川"_s,
                            u"野沢"_s, u"桑原"_s, u"須藤"_s, u"青柳"_s, u"杉浦"_s, u"若林"_s, u"柴田"_s};
const QStringList kGivens{u"陽菜"_s, u"一郎"_s, u"美咲"_s, u"健太"_s, u"結衣"_s, u"大輔"_s, u"七海"_s,
                          u"翔"_s,   u"彩"_s,   u"誠"_s,   u"千尋"_s, u"蓮"_s,   u"葵"_s};

session::HistorySlip SlipOf(int i)
{
    const int customer = i % 20000;
    session::HistorySlip s;
    s.record = session::DefaultSlipRecord();
    s.record.custo1 = kFamilies[customer % kFamilies.size()] + u'　' + kGivens[(customer / 7) % kGivens.size()] +
                      QString::number(customer / 200);
    s.record.tel = u"090-%1-%2"_s.arg(customer / 100 + 1000).arg(customer % 10000 + 1000);
    s.record.zip = u"604-%1"_s.arg(customer % 1000, 4, 10, QChar(u'0'));
    s.record.add1 = u"京都府京都市中京区"_s;
    s.record.add2 = u"道場町%1番地"_s.arg(customer % 97);
    s.record.add3 = u"コーポ%1号"_s.arg(customer % 300);
    for (int row = 0; row < 3; ++row)
        s.record.lines[std::size_t(row)] = {
            {}, u"商品%1"_s.arg((i + row) % 400), u"1"_s, u"個"_s, u"1,200"_s, u"1,200"_s, row % 2};
    s.totalText = u"3,960"_s;
    s.amount = 3600;
    s.tax = 360;
    s.total = 3960;
    s.rates = {{u"10"_s, false, 2400, 240}, {u"8"_s, true, 1200, 96}};
    return s;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <typename F> double Millis(F f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QDir::currentPath() + u"/bench_history-XXXXXX"_s);
    session::HistoryLocation where;
    where.sqlitePath = dir.filePath(u"vuzo_history.sqlite3"_s);
    session::HistoryStore store(where, u"bench"_s);
    // 20 000 slips of as many customers recorded, then copied five times over
    // (the customers coming back), which takes seconds instead of minutes.
    constexpr int kRecorded = 20000, kCopies = 5, kSlips = kRecorded * kCopies;
    {
        QSqlDatabase db = QSqlDatabase::database(u"bench"_s);
        QSqlQuery q(db);
        q.exec(u"PRAGMA synchronous=OFF"_s);
        for (int i = 0; i < kRecorded; ++i) {
            session::HistoryJob job;
            store.record(SlipOf(i), job);
        }
        q.exec(u"BEGIN"_s);
        for (int k = 1; k < kCopies; ++k) {
            const QString off = QString::number(k * kRecorded);
            q.exec(u"INSERT INTO slips SELECT id + %1, slip_no + %1, printed_at, order_id, zip, add1, add2, add3, "
                   u"custo1, tel, my_name, my_zip, my_add1, my_add2, my_tel, tax_old, tax_new, tax_enfor_date, "
                   u"tax_reduced, tax_reduced_date, rounding, prices_include_tax, invoice_reg_no, amount, tax, total, "
                   u"total_text, line_count, search_text, customer_key, record_json, invoice_json FROM slips WHERE "
                   u"id <= %2"_s.arg(off)
                       .arg(kRecorded));
            q.exec(u"INSERT INTO slip_lines SELECT slip_id + %1, row_no, item, item_key, qty, unit, price, amount, "
                   u"tax_class FROM slip_lines WHERE slip_id <= %2"_s.arg(off)
                       .arg(kRecorded));
            q.exec(u"INSERT INTO slip_jobs SELECT id + %1, slip_id + %1, kind, printed_at, printer, feed, copies, "
                   u"cups_job_id, state FROM slip_jobs WHERE id <= %2"_s.arg(off)
                       .arg(kRecorded));
        }
        q.exec(u"UPDATE search_texts SET newest_id = newest_id + %1, slip_count = slip_count * %2"_s
                   .arg((kCopies - 1) * kRecorded)
                   .arg(kCopies));
        q.exec(u"UPDATE item_stats SET uses = uses * %1"_s.arg(kCopies));
        for (const char *counter : {"slip_id", "slip_no", "job_id"})
            q.exec(u"UPDATE counters SET value = %1 WHERE name = '%2'"_s.arg(kSlips).arg(QLatin1StringView(counter)));
        q.exec(u"COMMIT"_s);
        q.exec(u"ANALYZE"_s);
        q.exec(u"PRAGMA synchronous=FULL"_s);
    }
    qsizetype sink = 0;
    const auto typing = [&](const QString &text, bool perCustomer) {
        std::vector<double> times;
        for (int round = 0; round < 5; ++round)
            for (qsizetype n = 1; n <= text.size(); ++n)
                times.push_back(Millis([&] { sink += store.search(text.left(n), perCustomer).size(); }));
        return Median(times);
    };
    std::printf("history_search_name_keystroke_median_ms %.2f\n", typing(u"浜田　陽菜12"_s, false));
    std::printf("history_search_tel_keystroke_median_ms %.2f\n", typing(u"090-1012-3012"_s, false));
    std::printf("history_search_customer_name_keystroke_median_ms %.2f\n", typing(u"浜田　陽菜12"_s, true));
    std::printf("history_search_customer_tel_keystroke_median_ms %.2f\n", typing(u"090-1012-3012"_s, true));

    std::vector<double> records;
    for (int i = 0; i < 200; ++i) {
        session::HistoryJob job;
        const session::HistorySlip slip = SlipOf(kSlips + i);
        records.push_back(Millis([&] { sink += store.record(slip, job).slipNo; }));
    }
    std::printf("history_record_median_ms %.2f\n", Median(records));
    std::vector<double> items;
    for (const QString &typed : {u"商"_s, u"商品"_s, u"商品1"_s, u"商品12"_s})
        items.push_back(Millis([&] { sink += store.items(typed).size(); }));
    std::printf("history_items_keystroke_median_ms %.2f\n", Median(items));
    return sink > 0 ? 0 : 1;
}
