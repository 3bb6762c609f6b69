// The money of a slip record, apart from the window: the pass before
// printing, its notices and refusal, and the layout's inputs made from it.

#include "session/SlipComputation.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSlipComputation : public QObject
{
    Q_OBJECT

private:
    static session::SlipRecord Record()
    {
        session::SlipRecord r = session::DefaultSlipRecord();
        r.slipDate = QDate(2026, 12, 1);
        r.zip = u"739-0000"_s;
        r.custo1 = u"浜田　陽菜"_s;
        return r;
    }

private Q_SLOTS:
    void thePrintPassSetsAmountsAndTotals_data()
    {
        QTest::addColumn<QString>("rounding");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QString>("total");
        // 3 x 1,234 + 1 x 99 = 3,801; 10 % is 380.1 yen.
        QTest::newRow("truncated") << u"0"_s << u"380"_s << u"4181"_s;
        QTest::newRow("rounded half away") << u"1"_s << u"380"_s << u"4181"_s;
        QTest::newRow("rounded up") << u"2"_s << u"381"_s << u"4182"_s;
        QTest::newRow("no rounding code, no tax") << u"x"_s << u"0"_s << u"3801"_s;
    }
    void thePrintPassSetsAmountsAndTotals()
    {
        QFETCH(QString, rounding);
        QFETCH(QString, tax);
        QFETCH(QString, total);
        session::SlipRecord r = Record();
        r.rounding = rounding;
        r.lines[0] = {{}, u"干し柿"_s, u"3"_s, u"袋"_s, u"1234"_s, u"1"_s};
        r.lines[5] = {{}, u"送料"_s, u"1"_s, {}, u"99"_s, {}};
        const session::SlipFigures f = session::PrintPass(r, session::RateOf(r).rate);
        QCOMPARE(r.lines[0].sales, u"3702"_s);
        QCOMPARE(r.lines[5].sales, u"99"_s);
        const session::TotalTexts t = session::TotalTextsOf(f.totals);
        QCOMPARE(t.sqty, u"4"_s);
        QCOMPARE(t.ssal, u"3801"_s);
        QCOMPARE(t.stax, tax);
        QCOMPARE(t.sttl, total);
        QVERIFY(f.notices.isEmpty());
        QCOMPARE(f.refusal(), QString());
    }

    void aPriceWithoutQuantityIsToldAndEmptied()
    {
        session::SlipRecord r = Record();
        r.lines[2] = {{}, u"柚子"_s, u"0"_s, u"個"_s, u"150"_s, u"150"_s};
        QList<int> told;
        const session::SlipFigures f = session::PrintPass(r, session::RateOf(r).rate, [&](int row) { told << row; });
        QCOMPARE(told, QList<int>{3});
        QCOMPARE(f.notices, QStringList{slip::RowPriceWithoutQtyMessage(3)});
        QCOMPARE(r.lines[2].price, QString());
        QCOMPARE(r.lines[2].sales, QString());
    }

    // Lines restored at start-up are computed where they have a quantity; a
    // price without one stays as stored, for the pass before printing to tell.
    void restoredLinesKeepAPriceWithoutQuantity()
    {
        session::SlipRecord r = Record();
        r.lines[0] = {{}, u"梅干し"_s, u"4"_s, u"瓶"_s, u"850"_s, u"9"_s};
        r.lines[1] = {{}, u"昆布"_s, u"0"_s, u"袋"_s, u"420"_s, u"420"_s};
        const session::SlipFigures f = session::RestoredPass(r, session::RateOf(r).rate);
        QCOMPARE(r.lines[0].sales, u"3400"_s);
        QCOMPARE(r.lines[1].price, u"420"_s);
        QCOMPARE(r.lines[1].sales, u"420"_s);
        QVERIFY(f.notices.isEmpty());
        QCOMPARE(session::TotalTextsOf(f.totals).ssal, u"3820"_s);
        QCOMPARE(session::TotalTextsOf(f.totals).sttl, u"4202"_s);
    }

    void anAmountThatDoesNotFitRefusesThePrint()
    {
        session::SlipRecord r = Record();
        r.lines[1] = {{}, u"業務用"_s, u"100000"_s, {}, u"100000"_s, {}};
        const session::SlipFigures f = session::PrintPass(r, session::RateOf(r).rate);
        QCOMPARE(f.lineOverflow, QStringList{slip::RowOverflowMessage(2)});
        QCOMPARE(f.overflow, f.lineOverflow); // the emptied amount leaves totals that fit
        QVERIFY(f.refusal().endsWith(u"\n印刷できません。"_s));
        QCOMPARE(r.lines[1].sales, QString());
    }

    void theRateFollowsTheSlipDate()
    {
        session::SlipRecord r = Record();
        r.taxOld = u"5"_s;
        r.taxNew = u"10"_s;
        r.taxEnforDate = QDate(2026, 12, 1);
        QCOMPARE(NumberText(session::RateOf(r).rate), u"0.1"_s);
        r.slipDate = QDate(2026, 11, 30);
        QCOMPARE(NumberText(session::RateOf(r).rate), u"0.05"_s);
    }

    void theLayoutGetsTheFirstFourLines()
    {
        session::SlipRecord r = Record();
        r.lines[3] = {{}, u"栗"_s, u"2"_s, u"kg"_s, u"1500"_s, {}};
        r.lines[4] = {{}, u"五行目"_s, u"1"_s, {}, u"10"_s, {}};
        const session::SlipFigures f = session::PrintPass(r, session::RateOf(r).rate);
        const SlipInputs in = session::SlipInputsOf(r, f, PrintGeometry{300, 300, 4, -2});
        QCOMPARE(in.geometry.dpiX, 300);
        QCOMPARE(in.geometry.left, -2);
        QCOMPARE(in.zip, u"739-0000"_s);
        QCOMPARE(in.custo1, u"浜田　陽菜"_s);
        QCOMPARE(in.rows[3].item, u"栗"_s);
        QCOMPARE(NumberText(in.rows[3].sales), u"3000"_s);
        // Line 5 is in the total but not on the slip.
        QCOMPARE(in.sttl, u"3311"_s);
    }

    // Food at the reduced rate and shipping at the standard one: each rate's
    // tax is rounded once; a slip dated before the reduced rate's first day
    // taxes every line at the standard rate.
    void reducedLinesAreTaxedPerRate_data()
    {
        QTest::addColumn<QDate>("slipDate");
        QTest::addColumn<bool>("included");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QStringList>("shares");
        // 3 x 1,234 = 3,702 at 8 % is 296.16; 1 x 1,005 at 10 % is 100.5.
        QTest::newRow("tax added") << QDate(2026, 12, 1) << false << u"396"_s << u"5103"_s
                                   << QStringList{u"10%対象 1,005円　消費税 100円"_s,
                                                  u"8%対象 3,702円　消費税 296円"_s};
        // 3,702 x 8/108 is 274.2; 1,005 x 10/110 is 91.36.
        QTest::newRow("tax included") << QDate(2026, 12, 1) << true << u"365"_s << u"4707"_s
                                      << QStringList{u"10%対象 1,005円　内消費税 91円"_s,
                                                     u"8%対象 3,702円　内消費税 274円"_s};
        // Before 2019-10-01 both lines take the 8 % then in force.
        QTest::newRow("before the reduced rate")
            << QDate(2019, 9, 30) << false << u"376"_s << u"5083"_s << QStringList{u"8%対象 4,707円　消費税 376円"_s};
    }
    void reducedLinesAreTaxedPerRate()
    {
        QFETCH(QDate, slipDate);
        QFETCH(bool, included);
        QFETCH(QString, tax);
        QFETCH(QString, total);
        QFETCH(QStringList, shares);
        session::SlipRecord r = Record();
        r.slipDate = slipDate;
        r.pricesIncludeTax = included;
        r.lines[0] = {{}, u"干し柿"_s, u"3"_s, u"袋"_s, u"1234"_s, {}, 1};
        r.lines[1] = {{}, u"送料"_s, u"1"_s, {}, u"1005"_s, {}};
        const session::SlipFigures f = session::PrintPass(r, session::RateOf(r).rate);
        QCOMPARE(session::TotalTextsOf(f.totals).stax, tax);
        QCOMPARE(session::TotalTextsOf(f.totals).sttl, total);
        QStringList texts;
        for (const slip::RateShare &s : f.shares)
            texts << slip::RateShareText(s, f.pricesIncludeTax);
        QCOMPARE(texts, shares);
        const SlipInputs in = session::SlipInputsOf(r, f, PrintGeometry{300, 300, 0, 0});
        QCOMPARE(in.rows[0].item, slipDate.year() > 2019 ? u"干し柿※"_s : u"干し柿"_s);
        QCOMPARE(in.rows[1].item, u"送料"_s);
        QCOMPARE(in.pricesIncludeTax, included);
    }
};

QTEST_GUILESS_MAIN(TestSlipComputation)
#include "tst_slipcomputation.moc"
