// The grouping of an order file's rows into orders and the making of each
// order's slip fields.
#include "orders/OrderImport.h"
#include "orders/OrderNormalize.h"

#include "transfer/PhoneNumbers.h"
#include "transfer/SmartTransfer.h"

#include <QHash>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace orders {

namespace {

// The fields given once per order; the others are per row (the lines).
constexpr OrderField kOrderFields[] = {
    OrderField::ZipCode,  OrderField::ZipCode2, OrderField::Prefecture, OrderField::City,       OrderField::Street,
    OrderField::Building, OrderField::Company,  OrderField::FullName,   OrderField::FamilyName, OrderField::GivenName,
    OrderField::Phone,    OrderField::Phone2,   OrderField::Phone3,     OrderField::TaxKind,    OrderField::Total,
};
constexpr int kOrderFieldSlots = int(std::size(kOrderFields));

// Fields whose columns are joined without a blank (the parts of a code or a
// number, or of an address written in pieces).
bool joinsTight(OrderField field)
{
    switch (field) {
    case OrderField::ZipCode:
    case OrderField::ZipCode2:
    case OrderField::Prefecture:
    case OrderField::City:
    case OrderField::Phone:
    case OrderField::Phone2:
    case OrderField::Phone3:
    case OrderField::Quantity:
    case OrderField::UnitPrice:
    case OrderField::LinePrice:
    case OrderField::Shipping:
    case OrderField::Total: return true;
    default: return false;
    }
}

struct RawLine
{
    QString item, qty, unitPrice, linePrice, taxRate;
};

struct Pending
{
    QString orderId;
    qint64 firstLine = 0;
    int rowCount = 0;
    QString fields[kOrderFieldSlots];
    QString zipKey, addressKey; // the first row's code and address, to compare later rows with
    bool zipDiffers = false, addressDiffers = false;
    QList<RawLine> lines;
    int lineCount = 0;
    qint64 shippingSum = 0;
    bool shippingSeen = false;
    QString shippingText; // a shipping charge that is no number
};

// An address compared regardless of width, dashes and blanks.
QString addressKey(const QString &text)
{
    QString key = transfer::FoldForNumbers(text.normalized(QString::NormalizationForm_KC));
    key.removeIf([](QChar c) { return c.isSpace() || c == u'-'; });
    return key;
}

// Whether lines holds every character of text as often (in any order: the
// split may move a company after a building).
bool holdsAll(QString lines, QString text)
{
    std::sort(lines.begin(), lines.end());
    std::sort(text.begin(), text.end());
    return std::includes(lines.cbegin(), lines.cend(), text.cbegin(), text.cend());
}

QString displayItem(const QString &item)
{
    return item.isEmpty() ? u"（商品名なし）"_s : item;
}

} // namespace

struct OrderGrouper::Private
{
    ColumnMapping mapping;
    ImportOptions options;
    QHash<QString, int> indexOf;
    QList<Pending> pending;
    QList<qint64> noId;
    qint64 noIdCount = 0;

    QString value(const CsvRow &row, OrderField field) const
    {
        const QList<int> columns = mapping.columns.value(field);
        QStringList parts;
        for (int c : columns) {
            if (c >= 0 && c < row.fields.size()) {
                const QString v = row.fields[c].trimmed();
                if (!v.isEmpty())
                    parts.append(v);
            }
        }
        return parts.join(joinsTight(field) ? QString() : u" "_s);
    }

    ImportedOrder finish(Pending &p) const;
};

OrderGrouper::OrderGrouper(const ColumnMapping &mapping, const ImportOptions &options) : d(std::make_shared<Private>())
{
    d->mapping = mapping;
    d->options = options;
}

