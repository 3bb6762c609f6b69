#include "slip/SlipCalc.h"

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

// The texts of one row as the window's fields hold them.
struct RowTexts
{
    QString qty, price, sales;
};
using TextRows = std::array<RowTexts, slip::kRows>;

// Rows from columns given top down; missing cells are empty.
TextRows makeRows(const QStringList &qty, const QStringList &price, const QStringList &sales)
{
    TextRows rows;
    for (int i = 0; i < slip::kRows; ++i) {
        auto &row = rows[static_cast<std::size_t>(i)];
        row.qty = qty.value(i);
        row.price = price.value(i);
        row.sales = sales.value(i);
    }
    return rows;
}

// The values the window reads from the texts.
slip::Rows valuesOf(const TextRows &texts)
{
    slip::Rows rows;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        rows[i] = {slip::ReadFieldValue(texts[i].qty), slip::ReadFieldValue(texts[i].price),
                   slip::ReadFieldValue(texts[i].sales)};
    }
    return rows;
}

// The texts after a line pass, as the window writes it back.
void apply(TextRows &texts, const slip::LinePass &pass)
{
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const slip::RowUpdate &update = pass.rows[i];
        if (update.clearPrice)
            texts[i].price.clear();
        if (update.sales == slip::RowUpdate::Amount::Clear)
            texts[i].sales.clear();
        else if (update.sales == slip::RowUpdate::Amount::Set)
            texts[i].sales = NumberText(update.amount);
    }
}

// Fills every row except `except` (1-based) with quantity 1, unit price 2 and a
// sentinel amount, so a pass that skips rows cannot pass.
TextRows sentinelRows(int except)
{
    TextRows rows;
    for (int i = 0; i < slip::kRows; ++i) {
        if (i + 1 != except)
            rows[static_cast<std::size_t>(i)] = {u"1"_s, u"2"_s, u"sentinel"_s};
    }
    return rows;
}

constexpr int kTestRow = 7;

} // namespace

class TestSlipCalc : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readFieldValue_data();
    void readFieldValue();
    void fieldText_data();
    void fieldText();
    void parseRounding_data();
    void parseRounding();
    void fitsField_data();
    void fitsField();
    void consumptionTax_data();
    void consumptionTax();
    void consumptionTaxOutsideCurrencyRange();
    void taxRate_data();
    void taxRate();
    void editingPass_data();
    void editingPass();
    void editingPassReportsOverflowRowsInOrder();
    void printingPass_data();
    void printingPass();
    void printingPassNotifiesInRowOrderBeforeEmptying();
    void printingPassWithoutNotifier();
    void restoredPass_data();
    void restoredPass();
    void unprintedRows_data();
    void unprintedRows();
    void totals_data();
    void totals();
    void messages_data();
    void messages();
};

void TestSlipCalc::readFieldValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("value");

    QTest::newRow("zero reads as 0") << u"0"_s << true << u"0"_s;
    QTest::newRow("one reads as 1") << u"1"_s << true << u"1"_s;
    QTest::newRow("an empty text counts as 0") << QString() << true << u"0"_s;
    QTest::newRow("a lone minus counts as 0") << u"-"_s << true << u"0"_s;
    QTest::newRow("a lone point counts as 0") << u"."_s << true << u"0"_s;
    QTest::newRow("text that is not a number counts as 0") << u"abc"_s << true << u"0"_s;
    QTest::newRow("two points make no number and count as 0") << u"1.2.3"_s << true << u"0"_s;
    QTest::newRow("a full-width digit is not a number and counts as 0") << u"１"_s << true << u"0"_s;
    QTest::newRow("a decimal keeps its fraction") << u"4.5"_s << true << u"4.5"_s;
    QTest::newRow("blanks around a number are ignored") << u" -12 "_s << true << u"-12"_s;
    QTest::newRow("the largest Currency value reads") << u"922337203685477.5807"_s << true << u"922337203685477.5807"_s;
    QTest::newRow("one ten-thousandth beyond the largest is too large to read")
        << u"922337203685477.5808"_s << false << QString();
    QTest::newRow("the smallest Currency value reads")
        << u"-922337203685477.5808"_s << true << u"-922337203685477.5808"_s;
    QTest::newRow("one ten-thousandth below the smallest is too large to read")
        << u"-922337203685477.5809"_s << false << QString();
    QTest::newRow("twenty nines are too large to read") << u"99999999999999999999"_s << false << QString();
}

void TestSlipCalc::readFieldValue()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(QString, value);
    const slip::FieldValue read = slip::ReadFieldValue(text);
    QCOMPARE(read.has_value(), readable);
    if (readable)
        QCOMPARE(NumberText(*read), value);
}

