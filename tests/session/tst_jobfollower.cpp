// The job follower: a stopped job is told once, a settled one ends the
// following, and a print system that went away tells nothing.

#include "platform/Errors.h"
#include "session/JobFollower.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestJobFollower : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aStoppedJobIsToldAndTheFollowingEnds()
    {
        int asked = 0;
        session::JobFollower follower(nullptr, [&] {
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

    void anUnreachablePrintSystemEndsTheFollowingQuietly()
    {
        session::JobFollower follower(
            nullptr, []() -> SystemPrinter::JobStatus { throw EVuzoError(u"CUPS に接続できません"_s); });
        QSignalSpy problems(&follower, &session::JobFollower::problem);
        follower.follow();
        QTRY_VERIFY_WITH_TIMEOUT(!follower.following(), 5000);
        QCOMPARE(problems.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestJobFollower)
#include "tst_jobfollower.moc"
