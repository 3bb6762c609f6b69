#include "printer/WbPrinters.h"
#include "printer/PwgNames.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <algorithm>

using namespace Qt::StringLiterals;

// ---------------------------------------------------------------------------
// TWbAllPrintersInfo

TWbAllPrintersInfo::TWbAllPrintersInfo(SystemPrinter &system)
{
    try {
        m_entries = system.EnumPrinters();
    } catch (const EWbPrinter &e) {
        m_entries.clear();
        m_unavailableMessage = e.message();
    }
}

TWbAllPrintersInfo::TWbAllPrintersInfo(QList<PrinterEntry> entries) : m_entries(std::move(entries)) {}

bool TWbAllPrintersInfo::Compare(const TWbAllPrintersInfo &another) const
{
    return Available() == another.Available() && m_entries == another.m_entries;
}

QString TWbAllPrintersInfo::GetName(int index) const
{
    return (index >= 0 && index < m_entries.size()) ? m_entries.at(index).name : QString();
}

uint32_t TWbAllPrintersInfo::GetAttributes(int index) const
{
    return (index >= 0 && index < m_entries.size()) ? m_entries.at(index).attributes : 0;
}

// ---------------------------------------------------------------------------
// Capabilities

uint32_t PrintCapFlag(TWbPrintCap cap)
{
    switch (cap) {
    case wbPcOrientation: return DM_ORIENTATION;
    case wbPcPaperSize: return DM_PAPERSIZE;
    case wbPcPaperlength: return DM_PAPERLENGTH;
    case wbPcPaperWidth: return DM_PAPERWIDTH;
    case wbPcScale: return DM_SCALE;
    case wbPcCopies: return DM_COPIES;
    case wbPcDefaultSource: return DM_DEFAULTSOURCE;
    case wbPcPrintQuality: return DM_PRINTQUALITY;
    case wbPcColor: return DM_COLOR;
    case wbPcDuplex: return DM_DUPLEX;
    case wbPcYResolution: return DM_YRESOLUTION;
    case wbPcTTOption: return DM_TTOPTION;
    case wbPcCollate: return DM_COLLATE;
    case wbPcFormName: return DM_FORMNAME;
    case wbPcLogPixels: return DM_LOGPIXELS;
    case wbPcMediaType: return DM_MEDIATYPE;
    case wbPcDitherType: return DM_DITHERTYPE;
    }
    return 0;
}

TWbPrintCaps TWbPrintCaps::FromFields(uint32_t dmFields)
{
    TWbPrintCaps caps;
    for (int c = wbPcOrientation; c <= wbPcDitherType; ++c) {
        const auto cap = static_cast<TWbPrintCap>(c);
        if (dmFields & PrintCapFlag(cap))
            caps.insert(cap);
    }
    return caps;
}

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
// The change watch: window activation and a timer both run the check.

namespace {

class ChangeWatch : public QObject
{
public:
    ChangeWatch(TWbPrinter *printer, QObject *window, int intervalMs) : m_printer(printer), m_window(window)
    {
        if (m_window)
            m_window->installEventFilter(this);
        m_timer.setInterval(qMax(100, intervalMs));
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
        m_timer.start();
    }
    ~ChangeWatch() override
    {
        if (m_window)
            m_window->removeEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::WindowActivate)
            check();
        return false; // the window handles the event as usual
    }

private:
    void check()
    {
        // The watch runs from the event loop, which no exception may cross;
        // a print system that cannot be reached is simply checked again next
        // time.
        try {
            m_printer->CheckSystemChange();
        } catch (const EVuzoError &) {
        }
    }

    TWbPrinter *m_printer;
    // The window may go before the watch does (a window closed first).
    QPointer<QObject> m_window;
    QTimer m_timer;
};

bool Hidden(const TWbAllPrintersInfo &info, int index)
{
    return (info.Attributes(index) & PRINTER_ATTRIBUTE_HIDDEN) != 0;
}

} // namespace

// ---------------------------------------------------------------------------
// TWbPrinter: list and selection

