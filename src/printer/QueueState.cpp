#include "printer/QueueState.h"

using namespace Qt::StringLiterals;

namespace vuzo {

namespace {

constexpr int PrinterStopped = 5;
constexpr int JobPending = 3;
constexpr int JobHeld = 4;
constexpr int JobProcessing = 5;
constexpr int JobStopped = 6;
constexpr int JobCanceled = 7;
constexpr int JobAborted = 8;
constexpr int JobCompleted = 9;

// The print system's own words, where it gives any: the message, else the
// reasons other than "none".
QString Reason(const QString &message, const QStringList &reasons)
{
    if (!message.trimmed().isEmpty())
        return message.trimmed();
    QStringList shown;
    for (const QString &r : reasons) {
        if (r != u"none"_s)
            shown.append(r);
    }
    return shown.join(u", "_s);
}

QString WithReason(const QString &text, const QString &reason)
{
    return reason.isEmpty() ? text : text + u"\n（"_s + reason + u"）"_s;
}

} // namespace

QString QueueProblemText(const QString &queue, const QueueState &q)
{
    const QString reason = Reason(q.message, q.reasons);
    if (q.state == PrinterStopped)
        return WithReason(u"プリンタ「"_s + queue +
                              u"」は停止しています。プリンタの状態を確かめ、プリンタの管理画面で再開してから"
                              u"印刷してください。"_s,
                          reason);
    if (!q.accepting)
        return WithReason(u"プリンタ「"_s + queue +
                              u"」は現在ジョブを受け付けていません。プリンタの管理画面で受け付けを再開してから"
                              u"印刷してください。"_s,
                          reason);
    return QString();
}

JobVerdict JudgeJob(const QString &queue, const JobState &job, const QueueState &q)
{
    switch (job.state) {
    case JobCompleted: return {true, QString()};
    case JobStopped:
    case JobAborted:
    case JobCanceled: {
        QString reason = Reason(job.message, job.reasons);
        if (reason.isEmpty())
            reason = Reason(q.message, q.reasons);
        const QString what = job.state == JobCanceled ? u"取り消されました"_s : u"止まりました"_s;
        return {true, WithReason(u"プリンタ「"_s + queue + u"」で印刷が"_s + what +
                                     u"。伝票が出てこない場合は、プリンタを確かめてから印刷し直してください。"_s,
                                 reason)};
    }
    case JobPending:
    case JobHeld:
    case JobProcessing:
        // A queue that stopped under its job (the backend failed and the
        // queue's policy is to stop) leaves the job waiting for ever.
        if (q.state == PrinterStopped)
            return {true, WithReason(u"プリンタ「"_s + queue +
                                         u"」が止まったため、印刷が止まっています。プリンタの状態を確かめ、"
                                         u"プリンタの管理画面で再開してください。"_s,
                                     Reason(q.message.isEmpty() ? job.message : q.message, q.reasons))};
        return {false, QString()};
    default: return {true, QString()};
    }
}

} // namespace vuzo