void TestSlipCalc::fieldText_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no figure shows an empty field") << false << QString() << QString();
    QTest::newRow("zero shows 0") << true << u"0"_s << u"0"_s;
    QTest::newRow("a fraction shows its significant decimals") << true << u"4.50"_s << u"4.5"_s;
    QTest::newRow("a negative figure shows its minus") << true << u"-1000"_s << u"-1000"_s;
}

void TestSlipCalc::fieldText()
{
    QFETCH(bool, present);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const std::optional<Currency> figure = present ? std::optional<Currency>(money(value)) : std::nullopt;
    QCOMPARE(slip::FieldText(figure), expected);
}

void TestSlipCalc::parseRounding_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<slip::Rounding>("rounding");

    QTest::newRow("code 0 truncates") << u"0"_s << slip::Rounding::Truncate;
    QTest::newRow("code 1 rounds halves away from zero") << u"1"_s << slip::Rounding::HalfAwayFromZero;
    QTest::newRow("code 2 raises") << u"2"_s << slip::Rounding::Up;
    QTest::newRow("code 3 gives no tax") << u"3"_s << slip::Rounding::NoTax;
    QTest::newRow("empty code gives no tax") << QString() << slip::Rounding::NoTax;
    QTest::newRow("code with a blank gives no tax") << u"1 "_s << slip::Rounding::NoTax;
    QTest::newRow("code after a blank gives no tax") << u" 1"_s << slip::Rounding::NoTax;
    QTest::newRow("full-width code gives no tax") << u"１"_s << slip::Rounding::NoTax;
    QTest::newRow("a leading zero gives no tax") << u"01"_s << slip::Rounding::NoTax;
    QTest::newRow("a minus zero gives no tax") << u"-0"_s << slip::Rounding::NoTax;
}

void TestSlipCalc::parseRounding()
{
    QFETCH(QString, code);
    QFETCH(slip::Rounding, rounding);
    QCOMPARE(slip::ParseRounding(code), rounding);
}

void TestSlipCalc::fitsField_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("fits");
    QTest::newRow("zero fits") << u"0"_s << true;
    QTest::newRow("one fits") << u"1"_s << true;
    QTest::newRow("nine nines fit") << u"999999999"_s << true;
    QTest::newRow("nine nines with decimals fit") << u"999999999.9999"_s << true;
    QTest::newRow("ten digits do not fit") << u"1000000000"_s << false;
    QTest::newRow("minus nine nines fit") << u"-999999999"_s << true;
    QTest::newRow("minus ten digits do not fit") << u"-1000000000"_s << false;
}

void TestSlipCalc::fitsField()
{
    QFETCH(QString, value);
    QFETCH(bool, fits);
    QCOMPARE(slip::FitsField(money(value)), fits);
}

void TestSlipCalc::consumptionTax_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<slip::Rounding>("rounding");
    QTest::addColumn<QString>("tax");

    QTest::newRow("zero amount truncated is zero") << u"0"_s << u"0.05"_s << slip::Rounding::Truncate << u"0"_s;
    QTest::newRow("zero amount raised is zero") << u"0"_s << u"0.05"_s << slip::Rounding::Up << u"0"_s;
    QTest::newRow("one yen rounded half up is zero")
        << u"1"_s << u"0.05"_s << slip::Rounding::HalfAwayFromZero << u"0"_s;
    QTest::newRow("ten yen at exactly half rounds up")
        << u"10"_s << u"0.05"_s << slip::Rounding::HalfAwayFromZero << u"1"_s;
    QTest::newRow("two yen raised by a tenth is one") << u"2"_s << u"0.05"_s << slip::Rounding::Up << u"1"_s;
    QTest::newRow("1001 truncated") << u"1001"_s << u"0.05"_s << slip::Rounding::Truncate << u"50"_s;
    QTest::newRow("1001 rounded") << u"1001"_s << u"0.05"_s << slip::Rounding::HalfAwayFromZero << u"50"_s;
    QTest::newRow("1001 raised drops five hundredths") << u"1001"_s << u"0.05"_s << slip::Rounding::Up << u"50"_s;
    QTest::newRow("1002 truncated") << u"1002"_s << u"0.05"_s << slip::Rounding::Truncate << u"50"_s;
    QTest::newRow("1002 rounded") << u"1002"_s << u"0.05"_s << slip::Rounding::HalfAwayFromZero << u"50"_s;
    QTest::newRow("1002 raised by its tenth") << u"1002"_s << u"0.05"_s << slip::Rounding::Up << u"51"_s;
    QTest::newRow("1001.8 raised drops nine hundredths") << u"1001.8"_s << u"0.05"_s << slip::Rounding::Up << u"50"_s;
    QTest::newRow("1010 truncated") << u"1010"_s << u"0.05"_s << slip::Rounding::Truncate << u"50"_s;
    QTest::newRow("1010 rounded") << u"1010"_s << u"0.05"_s << slip::Rounding::HalfAwayFromZero << u"51"_s;
    QTest::newRow("1010 raised") << u"1010"_s << u"0.05"_s << slip::Rounding::Up << u"51"_s;
    QTest::newRow("minus 1010 truncated toward zero")
        << u"-1010"_s << u"0.05"_s << slip::Rounding::Truncate << u"-50"_s;
    QTest::newRow("minus 1010 rounded away from zero")
        << u"-1010"_s << u"0.05"_s << slip::Rounding::HalfAwayFromZero << u"-51"_s;
    QTest::newRow("minus 1010 raised away from zero") << u"-1010"_s << u"0.05"_s << slip::Rounding::Up << u"-51"_s;
    QTest::newRow("minus 1001 raised drops the fraction") << u"-1001"_s << u"0.05"_s << slip::Rounding::Up << u"-50"_s;
    QTest::newRow("no tax rounding gives no tax") << u"1010"_s << u"0.05"_s << slip::Rounding::NoTax << u"0"_s;
    QTest::newRow("rate of 2.5 per cent on 1000") << u"1000"_s << u"0.025"_s << slip::Rounding::Truncate << u"25"_s;
    QTest::newRow("rate of 10 per cent") << u"1234"_s << u"0.1"_s << slip::Rounding::Truncate << u"123"_s;
    QTest::newRow("rate of 8 per cent raised") << u"1234"_s << u"0.08"_s << slip::Rounding::Up << u"99"_s;
    QTest::newRow("nine-digit amount at 5 per cent")
        << u"999999999"_s << u"0.05"_s << slip::Rounding::HalfAwayFromZero << u"50000000"_s;
    QTest::newRow("large amounts are exact")
        << u"900000000000000"_s << u"0.0001"_s << slip::Rounding::Truncate << u"90000000000"_s;
}

