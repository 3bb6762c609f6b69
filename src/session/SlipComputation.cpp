#include "session/SlipComputation.h"

#include "numedit/ZuNumModel.h"

using namespace Qt::StringLiterals;

namespace session {

namespace {

QString lineField(const QString &text)
{
    return zunum::CanonicalText(text, LineNumberFormat());
}

} // namespace

QStringList TotalOverflowNotices(const slip::Totals &totals)
{
    QStringList notices;
    for (const QString &field : totals.overflowFields)
        notices << slip::TotalOverflowMessage(slip::TotalFieldCaption(field));
    return notices;
}

QString SlipFigures::refusal() const
{
    return overflow.isEmpty() ? QString() : overflow.join(u'\n') + u"\n印刷できません。"_s;
}

slip::Rows RowsOf(const SlipRecord &record)
{
    slip::Rows rows;
    for (int n = 0; n < kLineRows; ++n) {
        const SlipLine &l = record.lines[n];
        rows[n] = {slip::ReadFieldValue(l.qty), slip::ReadFieldValue(l.price), slip::ReadFieldValue(l.sales)};
    }
    return rows;
}

QStringList ApplyLinePass(SlipRecord &record, const slip::LinePass &pass)
{
    for (int n = 0; n < kLineRows; ++n) {
        const slip::RowUpdate &update = pass.rows[n];
        SlipLine &l = record.lines[n];
        if (update.clearPrice)
            l.price.clear();
        switch (update.sales) {
        case slip::RowUpdate::Amount::Keep: break;
        case slip::RowUpdate::Amount::Clear: l.sales.clear(); break;
        case slip::RowUpdate::Amount::Set: l.sales = lineField(NumberText(update.amount)); break;
        }
    }
    QStringList notices;
    for (int row : pass.overflowRows)
        notices << slip::RowOverflowMessage(row);
    return notices;
}

slip::TaxRate RateOf(const SlipRecord &record)
{
    return slip::TAX_RATE_CHK(StrToCurrZero(record.taxOld), StrToCurrZero(record.taxNew), record.taxEnforDate,
                              record.slipDate);
}

slip::RowClasses ClassesOf(const SlipRecord &record)
{
    slip::RowClasses classes;
    for (int n = 0; n < kLineRows; ++n)
        classes[n] = record.lines[n].taxClass == 1 ? slip::TaxClass::Reduced : slip::TaxClass::Standard;
    return classes;
}

slip::SlipRates RatesOf(const SlipRecord &record, Currency standardRate)
{
    return slip::RatesInForce(slip::TaxRate{standardRate, {}}, StrToCurrZero(record.taxReduced), record.taxReducedDate,
                              record.slipDate);
}

slip::RateTotals RateTotalsOf(const SlipRecord &record, Currency standardRate)
{
    return slip::DEN_SUM_RATES(RowsOf(record), ClassesOf(record), RatesOf(record, standardRate),
                               slip::ParseRounding(record.rounding), record.pricesIncludeTax);
}

slip::Totals TotalsOf(const SlipRecord &record, Currency standardRate)
{
    return RateTotalsOf(record, standardRate).totals;
}

namespace {

void putTotals(SlipFigures &figures, const SlipRecord &record, Currency rate)
{
    slip::RateTotals totals = RateTotalsOf(record, rate);
    figures.totals = std::move(totals.totals);
    figures.shares = std::move(totals.shares);
    figures.hasReducedLine = totals.hasReducedLine;
    figures.pricesIncludeTax = totals.pricesIncludeTax;
    figures.overflow << TotalOverflowNotices(figures.totals);
}

} // namespace

TotalTexts TotalTextsOf(const slip::Totals &totals)
{
    return {lineField(slip::FieldText(totals.sqty)), lineField(slip::FieldText(totals.ssal)),
            lineField(slip::FieldText(totals.stax)), lineField(slip::FieldText(totals.sttl))};
}

SlipFigures RestoredPass(SlipRecord &record, Currency rate)
{
    SlipFigures figures;
    figures.lineOverflow = ApplyLinePass(record, slip::RestoredLinePass(RowsOf(record)));
    figures.overflow = figures.lineOverflow;
    putTotals(figures, record, rate);
    return figures;
}

SlipFigures PrintPass(SlipRecord &record, Currency rate, const std::function<void(int row)> &notify)
{
    SlipFigures figures;
    const slip::LinePass pass = slip::DEN_SALS_2(RowsOf(record), [&](int row) {
        figures.notices << slip::RowPriceWithoutQtyMessage(row);
        if (notify)
            notify(row);
    });
    figures.lineOverflow = ApplyLinePass(record, pass);
    figures.overflow = figures.lineOverflow;
    putTotals(figures, record, rate);
    return figures;
}

SlipInputs SlipInputsOf(const SlipRecord &record, const QString &totalText, const PrintGeometry &geometry)
{
    SlipInputs in;
    in.geometry = geometry;
    in.sttl = totalText;
    in.zip = record.zip;
    in.add1 = record.add1;
    in.add2 = record.add2;
    in.add3 = record.add3;
    in.custo1 = record.custo1;
    in.tel = record.tel;
    in.pricesIncludeTax = record.pricesIncludeTax;
    // A reduced-rate line is marked only when the reduced rate applies on the
    // slip's date; before it the line is taxed at the standard rate.
    const bool reducedInForce = !record.taxReducedDate.isValid() || record.slipDate >= record.taxReducedDate;
    // Line numbers are read leniently: text that is not a number counts as 0.
    for (int n = 0; n < 4; ++n) {
        const SlipLine &l = record.lines[n];
        const bool marked = reducedInForce && l.taxClass == 1 && !l.item.isEmpty();
        const QString item = marked ? l.item + u'※' : l.item;
        in.rows[n] = {item, l.unit, StrToCurrZero(l.qty), StrToCurrZero(l.price), StrToCurrZero(l.sales)};
    }
    return in;
}

SlipInputs SlipInputsOf(const SlipRecord &record, const SlipFigures &figures, const PrintGeometry &geometry)
{
    return SlipInputsOf(record, TotalTextsOf(figures.totals).sttl, geometry);
}

} // namespace session
