#include "printer/SystemPrinter.h"

#include "printer/PrinterPaintDevice.h"
#include "printer/WbPrinterErrors.h"

#include <QPainter>
#include <QTransform>

using namespace Qt::StringLiterals;

namespace {

// The runtime printer object's own messages.
QString PrintingMessage()
{
    return u"印刷実行中です"_s;
}
QString NotPrintingMessage()
{
    return u"プリンタは現在印刷を行っていません"_s;
}
QString InvalidPrinterMessage()
{
    return u"選択したプリンタは無効です"_s;
}

} // namespace

QString vuzo::AssertionMessage(int line)
{
    return u"アサートの失敗 (WbPrinters, %1 行)"_s.arg(line);
}

QString vuzo::PrintSystemUnavailableMessage()
{
    return u"印刷システム(CUPS)に接続できません"_s;
}

QString vuzo::NoPrinterMessage(const QString &original)
{
    return u"使えるプリンタがありません。プリンタをつないで電源を入れ、デスクトップの「設定」の「プリンター」"
           u"（または http://localhost:631/ ）でプリンタを追加してから、印刷設定タブの「セットするプリンタを登録」"
           u"で登録してください。\n("_s +
           original + u")"_s;
}

QTransform PrintableAreaTransform(const DeviceGeometry &g, int deviceDpiX, int deviceDpiY)
{
    QTransform t;
    const double sx = (g.logPixelsX > 0 && deviceDpiX > 0) ? double(deviceDpiX) / g.logPixelsX : 1.0;
    const double sy = (g.logPixelsY > 0 && deviceDpiY > 0) ? double(deviceDpiY) / g.logPixelsY : 1.0;
    t.scale(sx, sy);
    t.translate(g.physicalOffsetX, g.physicalOffsetY);
    return t;
}

SystemPrinter::SystemPrinter() = default;

SystemPrinter::~SystemPrinter()
{
    *m_alive = false;
    CloseInfoCanvas();
}

void SystemPrinter::EnsureList()
{
    if (!m_list)
        m_list = EnumPrinters();
}

void SystemPrinter::EnsureSelection()
{
    if (m_selected)
        return;
    EnsureList();
    if (m_list->isEmpty())
        return;
    const QString def = DefaultPrinterName();
    int position = 0;
    for (int i = 0; i < m_list->size(); ++i) {
        if (m_list->at(i).name == def) {
            position = i;
            break;
        }
    }
    SelectPosition(position);
}

void SystemPrinter::SelectPosition(int position)
{
    CloseInfoCanvas();
    const QString device = m_list->at(position).name;
    m_index = position;
    m_device = device;
    m_driver = DriverName(device);
    m_port = PortOf(device);
    std::optional<DevMode> dm = DefaultDevMode(device);
    m_devMode = dm ? std::make_unique<DevMode>(*dm) : nullptr;
    m_selected = true;
}

int SystemPrinter::PrinterIndex()
{
    EnsureSelection();
    return m_selected ? m_index : -1;
}

void SystemPrinter::SetPrinterIndex(int index)
{
    if (m_printing)
        throw EWbPrinter(PrintingMessage());
    EnsureList();
    if (index == -1) {
        m_selected = false;
        EnsureSelection();
        return;
    }
    if (index < 0 || index >= m_list->size())
        throw EWbPrinter(InvalidPrinterMessage());
    SelectPosition(index);
}

DeviceRecord SystemPrinter::GetPrinter()
{
    EnsureSelection();
    DeviceRecord r;
    if (!m_selected)
        return r;
    r.device = m_device;
    r.driver = m_driver;
    r.port = m_port;
    r.devMode = m_devMode.get();
    return r;
}

void SystemPrinter::SetPrinter(const QString &device, const QString &driver, const QString &port,
                               std::optional<DevMode> devMode)
{
    if (m_printing)
        throw EWbPrinter(PrintingMessage());
    EnsureList();
    CloseInfoCanvas();
    int position = -1;
    for (int i = 0; i < m_list->size(); ++i) {
        if (m_list->at(i).name == device) {
            position = i;
            break;
        }
    }
    if (position < 0) {
        // A device the list does not know yet joins it, as the system's own
        // printer object does.
        m_list->append(PrinterEntry{device, 0});
        position = int(m_list->size()) - 1;
    }
    m_index = position;
    m_device = device;
    m_driver = driver;
    m_port = port;
    if (!devMode)
        devMode = DefaultDevMode(device);
    m_devMode = devMode ? std::make_unique<DevMode>(*devMode) : nullptr;
    m_selected = true;
}

