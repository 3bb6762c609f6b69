#include "CupsJobs.h"

#include "printer/CupsConnection.h"
#include "printer/WbPrinterErrors.h"

#include <cups/cups.h>

using namespace Qt::StringLiterals;
using vuzo::CupsConnection;
using vuzo::FromCups;

QList<vuzo::CupsJob> vuzo::CupsJobs(const QString &queue)
{
    CupsConnection http;
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(http.get(), &jobs, queue.toUtf8().constData(), 1, CUPS_WHICHJOBS_ALL);
    if (count < 0)
        http.ThrowIfLost();
    QList<CupsJob> out;
    for (int i = 0; i < count; ++i) {
        CupsJob job;
        job.id = jobs[i].id;
        job.queue = FromCups(jobs[i].dest);
        job.title = FromCups(jobs[i].title);
        job.completed = jobs[i].state >= IPP_JSTATE_CANCELED;
        out.append(job);
    }
    cupsFreeJobs(count, jobs);
    return out;
}

QMap<QString, QString> vuzo::CupsJobAttributes(int jobId)
{
    CupsConnection http;
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
        out.insert(FromCups(ippGetName(a)), FromCups(buffer));
    }
    ippDelete(response);
    return out;
}

void vuzo::CupsPurgeJob(const QString &queue, int jobId)
{
    CupsConnection http;
    cupsCancelJob2(http.get(), queue.toUtf8().constData(), jobId, 1);
}
