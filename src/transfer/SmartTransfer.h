#pragma once
// The transfer that reads a whole pasted text: an order mail, a customer's
// reply, a gift order, a chat, a fax or postcard transcription, spreadsheet
// rows. It finds the recipient's block, recognises postal codes and telephone
// numbers however they are written, splits and joins the address lines and
// cleans the name. Plain functions; no state between calls.

#include "transfer/PostalLookup.h"

#include <QString>

namespace transfer {

// The six delivery fields of one person.
struct SmartParty
{
    QString zip, tel, add1, add2, add3, custo1;
    bool empty() const
    {
        return zip.isEmpty() && tel.isEmpty() && add1.isEmpty() && add2.isEmpty() && add3.isEmpty() && custo1.isEmpty();
    }
};

struct SmartTransferResult
{
    // True when the text holds nothing to transfer (only blanks, mail
    // addresses or web addresses): the caller tells the operator and leaves
    // the fields as they are.
    bool noText = false;
    // "NNN-NNNN" and a hyphenated telephone number in ASCII, or empty.
    QString zip, tel;
    // Prefecture to street number; building and room (or company and
    // department); what is left (様方, 気付, c/o, a company beside a building).
    QString add1, add2, add3;
    // Family and given name with one space between them where the text
    // separates them, without honorific, reading or brackets.
    QString custo1;
    // A plain-Japanese note for the operator (postal code and address
    // disagree, a name too long for its field), or empty.
    QString warning;
    // A plain-Japanese note for the guidance band (the text holds more than
    // one customer), or empty.
    QString guidance;
    // A gift's orderer (ご依頼主, 注文者) when the text names one with an
    // address besides the recipient, who fills the fields above; else empty.
    // The payer of a gift is often the orderer.
    SmartParty orderer;
};

// The guidance when a text holds several customers and the first was taken.
inline constexpr char16_t kSeveralCustomersGuidance[] =
    u"貼り付けたテキストには複数のお客様が含まれています。最初のお客様を転送しました"
    u"（複数のお客様の一覧は「一括印刷」で読み込めます）";

// The length of the name field; a longer name goes on over the address lines
// with a warning instead of being cut.
inline constexpr qsizetype kNameFieldLength = 80;

// Reads the whole text. postal may be null. Never throws; any text, however
// long or broken, gives a result in time linear in its size (only the first
// kSmartMaxLines lines, and the first kSmartMaxLineLength characters of each,
// are read).
SmartTransferResult SmartTransfer(const QString &text, const PostalLookup *postal = nullptr);

inline constexpr qsizetype kSmartMaxLines = 20000;
inline constexpr qsizetype kSmartMaxLineLength = 2000;

} // namespace transfer
