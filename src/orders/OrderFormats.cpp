// The known exports' headers, the field names and the remembered mappings.
#include "orders/OrderImport.h"

#include "orders/OrderNormalize.h"
#include "settings/ProfileFile.h"

#include <QCryptographicHash>
#include <QHash>
#include <algorithm>
#include <initializer_list>

using namespace Qt::StringLiterals;

namespace orders {

namespace {

struct FieldNames
{
    OrderField field;
    std::initializer_list<const char16_t *> names; // folded by FoldColumnName before matching
};

struct KnownExport
{
    const char16_t *name;
    // Columns only this export has: the header must hold one of them.
    std::initializer_list<const char16_t *> signature;
    std::initializer_list<FieldNames> fields;
    bool givenNameFirst = false;
    bool pricesIncludeTax = false;
    bool romanNamesGivenFirst = false;
};

// Every name is matched whole after folding, so 送付先住所 never takes
// 送付先住所都道府県, and the orderer's columns (注文者姓, 購入者…, Billing
// Name) are never the recipient's.
const KnownExport kRakuten{
    u"楽天 RMS 受注",
    {u"送付先住所都道府県", u"送付先住所郡市区", u"送付先姓"},
    {
        {OrderField::OrderId, {u"受注番号", u"注文番号"}},
        {OrderField::ZipCode, {u"送付先郵便番号1", u"送付先郵便番号"}},
        {OrderField::ZipCode2, {u"送付先郵便番号2"}},
        {OrderField::Prefecture, {u"送付先住所都道府県"}},
        {OrderField::City, {u"送付先住所郡市区"}},
        {OrderField::Street, {u"送付先住所それ以降の住所"}},
        {OrderField::FamilyName, {u"送付先姓"}},
        {OrderField::GivenName, {u"送付先名"}},
        {OrderField::Phone, {u"送付先電話番号1", u"送付先電話番号"}},
        {OrderField::Phone2, {u"送付先電話番号2"}},
        {OrderField::Phone3, {u"送付先電話番号3"}},
        {OrderField::ItemName, {u"商品名"}},
        {OrderField::UnitPrice, {u"単価"}},
        {OrderField::Quantity, {u"個数"}},
        {OrderField::TaxKind, {u"税込別"}},
        {OrderField::TaxRate, {u"税率"}},
        {OrderField::Shipping, {u"送料"}},
        // What the customer pays after points and coupons, which the slip
        // must ask for; else the total before them.
        {OrderField::Total, {u"請求金額", u"合計金額"}},
    },
};

const KnownExport kAmazon{
    u"Amazon 注文レポート",
    {u"ship-postal-code", u"recipient-name"},
    {
        {OrderField::OrderId, {u"order-id"}},
        {OrderField::ZipCode, {u"ship-postal-code"}},
        {OrderField::Prefecture, {u"ship-state"}},
        {OrderField::City, {u"ship-city"}},
        {OrderField::Street, {u"ship-address-1"}},
        {OrderField::Building, {u"ship-address-2", u"ship-address-3"}},
        {OrderField::FullName, {u"recipient-name"}},
        {OrderField::Phone, {u"ship-phone-number"}},
        {OrderField::ItemName, {u"product-name"}},
        {OrderField::Quantity, {u"quantity-purchased"}},
        {OrderField::LinePrice, {u"item-price"}},
        {OrderField::Shipping, {u"shipping-price"}},
    },
    false,
    true,
    true,
};

const KnownExport kShopify{
    u"Shopify",
    {u"Shipping Name", u"Lineitem name"},
    {
        {OrderField::OrderId, {u"Name"}},
        {OrderField::ZipCode, {u"Shipping Zip"}},
        {OrderField::Prefecture, {u"Shipping Province"}},
        {OrderField::City, {u"Shipping City"}},
        {OrderField::Street, {u"Shipping Address1"}},
        {OrderField::Building, {u"Shipping Address2"}},
        {OrderField::Company, {u"Shipping Company"}},
        {OrderField::FullName, {u"Shipping Name"}},
        {OrderField::Phone, {u"Shipping Phone"}},
        {OrderField::ItemName, {u"Lineitem name"}},
        {OrderField::Quantity, {u"Lineitem quantity"}},
        {OrderField::UnitPrice, {u"Lineitem price"}},
        {OrderField::Shipping, {u"Shipping"}},
        {OrderField::Total, {u"Total"}},
    },
    true,
    true,
};

// BASE and STORES write the same delivery columns; BASE calls the order 注文ID,
// STORES 注文番号.
const KnownExport kBaseStores{
    u"BASE / STORES",
    {u"氏(配送先)", u"住所(配送先)"},
    {
        {OrderField::OrderId, {u"注文ID", u"注文番号"}},
        {OrderField::ZipCode, {u"郵便番号(配送先)"}},
        {OrderField::Prefecture, {u"都道府県(配送先)"}},
        {OrderField::Street, {u"住所(配送先)"}},
        {OrderField::Building, {u"住所2(配送先)"}},
        {OrderField::FamilyName, {u"氏(配送先)"}},
        {OrderField::GivenName, {u"名(配送先)"}},
        {OrderField::Phone, {u"電話番号(配送先)"}},
        {OrderField::ItemName, {u"商品名"}},
        {OrderField::Quantity, {u"数量"}},
        {OrderField::UnitPrice, {u"価格"}},
        {OrderField::TaxRate, {u"税率"}},
        {OrderField::Shipping, {u"送料"}},
        {OrderField::Total, {u"合計金額"}},
    },
    false,
    true,
};

const KnownExport kColorMe{
    u"カラーミーショップ",
    {u"配送先 名前", u"配送先 都道府県名"},
    {
        {OrderField::OrderId, {u"受注番号", u"売上ID"}},
        {OrderField::ZipCode, {u"配送先 郵便番号"}},
        {OrderField::Prefecture, {u"配送先 都道府県名", u"配送先 都道府県"}},
        {OrderField::Street, {u"配送先 住所"}},
        {OrderField::FullName, {u"配送先 名前", u"配送先 氏名"}},
        {OrderField::Phone, {u"配送先 電話番号"}},
        {OrderField::ItemName, {u"商品名"}},
        {OrderField::UnitPrice, {u"販売価格", u"価格"}},
        {OrderField::Quantity, {u"数量", u"個数"}},
        {OrderField::Shipping, {u"送料"}},
        {OrderField::Total, {u"合計金額", u"請求金額"}},
    },
    false,
    true,
};

// Plain names of any other file, offered to the operator as a first mapping.
const KnownExport kPlainNames{
    u"",
    {},
    {
        {OrderField::OrderId, {u"注文番号", u"受注番号", u"注文ID", u"order id", u"order number"}},
        {OrderField::ZipCode, {u"郵便番号", u"送付先郵便番号", u"お届け先郵便番号", u"配送先郵便番号"}},
        {OrderField::Prefecture, {u"都道府県", u"送付先都道府県", u"お届け先都道府県", u"配送先都道府県"}},
        {OrderField::City, {u"市区町村", u"市区郡"}},
        {OrderField::Street, {u"住所", u"送付先住所", u"お届け先住所", u"配送先住所", u"住所1"}},
        {OrderField::Building, {u"建物名", u"住所2", u"マンション名"}},
        {OrderField::Company, {u"会社名"}},
        {OrderField::FullName, {u"氏名", u"名前", u"お名前", u"送付先氏名", u"お届け先氏名", u"お届け先名"}},
        {OrderField::FamilyName, {u"姓"}},
        {OrderField::GivenName, {u"名"}},
        {OrderField::Phone, {u"電話番号", u"電話", u"tel", u"送付先電話番号", u"お届け先電話番号"}},
        {OrderField::ItemName, {u"商品名", u"品名"}},
        {OrderField::Quantity, {u"数量", u"個数"}},
        {OrderField::UnitPrice, {u"単価", u"価格", u"販売価格"}},
        {OrderField::TaxRate, {u"税率"}},
        {OrderField::TaxKind, {u"税込別", u"税区分"}},
        {OrderField::Shipping, {u"送料"}},
        {OrderField::Total, {u"合計金額", u"合計", u"請求金額"}},
    },
};

ColumnMapping matchExport(const KnownExport &known, const QHash<QString, int> &columnOf)
{
    ColumnMapping m;
    for (const FieldNames &f : known.fields) {
        for (const char16_t *name : f.names) {
            const auto it = columnOf.constFind(FoldColumnName(QString::fromUtf16(name)));
            if (it != columnOf.constEnd() && !m.columns[f.field].contains(*it))
                m.columns[f.field].append(*it);
            // One column per field, but an export's extra address lines join.
            if (!m.columns.value(f.field).isEmpty() && f.field != OrderField::Building)
                break;
        }
        if (m.columns.value(f.field).isEmpty())
            m.columns.remove(f.field);
    }
    m.givenNameFirst = known.givenNameFirst;
    m.romanNamesGivenFirst = known.romanNamesGivenFirst;
    m.pricesIncludeTax = known.pricesIncludeTax;
    return m;
}

bool hasSignature(const KnownExport &known, const QHash<QString, int> &columnOf)
{
    for (const char16_t *name : known.signature) {
        if (columnOf.contains(FoldColumnName(QString::fromUtf16(name))))
            return true;
    }
    return false;
}

struct FieldInfo
{
    OrderField field;
    const char16_t *key;
    const char16_t *name;
};

const FieldInfo kFieldInfo[] = {
    {OrderField::OrderId, u"OrderId", u"注文番号"},
    {OrderField::ZipCode, u"ZipCode", u"郵便番号"},
    {OrderField::ZipCode2, u"ZipCode2", u"郵便番号（後半）"},
    {OrderField::Prefecture, u"Prefecture", u"都道府県"},
    {OrderField::City, u"City", u"市区町村"},
    {OrderField::Street, u"Street", u"町名・番地"},
    {OrderField::Building, u"Building", u"建物名"},
    {OrderField::Company, u"Company", u"会社名・部署名"},
    {OrderField::FullName, u"FullName", u"氏名"},
    {OrderField::FamilyName, u"FamilyName", u"姓"},
    {OrderField::GivenName, u"GivenName", u"名"},
    {OrderField::Phone, u"Phone", u"電話番号"},
    {OrderField::Phone2, u"Phone2", u"電話番号2"},
    {OrderField::Phone3, u"Phone3", u"電話番号3"},
    {OrderField::ItemName, u"ItemName", u"商品名"},
    {OrderField::Quantity, u"Quantity", u"数量"},
    {OrderField::UnitPrice, u"UnitPrice", u"単価"},
    {OrderField::LinePrice, u"LinePrice", u"金額（数量分）"},
    {OrderField::TaxRate, u"TaxRate", u"税率"},
    {OrderField::TaxKind, u"TaxKind", u"税込・税別"},
    {OrderField::Shipping, u"Shipping", u"送料"},
    {OrderField::Total, u"Total", u"合計金額"},
};
static_assert(std::size(kFieldInfo) == kOrderFieldCount);

QString headerKey(const QStringList &header)
{
    QStringList folded;
    folded.reserve(header.size());
    for (const QString &name : header)
        folded.append(FoldColumnName(name));
    const QByteArray hash = QCryptographicHash::hash(folded.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha1);
    return u"h"_s + QString::fromLatin1(hash.toHex().left(20));
}

} // namespace

QString OrderFieldName(OrderField field)
{
    return QString::fromUtf16(kFieldInfo[int(field)].name);
}

QString OrderFieldKey(OrderField field)
{
    return QString::fromUtf16(kFieldInfo[int(field)].key);
}

bool ColumnMapping::usable() const
{
    const bool address = has(OrderField::Prefecture) || has(OrderField::City) || has(OrderField::Street);
    const bool name = has(OrderField::FullName) || has(OrderField::FamilyName) || has(OrderField::GivenName);
    return has(OrderField::OrderId) && address && name;
}

ColumnMapping RecognizeHeader(const QStringList &header)
{
    QHash<QString, int> columnOf;
    for (int i = 0; i < header.size(); ++i) {
        const QString folded = FoldColumnName(header[i]);
        if (!folded.isEmpty() && !columnOf.contains(folded))
            columnOf.insert(folded, i);
    }
    // A name with a note in brackets after it (楽天's 「送料(-99999=無効値)」)
    // also answers to the name alone, unless another column has that name.
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        const qsizetype open = std::max(name.lastIndexOf(u'('), name.lastIndexOf(u'（'));
        if (open <= 0 || !(name.endsWith(u')') || name.endsWith(u'）')))
            continue;
        const QString folded = FoldColumnName(name.left(open));
        if (!folded.isEmpty() && !columnOf.contains(folded))
            columnOf.insert(folded, i);
    }
    for (const KnownExport *known : {&kRakuten, &kAmazon, &kShopify, &kBaseStores, &kColorMe}) {
        if (!hasSignature(*known, columnOf))
            continue;
        ColumnMapping m = matchExport(*known, columnOf);
        if (!m.usable())
            continue;
        m.formatName = QString::fromUtf16(known->name);
        if (known == &kBaseStores) {
            const bool base = columnOf.contains(FoldColumnName(u"注文ID"_s));
            const bool stores = columnOf.contains(FoldColumnName(u"注文番号"_s));
            if (base != stores)
                m.formatName = base ? u"BASE"_s : u"STORES"_s;
        }
        return m;
    }
    ColumnMapping proposal = matchExport(kPlainNames, columnOf);
    // A whole name wins over a lone 姓 or 名 column.
    if (proposal.has(OrderField::FullName)) {
        proposal.columns.remove(OrderField::FamilyName);
        proposal.columns.remove(OrderField::GivenName);
    }
    return proposal;
}

