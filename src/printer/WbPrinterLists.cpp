// The selected printer's capability lists in TWbPrinter: reading them into the
// cache (UpdateInfo), what tells the paper size and bin lists apart (Traits),
// their members' error texts (Texts) and the members over them.

#include "printer/WbPrinters.h"

// ---------------------------------------------------------------------------
// The paper size and bin lists: what tells them apart

struct TWbPrinter::ListTraits
{
    TWbPrintCap cap;
    TWbAvailInfo info;
    int DevMode::*current;
    QList<int> PrinterCapabilities::*numbers;
    QStringList PrinterCapabilities::*names;
    qsizetype nameUnits;
    // A printer may list one number more than once: the paper size index is
    // the first entry of the current number, the bin index the last.
    bool indexIsLastMatch;
    // The error of an index that has no entry, or an entry that has no index.
    void (*throwIndexError)(const QString &message);
};

// The texts of one member: its EWbPrinterNotSupported and EWbPrinterNoInfo
// messages and the message of its range or index error. Empty where the
// member raises no such error.
struct TWbPrinter::ListTexts
{
    QStringView notSupported;
    QStringView noInfo;
    QStringView failure;
};

namespace {
template <class Error> void Throw(const QString &message)
{
    throw Error(message);
}
} // namespace

const TWbPrinter::ListTraits &TWbPrinter::Traits(ListKind list)
{
    static constexpr ListTraits traits[] = {
        {wbPcPaperSize, wbAvPaperSize, &DevMode::dmPaperSize, &PrinterCapabilities::paperNumbers,
         &PrinterCapabilities::paperNames, 64, false, &Throw<EWBPrinterPaperSizeError>},
        {wbPcDefaultSource, wbAvBin, &DevMode::dmDefaultSource, &PrinterCapabilities::binNumbers,
         &PrinterCapabilities::binNames, 24, true, &Throw<EWbPrinterBinError>},
    };
    return traits[list];
}

const TWbPrinter::ListTexts &TWbPrinter::Texts(ListKind list, ListMember member)
{
    // The operator and the logs see these texts as they are, misspellings
    // included, so they are kept letter for letter. One row per ListMember
    // in its order, each with the paper size texts, then the bin texts.
    static constexpr ListTexts texts[][2] = {
        {{u"TWbPrinter.GetPaperSizeNumber: PaperSize is not Supported", {}, {}},
         {u"TWbPrinter.GetBinNumber: Bin is not Supported", {}, {}}},
        {{u"TWbPrinter.SetPaperSizeNumber: PaperSize is not Supported", {}, {}},
         {u"TWbPrinter.SetBinNumber: Bin is not Supported", {}, {}}},
        {{u"TWbPrinter.GetPaperSizeNames: PaperSize is not Supported",
          u"TWbPrinter.GetPaperSizeNames: No Papersize Info Available",
          {}},
         {u"TWbPrinter.GetBinNames: Bin is not Supported", u"TWbPrinter.GetBinNames: No Bin Info Available", {}}},
        {{u"TWbPrinter.GetNumPaperSize: PaperSize is not Supported",
          u"TWbPrinter.GetNumPaperSizes: No Papersize Info Available",
          {}},
         {u"TWbPrinter.GetNumBins: Bin is not Supported", u"TWbPrinter.GetNumBins: No Bin Info Available", {}}},
        {{u"TWbPrinter.GetPaperSizeNumber: PaperSize is not Supported",
          u"TWbPrinter.GetNumPaperSizeNumbers: No Papersize Info Available",
          u"TWbPrinter.GetPaperNumbers: Index is our of range"},
         {u"TWbPrinter.GetBunNumbers: Bin is not Supported", u"TWbPrinter.GetBinNumbers: No Bin Info Available",
          u"TWbPrinter.GetBunNumbers: Index is our of range"}},
        {{u"TWbPrinter.HasPaperNumber: PaperSize is not Supported",
          u"TWbPrinter.HasPapserSizeNumber: No PaperSize Info Available",
          {}},
         {u"TWbPrinter.SetBin: Bin is not Supported", u"TWbPrinter.HasBinNumber: No Bin Info Available", {}}},
        {{u"TWbPrinter.GetPaperSizeIndex: PaperSize is not Supported",
          u"TWbPrinter.GetPaperSizeIndex: No Papersize Info Available",
          u"TWbPrinter.GetPaperSizeIndex: Cannot Get Paper Index"},
         {u"TWbPrinter.GetBinIndex: Bin is not Supported", u"TWbPrinter.GetBinIndex: No Bin Info Available",
          u"TWbPrinter.GetBinIndex: Cannot Get Bin Index"}},
        {{u"TWbPrinter.SetPaperSizeIndex: PaperSize is not Supported",
          u"TWbPrinter.SetPaperSizeIndex: No Papersize Info Available",
          u"TWbPrinter:SetPaperSizeIndex: No such PaperSize Index"},
         {u"TWbPrinter.SetBinIndex: Bin is not Supported", u"TWbPrinter.SetBinIndex: No Bin Info Available",
          u"TWbPrinter:SetBinIndex: No such Bin Index"}},
    };
    return texts[int(member)][list];
}