TWbPrinter::TWbPrinter(std::unique_ptr<SystemPrinter> system) : m_system(std::move(system))
{
    AllInfo = std::make_unique<TWbAllPrintersInfo>(*m_system);
    // The port list is read once now so that the first change check compares
    // against the ports at start, not against an empty list.
    if (AllInfo->Available()) {
        try {
            PortNames();
        } catch (const EVuzoError &) {
            FPortNames.clear();
        }
    }
}

TWbPrinter::~TWbPrinter()
{
    m_watch.reset();
}

void TWbPrinter::CheckNoPrinter()
{
    if (!AllInfo->Available()) {
        // The print system could not be reached when the snapshot was taken;
        // it may be up now.
        auto fresh = std::make_unique<TWbAllPrintersInfo>(*m_system);
        if (!fresh->Available()) {
            FIndex = -1;
            throw EWbPrinter(fresh->UnavailableMessage());
        }
        ReplaceSnapshot(std::move(fresh));
        if (FOnSystemChanged)
            FOnSystemChanged(this);
    }
    for (int i = 0; i < AllInfo->Count(); ++i) {
        if (!Hidden(*AllInfo, i))
            return;
    }
    FIndex = -1;
    throw EWbPrinterNoPrinter(u"TWbPrinter.CheckNoPrinter: No Printer"_s);
}

int TWbPrinter::Index()
{
    CheckNoPrinter();
    const int systemIndex = m_system->PrinterIndex();
    if (systemIndex == -1)
        return -1;
    if (systemIndex < AllInfo->Count() && Hidden(*AllInfo, systemIndex))
        throw EWbPrinterIllegalIndex(u"TWbPrinter.GetIndex: Printers.PrinterIndex is Illegal"_s);
    const QString device = m_system->GetPrinter().device;
    int position = -1;
    for (int i = 0; i < AllInfo->Count(); ++i) {
        if (AllInfo->Name(i) == device) {
            position = i;
            break;
        }
    }
    if (position < 0)
        throw EAssertionFailed(vuzo::AssertionMessage(__LINE__));
    int hidden = 0;
    for (int i = 0; i < position; ++i) {
        if (Hidden(*AllInfo, i))
            ++hidden;
    }
    return position - hidden;
}

void TWbPrinter::SetIndex(int value)
{
    CheckNoPrinter();
    if (value < -1)
        throw EWBPrinterRangeError(u"TWbPrinter.SetIndex: Index is out of Range"_s);
    // A selection the index cannot be read for (a hidden printer, or one that
    // joined after the snapshot) must not stop the operator from choosing
    // another printer, so it counts as different from any value.
    try {
        if (Index() == value)
            return;
    } catch (const EWbPrinterIllegalIndex &) {
    } catch (const EAssertionFailed &) {
    }
    int systemIndex = -1;
    if (value != -1) {
        int visible = 0;
        for (int i = 0; i < AllInfo->Count(); ++i) {
            if (Hidden(*AllInfo, i))
                continue;
            if (visible == value) {
                systemIndex = i;
                break;
            }
            ++visible;
        }
        if (systemIndex < 0)
            throw EWBPrinterRangeError(u"TWbPrinter.SetIndex: Index is out of Range"_s);
    }
    m_system->SetPrinterIndex(systemIndex);
    const DeviceRecord r = m_system->GetPrinter();
    m_system->SetPrinter(r.device, r.driver, r.port, std::nullopt);
    FIndex = -1;
    UpdateInfo();
    DiscardModification();
}

const QStringList &TWbPrinter::PrinterNames()
{
    CheckNoPrinter();
    FPrinterNames.clear();
    for (int i = 0; i < AllInfo->Count(); ++i) {
        if (!Hidden(*AllInfo, i))
            FPrinterNames.append(AllInfo->Name(i));
    }
    return FPrinterNames;
}

const QStringList &TWbPrinter::PortNames()
{
    const QStringList ports = m_system->EnumPorts();
    FPortNames.clear();
    for (const QString &port : ports) {
        if (!FPortNames.contains(port, Qt::CaseInsensitive))
            FPortNames.append(port);
    }
    return FPortNames;
}