bool OrderGrouper::add(const CsvRow &row)
{
    const QString id = d->value(row, OrderField::OrderId);
    if (id.isEmpty()) {
        if (d->noIdCount++ < kMaxProblems)
            d->noId.append(row.line);
        return true;
    }
    auto it = d->indexOf.constFind(id);
    if (it == d->indexOf.constEnd()) {
        if (d->pending.size() >= kMaxOrders)
            return false;
        it = d->indexOf.insert(id, int(d->pending.size()));
        Pending p;
        p.orderId = id;
        p.firstLine = row.line;
        d->pending.append(std::move(p));
    }
    Pending &p = d->pending[*it];
    ++p.rowCount;

    QString values[kOrderFieldSlots];
    for (int i = 0; i < kOrderFieldSlots; ++i) {
        values[i] = d->value(row, kOrderFields[i]);
        if (p.fields[i].isEmpty())
            p.fields[i] = values[i];
    }
    // A later row that writes a different code or address is reported.
    const QString zipKey = values[0] + u'-' + values[1];
    QString addressKey;
    for (int i = 2; i <= 5; ++i)
        addressKey += values[i];
    if (zipKey != u"-"_s) {
        if (p.zipKey.isEmpty())
            p.zipKey = zipKey;
        else if (p.zipKey != zipKey)
            p.zipDiffers = true;
    }
    if (!addressKey.isEmpty()) {
        if (p.addressKey.isEmpty())
            p.addressKey = addressKey;
        else if (FoldColumnName(p.addressKey) != FoldColumnName(addressKey))
            p.addressDiffers = true;
    }

    // Amazon gives each row's shipping; the carts repeat the order's on
    // every row. An export with the price of the row's items together is
    // taken to give its shipping by row as well, and the rows' charges add up.
    const QString shipping = d->value(row, OrderField::Shipping);
    if (!shipping.isEmpty()) {
        const std::optional<qint64> yen = ParseYen(shipping);
        const bool perRow = d->mapping.has(OrderField::LinePrice);
        if (!yen) {
            if (p.shippingText.isEmpty())
                p.shippingText = shipping;
        } else if (perRow) {
            p.shippingSum += *yen;
            p.shippingSeen = true;
        } else if (!p.shippingSeen) {
            p.shippingSum = *yen;
            p.shippingSeen = true;
        }
    }

    RawLine line{d->value(row, OrderField::ItemName), d->value(row, OrderField::Quantity),
                 d->value(row, OrderField::UnitPrice), d->value(row, OrderField::LinePrice),
                 d->value(row, OrderField::TaxRate)};
    if (!line.item.isEmpty() || !line.unitPrice.isEmpty() || !line.linePrice.isEmpty()) {
        ++p.lineCount;
        if (p.lines.size() < kMaxKeptLines)
            p.lines.append(std::move(line));
    }
    return true;
}

