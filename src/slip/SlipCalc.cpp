#include "slip/SlipCalc.h"

#include "platform/TextUtil.h"

using namespace Qt::StringLiterals;

namespace slip {

namespace {

__extension__ typedef __int128 i128;

// Whether the text has the shape of a decimal number (optional blanks, sign,
// digits with at most one "."), whatever its size.
bool looksNumeric(const QString &text)
{
    const QString s = vuzo::Trim(text);
    qsizetype i = 0;
    if (i < s.size() && (s.at(i) == u'-' || s.at(i) == u'+'))
        ++i;
    bool digit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'.') {
            if (point)
                return false;
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            digit = true;
        } else {
            return false;
        }
    }
    return digit;
}

// Whether a value can be shown in its field.
bool shows(const FieldValue &value)
{
    return value && FitsField(*value);
}

enum class Pass
{
    Editing,
    BeforePrinting,
    Restoring
};

LinePass linePass(const Rows &rows, Pass pass, const std::function<void(int row)> &notify)
{
    LinePass result;
    for (int i = 0; i < kRows; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const RowValues &row = rows[index];
        RowUpdate &update = result.rows[index];
        const int rowNumber = i + 1;
        // nullopt stands for a number too large to read: not zero, value unknown.
        const bool qZero = row.qty && row.qty->isZero();
        const bool pZero = row.price && row.price->isZero();

        if (!qZero && !pZero) {
            std::optional<Currency> amount;
            if (row.qty && row.price)
                amount = Currency::multiply(*row.qty, *row.price);
            if (shows(amount)) {
                update.sales = RowUpdate::Amount::Set;
                update.amount = *amount;
            } else {
                update.sales = RowUpdate::Amount::Clear;
                result.overflowRows.append(rowNumber);
            }
        } else if (!qZero && pZero) {
            update.sales = RowUpdate::Amount::Clear;
        } else if (qZero && !pZero && pass != Pass::Restoring) {
            if (pass == Pass::BeforePrinting && notify)
                notify(rowNumber);
            update.clearPrice = true;
            update.sales = RowUpdate::Amount::Clear;
        } else if (pass == Pass::BeforePrinting) {
            update.sales = RowUpdate::Amount::Clear;
        } else if (!shows(row.sales)) {
            // A stale amount (restored from the settings file) is kept while
            // editing, but only if the field can show it. An empty field reads
            // as 0 and is kept as it is.
            update.sales = RowUpdate::Amount::Clear;
            result.overflowRows.append(rowNumber);
        }
    }
    return result;
}

} // namespace

FieldValue ReadFieldValue(const QString &text)
{
    if (const auto value = ParseCurrency(text))
        return value;
    if (looksNumeric(text))
        return std::nullopt;
    return Currency();
}

QString FieldText(const std::optional<Currency> &value)
{
    return value ? NumberText(*value) : QString();
}

bool FitsField(Currency value)
{
    return IntegerDigits(value) <= kMaxIntegerDigits;
}

TaxRate TAX_RATE_CHK(Currency oldPercent, Currency newPercent, const QDate &enforcement, const QDate &slipDate)
{
    // Dividing by 100 cannot fail or leave the range.
    const Currency oldRate = Currency::divide(oldPercent, 100).value_or(Currency());
    const Currency newRate = Currency::divide(newPercent, 100).value_or(Currency());
    const Currency rate = enforcement > slipDate ? oldRate : newRate;
    // The rate was divided by 100 and rounded, so times 100 stays in range.
    const Currency percent = Currency::multiply(rate, *Currency::fromInteger(100)).value_or(Currency());
    return TaxRate{rate, u"消費税 "_s + NumberText(percent) + u'%'};
}

LinePass DEN_SALS(const Rows &rows)
{
    return linePass(rows, Pass::Editing, {});
}

LinePass DEN_SALS_2(const Rows &rows, const std::function<void(int row)> &notify)
{
    return linePass(rows, Pass::BeforePrinting, notify);
}

LinePass RestoredLinePass(const Rows &rows)
{
    return linePass(rows, Pass::Restoring, {});
}

QList<int> UnprintedRowsWithQuantity(const Rows &rows, int printedRows)
{
    QList<int> unprinted;
    for (int n = printedRows + 1; n <= kRows; ++n) {
        const FieldValue &qty = rows[static_cast<std::size_t>(n - 1)].qty;
        // A quantity too large to read is not zero either.
        if (!qty || !qty->isZero())
            unprinted.append(n);
    }
    return unprinted;
}