QPainter *TWbPrinter::Canvas()
{
    return m_system->Canvas();
}

QPaintDevice *TWbPrinter::Handle()
{
    return m_system->Handle();
}

bool TWbPrinter::Printing() const
{
    return m_system->Printing();
}

void TWbPrinter::BeginDoc(const QString &title)
{
    m_system->SetTitle(title);
    m_system->BeginDoc();
}

void TWbPrinter::Newpage()
{
    m_system->NewPage();
}

QString TWbPrinter::QueueProblem()
{
    CheckNoPrinter();
    return m_system->QueueProblem(m_system->GetPrinter().device);
}

void TWbPrinter::EndDoc()
{
    m_system->EndDoc();
}

void TWbPrinter::Abort()
{
    m_system->Abort();
}

void TWbPrinter::PrintDocument(const QString &title, const std::function<void()> &draw)
{
    // A second job while one is open fails here with "印刷実行中です";
    // nothing was begun, so nothing is aborted.
    BeginDoc(title);
    // A refused job leaves the printer idle. Saying so once, here, keeps the
    // operator from seeing the same complaint again from the new page, the
    // end and the abort that would follow.
    if (!Printing())
        throw EWbPrinter(u"プリンタは現在印刷を行っていません"_s);
    try {
        draw();
    } catch (...) {
        if (Printing()) {
            try {
                Abort();
            } catch (const EVuzoError &) {
            }
        }
        throw;
    }
    EndDoc();
}

void TWbPrinter::ReplaceSnapshot(std::unique_ptr<TWbAllPrintersInfo> fresh)
{
    m_system->Reset();
    AllInfo = std::move(fresh);
    FIndex = -1;
    DiscardModification();
}

void TWbPrinter::CheckSystemChange()
{
    // Replacing the system printer would cancel the open job; the next check
    // after the job sees the same change.
    if (m_system->Printing())
        return;
    auto fresh = std::make_unique<TWbAllPrintersInfo>(*m_system);
    if (!fresh->Compare(*AllInfo)) {
        ReplaceSnapshot(std::move(fresh));
        if (FOnSystemChanged)
            FOnSystemChanged(this);
        return;
    }
    fresh.reset();
    if (!AllInfo->Available())
        return; // still unreachable: nothing to compare
    const QStringList before = FPortNames;
    try {
        PortNames();
    } catch (const EWbPrinter &) {
        // Gone between the two questions; the next check sees it.
        FPortNames = before;
        return;
    }
    if (before != FPortNames && FOnSystemChanged)
        FOnSystemChanged(this);
}

void TWbPrinter::StartChangeWatch(QObject *window, int intervalMs)
{
    m_watch.reset();
    m_watch = std::make_unique<ChangeWatch>(this, window, intervalMs);
}

void TWbPrinter::StopChangeWatch()
{
    m_watch.reset();
}

// ---------------------------------------------------------------------------
// Settings copy and information cache

DeviceRecord TWbPrinter::LockDevice()
{
    DeviceRecord r = m_system->GetPrinter();
    if (!r.devMode) {
        // Selecting the same printer again makes the system printer fetch
        // the printer's settings.
        m_system->SetPrinterIndex(m_system->PrinterIndex());
        r = m_system->GetPrinter();
    }
    if (!r.devMode)
        throw EWbPrinter(u"TWbPrinter.LockDevice: Printer is not Available (%1)"_s.arg(r.device));
    return r;
}

void TWbPrinter::ReadSettings()
{
    pSettings.reset();
    const DeviceRecord r = LockDevice();
    pSettings = std::make_unique<DevMode>(*r.devMode);
    PortName = r.port;
}

DevMode &TWbPrinter::Settings()
{
    if (!pSettings)
        ReadSettings();
    return *pSettings;
}

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

void TWbPrinter::RequireCap(TWbPrintCap cap, const QString &message)
{
    if (!PrintCaps().contains(cap))
        throw EWbPrinterNotSupported(message);
}

