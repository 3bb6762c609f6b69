#include "printer/MemorySystemPrinter.h"

#include "printer/PwgNames.h"
#include "printer/WbPrinterErrors.h"

#include <QPainter>

using namespace Qt::StringLiterals;

DevMode MemorySystemPrinter::StandardDevMode()
{
    DevMode dm;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY | DM_COLOR |
                  DM_DUPLEX | DM_YRESOLUTION | DM_COLLATE;
    dm.dmOrientation = 1;
    dm.dmPaperSize = DMPAPER_A5;
    dm.dmScale = 100;
    dm.dmCopies = 1;
    dm.dmDefaultSource = DMBIN_AUTO;
    dm.dmPrintQuality = 600;
    dm.dmYResolution = 600;
    dm.dmColor = 1;
    dm.dmDuplex = 1;
    dm.dmCollate = 1;
    return dm;
}

PrinterCapabilities MemorySystemPrinter::StandardCapabilities()
{
    PrinterCapabilities caps;
    caps.paperNumbers = {DMPAPER_A4, DMPAPER_A5, DMPAPER_B5};
    caps.paperNames = {u"A4"_s, u"A5"_s, u"B5 (JIS)"_s};
    caps.binNumbers = {DMBIN_AUTO, DMBIN_MANUAL};
    caps.binNames = {u"自動選択"_s, u"手差し"_s};
    caps.paperKeywords = {u"iso_a4_210x297mm"_s, u"iso_a5_148x210mm"_s, u"jis_b5_182x257mm"_s};
    caps.binKeywords = {u"auto"_s, u"manual"_s};
    caps.resolutions = {WbSize{300, 300}, WbSize{600, 600}};
    caps.maxCopies = 999;
    return caps;
}

MemorySystemPrinter::MemorySystemPrinter() = default;

MemorySystemPrinter::~MemorySystemPrinter()
{
    CloseJobPainter();
}

void MemorySystemPrinter::RequireAvailable() const
{
    if (!m_available)
        throw EWbPrinter(vuzo::PrintSystemUnavailableMessage());
}

void MemorySystemPrinter::addPrinter(const Printer &printer)
{
    m_printers.append(printer);
}

void MemorySystemPrinter::insertPrinter(int position, const Printer &printer)
{
    m_printers.insert(qBound(0, position, int(m_printers.size())), printer);
}

void MemorySystemPrinter::removePrinter(const QString &name)
{
    m_printers.removeIf([&](const Printer &p) { return p.name == name; });
}

MemorySystemPrinter::Printer *MemorySystemPrinter::printer(const QString &name)
{
    for (Printer &p : m_printers) {
        if (p.name == name)
            return &p;
    }
    return nullptr;
}

SystemPrinter::JobTicket MemorySystemPrinter::LastJob()
{
    for (qsizetype i = m_jobs.size() - 1; i >= 0; --i) {
        if (m_jobs.at(i).ended)
            return JobTicket{m_jobs.at(i).device, int(i) + 1};
    }
    return JobTicket{};
}

QList<PrinterEntry> MemorySystemPrinter::EnumPrinters()
{
    RequireAvailable();
    ++m_enumerations;
    QList<PrinterEntry> entries;
    for (const Printer &p : m_printers)
        entries.append(PrinterEntry{p.name, p.attributes});
    return entries;
}

QStringList MemorySystemPrinter::EnumPorts()
{
    RequireAvailable();
    return m_ports;
}

PrinterCapabilities MemorySystemPrinter::DeviceCapabilities(const QString &device, const QString &, const DevMode &)
{
    RequireAvailable();
    const Printer *p = printer(device);
    return p ? p->caps : PrinterCapabilities{};
}

bool MemorySystemPrinter::DocumentProperties(const QString &device, DevMode &devMode)
{
    RequireAvailable();
    if (m_documentProperties)
        return m_documentProperties(device, devMode);
    return printer(device) != nullptr;
}

QString MemorySystemPrinter::DefaultPrinterName()
{
    RequireAvailable();
    return m_default;
}

QString MemorySystemPrinter::DriverName(const QString &device)
{
    const Printer *p = printer(device);
    return p ? p->driver : QString();
}