QString UnprintedRowsMessage(const QList<int> &rows, int printedRows)
{
    QStringList names;
    for (int n : rows)
        names << QString::number(n) + u"行目"_s;
    const QString printed = QString::number(printedRows);
    const QString first = QString::number(printedRows + 1);
    return names.join(u'、') + u"に数量が入っていますが、伝票に印刷されるのは"_s + printed + u"行目までです。\n"_s +
           first + u"行目以降は印刷されないため、伝票に並ぶ明細を足しても税込合計の金額と合いません。"_s;
}

QString RowPriceWithoutQtyMessage(int row)
{
    return QString::number(row) + u"行目　数量の入力がないので、単価を０にします"_s;
}

Rounding ParseRounding(const QString &code)
{
    if (code == u"0")
        return Rounding::Truncate;
    if (code == u"1")
        return Rounding::HalfAwayFromZero;
    if (code == u"2")
        return Rounding::Up;
    return Rounding::NoTax;
}

std::optional<Currency> ConsumptionTax(Currency amountTotal, Currency rate, Rounding rounding)
{
    // What is added to the magnitude, in 1e-8 yen, before it is truncated to
    // whole yen.
    i128 addend = 0;
    switch (rounding) {
    case Rounding::Truncate: addend = 0; break;
    case Rounding::HalfAwayFromZero: addend = 50'000'000; break;
    case Rounding::Up: addend = 90'000'000; break;
    case Rounding::NoTax: return Currency();
    }

    // Amount and rate are both in 1/10000, so their product is in 1e-8 yen.
    // Both factors are below 2^63 in magnitude: the product and its magnitude
    // fit in 127 bits.
    const i128 product = i128(amountTotal.raw()) * rate.raw();
    const i128 magnitude = product < 0 ? -product : product;
    const i128 yen = (magnitude + addend) / 100'000'000;
    const i128 raw = (product < 0 ? -yen : yen) * Currency::Scale;
    if (raw > INT64_MAX || raw < INT64_MIN)
        return std::nullopt;
    return Currency::fromRaw(static_cast<int64_t>(raw));
}

Totals DEN_SUM(const Rows &rows, Currency rate, Rounding rounding)
{
    // nullopt from here on: a total that left the Currency range or counted a
    // figure too large to read.
    std::optional<Currency> qtyTotal = Currency();
    std::optional<Currency> amountTotal = Currency();
    for (const RowValues &row : rows) {
        if (qtyTotal)
            qtyTotal = row.qty ? Currency::add(*qtyTotal, *row.qty) : std::nullopt;
        if (amountTotal)
            amountTotal = row.sales ? Currency::add(*amountTotal, *row.sales) : std::nullopt;
    }
    std::optional<Currency> tax;
    if (amountTotal)
        tax = ConsumptionTax(*amountTotal, rate, rounding);
    std::optional<Currency> total;
    if (amountTotal && tax)
        total = Currency::add(*amountTotal, *tax);

    Totals totals;
    const auto put = [&totals](std::optional<Currency> &field, QStringView name, std::optional<Currency> value) {
        if (shows(value)) {
            field = value;
        } else {
            field.reset();
            totals.overflowFields.append(name.toString());
        }
    };
    put(totals.sqty, kFieldSqty, qtyTotal);
    put(totals.ssal, kFieldSsal, amountTotal);
    put(totals.stax, kFieldStax, tax);
    put(totals.sttl, kFieldSttl, total);
    return totals;
}

QString RowOverflowMessage(int row)
{
    return QString::number(row) + u"行目の金額が大きすぎます。９桁以内にしてください"_s;
}

QString TotalOverflowMessage(const QString &fieldCaption)
{
    return fieldCaption + u"が大きすぎます。９桁以内になるように明細を直してください"_s;
}

QString TotalFieldCaption(const QString &fieldName)
{
    if (fieldName == kFieldSqty)
        return u"数量の合計"_s;
    if (fieldName == kFieldSsal)
        return u"合計"_s;
    if (fieldName == kFieldStax)
        return u"消費税"_s;
    if (fieldName == kFieldSttl)
        return u"税込合計"_s;
    return fieldName;
}

} // namespace slip
