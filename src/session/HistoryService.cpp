#include "session/HistoryService.h"

#include <QAtomicInteger>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <mutex>

namespace session {

namespace {

QString NextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("vuzo_history_%1").arg(counter.fetchAndAddOrdered(1) + 1);
}

} // namespace

// Lives on the service's thread and owns the store there: the store's
// connection is made, used and closed on that one thread. A store whose
// statement failed is closed after the task, and the next task opens a new
// connection first (a PostgreSQL server restarted, a disk freed again); after
// an open that failed, the next try waits retryMs.
class HistoryWorker : public QObject
{
public:
    int retryMs = 10000;

    std::unique_ptr<HistoryStore> store;
    QString notReady = QStringLiteral("履歴のデータベースはまだ開かれていません。");
    HistoryLocation where;
    QPointer<HistoryService> owner;
    // Whether a task may open the store again (not after refuse()).
    bool reopen = false;
    QElapsedTimer sinceFailedOpen;

    // Opens the store; the message of the failure otherwise.
    QString openStore()
    {
        try {
            store = std::make_unique<HistoryStore>(where, NextConnectionName());
            reopen = false;
            return {};
        } catch (const EVuzoError &e) {
            store.reset();
            notReady = e.message().isEmpty()
                           ? QStringLiteral("履歴のデータベースを開けません（%1）。").arg(where.describe())
                           : e.message();
            reopen = true;
            sinceFailedOpen.start();
            return notReady;
        }
    }
    void beforeTask()
    {
        if (store || !reopen || (sinceFailedOpen.isValid() && sinceFailedOpen.elapsed() < retryMs))
            return;
        if (openStore().isEmpty())
            tell(QString());
    }
    void afterTask()
    {
        if (!store || !store->failed())
            return;
        store.reset();
        reopen = true;
        sinceFailedOpen.invalidate();
    }
    // Tells the service on its own thread that the store opened (an empty
    // why) or could not.
    void tell(const QString &why);
};

struct HistoryService::Waiter
{
    std::mutex mutex;
    std::condition_variable cond;
    bool done = false;
    bool abandoned = false;
};

HistoryService::HistoryService(HistoryLocation where, QObject *parent) : QObject(parent), m_where(std::move(where))
{
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("vuzo history"));
    auto *worker = new HistoryWorker;
    worker->where = m_where;
    worker->owner = this;
    worker->moveToThread(m_thread);
    m_worker = worker;
    // The worker, and with it the store and its connection, ends on its own
    // thread once the thread's loop is left.
    connect(m_thread, &QThread::finished, worker, [worker] {
        worker->store.reset();
        delete worker;
    });
    m_thread->start();
}

HistoryService::~HistoryService()
{
    // The thread is quit by a task of its own, so the work posted before
    // (a job's state, say) still reaches the store; each statement is bounded
    // by the store's timeouts.
    QThread *thread = m_thread;
    QMetaObject::invokeMethod(
        m_worker, [thread] { thread->quit(); }, Qt::QueuedConnection);
    m_thread->wait();
    m_worker = nullptr;
}

void HistoryService::open()
{
    if (m_state == State::Opening || m_state == State::Ready)
        return;
    m_state = State::Opening;
    m_failure.clear();
    auto *worker = static_cast<HistoryWorker *>(m_worker);
    QMetaObject::invokeMethod(
        worker,
        [worker] {
            worker->store.reset();
            worker->tell(worker->openStore());
        },
        Qt::QueuedConnection);
}

void HistoryService::refuse(const QString &why)
{
    auto *worker = static_cast<HistoryWorker *>(m_worker);
    QMetaObject::invokeMethod(
        worker,
        [worker, why] {
            worker->store.reset();
            worker->reopen = false;
            worker->notReady = why;
        },
        Qt::QueuedConnection);
    setFailed(why);
}

void HistoryService::setRetryMs(int retryMs)
{
    auto *worker = static_cast<HistoryWorker *>(m_worker);
    QMetaObject::invokeMethod(
        worker, [worker, retryMs] { worker->retryMs = retryMs; }, Qt::QueuedConnection);
}

void HistoryService::post(Task task)
{
    auto *worker = static_cast<HistoryWorker *>(m_worker);
    QMetaObject::invokeMethod(
        worker,
        [worker, task = std::move(task)] {
            worker->beforeTask();
            task(worker->store.get(), worker->notReady);
            worker->afterTask();
        },
        Qt::QueuedConnection);
}

void HistoryService::deliver(QObject *receiver, std::function<void()> call)
{
    if (!receiver)
        return;
    // Queued with receiver as the context: Qt drops the call when receiver
    // is destroyed before it runs.
    QMetaObject::invokeMethod(receiver, std::move(call), Qt::QueuedConnection);
}

void HistoryWorker::tell(const QString &why)
{
    QPointer<HistoryService> to = owner;
    HistoryService::deliver(to.data(), [to, why] {
        if (!to)
            return;
        if (why.isEmpty())
            to->setOpened();
        else
            to->setFailed(why);
    });
}

std::shared_ptr<HistoryService::Waiter> HistoryService::makeWaiter()
{
    return std::make_shared<Waiter>();
}

void HistoryService::release(const std::shared_ptr<Waiter> &waiter)
{
    {
        const std::lock_guard<std::mutex> lock(waiter->mutex);
        waiter->done = true;
    }
    waiter->cond.notify_all();
}

bool HistoryService::waitFor(const std::shared_ptr<Waiter> &waiter, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(waiter->mutex);
    if (waiter->cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return waiter->done; }))
        return true;
    waiter->abandoned = true;
    return false;
}

bool HistoryService::abandoned(const std::shared_ptr<Waiter> &waiter)
{
    const std::lock_guard<std::mutex> lock(waiter->mutex);
    return waiter->abandoned;
}

void HistoryService::setOpened()
{
    m_state = State::Ready;
    m_failure.clear();
    Q_EMIT opened();
}

void HistoryService::setFailed(const QString &why)
{
    m_state = State::Failed;
    m_failure = why;
    Q_EMIT failed(why);
}

} // namespace session
