#pragma once
// Looks at jobs in the CUPS queues, for the tests and benchmarks that print
// through the real spooler (the program itself never looks at jobs). Every
// function fails with EWbPrinter when the print system cannot be reached.

#include <QList>
#include <QMap>
#include <QString>

namespace vuzo {

struct CupsJob
{
    int id = 0;
    QString queue;
    QString title;          // the IPP job-name
    bool completed = false; // completed, cancelled or aborted
};

// The current user's jobs of a queue, finished ones included.
QList<CupsJob> CupsJobs(const QString &queue);
// The job's attributes as text ("media" -> "iso_a5_148x210mm", ...).
QMap<QString, QString> CupsJobAttributes(int jobId);
// Cancels the job if it is still pending and removes it from the history.
void CupsPurgeJob(const QString &queue, int jobId);

} // namespace vuzo
