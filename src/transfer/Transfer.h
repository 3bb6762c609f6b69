#pragma once
// The transfer of pasted address text into the delivery-address fields:
// compaction, label removal, one-line split, then two passes over the seven
// cleaned lines that fill the postal code, telephone, prefecture, address and
// name slots.

#include "transfer/Cleanup.h"
#include "transfer/Judgements.h"

#include <QString>
#include <QStringList>

namespace transfer {

struct TransferResult
{
    // True when nothing was left after compaction: the caller shows
    // "転送テキストがありません" and leaves the fields as they are; the paste
    // area is left empty.
    bool noText = false;
    // What the paste area shows afterwards: empty when noText, else seven lines
    // (the cleaned lines before the passes took anything out).
    QStringList memoLines;
    // Field values; add3 is always empty (the transfer clears it). zip and tel
    // are already half width.
    QString zip, add1, add2, add3, custo1, tel;
};

// The message shown when there is nothing to transfer.
inline constexpr char16_t kNoTextMessage[] = u"転送テキストがありません";

// The whole transfer for the paste area's lines. Never throws; any text gives
// a result.
TransferResult BitBtn_1Transfer(const QStringList &pasteLines);

} // namespace transfer
