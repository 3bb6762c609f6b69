#pragma once
// The process-wide printer object that the printer layer (TWbPrinter) drives,
// and the spooler queries it needs next to it.
//
// SystemPrinter keeps, as a Windows program's runtime printer object does, the
// list of the system's printers, the selected printer (device, driver and port
// names and its device mode), the job title and the state of the open print
// job. The platform part (enumeration, capabilities, default settings,
// validation, geometry, spooling) is supplied by a subclass: the CUPS one for
// the program, the in-memory one for tests. The selection and job bookkeeping
// is the same code for both.

#include "printer/QueueState.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QPaintDevice;
class PrinterPaintDevice;

// dmFields flags of the device mode.
inline constexpr uint32_t DM_ORIENTATION = 0x1;
inline constexpr uint32_t DM_PAPERSIZE = 0x2;
inline constexpr uint32_t DM_PAPERLENGTH = 0x4;
inline constexpr uint32_t DM_PAPERWIDTH = 0x8;
inline constexpr uint32_t DM_SCALE = 0x10;
inline constexpr uint32_t DM_COPIES = 0x100;
inline constexpr uint32_t DM_DEFAULTSOURCE = 0x200;
inline constexpr uint32_t DM_PRINTQUALITY = 0x400;
inline constexpr uint32_t DM_COLOR = 0x800;
inline constexpr uint32_t DM_DUPLEX = 0x1000;
inline constexpr uint32_t DM_YRESOLUTION = 0x2000;
inline constexpr uint32_t DM_TTOPTION = 0x4000;
inline constexpr uint32_t DM_COLLATE = 0x8000;
inline constexpr uint32_t DM_FORMNAME = 0x10000;
inline constexpr uint32_t DM_LOGPIXELS = 0x20000;
inline constexpr uint32_t DM_MEDIATYPE = 0x2000000;
inline constexpr uint32_t DM_DITHERTYPE = 0x4000000;

// Paper size numbers (dmPaperSize). Numbers above DMPAPER_USER are sizes of a
// particular printer that have no standard number.
inline constexpr int DMPAPER_LETTER = 1;
inline constexpr int DMPAPER_TABLOID = 3;
inline constexpr int DMPAPER_LEGAL = 5;
inline constexpr int DMPAPER_STATEMENT = 6;
inline constexpr int DMPAPER_EXECUTIVE = 7;
inline constexpr int DMPAPER_A3 = 8;
inline constexpr int DMPAPER_A4 = 9;
inline constexpr int DMPAPER_A5 = 11;
inline constexpr int DMPAPER_B4 = 12;
inline constexpr int DMPAPER_B5 = 13;
inline constexpr int DMPAPER_FOLIO = 14;
inline constexpr int DMPAPER_10X14 = 16;
inline constexpr int DMPAPER_ENV_10 = 20;
inline constexpr int DMPAPER_ENV_DL = 27;
inline constexpr int DMPAPER_ENV_C5 = 28;
inline constexpr int DMPAPER_ENV_C4 = 30;
inline constexpr int DMPAPER_ENV_C6 = 31;
inline constexpr int DMPAPER_ENV_MONARCH = 37;
inline constexpr int DMPAPER_JAPANESE_POSTCARD = 43;
inline constexpr int DMPAPER_A2 = 66;
inline constexpr int DMPAPER_DBL_JAPANESE_POSTCARD = 69;
inline constexpr int DMPAPER_A6 = 70;
inline constexpr int DMPAPER_JENV_CHOU3 = 73;
inline constexpr int DMPAPER_JENV_CHOU4 = 74;
inline constexpr int DMPAPER_B6_JIS = 88;
inline constexpr int DMPAPER_USER = 256;

// Paper source numbers (dmDefaultSource). Numbers from DMBIN_USER on are
// sources of a particular printer.
inline constexpr int DMBIN_UPPER = 1;
inline constexpr int DMBIN_LOWER = 2;
inline constexpr int DMBIN_MIDDLE = 3;
inline constexpr int DMBIN_MANUAL = 4;
inline constexpr int DMBIN_ENVELOPE = 5;
inline constexpr int DMBIN_ENVMANUAL = 6;
inline constexpr int DMBIN_AUTO = 7;
inline constexpr int DMBIN_TRACTOR = 8;
inline constexpr int DMBIN_LARGECAPACITY = 11;
inline constexpr int DMBIN_FORMSOURCE = 15;
inline constexpr int DMBIN_USER = 256;

// The attribute bit of a printer that is not to be offered to the operator.
inline constexpr uint32_t PRINTER_ATTRIBUTE_HIDDEN = 0x20;
inline constexpr uint32_t PRINTER_ATTRIBUTE_DEFAULT = 0x4;
inline constexpr uint32_t PRINTER_ATTRIBUTE_LOCAL = 0x40;

// A pair of integers: a resolution, an extent or an offset.
struct WbSize
{
    int cx = 0;
    int cy = 0;
    friend bool operator==(const WbSize &, const WbSize &) = default;
};

