// Times one line pass and one totals pass over ten filled rows, as every edit
// of a quantity or unit price runs them, and prints the median in microseconds.

#include "slip/SlipCalc.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

int main()
{
    constexpr int kRuns = 10000;
    slip::Rows filled;
    for (int i = 0; i < slip::kRows; ++i) {
        auto &row = filled[static_cast<std::size_t>(i)];
        row.qty = QString::number(i + 1);
        row.price = QString::number(1200 + 37 * i);
        row.sales = QString();
    }
    const QString rate = u"0.1"_s;
    const QString code = u"1"_s;

    std::vector<double> micros;
    micros.reserve(kRuns);
    qsizetype sink = 0;
    for (int run = 0; run < kRuns; ++run) {
        slip::Rows rows = filled;
        const auto start = std::chrono::steady_clock::now();
        const QList<int> overflow = slip::DEN_SALS(rows);
        const slip::Totals totals = slip::DEN_SUM(rows, rate, code);
        const auto stop = std::chrono::steady_clock::now();
        sink += overflow.size() + totals.sttl.size();
        micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
    }
    std::nth_element(micros.begin(), micros.begin() + kRuns / 2, micros.end());
    const double median = micros[kRuns / 2];
    if (sink == 0)
        return 1; // the passes produced nothing: the measurement would be meaningless
    std::printf("slip_pass_median_us %.3f\n", median);
    return 0;
}