void TestSlipCalc::consumptionTax()
{
    QFETCH(QString, amount);
    QFETCH(QString, rate);
    QFETCH(slip::Rounding, rounding);
    QFETCH(QString, tax);
    const auto result = slip::ConsumptionTax(money(amount), money(rate), rounding);
    QVERIFY(result.has_value());
    QCOMPARE(NumberText(*result), tax);
}

void TestSlipCalc::consumptionTaxOutsideCurrencyRange()
{
    const Currency big = Currency::fromRaw(INT64_MAX);
    QVERIFY(!slip::ConsumptionTax(big, big, slip::Rounding::Truncate).has_value());
    QVERIFY(!slip::ConsumptionTax(Currency::fromRaw(INT64_MIN), big, slip::Rounding::Up).has_value());
    QVERIFY(!slip::ConsumptionTax(Currency::fromRaw(INT64_MIN), Currency::fromRaw(INT64_MIN),
                                  slip::Rounding::HalfAwayFromZero)
                 .has_value());
    // Out of range products still give no tax for an unknown code.
    QCOMPARE(slip::ConsumptionTax(big, big, slip::ParseRounding(u"9"_s)), std::optional<Currency>(Currency()));
}

void TestSlipCalc::taxRate_data()
{
    QTest::addColumn<QString>("oldRate");
    QTest::addColumn<QString>("newRate");
    QTest::addColumn<QDate>("enforcement");
    QTest::addColumn<QDate>("slipDate");
    QTest::addColumn<QString>("xTax");
    QTest::addColumn<QString>("caption");

    const QDate enforce(1997, 4, 1);
    QTest::newRow("the day before enforcement takes the old rate")
        << u"3"_s << u"5"_s << enforce << QDate(1997, 3, 31) << u"0.03"_s << u"消費税 3%"_s;
    QTest::newRow("the enforcement day takes the new rate")
        << u"3"_s << u"5"_s << enforce << enforce << u"0.05"_s << u"消費税 5%"_s;
    QTest::newRow("the day after enforcement takes the new rate")
        << u"3"_s << u"5"_s << enforce << QDate(1997, 4, 2) << u"0.05"_s << u"消費税 5%"_s;
    QTest::newRow("a rate of 2.5 keeps its decimal")
        << u"3"_s << u"2.5"_s << enforce << QDate(2000, 1, 1) << u"0.025"_s << u"消費税 2.5%"_s;
    QTest::newRow("a rate of 10") << u"8"_s << u"10"_s << QDate(2019, 10, 1) << QDate(2019, 10, 1) << u"0.1"_s
                                  << u"消費税 10%"_s;
    QTest::newRow("a rate of 8 before 10")
        << u"8"_s << u"10"_s << QDate(2019, 10, 1) << QDate(2019, 9, 30) << u"0.08"_s << u"消費税 8%"_s;
    QTest::newRow("a zero rate") << u"0"_s << u"5"_s << enforce << QDate(1990, 1, 1) << u"0"_s << u"消費税 0%"_s;
    QTest::newRow("a rate that is not a number counts as zero")
        << u"abc"_s << u"5"_s << enforce << QDate(1990, 1, 1) << u"0"_s << u"消費税 0%"_s;
    QTest::newRow("a three-decimal rate rounds half to even upward")
        << u"3"_s << u"2.555"_s << enforce << enforce << u"0.0256"_s << u"消費税 2.56%"_s;
    QTest::newRow("a three-decimal rate rounds half to even downward")
        << u"3"_s << u"2.565"_s << enforce << enforce << u"0.0256"_s << u"消費税 2.56%"_s;
}