// ---------------------------------------------------------------------------
// Reading the lists

void TWbPrinter::UpdateInfo()
{
    const int systemIndex = m_system->PrinterIndex();
    if (systemIndex == FIndex)
        return;
    FIndex = systemIndex;
    try {
        PrintCaps();
        FAvailInfos = {};
        const DeviceRecord r = LockDevice();
        const PrinterCapabilities caps = m_system->DeviceCapabilities(r.device, r.port, *r.devMode);

        for (const ListKind list : {PaperSizeList, BinList}) {
            const ListTraits &traits = Traits(list);
            m_lists[list].fill(caps.*traits.numbers, caps.*traits.names, traits.nameUnits);
            // Keywords count only when there is one for every entry.
            const QStringList &keywords = list == PaperSizeList ? caps.paperKeywords : caps.binKeywords;
            m_keywords[list] = keywords.size() == m_lists[list].count() ? keywords : QStringList();
            if (!m_lists[list].isEmpty())
                FAvailInfos |= traits.info;
        }

        m_resolutions.fill(caps.resolutions);
        if (!m_resolutions.isEmpty())
            FAvailInfos |= wbAvQuality;

        if (caps.maxCopies > 0) {
            FAvailInfos |= wbAvMaxCopies;
            FMaxCopies = caps.maxCopies;
        }
    } catch (...) {
        // A cache read half-way must be read again next time.
        FIndex = -1;
        throw;
    }
}

// ---------------------------------------------------------------------------
// Paper sizes and bins

const vuzo::CapabilityList<int> &TWbPrinter::CheckedList(ListKind list, ListMember member)
{
    const ListTexts &texts = Texts(list, member);
    RequireCap(Traits(list).cap, texts.notSupported.toString());
    RequireInfo(Traits(list).info, texts.noInfo.toString());
    return m_lists[list];
}

int TWbPrinter::CurrentNumber(ListKind list)
{
    RequireCap(Traits(list).cap, Texts(list, ListMember::GetNumber).notSupported.toString());
    return Settings().*Traits(list).current;
}

void TWbPrinter::SetCurrentNumber(ListKind list, int value)
{
    RequireCap(Traits(list).cap, Texts(list, ListMember::SetNumber).notSupported.toString());
    UpdateInfo();
    DevMode &dm = Settings();
    int &current = dm.*Traits(list).current;
    if (current == value)
        return;
    current = value;
    // A standard paper size ends a user-defined extent.
    if (list == PaperSizeList && value != DMPAPER_USER)
        dm.dmFields &= ~(DM_PAPERLENGTH | DM_PAPERWIDTH);
    FModified = true;
}

int TWbPrinter::NumberAt(ListKind list, int index)
{
    const std::optional<int> number = CheckedList(list, ListMember::NumberAt).at(index);
    if (!number)
        throw EWBPrinterRangeError(Texts(list, ListMember::NumberAt).failure.toString());
    return *number;
}

int TWbPrinter::CurrentIndex(ListKind list)
{
    const vuzo::CapabilityList<int> &entries = CheckedList(list, ListMember::GetIndex);
    const int current = Settings().*Traits(list).current;
    const std::optional<int> position =
        Traits(list).indexIsLastMatch ? entries.lastIndexOf(current) : entries.indexOf(current);
    if (!position)
        Traits(list).throwIndexError(Texts(list, ListMember::GetIndex).failure.toString());
    return *position;
}

void TWbPrinter::SetCurrentIndex(ListKind list, int value)
{
    const std::optional<int> number = CheckedList(list, ListMember::SetIndex).at(value);
    if (!number)
        Traits(list).throwIndexError(Texts(list, ListMember::SetIndex).failure.toString());
    SetCurrentNumber(list, *number);
}

QString TWbPrinter::CurrentKeyword(ListKind list)
{
    try {
        return m_keywords[list].value(CurrentIndex(list));
    } catch (const EWbPrinterNoPrinter &) {
        throw;
    } catch (const EWbPrinter &) {
        // Not supported, no list, or the setting is not in it: no keyword.
        return QString();
    }
}

bool TWbPrinter::SetCurrentKeyword(ListKind list, const QString &keyword)
{
    if (keyword.isEmpty())
        return false;
    CheckedList(list, ListMember::SetIndex);
    const qsizetype position = m_keywords[list].indexOf(keyword);
    if (position < 0)
        return false;
    SetCurrentIndex(list, int(position));
    return true;
}
