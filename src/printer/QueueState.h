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

// What the print system did with a job: settled when it is done with it, and
// the problem when it stopped the job or the queue stopped under it.
struct JobVerdict
{
    bool settled = false;
    QString problem;
};
JobVerdict JudgeJob(const QString &queue, const JobState &job, const QueueState &queueState);

} // namespace vuzo