void TestSlipCalc::taxRate()
{
    QFETCH(QString, oldRate);
    QFETCH(QString, newRate);
    QFETCH(QDate, enforcement);
    QFETCH(QDate, slipDate);
    QFETCH(QString, xTax);
    QFETCH(QString, caption);
    // The window reads the rate fields leniently: text that is not a number is 0.
    const slip::TaxRate rate =
        slip::TAX_RATE_CHK(StrToCurrZero(oldRate), StrToCurrZero(newRate), enforcement, slipDate);
    QCOMPARE(NumberText(rate.rate), xTax);
    QCOMPARE(rate.staxCaption, caption);
}

namespace {

void addLinePassColumns()
{
    QTest::addColumn<QString>("qty");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("sales");
    QTest::addColumn<QString>("expectedQty");
    QTest::addColumn<QString>("expectedPrice");
    QTest::addColumn<QString>("expectedSales");
    QTest::addColumn<bool>("overflow");
}

// Rows both passes treat alike.
void addCommonLinePassRows()
{
    const QString stale = u"stale"_s;
    QTest::newRow("one at one is one") << u"1"_s << u"1"_s << stale << u"1"_s << u"1"_s << u"1"_s << false;
    QTest::newRow("nine nines at one fit")
        << u"999999999"_s << u"1"_s << stale << u"999999999"_s << u"1"_s << u"999999999"_s << false;
    QTest::newRow("minus nine nines at one fit")
        << u"-999999999"_s << u"1"_s << stale << u"-999999999"_s << u"1"_s << u"-999999999"_s << false;
    QTest::newRow("five hundred million at two does not fit")
        << u"500000000"_s << u"2"_s << stale << u"500000000"_s << u"2"_s << QString() << true;
    QTest::newRow("minus five hundred million at two does not fit")
        << u"-500000000"_s << u"2"_s << stale << u"-500000000"_s << u"2"_s << QString() << true;
    QTest::newRow("nine nines at two does not fit")
        << u"999999999"_s << u"2"_s << stale << u"999999999"_s << u"2"_s << QString() << true;
    QTest::newRow("a product beyond the currency range does not fit")
        << u"999999999999999"_s << u"999999999999999"_s << stale << u"999999999999999"_s << u"999999999999999"_s
        << QString() << true;
    QTest::newRow("a quantity too large to read does not fit")
        << u"99999999999999999999"_s << u"1"_s << stale << u"99999999999999999999"_s << u"1"_s << QString() << true;
    QTest::newRow("three at 1200 is 3600") << u"3"_s << u"1200"_s << stale << u"3"_s << u"1200"_s << u"3600"_s << false;
    QTest::newRow("minus two at 500 is minus 1000")
        << u"-2"_s << u"500"_s << stale << u"-2"_s << u"500"_s << u"-1000"_s << false;
    QTest::newRow("one and a half at three is 4.5")
        << u"1.5"_s << u"3"_s << stale << u"1.5"_s << u"3"_s << u"4.5"_s << false;
    QTest::newRow("an emptied price empties the amount")
        << u"3"_s << QString() << u"3600"_s << u"3"_s << QString() << QString() << false;
    QTest::newRow("a zero price empties the amount")
        << u"3"_s << u"0"_s << u"3600"_s << u"3"_s << u"0"_s << QString() << false;
    QTest::newRow("a price that is not a number empties the amount")
        << u"3"_s << u"x"_s << u"3600"_s << u"3"_s << u"x"_s << QString() << false;
}

} // namespace

