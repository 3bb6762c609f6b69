#pragma once
// A connection to the CUPS scheduler that gives up instead of waiting forever.
//
// Opening it connects within a few seconds and asks one short question; a
// scheduler that is down or does not answer makes the constructor raise
// EWbPrinter with "印刷システム(CUPS)に接続できません". Requests on an open
// connection are abandoned when they are not answered in time.
//
// Only the Cups*.cpp files include CUPS headers. This header names CUPS's
// connection type the way <cups/http.h> does, so the files that only pass a
// connection around need none.

#include "printer/CapabilityReader.h"
#include "printer/QueueState.h"

#include <QString>
#include <optional>

typedef struct _http_s http_t;

namespace vuzo {

class CupsConnection
{
public:
    CupsConnection();
    ~CupsConnection();
    CupsConnection(const CupsConnection &) = delete;
    CupsConnection &operator=(const CupsConnection &) = delete;

    http_t *get() const { return m_http; }

    // After a request that failed: raises the unreachable error when the
    // scheduler went away or could not serve it, and returns otherwise (the
    // request simply had no answer).
    void ThrowIfLost() const;

    // What the destination says about itself, for ReadCapabilities; nullopt
    // when there is no destination of that name. A destination that does not
    // describe itself gives only the attributes of the destination list.
    std::optional<IppAttributes> Describe(const QString &device);

    // The queue's state now; nullopt when there is no queue of that name.
    std::optional<QueueState> QueueStateOf(const QString &device);
    // A job's state now; nullopt when the queue or the job is not known.
    std::optional<JobState> JobStateOf(const QString &device, int jobId);

private:
    http_t *m_http = nullptr;
};

// Text from CUPS; a null pointer gives an empty string.
QString FromCups(const char *text);

} // namespace vuzo
