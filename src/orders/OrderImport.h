#pragma once
// The orders of a mall's or cart system's order file, one per slip.
//
// A known export is recognised by its header (RecognizeHeader): 楽天 RMS 受注,
// Amazon 注文レポート, Shopify, BASE, STORES and カラーミーショップ. Columns are
// matched loosely (full and half width alike, blanks, brackets and case
// ignored, a few names each), since malls rename them between versions. Any
// other file is mapped by the operator once (several columns may be joined
// into one field), and the mapping is remembered in the settings file for
// files with the same header.
//
// Rows are grouped by the order id (OrderGrouper); the rows of one order
// need not be next to each other. The order's fields are those of its first
// row that has them (Shopify gives them on the first row only). Items become
// sales lines; the export's shipping becomes a line 「送料」. Names are written
// family name first with one space; telephones and postal codes as the
// program writes them, with a leading zero a spreadsheet dropped restored;
// the address is split into the three address lines as the text transfer's
// 自動判別 splits a pasted address.

#include "orders/CsvReader.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class ProfileFile;

namespace transfer {
class PostalLookup;
}

namespace orders {

// What a column (or several joined) gives.
enum class OrderField
{
    OrderId,
    ZipCode, // the whole code, or its first part with ZipCode2 the second
    ZipCode2,
    Prefecture, // joined in this order into the address:
    City,       //   prefecture, city, street, building
    Street,
    Building,
    Company,  // a company or department: the third address line
    FullName, // the whole name; or FamilyName and GivenName
    FamilyName,
    GivenName,
    Phone, // the whole number, or its parts Phone, Phone2, Phone3
    Phone2,
    Phone3,
    ItemName,
    Quantity,
    UnitPrice, // the price of one item
    LinePrice, // the price of the row's items together (Amazon's item-price)
    TaxRate,   // 「8%」, 「10」, 「0.08」, 「軽減」: the line's rate class
    TaxKind,   // 税込 / 税別 of the row's prices
    Shipping,  // the order's shipping charge
    Total,     // the order's total as the export computes it
};
inline constexpr int kOrderFieldCount = int(OrderField::Total) + 1;

// The field's name as the mapping window shows it: 「注文番号」, 「郵便番号」, ….
QString OrderFieldName(OrderField field);
// The field's key in a remembered mapping: 「OrderId」, 「ZipCode」, ….
QString OrderFieldKey(OrderField field);

// Which columns (0-based, in the header's order) give each field.
struct ColumnMapping
{
    // The export's name as shown (「楽天 RMS 受注」, 「Amazon 注文レポート」,
    // 「Shopify」, 「BASE」, 「STORES」, 「カラーミーショップ」, 「保存した対応」),
    // empty for a file nobody has mapped.
    QString formatName;
    QMap<OrderField, QList<int>> columns;
    // The export writes names given name first (Shopify, Amazon in roman letters).
    bool givenNameFirst = false;
    // Only its names in roman letters are given name first (Amazon).
    bool romanNamesGivenFirst = false;
    // The export's prices include the tax when it has no TaxKind column.
    bool pricesIncludeTax = false;

    bool has(OrderField field) const { return !columns.value(field).isEmpty(); }
    // A mapping that can give slips: an order id, an address and a name.
    bool usable() const;
    bool operator==(const ColumnMapping &) const = default;
};

// The known export the header belongs to, or a mapping with an empty
// formatName when it is none of them.
ColumnMapping RecognizeHeader(const QStringList &header);

// The mapping remembered in the settings file for files with this header,
// or nullopt. Mappings are kept in the section MappingSection(), one key per
// header, so a file whose header changed is asked about again.
QString MappingSection();
std::optional<ColumnMapping> RememberedMapping(const ProfileFile &settings, const QStringList &header);
// Keeps the mapping for this header. Throws what ProfileFile's writes throw.
void RememberMapping(ProfileFile &settings, const QStringList &header, const ColumnMapping &mapping);

// One sales line of an order, its texts as the slip's fields take them.
struct ImportedLine
{
    QString item;
    QString qty;       // whole digits, 「2」
    QString unitPrice; // whole yen, digits only, 「1280」
    int taxClass = 0;  // 0 standard rate, 1 reduced rate
    bool shipping = false;
};

// The lines an order keeps; an order with more is reported by its line
// count, so a hostile file of one endless order stays small.
inline constexpr int kMaxKeptLines = 20;
// The orders one file may give; a file with more is refused.
inline constexpr int kMaxOrders = 10000;

struct ImportedOrder
{
    QString orderId;
    qint64 firstLine = 0; // the file's line of its first row
    int rowCount = 0;
    // The six delivery fields: 「NNN-NNNN」 (or the text as written when it
    // is no code), the three address lines, the name, the telephone.
    QString zip, add1, add2, add3, custo1, tel;
    QList<ImportedLine> lines; // the items in file order, then shipping
    int lineCount = 0;         // every line of the order, kept or not
    bool pricesIncludeTax = false;
    std::optional<qint64> fileTotal; // the export's total in yen, when it has one
    // What the file itself got wrong for this order, in Japanese: a price or
    // quantity that is no number, rows of the order that give different
    // addresses, lines beyond kMaxKeptLines.
    QStringList problems;
};

struct ImportOptions
{
    const transfer::PostalLookup *postal = nullptr; // for the address split; may be null
};

// Groups the rows of one file into orders.
class OrderGrouper
{
public:
    OrderGrouper(const ColumnMapping &mapping, const ImportOptions &options = {});
    // One data row of the file. False when the file gives more than
    // kMaxOrders orders (the row is not taken).
    bool add(const CsvRow &row);
    // The orders in the order their first rows came, each finished (fields
    // normalised, address split, lines complete).
    QList<ImportedOrder> finish();
    // Rows without an order id, by line (reported by the file's reading):
    // the first kMaxProblems of them, and the count of all.
    QList<qint64> rowsWithoutId() const;
    qint64 rowsWithoutIdCount() const;

private:
    struct Private;
    std::shared_ptr<Private> d;
};

// A whole order file read, recognised and grouped.
struct OrderFile
{
    QString path;
    // Why no order is given, in Japanese: the file is refused (CsvReader),
    // has more than kMaxOrders orders, or has no usable mapping (needsMapping).
    QString refusal;
    bool needsMapping = false; // no known export, no remembered mapping, none given
    TextEncoding encoding = TextEncoding::Auto;
    bool hadBom = false;
    QChar separator;
    QStringList header;
    ColumnMapping mapping;
    QStringList problems; // the file's rows: ragged, over-long, without an order id
    QList<ImportedOrder> orders;
};

struct ReadOptions
{
    TextEncoding encoding = TextEncoding::Auto;
    // The operator's mapping for this file; else a remembered one, else the
    // known export's.
    std::optional<ColumnMapping> mapping;
    // The settings file with the remembered mappings; may be null.
    const ProfileFile *settings = nullptr;
    ImportOptions import;
};

OrderFile ReadOrderFile(const QString &path, const ReadOptions &options = {});

} // namespace orders
