// Measures both transfers: 従来方式 on a realistic order mail of 16 lines and
// on a paste of 10 000 lines; 自動判別 on a mall notification of 40 lines and
// on a paste of 10 000 lines. Prints one "name value" line per measurement.

#include "transfer/SmartTransfer.h"
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

    const QString mall = u"件名：【架空ショップ】ご注文内容のご確認\r\n"
                         u"山田 太郎 様\r\n\r\n"
                         u"この度は架空ショップをご利用いただき、誠にありがとうございます。\r\n"
                         u"下記の内容でご注文を承りました。\r\n\r\n"
                         u"━━━━━━━━━━━━━━━━━━━━\r\n"
                         u"■ご注文者情報\r\n"
                         u"━━━━━━━━━━━━━━━━━━━━\r\n"
                         u"お名前：山田 太郎（ヤマダ タロウ）様\r\n"
                         u"〒１５０－００４３\r\n"
                         u"東京都渋谷区道玄坂１－２－３\r\n"
                         u"電話番号：03-1234-5678\r\n"
                         u"メール：taro@example.jp\r\n\r\n"
                         u"━━━━━━━━━━━━━━━━━━━━\r\n"
                         u"■お届け先\r\n"
                         u"━━━━━━━━━━━━━━━━━━━━\r\n"
                         u"お名前：佐藤 花子 様\r\n"
                         u"郵便番号：2310023\r\n"
                         u"住所：神奈川県横浜市中区山下町9-8-7 架空マンション201号室\r\n"
                         u"電話番号：090ー1111ー2222\r\n"
                         u"お届け希望日：指定なし\r\n\r\n"
                         u"━━━━━━━━━━━━━━━━━━━━\r\n"
                         u"■ご注文商品\r\n"
                         u"━━━━━━━━━━━━━━━━━━━━\r\n"
                         u"架空茶葉セット　2個　3,000円\r\n"
                         u"架空焼き菓子　1個　1,200円\r\n"
                         u"小計：7,200円\r\n"
                         u"送料：800円\r\n"
                         u"合計：8,000円\r\n"
                         u"お支払い方法：郵便振替\r\n\r\n"
                         u"ご不明な点はお気軽にお問い合わせください。\r\n\r\n"
                         u"━━━━━━━━━━━━━━━━━━━━\r\n"
                         u"架空ショップ\r\n"
                         u"〒100-0001 東京都千代田区架空町1-1\r\n"
                         u"TEL 03-0000-0000\r\n"
                         u"https://example.jp/\r\n"
                         u"営業時間 10:00-18:00（土日祝休み）\r\n"
                         u"━━━━━━━━━━━━━━━━━━━━\r\n"_s;
    constexpr int kSmartRuns = 2000;
    std::vector<qint64> smartTimes;
    smartTimes.reserve(kSmartRuns);
    for (int i = 0; i < kSmartRuns; ++i) {
        QElapsedTimer one;
        one.start();
        const transfer::SmartTransferResult s = transfer::SmartTransfer(mall);
        smartTimes.push_back(one.nsecsElapsed());
        sink += s.add1.size();
    }
    std::nth_element(smartTimes.begin(), smartTimes.begin() + kSmartRuns / 2, smartTimes.end());
    const double smartMedianUs = double(smartTimes[kSmartRuns / 2]) / 1000.0;

    const QStringList mallLines = transfer::SplitPasteText(mall);
    QString smartBig;
    for (int i = 0; i < 10000; ++i)
        smartBig += mallLines.at(i % mallLines.size()) + u"\r\n"_s;
    // The median of a few runs: one run on a shared machine measures its load.
    std::vector<qint64> bigTimes;
    for (int i = 0; i < 9; ++i) {
        timer.restart();
        const transfer::SmartTransferResult s = transfer::SmartTransfer(smartBig);
        bigTimes.push_back(timer.nsecsElapsed());
        sink += s.add1.size();
    }
    std::nth_element(bigTimes.begin(), bigTimes.begin() + 4, bigTimes.end());
    const double smartBigMs = double(bigTimes[4]) / 1e6;

    QTextStream out(stdout);
    out << "transfer_16_lines_median_us " << medianUs << '\n';
    out << "transfer_10000_lines_ms " << bigMs << '\n';
    out << "smart_transfer_" << mallLines.size() << "_lines_median_us " << smartMedianUs << '\n';
    out << "smart_transfer_10000_lines_median_ms " << smartBigMs << '\n';
    return sink < 0 ? 1 : 0;
}
