// Measures the transfer: a realistic order mail of 16 lines, and a paste of
// 10 000 lines. Prints one "name value" line per measurement.

#include "transfer/Transfer.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

int main()
{
    const QString mail = u"ご注文ありがとうございます。\r\n"
                         u"以下の内容でご注文を承りました。\r\n"
                         u"\r\n"
                         u"【お届け先】\r\n"
                         u"お名前：山田　花子　様\r\n"
                         u"〒１５０－００４３\r\n"
                         u"東京都渋谷区道玄坂１－２－３\r\n"
                         u"架空マンション２０１号室\r\n"
                         u"TEL：０９０－１２３４－５６７８\r\n"
                         u"E-mail：hanako@example.co.jp\r\n"
                         u"\r\n"
                         u"【ご注文内容】\r\n"
                         u"商品A　2個\r\n"
                         u"商品B　1個\r\n"
                         u"お支払い：郵便振替\r\n"
                         u"よろしくお願いいたします。\r\n"_s;
    const QStringList mailLines = transfer::SplitPasteText(mail);

    constexpr int kRuns = 10000;
    std::vector<qint64> times;
    times.reserve(kRuns);
    qsizetype sink = 0;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        const transfer::TransferResult r = transfer::BitBtn_1Transfer(mailLines);
        times.push_back(timer.nsecsElapsed());
        sink += r.add1.size();
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    const double medianUs = double(times[kRuns / 2]) / 1000.0;

    QString big;
    for (int i = 0; i < 10000; ++i)
        big += mailLines.at(i % mailLines.size()) + u"\r\n"_s;
    QElapsedTimer timer;
    timer.start();
    const transfer::TransferResult r = transfer::BitBtn_1Transfer(transfer::SplitPasteText(big));
    const double bigMs = double(timer.nsecsElapsed()) / 1e6;
    sink += r.add1.size();

    QTextStream out(stdout);
    out << "transfer_16_lines_median_us " << medianUs << '\n';
    out << "transfer_10000_lines_ms " << bigMs << '\n';
    return sink < 0 ? 1 : 0;
}
