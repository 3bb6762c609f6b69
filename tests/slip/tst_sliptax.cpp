#include "slip/SlipTax.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Currency money(const QString &text)
{
    const auto value = ParseCurrency(text);
    if (!value)
        qFatal("bad test value");
    return *value;
}

// Rows of quantity 1 with the given amounts; the classes are a string of 'S'
// (standard) and 'R' (reduced), one letter per amount.
void makeSlip(const QStringList &amounts, const QString &classes, slip::Rows &rows, slip::RowClasses &rowClasses)
{
    rows.fill({Currency(), Currency(), Currency()});
    rowClasses.fill(slip::TaxClass::Standard);
    for (int i = 0; i < amounts.size(); ++i) {
        rows[size_t(i)] = {money(u"1"_s), money(amounts[i]), money(amounts[i])};
        if (i < classes.size() && classes.at(i) == u'R')
            rowClasses[size_t(i)] = slip::TaxClass::Reduced;
    }
}

slip::SlipRates rates(const QString &standard, const QString &reduced)
{
    return {money(standard), money(reduced)};
}

QString text(const std::optional<Currency> &value)
{
    return value ? NumberText(*value) : u"-"_s;
}

} // namespace

class TestSlipTax : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void perRate_data();
    void perRate();
    void withoutReducedLineIsTheSingleRateSum_data();
    void withoutReducedLineIsTheSingleRateSum();
    void ratesInForce_data();
    void ratesInForce();
    void overflow();
    void registrationNumber_data();
    void registrationNumber();
};