ImportedOrder OrderGrouper::Private::finish(Pending &p) const
{
    const auto field = [&p](OrderField f) -> const QString & {
        for (int i = 0; i < kOrderFieldSlots; ++i) {
            if (kOrderFields[i] == f)
                return p.fields[i];
        }
        Q_UNREACHABLE();
    };
    ImportedOrder o;
    o.orderId = p.orderId;
    o.firstLine = p.firstLine;
    o.rowCount = p.rowCount;
    o.custo1 = NormalizeName(field(OrderField::FamilyName), field(OrderField::GivenName), field(OrderField::FullName),
                             mapping.givenNameFirst, mapping.romanNamesGivenFirst);
    o.tel = NormalizePhone({field(OrderField::Phone), field(OrderField::Phone2), field(OrderField::Phone3)});
    o.zip = NormalizeZip(field(OrderField::ZipCode), field(OrderField::ZipCode2));

    // The address is split as the text transfer splits a pasted one, from a
    // small labelled text, so both give the same three lines.
    const QString address = JoinAddress(PrefectureOfCode(field(OrderField::Prefecture)), field(OrderField::City),
                                        field(OrderField::Street));
    // An address in roman letters that the dictionary wrote in Japanese
    // keeps none of its letters, and needs none.
    const auto romanWritten = [&address](const QString &line1) {
        return std::all_of(address.begin(), address.end(), [](QChar c) { return c.unicode() < 0x80; }) &&
               !line1.isEmpty() && line1.front().unicode() >= 0x3000;
    };
    if (!address.isEmpty()) {
        QString text;
        if (!o.zip.isEmpty())
            text += u"〒"_s + o.zip + u'\n';
        text += u"住所："_s + address + u'\n';
        const transfer::SmartTransferResult r = transfer::SmartTransfer(text, options.postal);
        o.add1 = r.add1;
        o.add2 = r.add2;
        o.add3 = r.add3;
        // The text has no name line, so a name the transfer finds is the
        // address's last words (a 様方 written without 様方): they stay.
        if (!r.custo1.isEmpty())
            o.add2 = o.add2.isEmpty() ? r.custo1 : o.add2 + u' ' + r.custo1;
        // Nothing of the file's address may go missing: when the lines do not
        // hold it all (beyond a prefecture the dictionary completed), it is
        // kept whole on the first line.
        if (!romanWritten(o.add1) && !holdsAll(addressKey(o.add1 + o.add2 + o.add3), addressKey(address))) {
            o.add1 = address;
            o.add2.clear();
            o.add3.clear();
        }
        if (o.zip.isEmpty())
            o.zip = r.zip;
    }
    const QString building = field(OrderField::Building);
    if (!building.isEmpty())
        o.add2 = o.add2.isEmpty() ? building : o.add2 + u' ' + building;
    const QString company = field(OrderField::Company);
    if (!company.isEmpty())
        o.add3 = o.add3.isEmpty() ? company : o.add3 + u' ' + company;

    // 楽天's 税込別 writes 0 for prices with the tax and 1 for prices without;
    // the carts write 税込 / 税別 (内税 / 外税).
    o.pricesIncludeTax = PricesIncludeTaxOf(field(OrderField::TaxKind)).value_or(mapping.pricesIncludeTax);
    if (const QString total = field(OrderField::Total); !total.isEmpty())
        o.fileTotal = ParseYen(total);

    for (const RawLine &raw : std::as_const(p.lines)) {
        ImportedLine line;
        line.item = raw.item;
        line.taxClass = TaxClassOf(raw.taxRate);
        const std::optional<qint64> qty = raw.qty.isEmpty() ? std::optional<qint64>(1) : ParseYen(raw.qty);
        const bool qtyOk = qty && *qty > 0 && !raw.qty.contains(u'¥') && !raw.qty.contains(u'円');
        if (qtyOk)
            line.qty = QString::number(*qty);
        else
            o.problems.append(u"商品「%1」の数量「%2」が数ではありません"_s.arg(displayItem(raw.item), raw.qty));
        if (!raw.unitPrice.isEmpty()) {
            const std::optional<qint64> yen = ParseYen(raw.unitPrice);
            if (yen && *yen >= 0)
                line.unitPrice = QString::number(*yen);
            else
                o.problems.append(
                    u"商品「%1」の単価「%2」が円単位の金額ではありません"_s.arg(displayItem(raw.item), raw.unitPrice));
        } else if (!raw.linePrice.isEmpty()) {
            const std::optional<qint64> yen = ParseYen(raw.linePrice);
            if (!yen || *yen < 0)
                o.problems.append(
                    u"商品「%1」の金額「%2」が円単位の金額ではありません"_s.arg(displayItem(raw.item), raw.linePrice));
            else if (qtyOk && *yen % *qty != 0)
                o.problems.append(u"商品「%1」の金額 %2 円が数量 %3 で割り切れません"_s.arg(displayItem(raw.item))
                                      .arg(*yen)
                                      .arg(*qty));
            else if (qtyOk)
                line.unitPrice = QString::number(*yen / *qty);
        }
        o.lines.append(line);
    }
    o.lineCount = p.lineCount;
    if (!p.shippingText.isEmpty())
        o.problems.append(u"送料「%1」が円単位の金額ではありません"_s.arg(p.shippingText));
    if (p.shippingSum > 0) {
        ++o.lineCount;
        if (o.lines.size() < kMaxKeptLines) {
            ImportedLine line;
            line.item = u"送料"_s;
            line.qty = u"1"_s;
            line.unitPrice = QString::number(p.shippingSum);
            line.shipping = true;
            o.lines.append(line);
        }
    }
    if (o.lineCount > o.lines.size())
        o.problems.append(
            u"明細が %1 行あります。読み込んだのは最初の %2 行です"_s.arg(o.lineCount).arg(o.lines.size()));
    if (p.zipDiffers)
        o.problems.append(u"行によって郵便番号が違います"_s);
    if (p.addressDiffers)
        o.problems.append(u"行によって住所が違います"_s);
    return o;
}

QList<ImportedOrder> OrderGrouper::finish()
{
    QList<ImportedOrder> orders;
    orders.reserve(d->pending.size());
    for (Pending &p : d->pending)
        orders.append(d->finish(p));
    d->pending.clear();
    d->indexOf.clear();
    return orders;
}

QList<qint64> OrderGrouper::rowsWithoutId() const
{
    return d->noId;
}

qint64 OrderGrouper::rowsWithoutIdCount() const
{
    return d->noIdCount;
}

} // namespace orders