QString MemorySystemPrinter::PortOf(const QString &device)
{
    const Printer *p = printer(device);
    return p ? p->port : QString();
}

std::optional<DevMode> MemorySystemPrinter::DefaultDevMode(const QString &device)
{
    if (!m_available)
        return std::nullopt;
    const Printer *p = printer(device);
    if (!p)
        return std::nullopt;
    DevMode dm = p->defaults;
    dm.dmDeviceName = device;
    return dm;
}

DeviceGeometry MemorySystemPrinter::GeometryFor(const QString &device, const DevMode &devMode)
{
    DeviceGeometry g;
    const Printer *p = printer(device);
    if (!p)
        return g;
    int dpiX = p->dpiX;
    int dpiY = p->dpiY;
    if ((devMode.dmFields & DM_PRINTQUALITY) && devMode.dmPrintQuality > 0) {
        dpiX = devMode.dmPrintQuality;
        dpiY = ((devMode.dmFields & DM_YRESOLUTION) && devMode.dmYResolution > 0) ? devMode.dmYResolution : dpiX;
    }
    // A standard paper in the settings is the sheet, as on a real printer;
    // paperMm10 is the sheet of any other.
    WbSize paper = p->paperMm10;
    if (devMode.dmFields & DM_PAPERSIZE) {
        if (const auto size = vuzo::PaperSizeForNumber(devMode.dmPaperSize))
            paper = WbSize{size->first / 10, size->second / 10};
    }
    WbSize margin = p->marginMm10;
    if ((devMode.dmFields & DM_ORIENTATION) && devMode.dmOrientation == 2) {
        std::swap(paper.cx, paper.cy);
        std::swap(margin.cx, margin.cy);
    }
    auto px = [](int mm10, int dpi) { return int(int64_t(mm10) * dpi / 254); };
    g.logPixelsX = dpiX;
    g.logPixelsY = dpiY;
    g.physicalWidth = px(paper.cx, dpiX);
    g.physicalHeight = px(paper.cy, dpiY);
    g.physicalOffsetX = px(margin.cx, dpiX);
    g.physicalOffsetY = px(margin.cy, dpiY);
    g.horzRes = px(paper.cx - 2 * margin.cx, dpiX);
    g.vertRes = px(paper.cy - 2 * margin.cy, dpiY);
    g.horzSizeMm = (paper.cx - 2 * margin.cx) / 10;
    g.vertSizeMm = (paper.cy - 2 * margin.cy) / 10;
    g.bitsPixel = p->bitsPixel;
    g.planes = 1;
    return g;
}

bool MemorySystemPrinter::StartJob(const JobRequest &request)
{
    if (m_refuseJobs || !m_available || !printer(request.device))
        return false;
    Job job;
    job.device = request.device;
    job.port = request.port;
    job.title = request.title;
    job.devMode = request.devMode;
    job.geometry = request.geometry;
    m_jobs.append(job);
    m_currentPage.clear();
    const DeviceGeometry &g = request.geometry;
    CloseJobPainter();
    m_device = std::make_unique<PrinterPaintDevice>(g.physicalWidth, g.physicalHeight, g.logPixelsX, g.logPixelsY,
                                                    g.horzSizeMm, g.vertSizeMm);
    m_device->setSink(&m_currentPage);
    m_painter = std::make_unique<QPainter>(m_device.get());
    return true;
}

QPainter *MemorySystemPrinter::JobPainter()
{
    return m_painter.get();
}

void MemorySystemPrinter::JobNewPage()
{
    m_jobs.last().pages.append(m_currentPage);
    m_currentPage.clear();
}

void MemorySystemPrinter::JobEnd()
{
    CloseJobPainter();
    m_jobs.last().pages.append(m_currentPage);
    m_currentPage.clear();
    m_jobs.last().ended = true;
}

void MemorySystemPrinter::JobAbort()
{
    CloseJobPainter();
    m_jobs.last().pages.append(m_currentPage);
    m_currentPage.clear();
    m_jobs.last().aborted = true;
}

void MemorySystemPrinter::CloseJobPainter()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_painter.reset();
    if (m_device)
        m_device->setSink(nullptr);
    m_device.reset();
}
