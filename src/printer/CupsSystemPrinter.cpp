// The system printer over CUPS: the destination list, the selected
// destination's offer and the print jobs. The connection with its time limits
// is CupsConnection; what a destination's attributes mean is
// CapabilityReader and DestinationCaps, which need no scheduler.
//
// What a destination offers is read once per destination and kept until the
// next enumeration, which is when the layer looks for changes anyway.

#include "printer/CapabilityReader.h"
#include "printer/CupsConnection.h"
#include "printer/DestinationCaps.h"
#include "printer/SystemPrinter.h"
#include "printer/WbPrinterErrors.h"
#include "printer/WbPrinters.h"

#include <QBuffer>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cups/cups.h>

using namespace Qt::StringLiterals;
using vuzo::CupsConnection;
using vuzo::DestinationCaps;
using vuzo::FromCups;

namespace {

struct DestDeleter
{
    void operator()(cups_dest_t *d) const { cupsFreeDests(1, d); }
};
struct InfoDeleter
{
    void operator()(cups_dinfo_t *i) const { cupsFreeDestInfo(i); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestDeleter>;
using InfoPtr = std::unique_ptr<cups_dinfo_t, InfoDeleter>;

class CupsSystemPrinter : public SystemPrinter
{
public:
    ~CupsSystemPrinter() override { DropJob(); }

    QList<PrinterEntry> EnumPrinters() override
    {
        const Listing listing = ReadListing();
        // A fresh enumeration is when destinations are looked at anew.
        m_caps.clear();
        m_ports = listing.ports;
        return listing.printers;
    }

    QStringList EnumPorts() override
    {
        EnumPrinters();
        return m_ports;
    }

    // The questions open their own connection on the thread they run on
    // and read nothing of the object.
    bool QuestionsMayBlock() const override { return true; }

    std::function<Listing()> ListingQuestion() override
    {
        return [] {
            try {
                return ReadListing();
            } catch (const EWbPrinter &e) {
                Listing listing;
                listing.available = false;
                listing.unavailableMessage = e.message();
                return listing;
            }
        };
    }

    std::function<JobStatus()> JobStatusQuestion(const JobTicket &job) override
    {
        return [job] {
            try {
                return AskJob(job);
            } catch (const EWbPrinter &) {
                return JobStatus{true, QString(), vuzo::JobWait::Unreachable};
            }
        };
    }

    PrinterCapabilities DeviceCapabilities(const QString &device, const QString &, const DevMode &) override
    {
        const DestinationCaps *d = Caps(device);
        return d ? d->Lists() : PrinterCapabilities();
    }

    // Settings the destination does not offer fall back to its defaults.
    bool DocumentProperties(const QString &device, DevMode &dm) override
    {
        const DestinationCaps *d = Caps(device);
        if (!d)
            return false;
        d->Complete(dm);
        return true;
    }

    QString QueueProblem(const QString &device) override
    {
        CupsConnection http;
        const std::optional<vuzo::QueueState> state = http.QueueStateOf(device);
        return state ? vuzo::QueueProblemText(device, *state) : QString();
    }

    JobTicket LastJob() override { return JobTicket{m_followDevice, m_followJobId}; }

    JobStatus JobStatusOf(const JobTicket &job) override { return AskJob(job); }

protected:
    QString DefaultPrinterName() override
    {
        CupsConnection http;
        DestPtr dest(cupsGetNamedDest(http.get(), nullptr, nullptr));
        if (!dest) {
            http.ThrowIfLost();
            return QString();
        }
        return FromCups(dest->name);
    }

    QString DriverName(const QString &device) override
    {
        const DestinationCaps *d = Caps(device);
        return d ? d->driver : QString();
    }

    QString PortOf(const QString &device) override
    {
        const DestinationCaps *d = Caps(device);
        return d ? d->port : QString();
    }

    std::optional<DevMode> DefaultDevMode(const QString &device) override
    {
        const DestinationCaps *d = Caps(device);
        if (!d)
            return std::nullopt;
        return d->Defaults(device);
    }

    DeviceGeometry GeometryFor(const QString &device, const DevMode &dm) override
    {
        const DestinationCaps *d = Caps(device);
        return d ? d->GeometryFor(dm) : DeviceGeometry();
    }

    bool StartJob(const JobRequest &request) override
    {
        DropJob();
        const DestinationCaps *d = Caps(request.device);
        if (!d)
            return false;
        auto http = std::make_unique<CupsConnection>();
        DestPtr dest(cupsGetNamedDest(http->get(), request.device.toUtf8().constData(), nullptr));
        if (!dest)
            return false;
        InfoPtr info(cupsCopyDestInfo(http->get(), dest.get()));
        if (!info)
            return false;

        const DevMode &dm = request.devMode;
        const vuzo::DestinationMedia media = d->MediaFor(dm);
        const WbSize dpi = d->DpiFor(dm);
        cups_option_t *options = nullptr;
        int numOptions = 0;
        for (const auto &[name, value] : d->JobOptions(dm))
            numOptions = cupsAddOption(name.constData(), value.toUtf8().constData(), numOptions, &options);

        int jobId = 0;
        const QByteArray title = request.title.toUtf8();
        const ipp_status_t status =
            cupsCreateDestJob(http->get(), dest.get(), info.get(), &jobId, title.constData(), numOptions, options);
        cupsFreeOptions(numOptions, options);
        if (status > IPP_STATUS_OK_EVENTS_COMPLETE || jobId <= 0)
            return false;

        m_http = std::move(http);
        m_dest = std::move(dest);
        m_info = std::move(info);
        m_jobId = jobId;
        m_buffer = std::make_unique<QBuffer>();
        m_buffer->open(QIODevice::WriteOnly);
        m_writer = std::make_unique<QPdfWriter>(m_buffer.get());
        m_writer->setCreator(u"vuzo_Vez_1"_s);
        m_writer->setTitle(request.title);
        // One resolution for the PDF: the vertical one, so fonts given in
        // points map at the printer's vertical resolution; the canvas
        // transform scales x when the two differ.
        m_writer->setResolution(qMax(1, dpi.cy));
        // The sheet is the destination's own media size, taken in
        // millimetres so that nothing is rounded to Qt's standard sizes.
        const QPageSize pageSize(QSizeF(media.width / 100.0, media.length / 100.0), QPageSize::Millimeter, QString(),
                                 QPageSize::ExactMatch);
        const bool landscape = (dm.dmFields & DM_ORIENTATION) && dm.dmOrientation == 2;
        m_writer->setPageLayout(
            QPageLayout(pageSize, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        m_painter = std::make_unique<QPainter>();
        if (!m_painter->begin(m_writer.get())) {
            CancelJob();
            return false;
        }
        return true;
    }

    QPainter *JobPainter() override { return m_painter.get(); }

    void JobNewPage() override
    {
        if (m_writer)
            m_writer->newPage();
    }

    void JobEnd() override
    {
        if (!m_painter)
            return;
        m_painter->end();
        const QByteArray pdf = m_buffer->data();
        http_t *http = m_http->get();
        bool sent = cupsStartDestDocument(http, m_dest.get(), m_info.get(), m_jobId, "slip", CUPS_FORMAT_PDF, 0,
                                          nullptr, 1) == HTTP_STATUS_CONTINUE;
        constexpr qsizetype Chunk = 64 * 1024;
        for (qsizetype at = 0; sent && at < pdf.size(); at += Chunk) {
            const qsizetype n = qMin(Chunk, pdf.size() - at);
            sent = cupsWriteRequestData(http, pdf.constData() + at, size_t(n)) == HTTP_STATUS_CONTINUE;
        }
        if (sent)
            sent = cupsFinishDestDocument(http, m_dest.get(), m_info.get()) <= IPP_STATUS_OK_EVENTS_COMPLETE;
        if (!sent) {
            const QString reason = FromCups(cupsLastErrorString());
            CancelJob();
            throw EWbPrinter(u"印刷ジョブを送れませんでした (%1)"_s.arg(reason));
        }
        // The job is followed for a while: a backend that fails stops it
        // only after it was handed over.
        m_followJobId = m_jobId;
        m_followDevice = FromCups(m_dest->name);
        DropJob();
    }

    void JobAbort() override { CancelJob(); }

private:
    // The destinations and their ports (those without one left out); raises
    // EWbPrinter when the print system cannot be reached.
    static Listing ReadListing()
    {
        CupsConnection http;
        cups_dest_t *dests = nullptr;
        const int count = cupsGetDests2(http.get(), &dests);
        if (count == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE &&
            cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
            http.ThrowIfLost();
        Listing listing;
        for (int i = 0; i < count; ++i) {
            const cups_dest_t &d = dests[i];
            if (d.instance)
                continue; // instances are option sets of a queue, not printers
            uint32_t attributes = PRINTER_ATTRIBUTE_LOCAL;
            if (d.is_default)
                attributes |= PRINTER_ATTRIBUTE_DEFAULT;
            listing.printers.append(PrinterEntry{FromCups(d.name), attributes});
            const QString port =
                vuzo::PortFromDeviceUri(FromCups(cupsGetOption("device-uri", d.num_options, d.options)));
            if (!port.isEmpty())
                listing.ports.append(port);
        }
        cupsFreeDests(count, dests);
        return listing;
    }

    // The job's state now: its queue gone, the job unknown, or what the
    // scheduler says of it. Raises EWbPrinter when the print system cannot
    // be reached.
    static JobStatus AskJob(const JobTicket &job)
    {
        if (job.id <= 0)
            return JobStatus{};
        CupsConnection http;
        const std::optional<vuzo::QueueState> queue = http.QueueStateOf(job.queue);
        if (!queue)
            return JobStatus{true, QString(), vuzo::JobWait::QueueGone};
        const std::optional<vuzo::JobState> state = http.JobStateOf(job.queue, job.id);
        if (!state)
            return JobStatus{true, QString(), vuzo::JobWait::JobGone};
        const vuzo::JobVerdict verdict = vuzo::JudgeJob(job.queue, *state, *queue);
        return JobStatus{verdict.settled, verdict.problem, verdict.waiting, verdict.end};
    }

    void CancelJob()
    {
        if (m_painter && m_painter->isActive())
            m_painter->end();
        if (m_http && m_dest && m_jobId > 0)
            cupsCancelDestJob(m_http->get(), m_dest.get(), m_jobId);
        DropJob();
    }

    void DropJob()
    {
        if (m_painter && m_painter->isActive())
            m_painter->end();
        m_painter.reset();
        m_writer.reset();
        m_buffer.reset();
        m_info.reset();
        m_dest.reset();
        m_http.reset();
        m_jobId = 0;
    }

    // The destination's offer, read on first need; nullptr when it does not
    // exist (any more).
    const DestinationCaps *Caps(const QString &device)
    {
        const auto it = m_caps.constFind(device);
        if (it != m_caps.constEnd())
            return it->has_value() ? &**it : nullptr;
        std::optional<DestinationCaps> caps = ReadCaps(device);
        auto inserted = m_caps.insert(device, std::move(caps));
        return inserted->has_value() ? &**inserted : nullptr;
    }

    static std::optional<DestinationCaps> ReadCaps(const QString &device)
    {
        CupsConnection http;
        const std::optional<vuzo::IppAttributes> attributes = http.Describe(device);
        if (!attributes)
            return std::nullopt;
        return vuzo::ReadCapabilities(*attributes);
    }

    QHash<QString, std::optional<DestinationCaps>> m_caps;
    QStringList m_ports;

    std::unique_ptr<CupsConnection> m_http;
    DestPtr m_dest;
    InfoPtr m_info;
    int m_jobId = 0;
    int m_followJobId = 0;
    QString m_followDevice;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
};

} // namespace

std::unique_ptr<SystemPrinter> CreateCupsSystemPrinter()
{
    return std::make_unique<CupsSystemPrinter>();
}
