// Times one line pass and one totals pass over ten filled rows, as every edit
// of a quantity or unit price runs them (the field texts read, both passes, the
// totals turned back into field texts), and prints the median in microseconds.

#include "slip/SlipCalc.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

int main()
{
    constexpr int kRuns = 10000;
    std::array<std::array<QString, 3>, slip::kRows> filled; // quantity, unit price, amount
    for (int i = 0; i < slip::kRows; ++i)
        filled[static_cast<std::size_t>(i)] = {QString::number(i + 1), QString::number(1200 + 37 * i), QString()};
    const QString rate = u"0.1"_s;
    const QString code = u"1"_s;

    std::vector<double> micros;
    micros.reserve(kRuns);
    qsizetype sink = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        slip::Rows rows;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i] = {slip::ReadFieldValue(filled[i][0]), slip::ReadFieldValue(filled[i][1]),
                       slip::ReadFieldValue(filled[i][2])};
        }
        const slip::LinePass pass = slip::DEN_SALS(rows);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (pass.rows[i].sales == slip::RowUpdate::Amount::Set)
                rows[i].sales = pass.rows[i].amount;
        }
        const slip::Totals totals = slip::DEN_SUM(rows, StrToCurrZero(rate), slip::ParseRounding(code));
        const QString sttl = slip::FieldText(totals.sttl);
        const auto stop = std::chrono::steady_clock::now();
        sink += pass.overflowRows.size() + sttl.size();
        micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
    }
    std::nth_element(micros.begin(), micros.begin() + kRuns / 2, micros.end());
    const double median = micros[kRuns / 2];
    if (sink == 0)
        return 1; // the passes produced nothing: the measurement would be meaningless
    std::printf("slip_pass_median_us %.3f\n", median);
    return 0;
}
