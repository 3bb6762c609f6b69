// Times a day's orders: a 10 000-row mall export (CP932) read, grouped into
// orders and checked against the postal dictionary, as 一括印刷 does before
// it shows its list; and the peak memory of reading a 200 MB export, which
// must stay far below the file's size. Prints "name value unit".

#include "orders/OrderImport.h"
#include "platform/Cp932.h"
#include "postal/PostalDictionary.h"
#include "session/OrderBatch.h"
#include "session/PostalAssist.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QStringList kFamilies{u"浜田"_s, u"森"_s, u"川端"_s, u"宮野"_s, u"石塚"_s, u"岡部"_s, u"白川"_s};
const QStringList kGivens{u"陽菜"_s, u"一郎"_s, u"美咲"_s, u"健太"_s, u"結衣"_s, u"大輔"_s};

// A 楽天-style export: three rows (items) per order, fields as the mall
// writes them.
QByteArray exportRows(int rows, int rowsPerOrder, int firstOrder = 0)
{
    QString text;
    if (firstOrder == 0)
        text = u"受注番号,送付先郵便番号1,送付先郵便番号2,送付先住所都道府県,送付先住所郡市区,"
               u"送付先住所それ以降の住所,送付先姓,送付先名,送付先電話番号1,送付先電話番号2,送付先電話番号3,"
               u"商品名,単価,個数,税込別\r\n"_s;
    for (int r = 0; r < rows; ++r) {
        const int order = firstOrder + r / rowsPerOrder;
        text += u"%1-20261210-%2,604,8064,京都府,京都市中京区,道場町%3番地 コーポ%4号,%5,%6,090,%7,%8,"
                u"\"京のお漬物 詰め合わせ %9\",%10,%11,1\r\n"_s.arg(u"123456"_s)
                    .arg(order, 8, 10, QChar(u'0'))
                    .arg(order % 97)
                    .arg(order % 300)
                    .arg(kFamilies[order % kFamilies.size()], kGivens[(order / 7) % kGivens.size()])
                    .arg(order % 9000 + 1000)
                    .arg(r % 9000 + 1000)
                    .arg(r % 40)
                    .arg(1080 + (r % 5) * 100)
                    .arg(1 + r % 3);
    }
    return *vuzo::EncodeCp932(text);
}

double millis(const std::chrono::steady_clock::time_point &start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString small = dir.filePath(u"orders.csv"_s);
    {
        QFile f(small);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(exportRows(10000, 3));
    }
    postal::PostalDictionary dictionary;
    dictionary.startLoading();
    dictionary.waitForLoaded();
    const std::unique_ptr<transfer::PostalLookup> lookup = session::DictionaryLookupOf(dictionary);
    session::BatchSettings settings = session::BatchContextOf(dir.path(), QDate(2026, 12, 10));
    settings.context.postal = lookup.get();

    std::vector<double> times, readTimes;
    qsizetype orderCount = 0;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        orders::ReadOptions options;
        options.import.postal = lookup.get();
        const orders::OrderFile file = orders::ReadOrderFile(small, options);
        readTimes.push_back(millis(start));
        const QList<session::BatchSlip> slips = session::SlipsOfOrders(file.orders, settings.context);
        times.push_back(millis(start));
        orderCount = slips.size();
    }
    std::sort(times.begin(), times.end());
    std::sort(readTimes.begin(), readTimes.end());
    std::printf("orders_10000_rows_read_grouped_median_ms %.1f\n", readTimes[readTimes.size() / 2]);
    std::printf("orders_10000_rows_read_grouped_checked_median_ms %.1f (%lld orders)\n", times[times.size() / 2],
                static_cast<long long>(orderCount));
    if (argc > 1 && QByteArray(argv[1]) == "--small")
        return 0;

    // 200 MB: many rows per order, as a broken export might have.
    const QString large = dir.filePath(u"large.csv"_s);
    {
        QFile f(large);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        // About 7 000 orders of 200 rows each: read whole, below the
        // limit of orders a file may give.
        f.write(exportRows(1000, 200));
        int order = 5;
        while (f.size() < 200LL * 1024 * 1024) {
            f.write(exportRows(5000, 200, order));
            order += 25;
        }
    }
    const long before = peakRssKb();
    const auto start = std::chrono::steady_clock::now();
    const orders::OrderFile file = orders::ReadOrderFile(large, {});
    std::printf("orders_200mb_read_ms %.0f (%lld orders%s)\n", millis(start),
                static_cast<long long>(file.orders.size()), file.refusal.isEmpty() ? "" : ", refused");
    std::printf("orders_200mb_peak_rss_mb %.1f (before %.1f)\n", peakRssKb() / 1024.0, before / 1024.0);
    return 0;
}