// The device settings of one printer, field for field as the program uses them.
// Sizes are in 0.1 mm; dmPrintQuality is a resolution in dpi when positive and
// a quality code when not.
struct DevMode
{
    QString dmDeviceName;
    uint32_t dmFields = 0;
    int dmOrientation = 0; // 1 portrait, 2 landscape
    int dmPaperSize = 0;
    int dmPaperLength = 0;
    int dmPaperWidth = 0;
    int dmScale = 0; // percent
    int dmCopies = 0;
    int dmDefaultSource = 0;
    int dmPrintQuality = 0;
    int dmColor = 0;  // 1 monochrome, 2 colour
    int dmDuplex = 0; // 1 simplex, 2 vertical (long edge), 3 horizontal (short edge)
    int dmYResolution = 0;
    int dmTTOption = 0;
    int dmCollate = 0; // 0 false, 1 true
    QString dmFormName;
    int dmLogPixels = 0;
    int dmMediaType = 0;
    int dmDitherType = 0;
    friend bool operator==(const DevMode &, const DevMode &) = default;
};

// One entry of the printer enumeration.
struct PrinterEntry
{
    QString name;
    uint32_t attributes = 0;
    friend bool operator==(const PrinterEntry &, const PrinterEntry &) = default;
};

// What a printer offers, in the printer's own order. An empty list means the
// printer does not report it; maxCopies 0 likewise.
struct PrinterCapabilities
{
    QList<int> paperNumbers;
    QStringList paperNames;
    QList<int> binNumbers;
    QStringList binNames;
    // The print system's keyword of each entry ("iso_a5_148x210mm", "tray-2"),
    // empty where it has none: what a registration stores, as numbers and
    // names change with the printer's list.
    QStringList paperKeywords;
    QStringList binKeywords;
    QList<WbSize> resolutions;
    int maxCopies = 0;
};

// The device metrics of the selected printer with its current settings, in
// device pixels unless said otherwise.
struct DeviceGeometry
{
    int horzRes = 0;    // printable width
    int vertRes = 0;    // printable height
    int horzSizeMm = 0; // printable width in mm
    int vertSizeMm = 0; // printable height in mm
    int logPixelsX = 0;
    int logPixelsY = 0;
    int physicalWidth = 0;
    int physicalHeight = 0;
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;
    int bitsPixel = 1;
    int planes = 1;
};

// The selected printer as the layer sees it: names and the address of the
// object's own device mode (nullptr while it has none). The address stays valid
// until the selection or the settings of the object change.
struct DeviceRecord
{
    QString device;
    QString driver;
    QString port;
    DevMode *devMode = nullptr;
};

// What a subclass needs to start a job.
struct JobRequest
{
    QString device;
    QString port;
    QString title;
    DevMode devMode;
    DeviceGeometry geometry;
};

class SystemPrinter
{
public:
    SystemPrinter();
    virtual ~SystemPrinter();
    SystemPrinter(const SystemPrinter &) = delete;
    SystemPrinter &operator=(const SystemPrinter &) = delete;

    // ---- Spooler queries. They fail with EWbPrinter when the print system
    // cannot be reached.

    // The system's printers in the system's order, hidden ones included.
    virtual QList<PrinterEntry> EnumPrinters() = 0;
    // The system's ports, in the system's order (duplicates possible).
    virtual QStringList EnumPorts() = 0;
    // What the printer offers with these settings; all empty for a printer
    // that no longer exists.
    virtual PrinterCapabilities DeviceCapabilities(const QString &device, const QString &port,
                                                   const DevMode &devMode) = 0;
    // Lets the printer check and complete the settings in place (values it
    // does not offer are replaced by its defaults). False when the printer
    // cannot be found.
    virtual bool DocumentProperties(const QString &device, DevMode &devMode) = 0;

    // What keeps the printer from taking a job now, in the operator's words
    // (the queue is stopped, or refuses jobs), with the print system's reason
    // where it gives one; empty when the printer takes jobs or cannot tell.
    virtual QString QueueProblem(const QString &device);
    // A job handed over by EndDoc: its queue and number (0: no job).
    struct JobTicket
    {
        QString queue;
        int id = 0;
    };
    // The last job handed over by EndDoc; id 0 when there is none.
    virtual JobTicket LastJob();
    // A job's state: whether the print system is done with it (finished,
    // held, or nothing to follow), why it stopped the job, in the operator's
    // words (empty while all is well), what keeps it from having printed,
    // and how it ended when the print system says so.
    struct JobStatus
    {
        bool settled = true;
        QString problem;
        vuzo::JobWait waiting = vuzo::JobWait::None;
        vuzo::JobEnd end = vuzo::JobEnd::None;
    };
    virtual JobStatus JobStatusOf(const JobTicket &job);
    JobStatus LastJobStatus() { return JobStatusOf(LastJob()); }

    // ---- Questions asked away from the program's thread. Each member
    // returns a question that keeps nothing of the object's state: where
    // QuestionsMayBlock() (a print server that may take seconds, or never
    // answer), it runs on the print system's own thread (vuzo::AskAway) and
    // opens its own connection there; otherwise it runs later on the
    // program's thread and answers as the print system is gone once the
    // object is. A question does not throw: an unreachable print system is
    // part of its answer.

