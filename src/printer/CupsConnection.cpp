#include "printer/CupsConnection.h"

#include "printer/WbPrinterErrors.h"

#include <cups/cups.h>

#include <functional>
#include <initializer_list>
#include <memory>

using namespace Qt::StringLiterals;

namespace vuzo {

namespace {

constexpr int ConnectTimeoutMs = 3000;
constexpr double RequestTimeoutSeconds = 5.0;
constexpr double ProbeTimeoutSeconds = 2.0;

// Returning 0 from the timeout callback abandons a request that is not
// answered in time.
int GiveUp(http_t *, void *)
{
    return 0;
}

struct DestDeleter
{
    void operator()(cups_dest_t *d) const { cupsFreeDests(1, d); }
};
struct InfoDeleter
{
    void operator()(cups_dinfo_t *i) const { cupsFreeDestInfo(i); }
};

QStringList Keywords(ipp_attribute_t *attr)
{
    QStringList out;
    if (!attr)
        return out;
    for (int i = 0; i < ippGetCount(attr); ++i)
        out.append(FromCups(ippGetString(attr, i, nullptr)));
    return out;
}

// Resolutions as IPP writes them: "300dpi", "300x600dpi", "118dpcm".
QStringList Resolutions(ipp_attribute_t *attr)
{
    QStringList out;
    if (!attr)
        return out;
    for (int i = 0; i < ippGetCount(attr); ++i) {
        int y = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        const int x = ippGetResolution(attr, i, &y, &units);
        const QString unit = units == IPP_RES_PER_CM ? u"dpcm"_s : u"dpi"_s;
        out.append(x == y ? u"%1%2"_s.arg(x).arg(unit) : u"%1x%2%3"_s.arg(x).arg(y).arg(unit));
    }
    return out;
}

// The first value of an integer or a range as IPP writes it: "99", "1-9999".
QStringList Limit(ipp_attribute_t *attr)
{
    if (!attr || ippGetCount(attr) <= 0)
        return {};
    if (ippGetValueTag(attr) == IPP_TAG_RANGE) {
        int upper = 0;
        const int lower = ippGetRange(attr, 0, &upper);
        return {u"%1-%2"_s.arg(lower).arg(upper)};
    }
    if (ippGetValueTag(attr) == IPP_TAG_INTEGER)
        return {QString::number(ippGetInteger(attr, 0))};
    return {};
}

IppMediaSize MediaSize(const cups_size_t &size)
{
    IppMediaSize m;
    m.media = FromCups(size.media);
    m.width = size.width;
    m.length = size.length;
    m.left = size.left;
    m.right = size.right;
    m.top = size.top;
    m.bottom = size.bottom;
    return m;
}

} // namespace

QString FromCups(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

CupsConnection::CupsConnection()
{
    m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, ConnectTimeoutMs, nullptr);
    if (!m_http)
        throw EWbPrinter(PrintSystemUnavailableMessage());
    // A scheduler that accepts the connection and never answers is found by
    // one short request first, so that a member asking several questions
    // does not wait for each of them.
    httpSetTimeout(m_http, ProbeTimeoutSeconds, GiveUp, nullptr);
    ipp_t *probe = cupsDoRequest(m_http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    const bool answered = probe != nullptr || (cupsLastError() != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE &&
                                               cupsLastError() != IPP_STATUS_ERROR_INTERNAL && httpError(m_http) == 0);
    ippDelete(probe);
    if (!answered) {
        httpClose(m_http);
        m_http = nullptr;
        throw EWbPrinter(PrintSystemUnavailableMessage());
    }
    httpSetTimeout(m_http, RequestTimeoutSeconds, GiveUp, nullptr);
}

CupsConnection::~CupsConnection()
{
    if (m_http)
        httpClose(m_http);
}

void CupsConnection::ThrowIfLost() const
{
    // A request that failed because the scheduler went away is the same
    // condition as not reaching it.
    const ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL || httpError(m_http) != 0)
        throw EWbPrinter(PrintSystemUnavailableMessage());
}

std::optional<IppAttributes> CupsConnection::Describe(const QString &device)
{
    const std::unique_ptr<cups_dest_t, DestDeleter> dest(
        cupsGetNamedDest(m_http, device.toUtf8().constData(), nullptr));
    if (!dest) {
        ThrowIfLost();
        return std::nullopt;
    }
    IppAttributes attributes;
    for (const char *option : {"printer-make-and-model", "device-uri"}) {
        if (const char *value = cupsGetOption(option, dest->num_options, dest->options))
            attributes.values.insert(QString::fromLatin1(option), {FromCups(value)});
    }
    const std::unique_ptr<cups_dinfo_t, InfoDeleter> info(cupsCopyDestInfo(m_http, dest.get()));
    if (!info)
        return attributes; // a destination that tells nothing about itself
    http_t *h = m_http;
    cups_dest_t *d = dest.get();
    cups_dinfo_t *i = info.get();
    auto put = [&](const QString &name, const QStringList &values) {
        if (!values.isEmpty())
            attributes.values.insert(name, values);
    };

    const int mediaCount = cupsGetDestMediaCount(h, d, i, CUPS_MEDIA_FLAGS_DEFAULT);
    for (int n = 0; n < mediaCount; ++n) {
        cups_size_t size{};
        if (!cupsGetDestMediaByIndex(h, d, i, n, CUPS_MEDIA_FLAGS_DEFAULT, &size))
            continue;
        IppMediaSize m = MediaSize(size);
        // Asked for every sheet: a driver's or the print system's
        // translation goes before the names of our own.
        m.localizedName = FromCups(cupsLocalizeDestMedia(h, d, i, CUPS_MEDIA_FLAGS_DEFAULT, &size));
        attributes.media.append(m);
    }
    put(u"media-default"_s, Keywords(cupsFindDestDefault(h, d, i, CUPS_MEDIA)));
    cups_size_t defaultSize{};
    if (attributes.values.value(u"media-default"_s).value(0).isEmpty() &&
        cupsGetDestMediaDefault(h, d, i, CUPS_MEDIA_FLAGS_DEFAULT, &defaultSize))
        attributes.defaultMediaSize = MediaSize(defaultSize);

    const QStringList sources = Keywords(cupsFindDestSupported(h, d, i, CUPS_MEDIA_SOURCE));
    put(u"media-source-supported"_s, sources);
    for (const QString &keyword : sources) {
        // CUPS may hand back the value it was given when it has no
        // localisation, so the keyword's bytes must outlive the answer.
        const QByteArray keywordBytes = keyword.toUtf8();
        if (const char *localized = cupsLocalizeDestValue(h, d, i, CUPS_MEDIA_SOURCE, keywordBytes.constData()))
            attributes.sourceNames.insert(keyword, FromCups(localized));
    }
    put(u"media-source-default"_s, Keywords(cupsFindDestDefault(h, d, i, CUPS_MEDIA_SOURCE)));

    put(u"printer-resolution-supported"_s, Resolutions(cupsFindDestSupported(h, d, i, "printer-resolution")));
    put(u"printer-resolution-default"_s, Resolutions(cupsFindDestDefault(h, d, i, "printer-resolution")));
    put(u"copies-supported"_s, Limit(cupsFindDestSupported(h, d, i, CUPS_COPIES)));
    put(u"print-color-mode-supported"_s, Keywords(cupsFindDestSupported(h, d, i, "print-color-mode")));
    put(u"print-color-mode-default"_s, Keywords(cupsFindDestDefault(h, d, i, "print-color-mode")));
    put(u"sides-supported"_s, Keywords(cupsFindDestSupported(h, d, i, CUPS_SIDES)));
    put(u"sides-default"_s, Keywords(cupsFindDestDefault(h, d, i, CUPS_SIDES)));
    return attributes;
}

namespace {

// The queue's address as the scheduler names it; empty when there is no
// queue of that name.
QByteArray QueueUri(http_t *http, const QString &device)
{
    const std::unique_ptr<cups_dest_t, DestDeleter> dest(cupsGetNamedDest(http, device.toUtf8().constData(), nullptr));
    if (!dest)
        return QByteArray();
    if (const char *uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options))
        return QByteArray(uri);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     dest->name);
    return QByteArray(uri);
}

