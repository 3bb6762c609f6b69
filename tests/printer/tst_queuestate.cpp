// What the states of a queue and of a job handed over mean to the operator.

#include "printer/QueueState.h"

#include <QTest>

using namespace Qt::StringLiterals;
using vuzo::JobState;
using vuzo::QueueState;

class TestQueueState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void queueProblems_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("accepting");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected"); // parts the text holds; empty: no problem
        QTest::newRow("idle") << 3 << true << QString() << QString();
        QTest::newRow("busy with another job") << 4 << true << u"Printing page 2"_s << QString();
        QTest::newRow("stopped, with the reason")
            << 5 << true << u"用紙がありません"_s << u"「q1」は停止しています|（用紙がありません）"_s;
        QTest::newRow("stopped without a reason") << 5 << true << QString() << u"「q1」は停止しています"_s;
        QTest::newRow("refusing jobs") << 3 << false << u"Rejecting Jobs"_s
                                       << u"「q1」は現在ジョブを受け付けていません|（Rejecting Jobs）"_s;
    }
    void queueProblems()
    {
        QFETCH(int, state);
        QFETCH(bool, accepting);
        QFETCH(QString, message);
        QFETCH(QString, expected);
        QueueState q;
        q.state = state;
        q.accepting = accepting;
        q.message = message;
        q.reasons = {u"none"_s};
        const QString text = vuzo::QueueProblemText(u"q1"_s, q);
        if (expected.isEmpty()) {
            QCOMPARE(text, QString());
            return;
        }
        for (const QString &part : expected.split(u'|'))
            QVERIFY2(text.contains(part), qPrintable(text));
        QVERIFY(!text.contains(u"none"_s));
    }

    void jobVerdicts_data()
    {
        QTest::addColumn<int>("jobState");
        QTest::addColumn<int>("queueState");
        QTest::addColumn<bool>("settled");
        QTest::addColumn<QString>("expected"); // parts of the problem; empty: none
        QTest::addColumn<int>("end");          // how the history keeps the job's end
        QTest::newRow("completed") << 9 << 3 << true << QString() << int(vuzo::JobEnd::Completed);
        QTest::newRow("still printing") << 5 << 4 << false << QString() << int(vuzo::JobEnd::None);
        QTest::newRow("waiting behind others") << 3 << 4 << false << QString() << int(vuzo::JobEnd::None);
        QTest::newRow("aborted by the backend")
            << 8 << 3 << true << u"印刷が止まりました|（backend failed）"_s << int(vuzo::JobEnd::Stopped);
        QTest::newRow("stopped") << 6 << 3 << true << u"印刷が止まりました"_s << int(vuzo::JobEnd::Stopped);
        QTest::newRow("cancelled by someone")
            << 7 << 3 << true << u"印刷が取り消されました"_s << int(vuzo::JobEnd::Cancelled);
        QTest::newRow("waiting on a queue that stopped under it")
            << 3 << 5 << true << u"止まったため|（queue says why）"_s << int(vuzo::JobEnd::Stopped);
        QTest::newRow("unknown state") << 0 << 3 << true << QString() << int(vuzo::JobEnd::None);
    }
    void jobVerdicts()
    {
        QFETCH(int, jobState);
        QFETCH(int, queueState);
        QFETCH(bool, settled);
        QFETCH(QString, expected);
        QFETCH(int, end);
        JobState job;
        job.state = jobState;
        job.message = jobState == 8 ? u"backend failed"_s : QString();
        QueueState q;
        q.state = queueState;
        q.message = queueState == 5 ? u"queue says why"_s : QString();
        const vuzo::JobVerdict verdict = vuzo::JudgeJob(u"q1"_s, job, q);
        QCOMPARE(verdict.settled, settled);
        QCOMPARE(int(verdict.end), end);
        if (expected.isEmpty()) {
            QCOMPARE(verdict.problem, QString());
            return;
        }
        for (const QString &part : expected.split(u'|'))
            QVERIFY2(verdict.problem.contains(part), qPrintable(verdict.problem));
        QVERIFY(verdict.problem.contains(u"「q1」"_s));
    }

    void reasonsAreToldInJapanese_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("text");
        QTest::newRow("a job the operator cancelled") << u"job-canceled-by-user"_s << u"利用者が取り消しました"_s;
        QTest::newRow("a queue on its way to a stop") << u"processing-to-stop-point"_s << u"止まる途中です"_s;
        QTest::newRow("a paper jam") << u"media-jam"_s << u"紙詰まりです"_s;
        QTest::newRow("an empty tray reported as an error") << u"media-empty-error"_s << u"用紙がありません"_s;
        QTest::newRow("low toner reported as a warning")
            << u"toner-low-warning"_s << u"トナーが残り少なくなっています"_s;
        QTest::newRow("an open cover reported as a report") << u"cover-open-report"_s << u"カバーが開いています"_s;
        QTest::newRow("an unknown keyword stays as it is") << u"fuser-over-temp-x"_s << u"fuser-over-temp-x"_s;
        QTest::newRow("an unknown keyword keeps its ending") << u"vendor-thing-error"_s << u"vendor-thing-error"_s;
    }
    void reasonsAreToldInJapanese()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, text);
        QCOMPARE(vuzo::ReasonText(keyword), text);
    }

    void aStoppedJobWithoutAMessageTellsItsReasonsInJapanese()
    {
        JobState job;
        job.state = 8;
        job.reasons = {u"none"_s, u"job-aborted-by-system"_s, u"media-jam"_s};
        const vuzo::JobVerdict verdict = vuzo::JudgeJob(u"q1"_s, job, QueueState{});
        QVERIFY2(verdict.problem.endsWith(u"（印刷システムが中止しました、紙詰まりです）"_s),
                 qPrintable(verdict.problem));
        QVERIFY(!verdict.problem.contains(u"job-aborted-by-system"_s));
    }
};

QTEST_GUILESS_MAIN(TestQueueState)
#include "tst_queuestate.moc"
