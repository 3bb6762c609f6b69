// The history's service: the store opened on a thread of its own, answers
// brought back to the asking object's thread (or dropped with it), and the
// bounded wait.

#include "session/HistoryService.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>

using namespace Qt::StringLiterals;
using session::HistoryService;
using session::HistoryStore;

namespace {
session::HistoryLocation SqliteAt(const QString &path)
{
    session::HistoryLocation where;
    where.sqlitePath = path;
    return where;
}
} // namespace

class TestHistoryService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Whether the store opens, and what wait() gives then.
    void openAndWait_data()
    {
        QTest::addColumn<bool>("folderInTheWay");
        QTest::newRow("a new file") << false;
        QTest::newRow("a folder where the file should be") << true;
    }
    void openAndWait()
    {
        QFETCH(bool, folderInTheWay);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"vuzo_history.sqlite3"_s);
        QVERIFY(!folderInTheWay || QDir().mkpath(file));
        HistoryService service(SqliteAt(file));
        QSignalSpy opened(&service, &HistoryService::opened);
        QSignalSpy failed(&service, &HistoryService::failed);
        service.open();
        QVERIFY(QTest::qWaitFor([&] { return opened.count() + failed.count() > 0; }, 10000));
        QString why;
        const std::optional<int> version =
            service.wait<int>([](HistoryStore &s) { return s.schemaVersion(); }, 10000, &why);
        QCOMPARE(service.state(), folderInTheWay ? HistoryService::State::Failed : HistoryService::State::Ready);
        QCOMPARE(failed.count(), folderInTheWay ? 1 : 0);
        QCOMPARE(service.failure().isEmpty(), !folderInTheWay);
        QCOMPARE(why, service.failure());
        QCOMPARE(version, folderInTheWay ? std::nullopt : std::optional<int>(HistoryStore::kSchemaVersion));
        if (folderInTheWay)
            QCOMPARE(failed.first().first().toString(), service.failure());
    }

    // A store that could not be opened is opened by a later task once the
    // cause is gone (a server back, a disk freed), and the window is told.
    void aStoreThatCouldNotOpenOpensOnceItCan()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"vuzo_history.sqlite3"_s);
        QVERIFY(QDir().mkpath(file));
        HistoryService service(SqliteAt(file));
        service.setRetryMs(0);
        QSignalSpy opened(&service, &HistoryService::opened);
        service.open();
        const auto version = [&](QString *why) {
            return service.wait<int>([](HistoryStore &s) { return s.schemaVersion(); }, 10000, why);
        };
        QString why;
        QCOMPARE(version(&why), std::nullopt);
        QVERIFY(!why.isEmpty());
        QVERIFY(QDir(file).removeRecursively());
        QCOMPARE(version(&why), std::optional<int>(HistoryStore::kSchemaVersion));
        QVERIFY(QTest::qWaitFor([&] { return service.state() == HistoryService::State::Ready; }, 10000));
        QCOMPARE(opened.count(), 1);
    }

    // Work whose wait ran out before it started is never done: a slip the
    // operator was told would not be kept is not kept later after all.
    void workWhoseWaitRanOutIsDropped()
    {
        QTemporaryDir dir;
        HistoryService service(SqliteAt(dir.filePath(u"h.sqlite3"_s)));
        service.open();
        QObject receiver;
        service.ask<int>(
            &receiver,
            [](HistoryStore &) {
                QThread::msleep(300);
                return 0;
            },
            [](int) {});
        std::atomic<bool> ran = false;
        QString why;
        QCOMPARE(service.wait<int>(
                     [&](HistoryStore &) {
                         ran = true;
                         return 1;
                     },
                     20, &why),
                 std::nullopt);
        QVERIFY(!why.isEmpty());
        QCOMPARE(service.wait<int>([](HistoryStore &) { return 2; }, 10000, &why), std::optional<int>(2));
        QVERIFY(!ran);
    }

    // Answers come on the asking object's thread, in the order asked, and
    // none to an object gone meanwhile.
    void askAnswersTheCallersThreadUnlessTheReceiverIsGone()
    {
        QTemporaryDir dir;
        HistoryService service(SqliteAt(dir.filePath(u"h.sqlite3"_s)));
        service.open();
        bool goneCalled = false;
        auto *gone = new QObject;
        service.ask<int>(
            gone, [](HistoryStore &s) { return s.schemaVersion(); }, [&](int) { goneCalled = true; },
            [&](const QString &) { goneCalled = true; });
        delete gone;
        QObject receiver;
        QThread *workThread = nullptr, *doneThread = nullptr;
        int answer = 0;
        service.ask<int>(
            &receiver,
            [&](HistoryStore &s) {
                workThread = QThread::currentThread();
                return s.schemaVersion();
            },
            [&](int v) {
                doneThread = QThread::currentThread();
                answer = v;
            });
        QVERIFY(QTest::qWaitFor([&] { return answer != 0; }, 10000));
        QCOMPARE(answer, HistoryStore::kSchemaVersion);
        QCOMPARE(doneThread, QThread::currentThread());
        QVERIFY(workThread != QThread::currentThread());
        QVERIFY(!goneCalled);
    }
};

QTEST_GUILESS_MAIN(TestHistoryService)
#include "tst_historyservice.moc"
