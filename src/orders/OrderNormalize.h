#pragma once
// The field writings of an order file made into the program's own: names,
// telephones, postal codes, prices, quantities and the tax columns. Plain
// functions used by OrderGrouper; each takes the text as the file wrote it.

#include <QString>
#include <QStringList>
#include <optional>

namespace orders {

// A column name folded for matching: NFKC, lower case, without blanks, the
// brackets （）() 「」 and the marks '_' '-' '・' ':'.
QString FoldColumnName(const QString &name);

// The name family name first with one blank between the parts: a blank run
// (full width included) becomes one blank, the honorific 様 goes.
// givenNameFirst swaps a whole name of two parts; romanGivenFirst swaps one
// in roman letters only.
QString NormalizeName(const QString &family, const QString &given, const QString &full, bool givenNameFirst,
                      bool romanGivenFirst = false);

// The telephone number with hyphens: parts (the number's groups in separate
// columns) joined with hyphens; one number keeps the groups its writer gave
// it, an ungrouped one is grouped by the numbering plan. +81 becomes 0 and a
// leading zero a spreadsheet dropped is restored. A text without digits is
// given back trimmed.
QString NormalizePhone(const QStringList &parts);

// 「NNN-NNNN」 from seven digits, six digits (a dropped leading zero) or two
// parts (3 + 4 digits, zeros a spreadsheet dropped restored); 〒 removed.
// Any other text is given back trimmed.
QString NormalizeZip(const QString &first, const QString &second = QString());

// Whole yen of a price as exports write it (「¥1,280」「1280.00」「1,280円」);
// nullopt for no whole number. An empty text is nullopt too.
std::optional<qint64> ParseYen(const QString &text);

// The rate class of a tax-rate column: 1 for the reduced rate (8 %, 0.08,
// 軽減), 0 otherwise.
int TaxClassOf(const QString &rate);

// Whether a tax-kind column says the prices include the tax: 税込 / 内税 / 0
// true, 税別 / 外税 / 1 false, nullopt for anything else.
std::optional<bool> PricesIncludeTaxOf(const QString &kind);

// The prefecture of a JIS X 0401 code as Shopify writes it (「JP-13」 →
// 東京都); any other text as given.
QString PrefectureOfCode(const QString &text);

// The address of an export's columns in one text: prefecture, city and
// street, a part left out when the next one repeats it (a city column of
// 「港区」 before a street of 「港区芝公園9-9」); an address in roman letters
// in its own order, street first, its parts parted by commas.
QString JoinAddress(const QString &prefecture, const QString &city, const QString &street);

} // namespace orders
