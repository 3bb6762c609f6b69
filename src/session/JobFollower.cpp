#include "session/JobFollower.h"

#include "platform/Errors.h"
#include "printer/AskAway.h"
#include "printer/WbPrinters.h"

namespace session {

using vuzo::JobEnd;
using vuzo::JobWait;

JobFollower::JobFollower(QObject *parent, StatusQuery status) : QObject(parent), m_status(std::move(status))
{
    m_timer.setInterval(kPollMs);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &JobFollower::poll);
}

void JobFollower::follow()
{
    follow(m_status ? SystemPrinter::JobTicket{} : WbPrinter().System().LastJob());
}

void JobFollower::follow(const SystemPrinter::JobTicket &job)
{
    if (m_following)
        letGo(m_waiting == JobWait::None ? JobWait::Pending : m_waiting);
    if (!m_status && job.id <= 0)
        return; // nothing was handed over
    m_job = job;
    m_following = true;
    m_waiting = JobWait::Pending;
    m_polls = 0;
    ++m_round;
    m_timer.start();
}

void JobFollower::poll()
{
    ++m_polls;
    std::function<SystemPrinter::JobStatus()> question;
    bool mayBlock = false;
    if (m_status) {
        question = [status = m_status, job = m_job] {
            try {
                return status(job);
            } catch (const EVuzoError &) {
                return SystemPrinter::JobStatus{true, QString(), JobWait::Unreachable};
            }
        };
    } else {
        try {
            SystemPrinter &system = WbPrinter().System();
            question = system.JobStatusQuestion(m_job);
            mayBlock = system.QuestionsMayBlock();
        } catch (const EVuzoError &) {
            question = [] { return SystemPrinter::JobStatus{true, QString(), JobWait::Unreachable}; };
        }
    }
    vuzo::AskAway<SystemPrinter::JobStatus>(this, mayBlock, std::move(question),
                                            [this, round = m_round](const SystemPrinter::JobStatus &status) {
                                                if (round == m_round && m_following)
                                                    answered(status);
                                            });
}

void JobFollower::answered(const SystemPrinter::JobStatus &status)
{
    if (status.settled) {
        if (status.end != JobEnd::None)
            Q_EMIT ended(m_job, status.end);
        if (!status.problem.isEmpty()) {
            m_following = false;
            Q_EMIT problem(status.problem);
            return;
        }
        letGo(status.waiting);
        return;
    }
    if (status.waiting != JobWait::None)
        m_waiting = status.waiting;
    if (m_polls >= kPolls) {
        letGo(m_waiting);
        return;
    }
    m_timer.start();
}

void JobFollower::letGo(JobWait why)
{
    m_timer.stop();
    m_following = false;
    ++m_round;
    if (why != JobWait::None)
        Q_EMIT problem(vuzo::UnprintedJobText(m_job.id, m_job.queue, why));
}

} // namespace session