    // The system's printers and ports, or why they cannot be read.
    struct Listing
    {
        QList<PrinterEntry> printers;
        QStringList ports;
        bool available = true;
        QString unavailableMessage;
    };
    virtual bool QuestionsMayBlock() const { return false; }
    virtual std::function<Listing()> ListingQuestion();
    // JobStatusOf that job; an unreachable print system waits Unreachable.
    virtual std::function<JobStatus()> JobStatusQuestion(const JobTicket &job);

    // ---- The process-wide printer object.

    // Position of the selected printer in the object's list (taken from
    // EnumPrinters at first use). Selects the system's default printer first
    // when none is selected yet (or the first printer when the system has no
    // default); -1 only when there is no printer at all.
    int PrinterIndex();
    // Selects the printer at that position with its default settings; -1
    // selects the system's default printer. Out of range: EWbPrinter.
    void SetPrinterIndex(int index);
    // The selected printer's names and device mode (selects one first, as
    // PrinterIndex does).
    DeviceRecord GetPrinter();
    // Selects that device with that port and these settings; without settings
    // the printer's default settings are taken.
    void SetPrinter(const QString &device, const QString &driver, const QString &port, std::optional<DevMode> devMode);

    // Selects the device by name with its own driver and port; without
    // settings the printer's default settings are taken.
    void SelectPrinter(const QString &device, std::optional<DevMode> devMode);
    // A printer's default settings without selecting it; nullopt when the
    // printer cannot be found.
    std::optional<DevMode> DefaultSettings(const QString &device) { return DefaultDevMode(device); }

    QString Title() const { return m_title; }
    void SetTitle(const QString &title) { m_title = title; }

    // Starts a document and its first page. With a job open: EWbPrinter
    // "印刷実行中です". When the system refuses the job the object simply stays
    // not printing.
    void BeginDoc();
    // Ends the page and starts the next; no job open: "プリンタは現在印刷を行っていません".
    void NewPage();
    // Ends the page and the document and hands it to the system; no job
    // open: "プリンタは現在印刷を行っていません". A failure to hand it over is an
    // EWbPrinter error and leaves the object not printing.
    void EndDoc();
    // Cancels the document; no job open: "プリンタは現在印刷を行っていません".
    void Abort();
    bool Printing() const { return m_printing; }
    bool Aborted() const { return m_aborted; }

    // The drawing canvas: the current page while a job is open, otherwise a
    // canvas that measures like the selected printer and draws nothing. The
    // painter's origin is the top-left corner of the printable area, one unit
    // is one device pixel, and fonts set by point size map at the device's
    // vertical resolution.
    QPainter *Canvas();
    // The device behind Canvas().
    QPaintDevice *Handle();
    // The device metrics of the selection with its current settings.
    DeviceGeometry Geometry();

    // Forgets the printer list and the selection, as if the object had been
    // destroyed and created anew; the next use reads the list again and
    // selects the default printer. An open job is cancelled first.
    void Reset();

protected:
    // The name of the system's default printer, empty when there is none.
    virtual QString DefaultPrinterName() = 0;
    virtual QString DriverName(const QString &device) = 0;
    virtual QString PortOf(const QString &device) = 0;
    // The printer's default settings; nullopt when the printer cannot be found.
    virtual std::optional<DevMode> DefaultDevMode(const QString &device) = 0;
    virtual DeviceGeometry GeometryFor(const QString &device, const DevMode &devMode) = 0;

    // Starts the job; false when the system refuses it.
    virtual bool StartJob(const JobRequest &request) = 0;
    // The painter on the job's current page, without the origin transform
    // (the base class sets it).
    virtual QPainter *JobPainter() = 0;
    virtual void JobNewPage() = 0;
    // Finishes the job; raises EWbPrinter when the job cannot be handed over.
    virtual void JobEnd() = 0;
    virtual void JobAbort() = 0;

private:
    void EnsureList();
    void EnsureSelection();
    void SelectPosition(int position);
    void ApplyPageTransform();
    void CloseInfoCanvas();

    std::optional<QList<PrinterEntry>> m_list;
    int m_index = -1;
    bool m_selected = false;
    QString m_device;
    QString m_driver;
    QString m_port;
    std::unique_ptr<DevMode> m_devMode;
    QString m_title;
    bool m_printing = false;
    bool m_aborted = false;
    DeviceGeometry m_jobGeometry;
    std::unique_ptr<PrinterPaintDevice> m_infoDevice;
    std::unique_ptr<QPainter> m_infoPainter;
    // Cleared when the object goes, for the questions still queued.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// The painter transform that makes the printer's pixels the drawing units, with
// the origin at the printable area's top-left corner, on a device whose own
// resolution is deviceDpiX x deviceDpiY. A zero resolution on either side
// counts as equal to the other, so nothing is divided by zero.
class QTransform;
QTransform PrintableAreaTransform(const DeviceGeometry &g, int deviceDpiX, int deviceDpiY);