void TWbPrinter::RequireInfo(TWbAvailInfo info, const QString &message)
{
    UpdateInfo();
    if (!(FAvailInfos & info))
        throw EWbPrinterNoInfo(message);
}

TWbPrintCaps TWbPrinter::PrintCaps()
{
    CheckNoPrinter();
    return TWbPrintCaps::FromFields(Settings().dmFields);
}

TWbAvailInfos TWbPrinter::AvailInfos()
{
    UpdateInfo();
    return FAvailInfos;
}

void TWbPrinter::ForceUpdate()
{
    DiscardModification();
    FIndex = -1;
    UpdateInfo();
}

void TWbPrinter::DiscardModification()
{
    pSettings.reset();
    FModified = false;
}

void TWbPrinter::ApplySettings()
{
    if (!FModified)
        return;
    if (!pSettings)
        throw EAssertionFailed(u"TWbPrinter.ApplySettings; No Setteing Info"_s);
    const DeviceRecord r = LockDevice();
    DevMode block = *pSettings;
    const QString port = PortName;
    DiscardModification();
    FIndex = -1;
    // The printer checks and completes the settings before the system printer
    // takes them over.
    if (!m_system->DocumentProperties(r.device, block))
        throw EAssertionFailed(vuzo::AssertionMessage(__LINE__));
    m_system->SetPrinter(r.device, r.driver, port, block);
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

// ---------------------------------------------------------------------------
// Other settings

TWbPaperOrientation TWbPrinter::Orientation()
{
    RequireCap(wbPcOrientation, u"TWbPrinter.GetOrientation: Orientation is not Supported"_s);
    return Settings().dmOrientation == 1 ? wbOrPortrait : wbOrLandScape;
}

void TWbPrinter::SetOrientation(TWbPaperOrientation value)
{
    RequireCap(wbPcOrientation, u"TWbPrinter.SetOrientation: Orientation is not Supported"_s);
    const int stored = value == wbOrPortrait ? 1 : 2;
    DevMode &dm = Settings();
    if (dm.dmOrientation != stored) {
        dm.dmOrientation = stored;
        FModified = true;
    }
}

uint16_t TWbPrinter::Copies()
{
    RequireCap(wbPcCopies, u"TWbPrinter.GetCopies: Copies not Supported"_s);
    return static_cast<uint16_t>(Settings().dmCopies);
}

void TWbPrinter::SetCopies(uint16_t value)
{
    RequireCap(wbPcCopies, u"TWbPrinter.SetCopies: Copies not Supported"_s);
    if (value == 0)
        throw EWBPrinterRangeError(u"TWbPrinter.SetCopies: Too Small Copies"_s);
    DevMode &dm = Settings();
    if (dm.dmCopies != value) {
        dm.dmCopies = value;
        FModified = true;
    }
}

uint16_t TWbPrinter::MaxCopies()
{
    RequireCap(wbPcCopies, u"TWbPrinter.GetMaxCopies: Copies is not Supported"_s);
    RequireInfo(wbAvMaxCopies, u"TWbPrinter.GetMaxCopies: No MaxCopies Info Available"_s);
    return static_cast<uint16_t>(qBound(0, FMaxCopies, 0xFFFF));
}

bool TWbPrinter::Collate()
{
    RequireCap(wbPcCollate, u"TWbPrinter.GetCollate: Collate is not Supported"_s);
    return Settings().dmCollate == 1;
}

void TWbPrinter::SetCollate(bool value)
{
    RequireCap(wbPcCollate, u"TWbPrinter.SetCollate: Collate is not Supported"_s);
    DevMode &dm = Settings();
    if (value && dm.dmCollate == 0) {
        dm.dmCollate = 1;
        FModified = true;
    } else if (!value && dm.dmCollate == 1) {
        dm.dmCollate = 0;
        FModified = true;
    }
}

bool TWbPrinter::Color()
{
    RequireCap(wbPcColor, u"TWbPrinter.GetColor: Color is not Supported"_s);
    return Settings().dmColor == 2;
}

void TWbPrinter::SetColor(bool value)
{
    RequireCap(wbPcColor, u"TWbPrinter.SetColor: Color is not Supported"_s);
    DevMode &dm = Settings();
    if (value && dm.dmColor == 1) {
        dm.dmColor = 2;
        FModified = true;
    } else if (!value && dm.dmColor == 2) {
        dm.dmColor = 1;
        FModified = true;
    }
}

TWbDuplex TWbPrinter::Duplex()
{
    RequireCap(wbPcDuplex, u"TWbPrinter.GetDuplex: Duplex is not Supported"_s);
    switch (Settings().dmDuplex) {
    case 1: return wbDupSimplex;
    case 3: return wbDupHorizontal;
    default: return wbDupVertical;
    }
}

void TWbPrinter::SetDuplex(TWbDuplex value)
{
    RequireCap(wbPcDuplex, u"TWbPrinter.SetDuplex: Duplex is not Supported"_s);
    const int stored = value == wbDupSimplex ? 1 : value == wbDupHorizontal ? 3 : 2;
    DevMode &dm = Settings();
    if (dm.dmDuplex != stored) {
        dm.dmDuplex = stored;
        FModified = true;
    }
}

uint16_t TWbPrinter::Scale()
{
    if (!PrintCaps().contains(wbPcScale))
        return 100;
    return static_cast<uint16_t>(Settings().dmScale);
}

void TWbPrinter::SetScale(uint16_t value)
{
    RequireCap(wbPcScale, u"TWbPrinter.SetScale: Scale is not Supported"_s);
    DevMode &dm = Settings();
    if (dm.dmScale != value) {
        dm.dmScale = value;
        FModified = true;
    }
}

WbSize TWbPrinter::Quality()
{
    RequireCap(wbPcPrintQuality, u"TWbPrinter.GetQuality: PrintQuality is not Supported"_s);
    const DevMode &dm = Settings();
    WbSize q;
    q.cx = dm.dmPrintQuality;
    q.cy = (q.cx > 0 && (dm.dmFields & DM_YRESOLUTION)) ? dm.dmYResolution : 0;
    return q;
}

void TWbPrinter::SetQuality(WbSize value)
{
    RequireCap(wbPcPrintQuality, u"TWbPrinter.SetQuality: PrintQuality is not Supported"_s);
    DevMode &dm = Settings();
    FModified = true;
    dm.dmPrintQuality = value.cx;
    if (value.cx <= 0) {
        dm.dmYResolution = 0;
        dm.dmFields &= ~DM_YRESOLUTION;
    } else {
        dm.dmYResolution = value.cy;
        dm.dmFields |= DM_YRESOLUTION;
    }
}

QString TWbPrinter::ResolutionKeyword()
{
    if (!PrintCaps().contains(wbPcPrintQuality))
        return QString();
    const WbSize q = Quality();
    if (q.cx <= 0)
        return QString();
    return vuzo::ResolutionKeyword(WbSize{q.cx, q.cy > 0 ? q.cy : q.cx});
}

bool TWbPrinter::SetResolutionKeyword(const QString &keyword)
{
    const std::optional<WbSize> wanted = vuzo::ParseResolutionKeyword(keyword);
    if (!wanted || !PrintCaps().contains(wbPcPrintQuality))
        return false;
    UpdateInfo();
    if (!m_resolutions.contains(*wanted))
        return false;
    if (Quality() != *wanted)
        SetQuality(*wanted);
    return true;
}

int TWbPrinter::NumQualities()
{
    RequireCap(wbPcPrintQuality, u"TWbPrinter.GetNumQualities: PrintQuality is not Supported"_s);
    RequireInfo(wbAvQuality, u"TWbPrinter.GetNumQualities: No Quality Info Available"_s);
    return m_resolutions.count();
}

WbSize TWbPrinter::GetQualities(int index)
{
    RequireCap(wbPcPrintQuality, u"TWbPrinter.GetQualities: PrintQuality is not Supported"_s);
    RequireInfo(wbAvQuality, u"TWbPrinter.GetQualities: No Quality Info Available"_s);
    const std::optional<WbSize> resolution = m_resolutions.at(index);
    if (!resolution)
        throw EWBPrinterRangeError(u"TWbPrinter.GetQualities: Index is our of range"_s);
    return *resolution;
}

WbSize TWbPrinter::UserPaperExtent()
{
    const TWbPrintCaps caps = PrintCaps();
    const DevMode &dm = Settings();
    if (!caps.contains(wbPcPaperSize) || !caps.contains(wbPcPaperlength) || !caps.contains(wbPcPaperWidth) ||
        dm.dmPaperSize != DMPAPER_USER)
        throw EWbPrinterNoUserPaperExtent(u"TWbPrinter.GetUserpaperExtent: Cannot Get User paper Extent"_s);
    return WbSize{dm.dmPaperWidth, dm.dmPaperLength};
}

void TWbPrinter::SetUserPaperExtent(WbSize value)
{
    RequireCap(wbPcPaperSize, u"TWbPrinter.SetpaperExtent: PaperSize is not Supported"_s);
    UpdateInfo();
    DevMode &dm = Settings();
    FModified = true;
    dm.dmPaperSize = DMPAPER_USER;
    dm.dmPaperWidth = value.cx;
    dm.dmPaperLength = value.cy;
    dm.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
}

QString TWbPrinter::Port()
{
    CheckNoPrinter();
    Settings();
    return PortName;
}

void TWbPrinter::SetPort(const QString &value)
{
    CheckNoPrinter();
    Settings();
    if (PortName != value) {
        PortName = value;
        FModified = true;
    }
}

// ---------------------------------------------------------------------------
// Geometry

DeviceGeometry TWbPrinter::Geometry()
{
    CheckNoPrinter();
    return m_system->Geometry();
}

WbSize TWbPrinter::PageExtent()
{
    const DeviceGeometry g = Geometry();
    return WbSize{g.horzRes, g.vertRes};
}

WbSize TWbPrinter::MMPageExtent()
{
    const DeviceGeometry g = Geometry();
    return WbSize{g.horzSizeMm * 10, g.vertSizeMm * 10};
}

WbSize TWbPrinter::DPI()
{
    const DeviceGeometry g = Geometry();
    return WbSize{g.logPixelsX, g.logPixelsY};
}

WbSize TWbPrinter::PaperExtent()
{
    const DeviceGeometry g = Geometry();
    return WbSize{g.physicalWidth, g.physicalHeight};
}

WbSize TWbPrinter::MMPaperExtent()
{
    const DeviceGeometry g = Geometry();
    const int64_t scale = Scale();
    // Pixels x 254 x scale / dpi / 100, truncating at each division; a
    // resolution of 0 gives 0 instead of a division by zero, and the product
    // is taken in 64 bits so that large scales cannot overflow.
    auto mm = [scale](int pixels, int dpi) -> int {
        if (dpi <= 0)
            return 0;
        const int64_t v = int64_t(pixels) * 254 * scale / dpi / 100;
        return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return WbSize{mm(g.physicalWidth, g.logPixelsX), mm(g.physicalHeight, g.logPixelsY)};
}

WbSize TWbPrinter::Offset()
{
    const DeviceGeometry g = Geometry();
    return WbSize{g.physicalOffsetX, g.physicalOffsetY};
}

int TWbPrinter::ColorBitCount()
{
    const DeviceGeometry g = Geometry();
    return g.bitsPixel * g.planes;
}

// ---------------------------------------------------------------------------
// The one instance

namespace {
std::unique_ptr<TWbPrinter> &Instance()
{
    static std::unique_ptr<TWbPrinter> instance;
    return instance;
}
} // namespace

TWbPrinter &WbPrinter()
{
    auto &instance = Instance();
    if (!instance)
        instance = std::make_unique<TWbPrinter>(CreateCupsSystemPrinter());
    return *instance;
}

void InstallWbPrinter(std::unique_ptr<SystemPrinter> system)
{
    auto &instance = Instance();
    instance.reset();
    instance = std::make_unique<TWbPrinter>(std::move(system));
}

void ReleaseWbPrinter()
{
    Instance().reset();
}