void TestSlipTax::perRate_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("classes");
    QTest::addColumn<QString>("reducedRate");
    QTest::addColumn<slip::Rounding>("rounding");
    QTest::addColumn<bool>("included");
    QTest::addColumn<QString>("tax");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QStringList>("shares");

    const auto T = slip::Rounding::Truncate;
    const auto H = slip::Rounding::HalfAwayFromZero;
    const auto U = slip::Rounding::Up;
    // Three lines of 105 at 10 %: once per document 31.5 -> 31, never 3 x 10.
    QTest::newRow("three lines rounded once")
        << QStringList{u"105"_s, u"105"_s, u"105"_s} << u"SSS"_s << u"0.08"_s << T << false << u"31"_s << u"346"_s
        << QStringList{u"10%対象 315円　消費税 31円"_s};
    // Food 1,234 at 8 % (98.72) and shipping 1,005 at 10 % (100.5).
    const QStringList mixed{u"1234"_s, u"1005"_s};
    QTest::newRow("mixed truncated") << mixed << u"RS"_s << u"0.08"_s << T << false << u"198"_s << u"2437"_s
                                     << QStringList{u"10%対象 1,005円　消費税 100円"_s,
                                                    u"8%対象 1,234円　消費税 98円"_s};
    QTest::newRow("mixed rounded half") << mixed << u"RS"_s << u"0.08"_s << H << false << u"200"_s << u"2439"_s
                                        << QStringList{u"10%対象 1,005円　消費税 101円"_s,
                                                       u"8%対象 1,234円　消費税 99円"_s};
    QTest::newRow("mixed raised") << mixed << u"RS"_s << u"0.08"_s << U << false << u"200"_s << u"2439"_s
                                  << QStringList{u"10%対象 1,005円　消費税 101円"_s, u"8%対象 1,234円　消費税 99円"_s};
    // Raising adds 0.9 yen: 80.08 stays 80 at the reduced rate.
    QTest::newRow("raised keeps a small fraction dropped")
        << QStringList{u"1001"_s, u"300"_s} << u"RS"_s << u"0.08"_s << U << false << u"110"_s << u"1411"_s
        << QStringList{u"10%対象 300円　消費税 30円"_s, u"8%対象 1,001円　消費税 80円"_s};
    QTest::newRow("no tax code") << mixed << u"RS"_s << u"0.08"_s << slip::Rounding::NoTax << false << u"0"_s
                                 << u"2239"_s
                                 << QStringList{u"10%対象 1,005円　消費税 0円"_s, u"8%対象 1,234円　消費税 0円"_s};
    // A discount line lowers its rate's subtotal before the one rounding.
    QTest::newRow("negative line") << QStringList{u"3000"_s, u"-500"_s, u"800"_s} << u"RRS"_s << u"0.08"_s << T << false
                                   << u"280"_s << u"3580"_s
                                   << QStringList{u"10%対象 800円　消費税 80円"_s, u"8%対象 2,500円　消費税 200円"_s};
    QTest::newRow("all lines negative rounded away from zero")
        << QStringList{u"-1234"_s} << u"R"_s << u"0.08"_s << H << false << u"-99"_s << u"-1333"_s
        << QStringList{u"8%対象 -1,234円　消費税 -99円"_s};
    // Prices with tax: 3,240 holds 240 at 8 %, 1,100 holds 100 at 10 %.
    QTest::newRow("included exact") << QStringList{u"3240"_s, u"1100"_s} << u"RS"_s << u"0.08"_s << T << true
                                    << u"340"_s << u"4340"_s
                                    << QStringList{u"10%対象 1,100円　内消費税 100円"_s,
                                                   u"8%対象 3,240円　内消費税 240円"_s};
    // 1,000 with 8 % in it holds 74.074…, with 10 % 90.909…
    QTest::newRow("included truncated") << QStringList{u"1000"_s, u"1000"_s} << u"RS"_s << u"0.08"_s << T << true
                                        << u"164"_s << u"2000"_s
                                        << QStringList{u"10%対象 1,000円　内消費税 90円"_s,
                                                       u"8%対象 1,000円　内消費税 74円"_s};
    QTest::newRow("included raised") << QStringList{u"1000"_s, u"1000"_s} << u"RS"_s << u"0.08"_s << U << true
                                     << u"165"_s << u"2000"_s
                                     << QStringList{u"10%対象 1,000円　内消費税 91円"_s,
                                                    u"8%対象 1,000円　内消費税 74円"_s};
    QTest::newRow("included half") << QStringList{u"1000"_s, u"1000"_s} << u"RS"_s << u"0.08"_s << H << true << u"165"_s
                                   << u"2000"_s
                                   << QStringList{u"10%対象 1,000円　内消費税 91円"_s,
                                                  u"8%対象 1,000円　内消費税 74円"_s};
    QTest::newRow("included standard only") << QStringList{u"5500"_s} << u"S"_s << u"0.08"_s << T << true << u"500"_s
                                            << u"5500"_s << QStringList{u"10%対象 5,500円　内消費税 500円"_s};
    // A reduced rate equal to the standard one (or not yet in force) makes one part.
    QTest::newRow("equal rates make one part") << mixed << u"RS"_s << u"0.1"_s << T << false << u"223"_s << u"2462"_s
                                               << QStringList{u"10%対象 2,239円　消費税 223円"_s};
}

void TestSlipTax::perRate()
{
    QFETCH(QStringList, amounts);
    QFETCH(QString, classes);
    QFETCH(QString, reducedRate);
    QFETCH(slip::Rounding, rounding);
    QFETCH(bool, included);
    QFETCH(QString, tax);
    QFETCH(QString, total);
    QFETCH(QStringList, shares);

    slip::Rows rows;
    slip::RowClasses rowClasses;
    makeSlip(amounts, classes, rows, rowClasses);
    const slip::RateTotals result =
        slip::DEN_SUM_RATES(rows, rowClasses, rates(u"0.1"_s, reducedRate), rounding, included);
    QCOMPARE(text(result.totals.stax), tax);
    QCOMPARE(text(result.totals.sttl), total);
    QStringList got;
    for (const slip::RateShare &share : result.shares)
        got << slip::RateShareText(share, included);
    QCOMPARE(got, shares);
    QCOMPARE(result.hasReducedLine, classes.contains(u'R'));
    QVERIFY(result.totals.overflowFields.isEmpty());
}

void TestSlipTax::withoutReducedLineIsTheSingleRateSum_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<slip::Rounding>("rounding");
    QTest::newRow("one line raised") << QStringList{u"1001"_s} << slip::Rounding::Up;
    QTest::newRow("several lines half") << QStringList{u"999"_s, u"1"_s, u"-37"_s} << slip::Rounding::HalfAwayFromZero;
    QTest::newRow("amount too large") << QStringList{u"999999999"_s, u"999999999"_s} << slip::Rounding::Truncate;
    QTest::newRow("unknown code") << QStringList{u"1234"_s} << slip::Rounding::NoTax;
}