struct IppDeleter
{
    void operator()(ipp_t *p) const { ippDelete(p); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

QString Text(ipp_t *response, const char *name)
{
    ipp_attribute_t *a = ippFindAttribute(response, name, IPP_TAG_ZERO);
    return a ? FromCups(ippGetString(a, 0, nullptr)) : QString();
}

// Asks the scheduler about the queue of `device`: a request of `op` with the
// queue's address, the operation attributes `add` puts in, and the attributes
// wanted back. Null when there is no such queue or the request had no answer;
// a scheduler that went away raises.
IppPtr AskQueue(const CupsConnection &cups, const QString &device, ipp_op_t op,
                std::initializer_list<const char *> wanted, const std::function<void(ipp_t *)> &add = {})
{
    const QByteArray uri = QueueUri(cups.get(), device);
    if (uri.isEmpty()) {
        cups.ThrowIfLost();
        return nullptr;
    }
    ipp_t *request = ippNewRequest(op);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    if (add)
        add(request);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(wanted.size()), nullptr,
                  wanted.begin());
    IppPtr response(cupsDoRequest(cups.get(), request, "/"));
    if (!response || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
        cups.ThrowIfLost();
        return nullptr;
    }
    return response;
}

} // namespace

std::optional<QueueState> CupsConnection::QueueStateOf(const QString &device)
{
    const IppPtr response =
        AskQueue(*this, device, IPP_OP_GET_PRINTER_ATTRIBUTES,
                 {"printer-state", "printer-is-accepting-jobs", "printer-state-message", "printer-state-reasons"});
    if (!response)
        return std::nullopt;
    QueueState state;
    if (ipp_attribute_t *a = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM))
        state.state = ippGetInteger(a, 0);
    if (ipp_attribute_t *a = ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
        state.accepting = ippGetBoolean(a, 0);
    state.message = Text(response.get(), "printer-state-message");
    state.reasons = Keywords(ippFindAttribute(response.get(), "printer-state-reasons", IPP_TAG_ZERO));
    return state;
}

std::optional<JobState> CupsConnection::JobStateOf(const QString &device, int jobId)
{
    const IppPtr response = AskQueue(
        *this, device, IPP_OP_GET_JOB_ATTRIBUTES, {"job-state", "job-state-reasons", "job-printer-state-message"},
        [jobId](ipp_t *request) {
            ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
            ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
        });
    if (!response)
        return std::nullopt;
    JobState state;
    if (ipp_attribute_t *a = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM))
        state.state = ippGetInteger(a, 0);
    state.message = Text(response.get(), "job-printer-state-message");
    state.reasons = Keywords(ippFindAttribute(response.get(), "job-state-reasons", IPP_TAG_ZERO));
    return state;
}

} // namespace vuzo
