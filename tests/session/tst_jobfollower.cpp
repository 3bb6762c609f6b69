// The job follower: a stopped job is told once, a settled one ends the
// following, and a job let go before it printed is told with what to do.

#include "platform/Errors.h"
#include "session/JobFollower.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using vuzo::JobWait;

class TestJobFollower : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aStoppedJobIsToldAndTheFollowingEnds()
    {
        int asked = 0;
        session::JobFollower follower(nullptr, [&](const SystemPrinter::JobTicket &) {
            ++asked;
            return asked < 2 ? SystemPrinter::JobStatus{false, {}}
                             : SystemPrinter::JobStatus{true, u"プリンタがジョブを停止しました"_s};
        });
        QSignalSpy problems(&follower, &session::JobFollower::problem);
        follower.follow();
        QVERIFY(problems.wait(5000));
        QCOMPARE(problems.count(), 1);
        QCOMPARE(problems.first().first().toString(), u"プリンタがジョブを停止しました"_s);
        QVERIFY(!follower.following());
        QCOMPARE(asked, 2);
    }

    // What the follower ends on, and the words the operator gets.
    void aJobLetGoUnprintedIsTold_data()
    {
        QTest::addColumn<bool>("throws");
        QTest::addColumn<bool>("settled");
        QTest::addColumn<int>("waiting");
        QTest::addColumn<QString>("told");
        QTest::newRow("printed") << false << true << int(JobWait::None) << QString();
        QTest::newRow("print system gone") << true << true << int(JobWait::None) << u"接続できません"_s;
        QTest::newRow("held from outside") << false << true << int(JobWait::Held) << u"保留を解除"_s;
        QTest::newRow("queue deleted") << false << true << int(JobWait::QueueGone) << u"「q1」が見つかりません"_s;
        QTest::newRow("still incoming") << false << false << int(JobWait::Incoming) << u"受け取り途中"_s;
    }
    void aJobLetGoUnprintedIsTold()
    {
        QFETCH(bool, throws);
        QFETCH(bool, settled);
        QFETCH(int, waiting);
        QFETCH(QString, told);
        session::JobFollower follower(nullptr, [&](const SystemPrinter::JobTicket &) {
            if (throws)
                throw EVuzoError(u"CUPS に接続できません"_s);
            return SystemPrinter::JobStatus{settled, {}, JobWait(waiting)};
        });
        QSignalSpy problems(&follower, &session::JobFollower::problem);
        follower.follow(SystemPrinter::JobTicket{u"q1"_s, 7});
        QTRY_VERIFY_WITH_TIMEOUT(!follower.following(), 5000 + session::JobFollower::kPolls * 300);
        QCOMPARE(problems.count(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) {
            const QString text = problems.first().first().toString();
            QVERIFY2(text.contains(u"印刷ジョブ 7 "_s) && text.contains(told), qPrintable(text));
        }
    }

    void aNewerJobTellsTheOneItReplaces()
    {
        session::JobFollower follower(nullptr, [](const SystemPrinter::JobTicket &) {
            return SystemPrinter::JobStatus{false, {}, JobWait::Pending};
        });
        QSignalSpy problems(&follower, &session::JobFollower::problem);
        follower.follow(SystemPrinter::JobTicket{u"q1"_s, 7});
        follower.follow(SystemPrinter::JobTicket{u"q1"_s, 8});
        QCOMPARE(problems.count(), 1);
        QVERIFY(problems.first().first().toString().contains(u"印刷ジョブ 7 はまだ印刷されていません"_s));
        QVERIFY(follower.following());
    }
};

QTEST_GUILESS_MAIN(TestJobFollower)
#include "tst_jobfollower.moc"