void SystemPrinter::SelectPrinter(const QString &device, std::optional<DevMode> devMode)
{
    SetPrinter(device, DriverName(device), PortOf(device), std::move(devMode));
}

void SystemPrinter::BeginDoc()
{
    if (m_printing)
        throw EWbPrinter(PrintingMessage());
    EnsureSelection();
    if (!m_selected)
        return;
    JobRequest request;
    request.device = m_device;
    request.port = m_port;
    request.title = m_title;
    if (m_devMode)
        request.devMode = *m_devMode;
    request.geometry = GeometryFor(m_device, request.devMode);
    if (!StartJob(request))
        return;
    m_jobGeometry = request.geometry;
    m_printing = true;
    m_aborted = false;
    ApplyPageTransform();
}

void SystemPrinter::NewPage()
{
    if (!m_printing)
        throw EWbPrinter(NotPrintingMessage());
    JobNewPage();
    ApplyPageTransform();
}

void SystemPrinter::EndDoc()
{
    if (!m_printing)
        throw EWbPrinter(NotPrintingMessage());
    m_printing = false;
    JobEnd();
}

void SystemPrinter::Abort()
{
    if (!m_printing)
        throw EWbPrinter(NotPrintingMessage());
    m_printing = false;
    m_aborted = true;
    JobAbort();
}

void SystemPrinter::ApplyPageTransform()
{
    QPainter *painter = JobPainter();
    if (!painter || !painter->device())
        return;
    painter->setWorldTransform(
        PrintableAreaTransform(m_jobGeometry, painter->device()->logicalDpiX(), painter->device()->logicalDpiY()));
}

QPainter *SystemPrinter::Canvas()
{
    if (m_printing)
        return JobPainter();
    if (!m_infoPainter) {
        const DeviceGeometry g = Geometry();
        m_infoDevice = std::make_unique<PrinterPaintDevice>(g.horzRes, g.vertRes, g.logPixelsX, g.logPixelsY,
                                                            g.horzSizeMm, g.vertSizeMm);
        m_infoPainter = std::make_unique<QPainter>(m_infoDevice.get());
    }
    return m_infoPainter.get();
}

QPaintDevice *SystemPrinter::Handle()
{
    QPainter *painter = Canvas();
    return painter ? painter->device() : nullptr;
}

DeviceGeometry SystemPrinter::Geometry()
{
    EnsureSelection();
    if (!m_selected)
        return DeviceGeometry{};
    return GeometryFor(m_device, m_devMode ? *m_devMode : DevMode{});
}

void SystemPrinter::CloseInfoCanvas()
{
    if (m_infoPainter && m_infoPainter->isActive())
        m_infoPainter->end();
    m_infoPainter.reset();
    m_infoDevice.reset();
}

void SystemPrinter::Reset()
{
    if (m_printing) {
        m_printing = false;
        JobAbort();
    }
    CloseInfoCanvas();
    m_list.reset();
    m_index = -1;
    m_selected = false;
    m_device.clear();
    m_driver.clear();
    m_port.clear();
    m_devMode.reset();
    m_title.clear();
    m_aborted = false;
}

QString SystemPrinter::QueueProblem(const QString &)
{
    return QString();
}

SystemPrinter::JobTicket SystemPrinter::LastJob()
{
    return JobTicket{};
}

SystemPrinter::JobStatus SystemPrinter::JobStatusOf(const JobTicket &)
{
    return JobStatus{};
}

std::function<SystemPrinter::Listing()> SystemPrinter::ListingQuestion()
{
    // Asked on this thread later: the object is asked if it is still there.
    return [this, alive = m_alive] {
        Listing listing;
        try {
            if (!*alive)
                throw EWbPrinter(vuzo::PrintSystemUnavailableMessage());
            listing.printers = EnumPrinters();
            listing.ports = EnumPorts();
        } catch (const EWbPrinter &e) {
            listing = Listing{};
            listing.available = false;
            listing.unavailableMessage = e.message();
        }
        return listing;
    };
}

std::function<SystemPrinter::JobStatus()> SystemPrinter::JobStatusQuestion(const JobTicket &job)
{
    return [this, alive = m_alive, job] {
        try {
            if (*alive)
                return JobStatusOf(job);
        } catch (const EWbPrinter &) {
        }
        return JobStatus{true, QString(), vuzo::JobWait::Unreachable};
    };
}