QString MappingSection()
{
    return u"vz_Vez_1import"_s;
}

// A remembered mapping is one line: the header's width, the flags, then
// 「Key:column+column」 per field, parts separated by '/':
//   n:12/given:0/tax:1/roman:0/OrderId:0/ZipCode:3+4/...
void RememberMapping(ProfileFile &settings, const QStringList &header, const ColumnMapping &mapping)
{
    QStringList parts{u"n:"_s + QString::number(header.size()),
                      u"given:"_s + (mapping.givenNameFirst ? u"1"_s : u"0"_s),
                      u"tax:"_s + (mapping.pricesIncludeTax ? u"1"_s : u"0"_s),
                      u"roman:"_s + (mapping.romanNamesGivenFirst ? u"1"_s : u"0"_s)};
    for (auto it = mapping.columns.cbegin(); it != mapping.columns.cend(); ++it) {
        if (it.value().isEmpty())
            continue;
        QStringList columns;
        for (int c : it.value())
            columns.append(QString::number(c));
        parts.append(OrderFieldKey(it.key()) + u':' + columns.join(u'+'));
    }
    settings.WriteString(MappingSection(), headerKey(header), parts.join(u'/'));
}

std::optional<ColumnMapping> RememberedMapping(const ProfileFile &settings, const QStringList &header)
{
    const QString value = settings.ReadString(MappingSection(), headerKey(header), QString());
    if (value.isEmpty())
        return std::nullopt;
    QHash<QString, OrderField> fieldOf;
    for (const FieldInfo &info : kFieldInfo)
        fieldOf.insert(QString::fromUtf16(info.key), info.field);
    ColumnMapping m;
    m.formatName = u"保存した対応"_s;
    bool width = false;
    for (const QString &part : value.split(u'/', Qt::SkipEmptyParts)) {
        const qsizetype colon = part.indexOf(u':');
        if (colon < 0)
            return std::nullopt;
        const QString key = part.left(colon);
        const QString rest = part.mid(colon + 1);
        if (key == u"n"_s) {
            width = rest == QString::number(header.size());
        } else if (key == u"given"_s) {
            m.givenNameFirst = rest == u"1"_s;
        } else if (key == u"roman"_s) {
            m.romanNamesGivenFirst = rest == u"1"_s;
        } else if (key == u"tax"_s) {
            m.pricesIncludeTax = rest == u"1"_s;
        } else if (fieldOf.contains(key)) {
            QList<int> columns;
            for (const QString &c : rest.split(u'+')) {
                bool ok = false;
                const int column = c.toInt(&ok);
                if (!ok || column < 0 || column >= header.size())
                    return std::nullopt;
                columns.append(column);
            }
            m.columns.insert(fieldOf.value(key), columns);
        }
    }
    if (!width)
        return std::nullopt;
    return m;
}

} // namespace orders
