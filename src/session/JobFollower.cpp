#include "session/JobFollower.h"

#include "platform/Errors.h"
#include "printer/WbPrinters.h"

namespace session {

JobFollower::JobFollower(QObject *parent, StatusQuery status) : QObject(parent), m_status(std::move(status))
{
    if (!m_status)
        m_status = [] { return WbPrinter().LastJobStatus(); };
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &JobFollower::poll);
}

void JobFollower::follow()
{
    m_polls = 0;
    m_timer.start();
}

void JobFollower::poll()
{
    ++m_polls;
    SystemPrinter::JobStatus status;
    try {
        status = m_status();
    } catch (const EVuzoError &) {
        // The print system went away after taking the job: the next print
        // tells that; nothing is known about this job.
        status = SystemPrinter::JobStatus{};
    }
    if (status.settled || m_polls >= kPolls)
        m_timer.stop();
    if (!status.problem.isEmpty())
        Q_EMIT problem(status.problem);
}

} // namespace session