void TestSlipCalc::editingPass_data()
{
    addLinePassColumns();
    addCommonLinePassRows();
    QTest::newRow("zero quantity with a price empties price and amount")
        << u"0"_s << u"500"_s << u"300"_s << u"0"_s << QString() << QString() << false;
    QTest::newRow("empty quantity with a price empties price and amount")
        << QString() << u"500"_s << u"300"_s << QString() << QString() << QString() << false;
    QTest::newRow("a lone minus quantity counts as zero")
        << u"-"_s << u"500"_s << u"300"_s << u"-"_s << QString() << QString() << false;
    QTest::newRow("zero and zero keep a stale amount")
        << u"0"_s << u"0"_s << u"300"_s << u"0"_s << u"0"_s << u"300"_s << false;
    QTest::newRow("an empty row stays empty")
        << QString() << QString() << QString() << QString() << QString() << QString() << false;
    QTest::newRow("a stale nine-digit amount is kept")
        << u"0"_s << u"0"_s << u"999999999"_s << u"0"_s << u"0"_s << u"999999999"_s << false;
    QTest::newRow("a stale ten-digit amount is not shown")
        << u"0"_s << u"0"_s << u"1000000000"_s << u"0"_s << u"0"_s << QString() << true;
    QTest::newRow("a stale amount too large to read is not shown")
        << u"0"_s << u"0"_s << u"99999999999999999999"_s << u"0"_s << u"0"_s << QString() << true;
    QTest::newRow("a price too large to read without quantity is emptied")
        << u"0"_s << u"99999999999999999999"_s << u"1"_s << u"0"_s << QString() << QString() << false;
}

void TestSlipCalc::editingPass()
{
    QFETCH(QString, qty);
    QFETCH(QString, price);
    QFETCH(QString, sales);
    QFETCH(QString, expectedQty);
    QFETCH(QString, expectedPrice);
    QFETCH(QString, expectedSales);
    QFETCH(bool, overflow);

    TextRows rows = sentinelRows(kTestRow);
    rows[kTestRow - 1] = {qty, price, sales};
    const slip::LinePass pass = slip::DEN_SALS(valuesOf(rows));
    apply(rows, pass);
    const QList<int> &overflowRows = pass.overflowRows;

    const auto &row = rows[kTestRow - 1];
    QCOMPARE(row.qty, expectedQty);
    QCOMPARE(row.price, expectedPrice);
    QCOMPARE(row.sales, expectedSales);
    QCOMPARE(overflowRows, overflow ? QList<int>{kTestRow} : QList<int>{});
    for (int i = 1; i <= slip::kRows; ++i) {
        if (i != kTestRow)
            QCOMPARE(rows[static_cast<std::size_t>(i - 1)].sales, u"2"_s);
    }
}

void TestSlipCalc::restoredPass_data()
{
    addLinePassColumns();
    addCommonLinePassRows();
    QTest::newRow("zero quantity with a price keeps both as stored")
        << u"0"_s << u"500"_s << u"300"_s << u"0"_s << u"500"_s << u"300"_s << false;
    QTest::newRow("empty quantity with a price keeps both as stored")
        << QString() << u"500"_s << QString() << QString() << u"500"_s << QString() << false;
    QTest::newRow("zero and zero keep a stale amount")
        << u"0"_s << u"0"_s << u"300"_s << u"0"_s << u"0"_s << u"300"_s << false;
    QTest::newRow("an empty row stays empty")
        << QString() << QString() << QString() << QString() << QString() << QString() << false;
    QTest::newRow("a stale ten-digit amount is not shown")
        << u"0"_s << u"0"_s << u"1000000000"_s << u"0"_s << u"0"_s << QString() << true;
    QTest::newRow("a stale ten-digit amount beside a price is not shown")
        << u"0"_s << u"5"_s << u"1000000000"_s << u"0"_s << u"5"_s << QString() << true;
}

void TestSlipCalc::restoredPass()
{
    QFETCH(QString, qty);
    QFETCH(QString, price);
    QFETCH(QString, sales);
    QFETCH(QString, expectedQty);
    QFETCH(QString, expectedPrice);
    QFETCH(QString, expectedSales);
    QFETCH(bool, overflow);

    TextRows rows = sentinelRows(kTestRow);
    rows[kTestRow - 1] = {qty, price, sales};
    const slip::LinePass pass = slip::RestoredLinePass(valuesOf(rows));
    apply(rows, pass);

    const auto &row = rows[kTestRow - 1];
    QCOMPARE(row.qty, expectedQty);
    QCOMPARE(row.price, expectedPrice);
    QCOMPARE(row.sales, expectedSales);
    QCOMPARE(pass.overflowRows, overflow ? QList<int>{kTestRow} : QList<int>{});
    for (int i = 1; i <= slip::kRows; ++i) {
        if (i != kTestRow)
            QCOMPARE(rows[static_cast<std::size_t>(i - 1)].sales, u"2"_s);
    }
}

