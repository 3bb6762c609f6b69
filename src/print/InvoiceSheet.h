#pragma once
// The delivery note and invoice (納品書兼請求書) that goes in the parcel with
// the payment slip, as the texts it shows. A registered seller's sheet is a
// qualified invoice: it names the issuer and the registration number, the
// date, the items with the reduced-rate ones marked, each rate's subtotal and
// tax, and the recipient. Without a registration number it is a plain 納品書.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

struct InvoiceLine
{
    QString item;   // the item name, 「※」 after it for a reduced-rate line
    QString qty;    // 「2」, grouped
    QString unit;   // 「袋」
    QString price;  // 「1,500」
    QString amount; // 「3,000」

    bool operator==(const InvoiceLine &) const = default;
};

struct InvoiceSheet
{
    QString title;                // 「適格請求書（納品書兼請求書）」 or 「納品書」
    QString dateText;             // 「発行日　2026年12月10日」
    QString numberText;           // 「伝票番号　12」
    QString recipientName;        // 「浜田　陽菜 様」
    QStringList recipientAddress; // 〒 line and the address lines, empty ones left out
    QStringList issuer;           // name, 〒 and address, telephone, 「登録番号 T…」
    QList<InvoiceLine> lines;     // every line with a quantity, in row order
    QStringList rateLines;        // 「10%対象 ¥4,500（消費税 ¥450）」, one per rate
    QString subtotalText;         // 「小計　¥7,500」
    QString taxText;              // 「消費税　¥690」 or 「内消費税　¥690」
    QString totalText;            // 「合計　¥8,190」
    QString reducedNote;          // 「※は軽減税率（8%）対象です」 when a reduced line exists
    QString paymentText;          // 「同封の払込取扱票でお支払いください　¥8,190」
    bool qualified = false;       // a registration number is on the sheet

    // The same sheet, as a reprint from the history must give.
    bool operator==(const InvoiceSheet &) const = default;
};
