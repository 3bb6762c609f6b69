// The system printer over CUPS. This is the only file that includes the CUPS
// headers; the rest of the program sees SystemPrinter.
//
// Every request goes through a connection opened with a time limit, so a
// scheduler that is down or does not answer makes the call fail within a few
// seconds with "印刷システム(CUPS)に接続できません" instead of hanging.
// What a destination offers is read once per destination and kept until the
// next enumeration, which is when the layer looks for changes anyway.

#include "printer/CupsJobs.h"
#include "printer/PwgNames.h"
#include "printer/SystemPrinter.h"
#include "printer/WbPrinterErrors.h"
#include "printer/WbPrinters.h"

#include <QBuffer>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QUrl>

#include <cups/cups.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int ConnectTimeoutMs = 3000;
constexpr double RequestTimeoutSeconds = 5.0;
constexpr double ProbeTimeoutSeconds = 2.0;
// The resolution assumed for a destination that reports none.
constexpr int FallbackDpi = 300;

QString FromUtf8(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

// A connection to the scheduler that gives up instead of waiting forever.
class Connection
{
public:
    Connection()
    {
        m_http =
            httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, ConnectTimeoutMs, nullptr);
        if (!m_http)
            throw EWbPrinter(vuzo::PrintSystemUnavailableMessage());
        // Returning 0 from the callback abandons a request that is not
        // answered in time. A scheduler that accepts the connection and
        // never answers is found by one short request first, so that a
        // member asking several questions does not wait for each of them.
        httpSetTimeout(
            m_http, ProbeTimeoutSeconds, [](http_t *, void *) -> int { return 0; }, nullptr);
        ipp_t *probe = cupsDoRequest(m_http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
        const bool answered =
            probe != nullptr || (cupsLastError() != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE &&
                                 cupsLastError() != IPP_STATUS_ERROR_INTERNAL && httpError(m_http) == 0);
        ippDelete(probe);
        if (!answered) {
            httpClose(m_http);
            m_http = nullptr;
            throw EWbPrinter(vuzo::PrintSystemUnavailableMessage());
        }
        httpSetTimeout(
            m_http, RequestTimeoutSeconds, [](http_t *, void *) -> int { return 0; }, nullptr);
    }
    ~Connection()
    {
        if (m_http)
            httpClose(m_http);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    http_t *get() const { return m_http; }

    // A request that failed because the scheduler went away is the same
    // condition as not reaching it.
    void ThrowIfLost() const
    {
        const ipp_status_t status = cupsLastError();
        if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL ||
            httpError(m_http) != 0)
            throw EWbPrinter(vuzo::PrintSystemUnavailableMessage());
    }

private:
    http_t *m_http = nullptr;
};

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

struct Media
{
    QString pwg;
    QString name;
    int number = 0;
    int width = 0; // 1/100 mm
    int length = 0;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

struct Source
{
    QString keyword;
    QString name;
    int number = 0;
};

// What one destination offers, read once.
struct DestCaps
{
    QString driver;
    QString port;
    QList<Media> media;
    QString defaultMedia;
    QList<Source> sources;
    QString defaultSource;
    QList<WbSize> resolutions;
    WbSize defaultResolution;
    int maxCopies = 0;
    bool color = false;
    bool defaultColor = false;
    QStringList sides;
    QString defaultSides;
};

// Strips the credentials a device URI may carry before it is shown as a port.
QString PortFromDeviceUri(const QString &uri)
{
    const QUrl url(uri);
    if (!url.isValid() || url.userInfo().isEmpty())
        return uri;
    return url.adjusted(QUrl::RemoveUserInfo).toString();
}

QStringList Keywords(ipp_attribute_t *attr)
{
    QStringList out;
    if (!attr)
        return out;
    for (int i = 0; i < ippGetCount(attr); ++i)
        out.append(FromUtf8(ippGetString(attr, i, nullptr)));
    return out;
}

QString Keyword(ipp_attribute_t *attr)
{
    return attr && ippGetCount(attr) > 0 ? FromUtf8(ippGetString(attr, 0, nullptr)) : QString();
}

WbSize ResolutionAt(ipp_attribute_t *attr, int i)
{
    int y = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    int x = ippGetResolution(attr, i, &y, &units);
    if (units == IPP_RES_PER_CM) {
        x = x * 254 / 100;
        y = y * 254 / 100;
    }
    return WbSize{x, y};
}

class CupsSystemPrinter : public SystemPrinter
{
public:
    ~CupsSystemPrinter() override { DropJob(); }

    QList<PrinterEntry> EnumPrinters() override
    {
        Connection http;
        cups_dest_t *dests = nullptr;
        const int count = cupsGetDests2(http.get(), &dests);
        if (count == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE &&
            cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
            http.ThrowIfLost();
        QList<PrinterEntry> entries;
        QStringList ports;
        for (int i = 0; i < count; ++i) {
            const cups_dest_t &d = dests[i];
            if (d.instance)
                continue; // instances are option sets of a queue, not printers
            uint32_t attributes = PRINTER_ATTRIBUTE_LOCAL;
            if (d.is_default)
                attributes |= PRINTER_ATTRIBUTE_DEFAULT;
            entries.append(PrinterEntry{FromUtf8(d.name), attributes});
            ports.append(PortFromDeviceUri(FromUtf8(cupsGetOption("device-uri", d.num_options, d.options))));
        }
        cupsFreeDests(count, dests);
        // A fresh enumeration is when destinations are looked at anew.
        m_caps.clear();
        m_ports = ports;
        return entries;
    }

    QStringList EnumPorts() override
    {
        EnumPrinters();
        QStringList ports;
        for (const QString &p : std::as_const(m_ports)) {
            if (!p.isEmpty())
                ports.append(p);
        }
        return ports;
    }

    PrinterCapabilities DeviceCapabilities(const QString &device, const QString &, const DevMode &) override
    {
        PrinterCapabilities caps;
        const DestCaps *d = Caps(device);
        if (!d)
            return caps;
        for (const Media &m : d->media) {
            caps.paperNumbers.append(m.number);
            caps.paperNames.append(m.name);
        }
        for (const Source &s : d->sources) {
            caps.binNumbers.append(s.number);
            caps.binNames.append(s.name);
        }
        caps.resolutions = d->resolutions;
        caps.maxCopies = d->maxCopies;
        return caps;
    }

    // Settings the destination does not offer fall back to its defaults.
    bool DocumentProperties(const QString &device, DevMode &dm) override
    {
        const DestCaps *d = Caps(device);
        if (!d)
            return false;
        const DevMode defaults = DefaultsFor(device, *d);
        if (dm.dmFields & DM_PAPERSIZE) {
            const bool user = dm.dmPaperSize == DMPAPER_USER && (dm.dmFields & DM_PAPERWIDTH) &&
                              (dm.dmFields & DM_PAPERLENGTH) && dm.dmPaperWidth > 0 && dm.dmPaperLength > 0;
            if (!user && !FindMedia(*d, dm.dmPaperSize))
                dm.dmPaperSize = defaults.dmPaperSize;
        }
        if (dm.dmFields & DM_DEFAULTSOURCE) {
            const bool known = std::any_of(d->sources.begin(), d->sources.end(),
                                           [&](const Source &s) { return s.number == dm.dmDefaultSource; });
            if (!known)
                dm.dmDefaultSource = defaults.dmDefaultSource;
        }
        if (dm.dmFields & DM_PRINTQUALITY) {
            const WbSize wanted{dm.dmPrintQuality,
                                (dm.dmFields & DM_YRESOLUTION) ? dm.dmYResolution : dm.dmPrintQuality};
            if (!d->resolutions.contains(wanted) && !d->resolutions.isEmpty()) {
                dm.dmPrintQuality = defaults.dmPrintQuality;
                dm.dmYResolution = defaults.dmYResolution;
                dm.dmFields |= DM_YRESOLUTION;
            }
        }
        if (dm.dmOrientation != 1 && dm.dmOrientation != 2)
            dm.dmOrientation = 1;
        if (dm.dmCopies < 1)
            dm.dmCopies = 1;
        if (d->maxCopies > 0 && dm.dmCopies > d->maxCopies)
            dm.dmCopies = d->maxCopies;
        if (!d->color)
            dm.dmColor = 1;
        if (dm.dmDuplex < 1 || dm.dmDuplex > 3 || d->sides.size() < 2)
            dm.dmDuplex = 1;
        return true;
    }

protected:
    QString DefaultPrinterName() override
    {
        Connection http;
        DestPtr dest(cupsGetNamedDest(http.get(), nullptr, nullptr));
        if (!dest) {
            http.ThrowIfLost();
            return QString();
        }
        return FromUtf8(dest->name);
    }

    QString DriverName(const QString &device) override
    {
        const DestCaps *d = Caps(device);
        return d ? d->driver : QString();
    }

    QString PortOf(const QString &device) override
    {
        const DestCaps *d = Caps(device);
        return d ? d->port : QString();
    }

    std::optional<DevMode> DefaultDevMode(const QString &device) override
    {
        const DestCaps *d = Caps(device);
        if (!d)
            return std::nullopt;
        return DefaultsFor(device, *d);
    }

    DeviceGeometry GeometryFor(const QString &device, const DevMode &dm) override
    {
        DeviceGeometry g;
        const DestCaps *d = Caps(device);
        if (!d)
            return g;
        const WbSize dpi = DpiFor(*d, dm);
        Media m = MediaFor(*d, dm);
        if ((dm.dmFields & DM_ORIENTATION) && dm.dmOrientation == 2) {
            // The page turned a quarter anticlockwise on the sheet: its left
            // edge lies along the sheet's bottom edge, its top along the left.
            Media turned = m;
            turned.width = m.length;
            turned.length = m.width;
            turned.left = m.bottom;
            turned.right = m.top;
            turned.top = m.left;
            turned.bottom = m.right;
            m = turned;
        }
        auto px = [](int hundredthsMm, int dpiValue) { return int(int64_t(hundredthsMm) * dpiValue / 2540); };
        const int printableW = qMax(0, m.width - m.left - m.right);
        const int printableH = qMax(0, m.length - m.top - m.bottom);
        g.logPixelsX = dpi.cx;
        g.logPixelsY = dpi.cy;
        g.physicalWidth = px(m.width, dpi.cx);
        g.physicalHeight = px(m.length, dpi.cy);
        g.physicalOffsetX = px(m.left, dpi.cx);
        g.physicalOffsetY = px(m.top, dpi.cy);
        g.horzRes = px(printableW, dpi.cx);
        g.vertRes = px(printableH, dpi.cy);
        g.horzSizeMm = printableW / 100;
        g.vertSizeMm = printableH / 100;
        g.bitsPixel = d->color ? 24 : 1;
        g.planes = 1;
        return g;
    }

    bool StartJob(const JobRequest &request) override
    {
        DropJob();
        const DestCaps *d = Caps(request.device);
        if (!d)
            return false;
        auto http = std::make_unique<Connection>();
        DestPtr dest(cupsGetNamedDest(http->get(), request.device.toUtf8().constData(), nullptr));
        if (!dest)
            return false;
        InfoPtr info(cupsCopyDestInfo(http->get(), dest.get()));
        if (!info)
            return false;

        const DevMode &dm = request.devMode;
        const Media media = MediaFor(*d, dm);
        cups_option_t *options = nullptr;
        int numOptions = 0;
        auto add = [&](const char *name, const QString &value) {
            if (!value.isEmpty())
                numOptions = cupsAddOption(name, value.toUtf8().constData(), numOptions, &options);
        };
        add(CUPS_MEDIA, media.pwg);
        if (dm.dmFields & DM_DEFAULTSOURCE) {
            for (const Source &s : d->sources) {
                if (s.number == dm.dmDefaultSource) {
                    add(CUPS_MEDIA_SOURCE, s.keyword);
                    break;
                }
            }
        }
        const WbSize dpi = DpiFor(*d, dm);
        if (!d->resolutions.isEmpty())
            add("printer-resolution",
                dpi.cx == dpi.cy ? u"%1dpi"_s.arg(dpi.cx) : u"%1x%2dpi"_s.arg(dpi.cx).arg(dpi.cy));
        if (dm.dmFields & DM_ORIENTATION)
            add(CUPS_ORIENTATION, dm.dmOrientation == 2 ? u"4"_s : u"3"_s);
        if ((dm.dmFields & DM_DUPLEX) && d->sides.size() > 1)
            add(CUPS_SIDES, dm.dmDuplex == 3   ? u"two-sided-short-edge"_s
                            : dm.dmDuplex == 2 ? u"two-sided-long-edge"_s
                                               : u"one-sided"_s);
        if (dm.dmFields & DM_COLOR)
            add("print-color-mode", dm.dmColor == 2 ? u"color"_s : u"monochrome"_s);
        if ((dm.dmFields & DM_COPIES) && dm.dmCopies > 1) {
            add(CUPS_COPIES, QString::number(dm.dmCopies));
            if (dm.dmFields & DM_COLLATE)
                add("multiple-document-handling", dm.dmCollate == 1 ? u"separate-documents-collated-copies"_s
                                                                    : u"separate-documents-uncollated-copies"_s);
        }

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
            const QString reason = FromUtf8(cupsLastErrorString());
            CancelJob();
            throw EWbPrinter(u"印刷ジョブを送れませんでした (%1)"_s.arg(reason));
        }
        DropJob();
    }

    void JobAbort() override { CancelJob(); }

private:
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

    static const Media *FindMedia(const DestCaps &d, int number)
    {
        for (const Media &m : d.media) {
            if (m.number == number)
                return &m;
        }
        return nullptr;
    }

    static Media MediaFor(const DestCaps &d, const DevMode &dm)
    {
        const Media *standard = nullptr;
        for (const Media &m : d.media) {
            if (m.pwg == d.defaultMedia) {
                standard = &m;
                break;
            }
        }
        if (!standard && !d.media.isEmpty())
            standard = &d.media.first();
        Media fallback;
        if (standard) {
            fallback = *standard;
        } else {
            // A destination without media information prints on A4.
            fallback.pwg = u"iso_a4_210x297mm"_s;
            fallback.name = u"A4"_s;
            fallback.number = DMPAPER_A4;
            fallback.width = 21000;
            fallback.length = 29700;
        }
        if (dm.dmFields & DM_PAPERSIZE) {
            if (dm.dmPaperSize == DMPAPER_USER && (dm.dmFields & DM_PAPERWIDTH) && (dm.dmFields & DM_PAPERLENGTH) &&
                dm.dmPaperWidth > 0 && dm.dmPaperLength > 0) {
                Media user = fallback;
                user.width = dm.dmPaperWidth * 10;
                user.length = dm.dmPaperLength * 10;
                user.pwg = u"custom_vuzo_%1x%2mm"_s.arg(dm.dmPaperWidth / 10.0).arg(dm.dmPaperLength / 10.0);
                user.name = QString();
                user.number = DMPAPER_USER;
                return user;
            }
            if (const Media *m = FindMedia(d, dm.dmPaperSize))
                return *m;
        }
        return fallback;
    }

    static WbSize DpiFor(const DestCaps &d, const DevMode &dm)
    {
        WbSize dpi = d.defaultResolution;
        if ((dm.dmFields & DM_PRINTQUALITY) && dm.dmPrintQuality > 0) {
            dpi.cx = dm.dmPrintQuality;
            dpi.cy = ((dm.dmFields & DM_YRESOLUTION) && dm.dmYResolution > 0) ? dm.dmYResolution : dm.dmPrintQuality;
        }
        if (dpi.cx <= 0)
            dpi.cx = FallbackDpi;
        if (dpi.cy <= 0)
            dpi.cy = dpi.cx;
        return dpi;
    }

    DevMode DefaultsFor(const QString &device, const DestCaps &d) const
    {
        DevMode dm;
        dm.dmDeviceName = device;
        dm.dmFields = DM_ORIENTATION | DM_COPIES | DM_COLLATE;
        dm.dmOrientation = 1;
        dm.dmCopies = 1;
        dm.dmCollate = 1;
        dm.dmScale = 100;
        if (!d.media.isEmpty()) {
            dm.dmFields |= DM_PAPERSIZE;
            dm.dmPaperSize = MediaFor(d, DevMode{}).number;
        }
        if (!d.sources.isEmpty()) {
            dm.dmFields |= DM_DEFAULTSOURCE;
            dm.dmDefaultSource = d.sources.first().number;
            for (const Source &s : d.sources) {
                if (s.keyword == d.defaultSource) {
                    dm.dmDefaultSource = s.number;
                    break;
                }
            }
        }
        if (!d.resolutions.isEmpty()) {
            dm.dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
            const WbSize r = d.defaultResolution.cx > 0 ? d.defaultResolution : d.resolutions.first();
            dm.dmPrintQuality = r.cx;
            dm.dmYResolution = r.cy;
        }
        if (d.color) {
            dm.dmFields |= DM_COLOR;
            dm.dmColor = d.defaultColor ? 2 : 1;
        } else {
            dm.dmColor = 1;
        }
        if (d.sides.size() > 1) {
            dm.dmFields |= DM_DUPLEX;
            dm.dmDuplex = d.defaultSides == u"two-sided-long-edge"_s    ? 2
                          : d.defaultSides == u"two-sided-short-edge"_s ? 3
                                                                        : 1;
        } else {
            dm.dmDuplex = 1;
        }
        return dm;
    }

    // The destination's offer, read on first need; nullptr when it does not
    // exist (any more).
    const DestCaps *Caps(const QString &device)
    {
        const auto it = m_caps.constFind(device);
        if (it != m_caps.constEnd())
            return it->has_value() ? &**it : nullptr;
        std::optional<DestCaps> caps = ReadCaps(device);
        auto inserted = m_caps.insert(device, std::move(caps));
        return inserted->has_value() ? &**inserted : nullptr;
    }

    static std::optional<DestCaps> ReadCaps(const QString &device)
    {
        Connection http;
        DestPtr dest(cupsGetNamedDest(http.get(), device.toUtf8().constData(), nullptr));
        if (!dest) {
            http.ThrowIfLost();
            return std::nullopt;
        }
        DestCaps caps;
        caps.driver = FromUtf8(cupsGetOption("printer-make-and-model", dest->num_options, dest->options));
        caps.port = PortFromDeviceUri(FromUtf8(cupsGetOption("device-uri", dest->num_options, dest->options)));
        InfoPtr info(cupsCopyDestInfo(http.get(), dest.get()));
        if (!info) {
            // A destination that tells nothing about itself: no lists.
            return caps;
        }
        http_t *h = http.get();
        cups_dest_t *d = dest.get();
        cups_dinfo_t *i = info.get();

        QHash<QString, int> otherSizes;
        const int mediaCount = cupsGetDestMediaCount(h, d, i, CUPS_MEDIA_FLAGS_DEFAULT);
        for (int n = 0; n < mediaCount; ++n) {
            cups_size_t size{};
            if (!cupsGetDestMediaByIndex(h, d, i, n, CUPS_MEDIA_FLAGS_DEFAULT, &size))
                continue;
            Media m;
            m.pwg = FromUtf8(size.media);
            m.width = size.width;
            m.length = size.length;
            m.left = size.left;
            m.right = size.right;
            m.top = size.top;
            m.bottom = size.bottom;
            std::optional<int> number = vuzo::PaperNumberForMedia(m.pwg);
            if (!number)
                number = vuzo::PaperNumberForSize(m.width, m.length);
            if (number) {
                m.number = *number;
                m.name = vuzo::PaperNameForNumber(m.number);
            } else {
                auto found = otherSizes.constFind(m.pwg);
                if (found == otherSizes.constEnd())
                    found = otherSizes.insert(m.pwg, DMPAPER_USER + 1 + int(otherSizes.size()));
                m.number = found.value();
            }
            if (m.name.isEmpty()) {
                const char *localized = cupsLocalizeDestMedia(h, d, i, CUPS_MEDIA_FLAGS_DEFAULT, &size);
                m.name = localized && *localized ? FromUtf8(localized) : m.pwg;
            }
            if (m.width > 0 && m.length > 0)
                caps.media.append(m);
        }
        // The default sheet: the entry of that name, else the first of the
        // same paper size number.
        QString defaultName = Keyword(cupsFindDestDefault(h, d, i, CUPS_MEDIA));
        int defaultNumber = -1;
        cups_size_t defaultSize{};
        if (!defaultName.isEmpty()) {
            defaultNumber = vuzo::PaperNumberForMedia(defaultName).value_or(-1);
            if (const auto sz = vuzo::MediaSizeFromName(defaultName); defaultNumber < 0 && sz)
                defaultNumber = vuzo::PaperNumberForSize(sz->first, sz->second).value_or(-1);
        } else if (cupsGetDestMediaDefault(h, d, i, CUPS_MEDIA_FLAGS_DEFAULT, &defaultSize)) {
            defaultName = FromUtf8(defaultSize.media);
            defaultNumber = vuzo::PaperNumberForMedia(defaultName)
                                .value_or(vuzo::PaperNumberForSize(defaultSize.width, defaultSize.length).value_or(-1));
        }
        for (const Media &m : std::as_const(caps.media)) {
            if (m.pwg == defaultName) {
                caps.defaultMedia = m.pwg;
                break;
            }
        }
        for (const Media &m : std::as_const(caps.media)) {
            if (caps.defaultMedia.isEmpty() && m.number == defaultNumber)
                caps.defaultMedia = m.pwg;
        }

        const QStringList sources = Keywords(cupsFindDestSupported(h, d, i, CUPS_MEDIA_SOURCE));
        int otherSource = 0;
        for (const QString &keyword : sources) {
            Source s;
            s.keyword = keyword;
            // CUPS may hand back the value it was given when it has no
            // localisation, so the keyword's bytes must outlive the answer.
            const QByteArray keywordBytes = keyword.toUtf8();
            const char *localized = cupsLocalizeDestValue(h, d, i, CUPS_MEDIA_SOURCE, keywordBytes.constData());
            s.name = localized && *localized ? FromUtf8(localized) : keyword;
            // Sources without a standard number are numbered above every tray.
            s.number = vuzo::BinNumberForSource(keyword).value_or(DMBIN_USER + 1000 + otherSource++);
            caps.sources.append(s);
        }
        caps.defaultSource = Keyword(cupsFindDestDefault(h, d, i, CUPS_MEDIA_SOURCE));

        if (ipp_attribute_t *res = cupsFindDestSupported(h, d, i, "printer-resolution")) {
            for (int n = 0; n < ippGetCount(res); ++n) {
                const WbSize r = ResolutionAt(res, n);
                if (r.cx > 0 && r.cy > 0 && !caps.resolutions.contains(r))
                    caps.resolutions.append(r);
            }
        }
        if (ipp_attribute_t *res = cupsFindDestDefault(h, d, i, "printer-resolution"); res && ippGetCount(res) > 0)
            caps.defaultResolution = ResolutionAt(res, 0);

        if (ipp_attribute_t *copies = cupsFindDestSupported(h, d, i, CUPS_COPIES); copies && ippGetCount(copies) > 0) {
            int upper = 0;
            if (ippGetValueTag(copies) == IPP_TAG_RANGE)
                ippGetRange(copies, 0, &upper);
            else if (ippGetValueTag(copies) == IPP_TAG_INTEGER)
                upper = ippGetInteger(copies, 0);
            caps.maxCopies = upper;
        }

        caps.color = Keywords(cupsFindDestSupported(h, d, i, "print-color-mode")).contains(u"color"_s);
        caps.defaultColor = Keyword(cupsFindDestDefault(h, d, i, "print-color-mode")) == u"color"_s;
        caps.sides = Keywords(cupsFindDestSupported(h, d, i, CUPS_SIDES));
        caps.defaultSides = Keyword(cupsFindDestDefault(h, d, i, CUPS_SIDES));
        return caps;
    }

    QHash<QString, std::optional<DestCaps>> m_caps;
    QStringList m_ports;

    std::unique_ptr<Connection> m_http;
    DestPtr m_dest;
    InfoPtr m_info;
    int m_jobId = 0;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
};

} // namespace

std::unique_ptr<SystemPrinter> CreateCupsSystemPrinter()
{
    return std::make_unique<CupsSystemPrinter>();
}

// ---------------------------------------------------------------------------
// Job inspection

QList<vuzo::CupsJob> vuzo::CupsJobs(const QString &queue)
{
    Connection http;
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(http.get(), &jobs, queue.toUtf8().constData(), 1, CUPS_WHICHJOBS_ALL);
    if (count < 0)
        http.ThrowIfLost();
    QList<CupsJob> out;
    for (int i = 0; i < count; ++i) {
        CupsJob job;
        job.id = jobs[i].id;
        job.queue = FromUtf8(jobs[i].dest);
        job.title = FromUtf8(jobs[i].title);
        job.completed = jobs[i].state >= IPP_JSTATE_CANCELED;
        out.append(job);
    }
    cupsFreeJobs(count, jobs);
    return out;
}

QMap<QString, QString> vuzo::CupsJobAttributes(int jobId)
{
    Connection http;
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = u"ipp://localhost/jobs/%1"_s.arg(jobId).toUtf8();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t *response = cupsDoRequest(http.get(), request, "/");
    QMap<QString, QString> out;
    if (!response) {
        http.ThrowIfLost();
        return out;
    }
    for (ipp_attribute_t *a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
        if (!ippGetName(a))
            continue;
        char buffer[2048];
        ippAttributeString(a, buffer, sizeof buffer);
        out.insert(FromUtf8(ippGetName(a)), FromUtf8(buffer));
    }
    ippDelete(response);
    return out;
}

void vuzo::CupsPurgeJob(const QString &queue, int jobId)
{
    Connection http;
    cupsCancelJob2(http.get(), queue.toUtf8().constData(), jobId, 1);
}