void TestSlipCalc::unprintedRows_data()
{
    QTest::addColumn<QStringList>("qty");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<QString>("message");
    QTest::newRow("quantities in the printed rows only are fine")
        << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"0"_s, QString()} << QList<int>{} << QString();
    QTest::newRow("a quantity in row 5, the first row not printed")
        << QStringList{u"1"_s, QString(), QString(), QString(), u"1"_s} << QList<int>{5}
        << u"5行目に数量が入っていますが、伝票に印刷されるのは4行目までです。\n"
           u"5行目以降は印刷されないため、伝票に並ぶ明細を足しても税込合計の金額と合いません。"_s;
    QTest::newRow("quantities in rows 6 and 10, a negative one included")
        << QStringList{QString(), QString(), QString(), QString(), QString(),
                       u"-2"_s,   u"0"_s,    u"-"_s,    QString(), u"3"_s}
        << QList<int>{6, 10}
        << u"6行目、10行目に数量が入っていますが、伝票に印刷されるのは4行目までです。\n"
           u"5行目以降は印刷されないため、伝票に並ぶ明細を足しても税込合計の金額と合いません。"_s;
    QTest::newRow("a quantity too large to read counts")
        << QStringList{QString(), QString(), QString(), QString(),
                       QString(), QString(), QString(), u"99999999999999999999"_s}
        << QList<int>{8}
        << u"8行目に数量が入っていますが、伝票に印刷されるのは4行目までです。\n"
           u"5行目以降は印刷されないため、伝票に並ぶ明細を足しても税込合計の金額と合いません。"_s;
}

void TestSlipCalc::unprintedRows()
{
    QFETCH(QStringList, qty);
    QFETCH(QList<int>, expected);
    QFETCH(QString, message);
    const QList<int> rows = slip::UnprintedRowsWithQuantity(valuesOf(makeRows(qty, {}, {})), 4);
    QCOMPARE(rows, expected);
    if (!rows.isEmpty())
        QCOMPARE(slip::UnprintedRowsMessage(rows, 4), message);
}

void TestSlipCalc::editingPassReportsOverflowRowsInOrder()
{
    TextRows rows =
        makeRows({u"1"_s, u"500000000"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"999999999"_s},
                 {u"1"_s, u"2"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"2"_s}, {});
    const slip::LinePass pass = slip::DEN_SALS(valuesOf(rows));
    apply(rows, pass);
    QCOMPARE(pass.overflowRows, (QList<int>{2, 10}));
    QCOMPARE(rows[1].sales, QString());
    QCOMPARE(rows[9].sales, QString());
    QCOMPARE(rows[2].sales, u"1"_s);
}

void TestSlipCalc::printingPass_data()
{
    addLinePassColumns();
    addCommonLinePassRows();
    QTest::newRow("zero and zero empty a stale amount")
        << u"0"_s << u"0"_s << u"300"_s << u"0"_s << u"0"_s << QString() << false;
    QTest::newRow("an empty row stays empty")
        << QString() << QString() << QString() << QString() << QString() << QString() << false;
    QTest::newRow("a stale amount too large to read is emptied")
        << u"0"_s << u"0"_s << u"99999999999999999999"_s << u"0"_s << u"0"_s << QString() << false;
}

void TestSlipCalc::printingPass()
{
    QFETCH(QString, qty);
    QFETCH(QString, price);
    QFETCH(QString, sales);
    QFETCH(QString, expectedQty);
    QFETCH(QString, expectedPrice);
    QFETCH(QString, expectedSales);
    QFETCH(bool, overflow);

    TextRows rows = sentinelRows(kTestRow);
    rows[kTestRow - 1] = {qty, price, sales};
    QList<int> notified;
    const slip::LinePass pass = slip::DEN_SALS_2(valuesOf(rows), [&notified](int row) { notified.append(row); });
    apply(rows, pass);
    const QList<int> &overflowRows = pass.overflowRows;

    const auto &row = rows[kTestRow - 1];
    QCOMPARE(row.qty, expectedQty);
    QCOMPARE(row.price, expectedPrice);
    QCOMPARE(row.sales, expectedSales);
    QCOMPARE(overflowRows, overflow ? QList<int>{kTestRow} : QList<int>{});
    QCOMPARE(notified, QList<int>{});
}

void TestSlipCalc::printingPassNotifiesInRowOrderBeforeEmptying()
{
    TextRows rows = makeRows({u"1"_s, u"0"_s, u"1"_s, u"1"_s, QString(), u"1"_s, u"1"_s, u"1"_s, u"-"_s, u"1"_s},
                             {u"1"_s, u"500"_s, u"1"_s, u"1"_s, u"70"_s, u"1"_s, u"1"_s, u"1"_s, u"9"_s, u"1"_s},
                             {u"x"_s, u"500"_s, u"x"_s, u"x"_s, u"x"_s, u"x"_s, u"x"_s, u"x"_s, u"x"_s, u"x"_s});
    QList<int> notified;
    QStringList pricesSeen;
    const slip::LinePass pass = slip::DEN_SALS_2(valuesOf(rows), [&](int row) {
        notified.append(row);
        pricesSeen.append(rows[static_cast<std::size_t>(row - 1)].price);
    });
    apply(rows, pass);
    QCOMPARE(notified, (QList<int>{2, 5, 9}));
    QCOMPARE(pricesSeen, (QStringList{u"500"_s, u"70"_s, u"9"_s}));
    QCOMPARE(pass.overflowRows, QList<int>{});
    for (int row : {2, 5, 9}) {
        QCOMPARE(rows[static_cast<std::size_t>(row - 1)].price, QString());
        QCOMPARE(rows[static_cast<std::size_t>(row - 1)].sales, QString());
    }
    QCOMPARE(rows[0].sales, u"1"_s);
}

