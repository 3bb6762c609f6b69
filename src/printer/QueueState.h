#pragma once
// The state of a print queue and of a job as the print system reports them,
// and what they mean to the operator. Reading them needs the scheduler
// (CupsConnection); judging them does not.

#include <QString>
#include <QStringList>

namespace vuzo {

struct QueueState
{
    int state = 3;         // printer-state: 3 idle, 4 processing, 5 stopped
    bool accepting = true; // printer-is-accepting-jobs
    QString message;       // printer-state-message
    QStringList reasons;   // printer-state-reasons keywords
};

struct JobState
{
    int state = 0;       // job-state: 3 pending ... 9 completed; 0 unknown
    QString message;     // job-printer-state-message
    QStringList reasons; // job-state-reasons keywords
};

// A job-state-reasons or printer-state-reasons keyword in Japanese, the
// printer's -report, -warning and -error endings disregarded; an unknown
// keyword as the print system writes it.
QString ReasonText(const QString &keyword);

// Why a queue in that state does not take a job now, in Japanese; empty when
// it takes jobs.
QString QueueProblemText(const QString &queue, const QueueState &queueState);

// Why a job handed to the print system has not printed (yet).
enum class JobWait
{
    None,        // printed, or nothing is known that keeps it
    Pending,     // waiting in the queue
    Incoming,    // the print system is still taking its data
    Processing,  // on the printer
    Held,        // held in the queue (by an operator or a hold time)
    QueueGone,   // its queue no longer exists
    JobGone,     // the print system no longer knows it
    Unreachable, // the print system cannot be asked
};

// How the print system ended a job: not (yet) known, printed, stopped by it
// (aborted, or its queue stopped under it), or cancelled by someone.
enum class JobEnd
{
    None,
    Completed,
    Stopped,
    Cancelled,
};

// What the print system did with a job: settled when it is done with it (or
// holds it, which only an operator ends), the problem when it stopped the job
// or the queue stopped under it, and what keeps a job from printing.
struct JobVerdict
{
    bool settled = false;
    QString problem;
    JobWait waiting = JobWait::None;
    JobEnd end = JobEnd::None;
};
JobVerdict JudgeJob(const QString &queue, const JobState &job, const QueueState &queueState);

// What the operator is told of a job that is let go before it printed: the
// job's number, why, and what to do, in Japanese. A job number of 0 or less
// is left out.
QString UnprintedJobText(int jobId, const QString &queue, JobWait why);

} // namespace vuzo
