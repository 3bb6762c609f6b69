#include "session/InvoiceContent.h"

#include "slip/SlipTax.h"

using namespace Qt::StringLiterals;

namespace session {

namespace {

// A number of a line with its integer part grouped: 「1,500」, 「2.5」.
QString grouped(Currency value)
{
    const QString text = NumberText(value);
    const qsizetype dot = text.indexOf(u'.');
    const Currency whole = StrToCurrZero(dot < 0 ? text : text.left(dot));
    QString head = slip::GroupedYen(whole);
    if (head == u"0"_s && text.startsWith(u'-'))
        head = u"-0"_s;
    return dot < 0 ? head : head + text.mid(dot);
}

QString yen(const std::optional<Currency> &value)
{
    return value ? u"¥"_s + slip::GroupedYen(*value) : u"―"_s;
}

QString percentText(Currency percent)
{
    return NumberText(percent) + u'%';
}

} // namespace

QString InvoiceSection()
{
    return u"Invoice"_s;
}

QString InvoiceNumberText(const QString &slipNo)
{
    return u"伝票番号　"_s + (slipNo.trimmed().isEmpty() ? u"1"_s : slipNo.trimmed());
}

InvoiceSheet InvoiceSheetOf(const SlipRecord &record, const SlipFigures &figures)
{
    InvoiceSheet s;
    const std::optional<QString> regNo = slip::InvoiceRegistrationNumber(record.invoiceRegNo);
    s.qualified = regNo && !regNo->isEmpty();
    // An unregistered seller may not issue a qualified invoice: the sheet is
    // then a delivery note.
    s.title = s.qualified ? u"適格請求書（納品書兼請求書）"_s : u"納品書"_s;
    s.dateText = u"発行日　"_s + record.slipDate.toString(u"yyyy年M月d日"_s);
    s.numberText = InvoiceNumberText(record.slipNo);

    const QString name = record.custo1.trimmed();
    s.recipientName = name.endsWith(u'様') || name.endsWith(u"御中"_s) ? name : name + u"　様"_s;
    if (!record.zip.trimmed().isEmpty())
        s.recipientAddress << u"〒"_s + record.zip.trimmed();
    for (const QString &l : {record.add1, record.add2, record.add3}) {
        if (!l.trimmed().isEmpty())
            s.recipientAddress << l.trimmed();
    }

    for (const QString &l :
         {record.myName, record.myZip.trimmed().isEmpty() ? QString() : u"〒"_s + record.myZip, record.myAdd1,
          record.myAdd2, record.myTel.trimmed().isEmpty() ? QString() : u"TEL "_s + record.myTel}) {
        if (!l.trimmed().isEmpty())
            s.issuer << l.trimmed();
    }
    if (s.qualified)
        s.issuer << u"登録番号 "_s + *regNo;

    // A reduced line is marked only where the reduced rate applies on the
    // slip's date, as on the slip.
    const bool reducedInForce = !record.taxReducedDate.isValid() || record.slipDate >= record.taxReducedDate;
    bool anyReduced = false;
    for (const SlipLine &l : record.lines) {
        const Currency qty = StrToCurrZero(l.qty);
        if (qty.isZero())
            continue;
        const bool reduced = reducedInForce && l.taxClass == 1;
        anyReduced = anyReduced || reduced;
        const QString item = l.item.trimmed().isEmpty() ? l.itemNo.trimmed() : l.item.trimmed();
        s.lines.append({reduced ? item + u'※' : item, grouped(qty), l.unit.trimmed(), grouped(StrToCurrZero(l.price)),
                        grouped(StrToCurrZero(l.sales))});
    }

    const bool included = figures.pricesIncludeTax;
    for (const slip::RateShare &share : figures.shares) {
        s.rateLines << percentText(share.percent) + u"対象 "_s + yen(share.subtotal) +
                           (included ? u"（内消費税 "_s : u"（消費税 "_s) + yen(share.tax) + u"）"_s;
        if (share.reduced && anyReduced)
            s.reducedNote = u"※は軽減税率（"_s + percentText(share.percent) + u"）対象です"_s;
    }
    s.subtotalText = (included ? u"小計（税込）　"_s : u"小計　"_s) + yen(figures.totals.ssal);
    s.taxText = (included ? u"内消費税　"_s : u"消費税　"_s) + yen(figures.totals.stax);
    s.totalText = u"合計　"_s + yen(figures.totals.sttl);
    s.paymentText = u"同封の払込取扱票でお支払いください　"_s + yen(figures.totals.sttl);
    return s;
}

} // namespace session
