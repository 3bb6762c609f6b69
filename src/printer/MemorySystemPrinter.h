#pragma once
// A system printer held in memory, for tests: printers with names, attribute
// words (the hidden bit among them), default settings, capability lists,
// geometry and ports are set up by the test; jobs are recorded with their
// title, the settings they were started with, and the drawing of each page.

#include "printer/PrinterPaintDevice.h"
#include "printer/SystemPrinter.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class MemorySystemPrinter : public SystemPrinter
{
public:
    struct Printer
    {
        QString name;
        uint32_t attributes = 0;
        QString driver = QStringLiteral("vuzo memory driver");
        QString port = QStringLiteral("LPT1:");
        DevMode defaults = StandardDevMode();
        PrinterCapabilities caps = StandardCapabilities();
        // Resolution and sheet of the geometry; the resolution follows the
        // settings' dmPrintQuality/dmYResolution when they are positive.
        int dpiX = 600;
        int dpiY = 600;
        WbSize paperMm10{1480, 2100}; // A5 in 0.1 mm; the settings' standard paper goes first
        WbSize marginMm10{50, 50};    // left/right and top/bottom margins in 0.1 mm
        int bitsPixel = 24;
    };

    struct Job
    {
        QString device;
        QString port;
        QString title;
        DevMode devMode;
        DeviceGeometry geometry;
        QList<QList<DrawOp>> pages;
        bool ended = false;
        bool aborted = false;
    };

    // A printer with every device-mode field, A4/A5/B5 paper, two bins, two
    // resolutions and 999 copies.
    static DevMode StandardDevMode();
    static PrinterCapabilities StandardCapabilities();

    MemorySystemPrinter();
    ~MemorySystemPrinter() override;

    // ---- Set-up (also between calls, to simulate a change of the system)
    void addPrinter(const Printer &printer);
    // Puts a printer at a place in the system's order (a queue whose name
    // sorts before the others).
    void insertPrinter(int position, const Printer &printer);
    void removePrinter(const QString &name);
    Printer *printer(const QString &name);
    void setDefaultPrinter(const QString &name) { m_default = name; }
    void setPorts(const QStringList &ports) { m_ports = ports; }
    // While unavailable every spooler query fails as an unreachable print
    // system does.
    void setAvailable(bool available) { m_available = available; }
    // What QueueProblem says of a printer (empty: it takes jobs).
    void setQueueProblem(const QString &name, const QString &problem) { m_queueProblems[name] = problem; }
    // What JobStatusOf says of the jobs (the next ones and those before).
    void setJobStatus(const JobStatus &status) { m_jobStatus = status; }
    QString QueueProblem(const QString &device) override { return m_queueProblems.value(device); }
    // The last ended job, numbered from 1 in the order of the record.
    JobTicket LastJob() override;
    JobStatus JobStatusOf(const JobTicket &) override { return m_jobStatus; }
    // The next StartJob calls are refused by the system.
    void setRefuseJobs(bool refuse) { m_refuseJobs = refuse; }
    // Replaces the default check of DocumentProperties (which leaves the
    // settings as they are).
    void setDocumentPropertiesHook(std::function<bool(const QString &, DevMode &)> hook)
    {
        m_documentProperties = std::move(hook);
    }

    // ---- Record. A job's pages hold every finished page; the open page
    // joins at the next page, the end or the abort.
    const QList<Job> &jobs() const { return m_jobs; }
    int enumerations() const { return m_enumerations; }

    // ---- SystemPrinter
    QList<PrinterEntry> EnumPrinters() override;
    QStringList EnumPorts() override;
    PrinterCapabilities DeviceCapabilities(const QString &device, const QString &port, const DevMode &devMode) override;
    bool DocumentProperties(const QString &device, DevMode &devMode) override;

protected:
    QString DefaultPrinterName() override;
    QString DriverName(const QString &device) override;
    QString PortOf(const QString &device) override;
    std::optional<DevMode> DefaultDevMode(const QString &device) override;
    DeviceGeometry GeometryFor(const QString &device, const DevMode &devMode) override;
    bool StartJob(const JobRequest &request) override;
    QPainter *JobPainter() override;
    void JobNewPage() override;
    void JobEnd() override;
    void JobAbort() override;

private:
    void RequireAvailable() const;
    void CloseJobPainter();

    QList<Printer> m_printers;
    QString m_default;
    QStringList m_ports;
    bool m_available = true;
    bool m_refuseJobs = false;
    QHash<QString, QString> m_queueProblems;
    JobStatus m_jobStatus;
    std::function<bool(const QString &, DevMode &)> m_documentProperties;
    QList<Job> m_jobs;
    int m_enumerations = 0;
    QList<DrawOp> m_currentPage; // the open page; joins its job at the next page or the end
    std::unique_ptr<PrinterPaintDevice> m_device;
    std::unique_ptr<QPainter> m_painter;
};
