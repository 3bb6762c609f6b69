#include "transfer/Transfer.h"

#include "platform/TextUtil.h"

namespace transfer {

namespace {

// A slot keeps the first line offered to it; later offers are dropped.
struct Slot
{
    QString text;
    bool filled = false;

    void offer(const QString &line)
    {
        if (filled)
            return;
        text = line;
        filled = true;
    }
};

constexpr qsizetype kLongestNameLine = 6;

} // namespace

TransferResult BitBtn_1Transfer(const QStringList &pasteLines)
{
    TransferResult result;
    const QStringList compacted = Compact(pasteLines);
    if (compacted.isEmpty()) {
        result.noText = true;
        return result;
    }

    result.memoLines = SplitOneLine(RemoveLabels(compacted));

    QStringList l;
    l.reserve(kWorkingLines);
    for (const QString &line : std::as_const(result.memoLines))
        l.append(vuzo::Trim(line));

    Slot zip, tel, prefecture, address1, address2, name;

    // First pass: postal codes and telephone numbers come out before anything
    // is taken for an address or a name; surplus ones are dropped, not kept as
    // address lines.
    for (QString &line : l) {
        const QString verdict = ZipTelVerdict(line);
        if (verdict == QStringView(kVerdictZip)) {
            zip.offer(line);
            line.clear();
        } else if (verdict == QStringView(kVerdictTel)) {
            tel.offer(line);
            line.clear();
        }
    }

    // Second pass: a bare prefecture name, then address lines (with an address
    // word and longer than six characters), then the name (no address word, or
    // short). A short building line before the name therefore takes the name
    // slot.
    for (const QString &line : std::as_const(l)) {
        if (line.isEmpty())
            continue;
        if (IsPrefecture(line)) {
            prefecture.offer(line);
            continue;
        }
        if (AddressScore(line) == 0 || line.size() <= kLongestNameLine) {
            name.offer(line);
        } else if (!address1.filled) {
            address1.offer(line);
        } else {
            address2.offer(line);
        }
    }

    result.zip = ToHalfWidth(zip.text);
    result.add1 = vuzo::Trim(prefecture.text) + vuzo::Trim(address1.text);
    result.add2 = address2.text;
    result.custo1 = name.text;
    result.tel = ToHalfWidth(tel.text);
    return result;
}

} // namespace transfer
