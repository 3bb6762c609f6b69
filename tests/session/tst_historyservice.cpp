// The history's service: the store opened on a thread of its own, answers
// brought back to the asking object's thread (or dropped with it), and the
// bounded wait.

#include "session/HistoryService.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

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
        if (folderInTheWay)
            QVERIFY(QDir().mkpath(file));
        HistoryService service(SqliteAt(file));
        QCOMPARE(service.state(), HistoryService::State::Closed);
        QSignalSpy opened(&service, &HistoryService::opened);
        QSignalSpy failed(&service, &HistoryService::failed);
        service.open();
        QCOMPARE(service.state(), HistoryService::State::Opening);
        QVERIFY(QTest::qWaitFor([&] { return opened.count() + failed.count() > 0; }, 10000));

        QString why;
        const std::optional<int> version =
            service.wait<int>([](HistoryStore &s) { return s.schemaVersion(); }, 10000, &why);
        if (folderInTheWay) {
            QCOMPARE(service.state(), HistoryService::State::Failed);
            QCOMPARE(failed.count(), 1);
            QVERIFY(!service.failure().isEmpty());
            QCOMPARE(failed.first().first().toString(), service.failure());
            QVERIFY(!version);
            QCOMPARE(why, service.failure());
        } else {
            QCOMPARE(service.state(), HistoryService::State::Ready);
            QCOMPARE(opened.count(), 1);
            QVERIFY(service.failure().isEmpty());
            QCOMPARE(version, std::optional<int>(HistoryStore::kSchemaVersion));
            QVERIFY(QFile::exists(file));
        }
    }

    void askRunsAwayAndAnswersOnTheCallersThread()
    {
        QTemporaryDir dir;
        HistoryService service(SqliteAt(dir.filePath(u"h.sqlite3"_s)));
        service.open();
        QObject receiver;
        QThread *workThread = nullptr;
        QThread *doneThread = nullptr;
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
    }

    void anAnswerToAReceiverGoneIsDropped()
    {
        QTemporaryDir dir;
        HistoryService service(SqliteAt(dir.filePath(u"h.sqlite3"_s)));
        service.open();
        bool called = false;
        auto *gone = new QObject;
        service.ask<int>(
            gone, [](HistoryStore &s) { return s.schemaVersion(); }, [&](int) { called = true; },
            [&](const QString &) { called = true; });
        delete gone;
        // Tasks run in order: once a later one has answered, the first one's
        // answer would have come too.
        QObject still;
        bool later = false;
        service.ask<int>(
            &still, [](HistoryStore &s) { return s.schemaVersion(); }, [&](int) { later = true; });
        QVERIFY(QTest::qWaitFor([&] { return later; }, 10000));
        QCoreApplication::processEvents();
        QVERIFY(!called);
    }
};

QTEST_GUILESS_MAIN(TestHistoryService)
#include "tst_historyservice.moc"