void TestSlipCalc::printingPassWithoutNotifier()
{
    TextRows rows = makeRows({u"0"_s}, {u"500"_s}, {u"500"_s});
    const slip::LinePass pass = slip::DEN_SALS_2(valuesOf(rows), {});
    apply(rows, pass);
    QCOMPARE(pass.overflowRows, QList<int>{});
    QCOMPARE(rows[0].price, QString());
    QCOMPARE(rows[0].sales, QString());
}

void TestSlipCalc::totals_data()
{
    QTest::addColumn<QStringList>("qty");
    QTest::addColumn<QStringList>("sales");
    QTest::addColumn<QString>("xTax");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("expected"); // sqty, ssal, stax, sttl
    QTest::addColumn<QStringList>("overflow");

    const QStringList none;
    const QString ssal = slip::kFieldSsal.toString();
    const QString sqty = slip::kFieldSqty.toString();
    const QString stax = slip::kFieldStax.toString();
    const QString sttl = slip::kFieldSttl.toString();
    const QStringList tenOnes = QStringList(10, u"1"_s);
    const QStringList tenHundreds = QStringList(10, u"100"_s);

    QTest::newRow("an empty table gives zeros")
        << none << none << u"0.05"_s << u"0"_s << QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s} << none;
    QTest::newRow("all ten rows count") << tenOnes << tenHundreds << u"0.05"_s << u"0"_s
                                        << QStringList{u"10"_s, u"1000"_s, u"50"_s, u"1050"_s} << none;
    QTest::newRow("rows five to ten count like the first four")
        << QStringList{u""_s, u""_s, u""_s, u""_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s, u"2"_s}
        << QStringList{u""_s, u""_s, u""_s, u""_s, u"100"_s, u"100"_s, u"100"_s, u"100"_s, u"100"_s, u"510"_s}
        << u"0.05"_s << u"1"_s << QStringList{u"7"_s, u"1010"_s, u"51"_s, u"1061"_s} << none;
    QTest::newRow("a negative line counts with its sign")
        << QStringList{u"3"_s, u"-2"_s} << QStringList{u"3600"_s, u"-1000"_s} << u"0.05"_s << u"0"_s
        << QStringList{u"1"_s, u"2600"_s, u"130"_s, u"2730"_s} << none;
    QTest::newRow("a negative total rounds away from zero")
        << QStringList{u"-1"_s} << QStringList{u"-1010"_s} << u"0.05"_s << u"1"_s
        << QStringList{u"-1"_s, u"-1010"_s, u"-51"_s, u"-1061"_s} << none;
    QTest::newRow("a stale amount counts as it stands")
        << QStringList{u"0"_s, u"2"_s} << QStringList{u"300"_s, u"1000"_s} << u"0.05"_s << u"0"_s
        << QStringList{u"2"_s, u"1300"_s, u"65"_s, u"1365"_s} << none;
    QTest::newRow("empty amounts and a lone minus count as zero")
        << QStringList{u"-"_s, u"3"_s} << QStringList{u""_s, u"-"_s} << u"0.05"_s << u"0"_s
        << QStringList{u"3"_s, u"0"_s, u"0"_s, u"0"_s} << none;
    QTest::newRow("code 3 gives no tax") << tenOnes << tenHundreds << u"0.05"_s << u"3"_s
                                         << QStringList{u"10"_s, u"1000"_s, u"0"_s, u"1000"_s} << none;
    QTest::newRow("an empty code gives no tax")
        << tenOnes << tenHundreds << u"0.05"_s << u""_s << QStringList{u"10"_s, u"1000"_s, u"0"_s, u"1000"_s} << none;
    QTest::newRow("a rate of 2.5 per cent") << tenOnes << tenHundreds << u"0.025"_s << u"0"_s
                                            << QStringList{u"10"_s, u"1000"_s, u"25"_s, u"1025"_s} << none;
    QTest::newRow("a rate that is not a number gives no tax")
        << tenOnes << tenHundreds << u"abc"_s << u"1"_s << QStringList{u"10"_s, u"1000"_s, u"0"_s, u"1000"_s} << none;
    QTest::newRow("nine nines fit in every total")
        << QStringList{u"999999999"_s} << QStringList{u"999999999"_s} << u"0"_s << u"0"_s
        << QStringList{u"999999999"_s, u"999999999"_s, u"0"_s, u"999999999"_s} << none;
    QTest::newRow("a ten-digit quantity total is not shown")
        << QStringList{u"999999999"_s, u"1"_s} << QStringList{u"1"_s} << u"0"_s << u"0"_s
        << QStringList{u""_s, u"1"_s, u"0"_s, u"1"_s} << QStringList{sqty};
    QTest::newRow("a ten-digit amount total is not shown")
        << none << QStringList{u"500000000"_s, u"500000000"_s} << u"0.05"_s << u"0"_s
        << QStringList{u"0"_s, u""_s, u"50000000"_s, u""_s} << QStringList{ssal, sttl};
    QTest::newRow("a total with tax of ten digits is not shown")
        << none << QStringList{u"999999999"_s} << u"0.05"_s << u"0"_s
        << QStringList{u"0"_s, u"999999999"_s, u"49999999"_s, u""_s} << QStringList{sttl};
    QTest::newRow("a ten-digit tax is not shown")
        << none << QStringList{u"100000000"_s} << u"10"_s << u"0"_s << QStringList{u"0"_s, u"100000000"_s, u""_s, u""_s}
        << QStringList{stax, sttl};
    QTest::newRow("an amount sum beyond the currency range is not shown")
        << none << QStringList(10, u"900000000000000"_s) << u"0.05"_s << u"0"_s
        << QStringList{u"0"_s, u""_s, u""_s, u""_s} << QStringList{ssal, stax, sttl};
    QTest::newRow("an amount too large to read is not counted as zero")
        << none << QStringList{u"99999999999999999999"_s, u"1"_s} << u"0.05"_s << u"0"_s
        << QStringList{u"0"_s, u""_s, u""_s, u""_s} << QStringList{ssal, stax, sttl};
    QTest::newRow("a quantity too large to read is not counted as zero")
        << QStringList{u"99999999999999999999"_s} << none << u"0.05"_s << u"0"_s
        << QStringList{u""_s, u"0"_s, u"0"_s, u"0"_s} << QStringList{sqty};
    QTest::newRow("a tax beyond the currency range is not shown")
        << none << QStringList{u"900000000000000"_s} << u"100000"_s << u"0"_s
        << QStringList{u"0"_s, u""_s, u""_s, u""_s} << QStringList{ssal, stax, sttl};
}

