#include "printer/WbPrinters.h"
#include "printer/PrinterChangeWatch.h"
#include "printer/PwgNames.h"

#include <algorithm>

using namespace Qt::StringLiterals;

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
        if (!AllInfo->Hidden(i))
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
    if (systemIndex < AllInfo->Count() && AllInfo->Hidden(systemIndex))
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
        if (AllInfo->Hidden(i))
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
            if (AllInfo->Hidden(i))
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
        if (!AllInfo->Hidden(i))
            FPrinterNames.append(AllInfo->Name(i));
    }
    return FPrinterNames;
}

const QStringList &TWbPrinter::PortNames()
{
    TakePorts(m_system->EnumPorts());
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

void TWbPrinter::ApplySystemListing(const SystemPrinter::Listing &listing)
{
    if (m_system->Printing())
        return;
    auto fresh = std::make_unique<TWbAllPrintersInfo>(listing);
    if (!fresh->Compare(*AllInfo)) {
        ReplaceSnapshot(std::move(fresh));
        if (listing.available)
            TakePorts(listing.ports);
        if (FOnSystemChanged)
            FOnSystemChanged(this);
        return;
    }
    if (!AllInfo->Available())
        return;
    const QStringList before = FPortNames;
    TakePorts(listing.ports);
    if (before != FPortNames && FOnSystemChanged)
        FOnSystemChanged(this);
}

bool TWbPrinter::SystemReached() const
{
    return AllInfo->Available();
}

void TWbPrinter::TakePorts(const QStringList &ports)
{
    FPortNames.clear();
    for (const QString &port : ports) {
        if (!FPortNames.contains(port, Qt::CaseInsensitive))
            FPortNames.append(port);
    }
}

void TWbPrinter::StartChangeWatch(QObject *window, int intervalMs)
{
    m_watch.reset();
    m_watch = std::make_unique<vuzo::PrinterChangeWatch>(
        window, intervalMs, *m_system, [this](const SystemPrinter::Listing &listing) { ApplySystemListing(listing); });
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

void InstallWbPrinter(std::unique_ptr<TWbPrinter> printer)
{
    auto &instance = Instance();
    instance.reset();
    instance = std::move(printer);
}

TWbPrinter *InstalledWbPrinter()
{
    return Instance().get();
}

PreparedPrinter PreparePrinter(std::unique_ptr<SystemPrinter> system, const QStringList &printerNames)
{
    PreparedPrinter prepared;
    prepared.printer = std::make_unique<TWbPrinter>(std::move(system));
    TWbPrinter &printer = *prepared.printer;
    try {
        // The index selects the system's default printer and reads its offer.
        printer.Index();
        const QStringList known = printer.PrinterNames();
        for (const QString &name : known) {
            for (const QString &wanted : printerNames) {
                if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
                    printer.System().DefaultSettings(name);
                    break;
                }
            }
        }
    } catch (const EWbPrinterNoPrinter &) {
        // No printer: the selection says so without asking again.
    } catch (const EWbPrinter &e) {
        if (e.message() == vuzo::PrintSystemUnavailableMessage())
            prepared.unavailableMessage = e.message();
    } catch (const EVuzoError &) {
        // A selection that cannot be read is the selection's to tell.
    }
    return prepared;
}

void ReleaseWbPrinter()
{
    Instance().reset();
}
