#pragma once
// The slip history for the window: one HistoryStore on a thread of its own,
// so that a slow disk or a PostgreSQL server that does not answer never
// freezes the window. Work is posted to that thread and its result comes back
// on the asking object's thread by a queued call, dropped when that object is
// gone; an explicit action that says it is busy (F11) may wait for its
// result within a bound.
//
//     m_history = new session::HistoryService(location, this);
//     m_history->open(); // after the window's first paint
//     m_history->ask<QList<HistoryHit>>(
//         this, [text](HistoryStore &s) { return s.search(text, false); },
//         [this](QList<HistoryHit> hits) { show(hits); });

#include "session/HistoryStore.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QThread;

namespace session {

class HistoryService : public QObject
{
    Q_OBJECT
public:
    explicit HistoryService(HistoryLocation where, QObject *parent = nullptr);
    // Lets the thread end after the statement it is running (bounded by the
    // store's timeouts) and closes the connection there.
    ~HistoryService() override;

    enum class State
    {
        Closed,  // open() not called yet
        Opening, // being opened on its thread
        Ready,
        Failed, // could not be opened; failure() says why
    };
    State state() const { return m_state; }
    // Why the store cannot be used, in the operator's words; empty while it
    // can.
    QString failure() const { return m_failure; }
    const HistoryLocation &location() const { return m_where; }

    // Opens the store on its thread; opened() or failed() follows. Calling it
    // again after a failure tries again.
    void open();
    // Leaves the store closed for why (the settings file that names it
    // cannot be read): the service fails with that reason.
    void refuse(const QString &why);
    // A store that could not be opened, or whose statement failed (a
    // server restarted, a disk full), is opened again by the next task;
    // after an open that failed, not before retryMs (10 s by default), so a
    // server that is away is not asked at every keystroke.
    void setRetryMs(int retryMs);

    // Runs work on the store's thread, then done(result) on receiver's thread,
    // unless receiver is gone by then. When the store is not ready or the
    // work throws, fail(message) is called there instead (when given).
    template <class R>
    void ask(QObject *receiver, std::function<R(HistoryStore &)> work, std::function<void(R)> done,
             std::function<void(QString)> fail = {});

    // Runs work on the store's thread and waits at most timeoutMs for it on
    // the caller's thread. nullopt, with why set, when the store is not ready,
    // the work threw or the time ran out (work already started then still
    // runs to its end on its thread; work not started yet is dropped).
    template <class R> std::optional<R> wait(std::function<R(HistoryStore &)> work, int timeoutMs, QString *why);

Q_SIGNALS:
    void opened();
    void failed(const QString &why);

private:
    friend class HistoryWorker;
    // A task gets the store (nullptr when not ready) and the reason it is
    // not ready. Runs on the store's thread, in the order posted.
    using Task = std::function<void(HistoryStore *store, const QString &notReady)>;
    void post(Task task);
    // Hands a result back to receiver's thread.
    static void deliver(QObject *receiver, std::function<void()> call);
    // Blocks the caller until done is set or timeoutMs pass; a waiter
    // whose time ran out is abandoned, and its work, when it has not started
    // yet, is not done at all (a slip is not recorded after the operator was
    // told that it would not be).
    struct Waiter;
    static bool waitFor(const std::shared_ptr<Waiter> &waiter, int timeoutMs);
    static bool abandoned(const std::shared_ptr<Waiter> &waiter);
    static std::shared_ptr<Waiter> makeWaiter();
    static void release(const std::shared_ptr<Waiter> &waiter);

    void setOpened();
    void setFailed(const QString &why);

    HistoryLocation m_where;
    State m_state = State::Closed;
    QString m_failure;
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr; // lives on m_thread, owns the store
};

template <class R>
void HistoryService::ask(QObject *receiver, std::function<R(HistoryStore &)> work, std::function<void(R)> done,
                         std::function<void(QString)> fail)
{
    QPointer<QObject> to(receiver);
    post([to, work = std::move(work), done = std::move(done), fail = std::move(fail)](HistoryStore *store,
                                                                                      const QString &notReady) {
        if (!to)
            return;
        QString why = notReady;
        std::optional<R> result;
        if (store) {
            try {
                result = work(*store);
            } catch (const EVuzoError &e) {
                why = e.message();
            }
        }
        deliver(to.data(), [done, fail, result = std::move(result), why]() mutable {
            if (result)
                done(std::move(*result));
            else if (fail)
                fail(why);
        });
    });
}

template <class R>
std::optional<R> HistoryService::wait(std::function<R(HistoryStore &)> work, int timeoutMs, QString *why)
{
    struct Shared
    {
        std::optional<R> result;
        QString why;
    };
    auto shared = std::make_shared<Shared>();
    const std::shared_ptr<Waiter> waiter = makeWaiter();
    post([shared, waiter, work = std::move(work)](HistoryStore *store, const QString &notReady) {
        if (abandoned(waiter))
            return;
        if (!store) {
            shared->why = notReady;
        } else {
            try {
                shared->result = work(*store);
            } catch (const EVuzoError &e) {
                shared->why = e.message();
            }
        }
        release(waiter);
    });
    if (!waitFor(waiter, timeoutMs)) {
        if (why)
            *why = QStringLiteral("履歴のデータベースが応答しません（%1）。").arg(m_where.describe());
        return std::nullopt;
    }
    if (!shared->result && why)
        *why = shared->why;
    return std::move(shared->result);
}

} // namespace session