void TestSlipCalc::totals()
{
    QFETCH(QStringList, qty);
    QFETCH(QStringList, sales);
    QFETCH(QString, xTax);
    QFETCH(QString, code);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, overflow);

    // Prices are irrelevant to the totals; a sentinel shows they are not read.
    // The window reads the rate label leniently and the code through ParseRounding.
    const TextRows rows = makeRows(qty, QStringList(10, u"77"_s), sales);
    const slip::Totals totals = slip::DEN_SUM(valuesOf(rows), StrToCurrZero(xTax), slip::ParseRounding(code));
    QCOMPARE((QStringList{slip::FieldText(totals.sqty), slip::FieldText(totals.ssal), slip::FieldText(totals.stax),
                          slip::FieldText(totals.sttl)}),
             expected);
    QCOMPARE(totals.overflowFields, overflow);
}

void TestSlipCalc::messages_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("expected");
    QTest::newRow("row 1 price without quantity")
        << slip::RowPriceWithoutQtyMessage(1) << u"1行目　数量の入力がないので、単価を０にします"_s;
    QTest::newRow("row 3 price without quantity")
        << slip::RowPriceWithoutQtyMessage(3) << u"3行目　数量の入力がないので、単価を０にします"_s;
    QTest::newRow("row 10 price without quantity")
        << slip::RowPriceWithoutQtyMessage(10) << u"10行目　数量の入力がないので、単価を０にします"_s;
    QTest::newRow("row 3 amount too large")
        << slip::RowOverflowMessage(3) << u"3行目の金額が大きすぎます。９桁以内にしてください"_s;
    QTest::newRow("total with tax too large")
        << slip::TotalOverflowMessage(slip::TotalFieldCaption(slip::kFieldSttl.toString()))
        << u"税込合計が大きすぎます。９桁以内になるように明細を直してください"_s;
    QTest::newRow("caption of the quantity total")
        << slip::TotalFieldCaption(slip::kFieldSqty.toString()) << u"数量の合計"_s;
    QTest::newRow("caption of the amount total") << slip::TotalFieldCaption(slip::kFieldSsal.toString()) << u"合計"_s;
    QTest::newRow("caption of the tax") << slip::TotalFieldCaption(slip::kFieldStax.toString()) << u"消費税"_s;
    QTest::newRow("an unknown field keeps its name") << slip::TotalFieldCaption(u"Edit_Zip"_s) << u"Edit_Zip"_s;
}

void TestSlipCalc::messages()
{
    QFETCH(QString, message);
    QFETCH(QString, expected);
    QCOMPARE(message, expected);
}

QTEST_GUILESS_MAIN(TestSlipCalc)
#include "tst_slipcalc.moc"
