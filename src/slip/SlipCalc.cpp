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

// The value of a field text. Text that is not a number counts as 0; a number
// too large for Currency gives nullopt, so it is never mistaken for 0.
std::optional<Currency> readValue(const QString &text)
{
    if (const auto value = ParseCurrency(text))
        return value;
    if (looksNumeric(text))
        return std::nullopt;
    return Currency();
}

// The text of a figure for a field, or nullopt when it cannot be shown there.
std::optional<QString> fieldText(std::optional<Currency> value)
{
    if (!value || !FitsField(*value))
        return std::nullopt;
    return NumberText(*value);
}

enum class Pass
{
    Editing,
    BeforePrinting
};

QList<int> linePass(Rows &rows, Pass pass, const std::function<void(int row)> &notify)
{
    QList<int> overflowRows;
    for (int i = 0; i < kRows; ++i) {
        RowTexts &row = rows[static_cast<std::size_t>(i)];
        const int rowNumber = i + 1;
        // nullopt stands for a number too large to read: not zero, value unknown.
        const std::optional<Currency> q = readValue(row.qty);
        const std::optional<Currency> p = readValue(row.price);
        const bool qZero = q && q->isZero();
        const bool pZero = p && p->isZero();

        if (!qZero && !pZero) {
            std::optional<Currency> amount;
            if (q && p)
                amount = Currency::multiply(*q, *p);
            if (const auto text = fieldText(amount)) {
                row.sales = *text;
            } else {
                row.sales.clear();
                overflowRows.append(rowNumber);
            }
        } else if (!qZero && pZero) {
            row.sales.clear();
        } else if (qZero && !pZero) {
            if (pass == Pass::BeforePrinting && notify)
                notify(rowNumber);
            row.price.clear();
            row.sales.clear();
        } else if (pass == Pass::BeforePrinting) {
            row.sales.clear();
        } else if (!row.sales.isEmpty() && !fieldText(readValue(row.sales))) {
            // A stale amount (restored from the settings file) is kept while
            // editing, but only if the field can show it.
            row.sales.clear();
            overflowRows.append(rowNumber);
        }
    }
    return overflowRows;
}

} // namespace

bool FitsField(Currency value)
{
    return IntegerDigits(value) <= kMaxIntegerDigits;
}

TaxRate TAX_RATE_CHK(const QString &oldRateText, const QString &newRateText, const QDate &enforcement,
                     const QDate &slipDate)
{
    // Dividing by 100 cannot fail or leave the range.
    const Currency oldRate = Currency::divide(StrToCurrZero(oldRateText), 100).value_or(Currency());
    const Currency newRate = Currency::divide(StrToCurrZero(newRateText), 100).value_or(Currency());
    const Currency rate = enforcement > slipDate ? oldRate : newRate;
    // The rate was divided by 100 and rounded, so times 100 stays in range.
    const Currency percent = Currency::multiply(rate, *Currency::fromInteger(100)).value_or(Currency());
    return TaxRate{NumberText(rate), u"消費税 "_s + NumberText(percent) + u'%'};
}

QList<int> DEN_SALS(Rows &rows)
{
    return linePass(rows, Pass::Editing, {});
}

QList<int> DEN_SALS_2(Rows &rows, const std::function<void(int row)> &notify)
{
    return linePass(rows, Pass::BeforePrinting, notify);
}

QString RowPriceWithoutQtyMessage(int row)
{
    return QString::number(row) + u"行目　数量の入力がないので、単価を０にします"_s;
}

std::optional<Currency> ConsumptionTax(Currency amountTotal, Currency rate, const QString &roundingCode)
{
    i128 addend;
    if (roundingCode == u"0")
        addend = 0;
    else if (roundingCode == u"1")
        addend = 50'000'000;
    else if (roundingCode == u"2")
        addend = 90'000'000;
    else
        return Currency();

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

Totals DEN_SUM(const Rows &rows, const QString &xTaxText, const QString &roundingCode)
{
    std::optional<Currency> qtyTotal = Currency();
    std::optional<Currency> amountTotal = Currency();
    for (const RowTexts &row : rows) {
        if (qtyTotal) {
            const auto q = readValue(row.qty);
            qtyTotal = q ? Currency::add(*qtyTotal, *q) : std::nullopt;
        }
        if (amountTotal) {
            const auto a = readValue(row.sales);
            amountTotal = a ? Currency::add(*amountTotal, *a) : std::nullopt;
        }
    }
    const std::optional<Currency> rate = readValue(xTaxText);
    std::optional<Currency> tax;
    if (amountTotal && rate)
        tax = ConsumptionTax(*amountTotal, *rate, roundingCode);
    std::optional<Currency> total;
    if (amountTotal && tax)
        total = Currency::add(*amountTotal, *tax);

    Totals totals;
    const auto put = [&totals](QString &field, QStringView name, std::optional<Currency> value) {
        if (const auto text = fieldText(value)) {
            field = *text;
        } else {
            field.clear();
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