void TestSlipTax::withoutReducedLineIsTheSingleRateSum()
{
    QFETCH(QStringList, amounts);
    QFETCH(slip::Rounding, rounding);
    slip::Rows rows;
    slip::RowClasses rowClasses;
    makeSlip(amounts, QString(), rows, rowClasses);
    const slip::Totals single = slip::DEN_SUM(rows, money(u"0.1"_s), rounding);
    const slip::Totals split =
        slip::DEN_SUM_RATES(rows, rowClasses, rates(u"0.1"_s, u"0.08"_s), rounding, false).totals;
    QCOMPARE(text(split.sqty), text(single.sqty));
    QCOMPARE(text(split.ssal), text(single.ssal));
    QCOMPARE(text(split.stax), text(single.stax));
    QCOMPARE(text(split.sttl), text(single.sttl));
    QCOMPARE(split.overflowFields, single.overflowFields);
}

void TestSlipTax::ratesInForce_data()
{
    QTest::addColumn<QDate>("slipDate");
    QTest::addColumn<QString>("reduced");
    const QDate from(2019, 10, 1);
    QTest::newRow("on the first day") << from << u"0.08"_s;
    QTest::newRow("later") << QDate(2026, 12, 10) << u"0.08"_s;
    QTest::newRow("the day before takes the standard rate") << from.addDays(-1) << u"0.1"_s;
}

void TestSlipTax::ratesInForce()
{
    QFETCH(QDate, slipDate);
    QFETCH(QString, reduced);
    const slip::TaxRate standard{money(u"0.1"_s), u"消費税 10%"_s};
    const slip::SlipRates got = slip::RatesInForce(standard, money(u"8"_s), QDate(2019, 10, 1), slipDate);
    QCOMPARE(NumberText(got.standard), u"0.1"_s);
    QCOMPARE(NumberText(got.reduced), reduced);
}

void TestSlipTax::overflow()
{
    // Each part fits, their taxes and the total with tax do not.
    slip::Rows rows;
    slip::RowClasses rowClasses;
    makeSlip({u"999999999"_s, u"999999999"_s}, u"RS"_s, rows, rowClasses);
    const slip::RateTotals result =
        slip::DEN_SUM_RATES(rows, rowClasses, rates(u"0.1"_s, u"0.08"_s), slip::Rounding::Truncate, false);
    QCOMPARE(result.totals.overflowFields, (QStringList{slip::kFieldSsal.toString(), slip::kFieldSttl.toString()}));
    QVERIFY(!result.totals.sttl);
    QCOMPARE(text(result.totals.stax), u"179999998"_s);
    QVERIFY(!slip::RateTax(money(u"1000"_s), money(u"1.5"_s), slip::Rounding::Truncate, true));
}

void TestSlipTax::registrationNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("taken"); // null: refused
    QTest::newRow("as written") << u"T4410001234567"_s << u"T4410001234567"_s;
    QTest::newRow("full width with hyphens") << u"Ｔ４４１０－００１２－３４５６７"_s << u"T4410001234567"_s;
    QTest::newRow("small t and blanks") << u" t 4410 0012 34567 "_s << u"T4410001234567"_s;
    QTest::newRow("empty: not registered") << u"　"_s << u""_s;
    QTest::newRow("twelve digits") << u"T441000123456"_s << QString();
    QTest::newRow("no T") << u"4410001234567"_s << QString();
    QTest::newRow("a letter among the digits") << u"T44100012345O7"_s << QString();
}

void TestSlipTax::registrationNumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, taken);
    const std::optional<QString> number = slip::InvoiceRegistrationNumber(typed);
    QCOMPARE(number.has_value(), !taken.isNull());
    if (number)
        QCOMPARE(*number, taken);
}

QTEST_GUILESS_MAIN(TestSlipTax)
#include "tst_sliptax.moc"
