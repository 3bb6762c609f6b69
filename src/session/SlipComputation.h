#pragma once
// The money of a slip record: the line passes over its ten lines, the totals
// and the consumption tax, and the layout's inputs made from a record, so any
// record (the window's, the one the settings file holds, later a batch's or
// the history's) can be drawn, previewed or printed the same way.
//
// The passes change the record's line texts as the window's fields change
// (an amount set or emptied, a price emptied) and return the figures and the
// notices the operator is told.

#include "print/SlipLayout.h"
#include "session/SlipRecord.h"
#include "slip/SlipCalc.h"
#include "slip/SlipTax.h"

#include <QStringList>
#include <functional>

namespace session {

// The figures of the totals pass and what the passes have to say.
struct SlipFigures
{
    slip::Totals totals;
    // The parts per rate (see slip::RateTotals), shown under the totals when
    // a line of the reduced class exists.
    QList<slip::RateShare> shares;
    bool hasReducedLine = false;
    bool pricesIncludeTax = false;
    // 「<row>行目　数量の入力がないので、単価を０にします」 for each such row of
    // the pass before printing, in row order.
    QStringList notices;
    // The figures that do not fit their field: line amounts first, in row
    // order, then the totals. Nothing may be printed while there is one.
    QStringList overflow;
    // The line amounts among them.
    QStringList lineOverflow;

    // The message that refuses the print ("…\n印刷できません。"), empty when
    // every figure fits.
    QString refusal() const;
};

// The numbers of the record's lines, as the passes take them.
slip::Rows RowsOf(const SlipRecord &record);

// Writes a line pass back into the record's lines; the line amounts that do
// not fit are returned as their notices.
QStringList ApplyLinePass(SlipRecord &record, const slip::LinePass &pass);

// The rate in force for the record's slip date, from its two rates and the
// enforcement date.
slip::TaxRate RateOf(const SlipRecord &record);

// The rate classes of the record's lines.
slip::RowClasses ClassesOf(const SlipRecord &record);

// The two rates in force on the record's slip date, given the standard one
// (the fraction, as slip::TaxRate::rate).
slip::SlipRates RatesOf(const SlipRecord &record, Currency standardRate);

// The totals of the record's lines, per rate, with the standard rate in force
// given (the fraction, as slip::TaxRate::rate), by the record's rounding code
// and price kind.
slip::RateTotals RateTotalsOf(const SlipRecord &record, Currency standardRate);
slip::Totals TotalsOf(const SlipRecord &record, Currency standardRate);

// The notices of the totals that do not fit their field, in field order.
QStringList TotalOverflowNotices(const slip::Totals &totals);

// The totals' field texts: quantity, amount, tax and total with tax, in
// LineNumberFormat (the empty text for a total that does not fit).
struct TotalTexts
{
    QString sqty, ssal, stax, sttl;
};
TotalTexts TotalTextsOf(const slip::Totals &totals);

// The pass over lines restored from the settings file, then the totals.
SlipFigures RestoredPass(SlipRecord &record, Currency rate);

// The pass before printing, then the totals. notify(row) is called for each
// row with a price but no quantity, in row order, before the record changes
// (the window shows the notice there and goes on when it is closed); the same
// notices are also returned.
SlipFigures PrintPass(SlipRecord &record, Currency rate, const std::function<void(int row)> &notify = {});

// The layout's inputs: the record's delivery address and first four lines
// (「※」 after the item name of a reduced-rate line), the price kind, the total
// as its field's text holds it, and the geometry.
SlipInputs SlipInputsOf(const SlipRecord &record, const QString &totalText, const PrintGeometry &geometry);
SlipInputs SlipInputsOf(const SlipRecord &record, const SlipFigures &figures, const PrintGeometry &geometry);

} // namespace session
