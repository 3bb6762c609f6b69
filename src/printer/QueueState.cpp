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
// reasons other than "none", in Japanese.
QString Reason(const QString &message, const QStringList &reasons)
{
    if (!message.trimmed().isEmpty())
        return message.trimmed();
    QStringList shown;
    for (const QString &r : reasons) {
        if (r != u"none"_s)
            shown.append(ReasonText(r));
    }
    return shown.join(u"、"_s);
}

QString WithReason(const QString &text, const QString &reason)
{
    return reason.isEmpty() ? text : text + u"\n（"_s + reason + u"）"_s;
}

} // namespace

QString ReasonText(const QString &keyword)
{
    struct Entry
    {
        QStringView keyword;
        QStringView text;
    };
    static constexpr Entry table[] = {
        {u"job-canceled-by-user", u"利用者が取り消しました"},
        {u"job-canceled-by-operator", u"管理者が取り消しました"},
        {u"job-canceled-at-device", u"プリンタ本体で取り消されました"},
        {u"job-aborted-by-system", u"印刷システムが中止しました"},
        {u"job-completed-with-errors", u"エラーがあったまま終わりました"},
        {u"job-completed-with-warnings", u"警告があったまま終わりました"},
        {u"job-hold-until-specified", u"指定の時刻まで保留されています"},
        {u"job-printing", u"印刷中です"},
        {u"document-format-error", u"印刷データを処理できません"},
        {u"document-unprintable-error", u"印刷データを印刷できません"},
        {u"unsupported-document-format", u"印刷データの形式に対応していません"},
        {u"processing-to-stop-point", u"止まる途中です"},
        {u"printer-stopped", u"プリンタが停止しています"},
        {u"media-empty", u"用紙がありません"},
        {u"media-needed", u"用紙を補給してください"},
        {u"media-low", u"用紙が残り少なくなっています"},
        {u"media-jam", u"紙詰まりです"},
        {u"input-tray-missing", u"給紙トレイがありません"},
        {u"output-area-full", u"排紙トレイがいっぱいです"},
        {u"toner-low", u"トナーが残り少なくなっています"},
        {u"toner-empty", u"トナーがありません"},
        {u"marker-supply-low", u"インクまたはトナーが残り少なくなっています"},
        {u"marker-supply-empty", u"インクまたはトナーがありません"},
        {u"door-open", u"扉が開いています"},
        {u"cover-open", u"カバーが開いています"},
        {u"offline", u"プリンタがオフラインです"},
        {u"paused", u"プリンタが一時停止しています"},
        {u"shutdown", u"プリンタの電源が切れています"},
        {u"connecting-to-device", u"プリンタに接続しています"},
        {u"timed-out", u"プリンタが応答しません"},
        {u"stopped-partly", u"プリンタの一部の機能が止まっています"},
        {u"stopping", u"プリンタが止まる途中です"},
        {u"moving-to-paused", u"プリンタが一時停止する途中です"},
        {u"spool-area-full", u"印刷システムの保存領域がいっぱいです"},
        {u"other", u"その他の理由です"},
    };
    QStringView bare(keyword);
    for (QStringView ending : {u"-report", u"-warning", u"-error"}) {
        if (bare.endsWith(ending)) {
            bare.chop(ending.size());
            break;
        }
    }
    for (const Entry &e : table) {
        if (e.keyword == bare)
            return e.text.toString();
    }
    return keyword;
}

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
    case JobCompleted: return {true, QString(), JobWait::None, JobEnd::Completed};
    case JobStopped:
    case JobAborted:
    case JobCanceled: {
        QString reason = Reason(job.message, job.reasons);
        if (reason.isEmpty())
            reason = Reason(q.message, q.reasons);
        const QString what = job.state == JobCanceled ? u"取り消されました"_s : u"止まりました"_s;
        return {true,
                WithReason(u"プリンタ「"_s + queue + u"」で印刷が"_s + what +
                               u"。伝票が出てこない場合は、プリンタを確かめてから印刷し直してください。"_s,
                           reason),
                JobWait::None, job.state == JobCanceled ? JobEnd::Cancelled : JobEnd::Stopped};
    }
    case JobPending:
    case JobHeld:
    case JobProcessing: {
        // A queue that stopped under its job (the backend failed and the
        // queue's policy is to stop) leaves the job waiting for ever.
        if (q.state == PrinterStopped)
            return {true,
                    WithReason(u"プリンタ「"_s + queue +
                                   u"」が止まったため、印刷が止まっています。プリンタの状態を確かめ、"
                                   u"プリンタの管理画面で再開してください。"_s,
                               Reason(q.message.isEmpty() ? job.message : q.message, q.reasons)),
                    JobWait::Pending, JobEnd::Stopped};
        // A job still taking its data is not held, whatever its state says.
        if (job.reasons.contains(u"job-incoming"_s))
            return {false, QString(), JobWait::Incoming};
        // A held job waits for an operator: following it longer tells nothing.
        if (job.state == JobHeld)
            return {true, QString(), JobWait::Held};
        return {false, QString(), job.state == JobProcessing ? JobWait::Processing : JobWait::Pending};
    }
    default: return {true, QString()};
    }
}

QString UnprintedJobText(int jobId, const QString &queue, JobWait why)
{
    const QString job = jobId > 0 ? u"印刷ジョブ %1 "_s.arg(jobId) : u"印刷ジョブ"_s;
    const QString notYet = job + u"はまだ印刷されていません（"_s;
    const QString unknown = job + u"が印刷されたか確かめられません（"_s;
    const QString again = u"伝票が出てこない場合は、印刷し直してください。"_s;
    switch (why) {
    case JobWait::None: return QString();
    case JobWait::Pending: return notYet + u"印刷待ち）。プリンタの電源と接続を確かめてください。"_s + again;
    case JobWait::Incoming:
        return notYet + u"印刷データの受け取り途中）。印刷システム(CUPS)が動いているか確かめてください。"_s + again;
    case JobWait::Processing: return notYet + u"印刷中）。プリンタの状態を確かめてください。"_s + again;
    case JobWait::Held:
        return notYet + u"保留中）。プリンタの管理画面（http://localhost:631/jobs/）で保留を解除するか、"_s
                        u"取り消して印刷し直してください。"_s;
    case JobWait::QueueGone:
        return notYet + u"プリンタ「"_s + queue +
               u"」が見つかりません）。プリンタを確かめ、印刷設定タブで登録し直してから印刷し直してください。"_s;
    case JobWait::JobGone: return unknown + u"印刷システムにジョブがありません）。"_s + again;
    case JobWait::Unreachable:
        return unknown + u"印刷システム(CUPS)に接続できません）。印刷システムが動いているか確かめてください。"_s +
               again;
    }
    return QString();
}

} // namespace vuzo
