#include "printer/AskAway.h"

#include <QThreadPool>
#include <QTimer>

namespace vuzo {

namespace {

// The print system's own threads. The pool is never destroyed: a question
// that a silent print server holds must not hold up the end of the program.
QThreadPool &PrintSystemThreads()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(2);
        return p;
    }();
    return *pool;
}

} // namespace

void RunAway(QObject *context, bool mayBlock, std::function<void()> work, std::function<void()> done)
{
    if (!mayBlock) {
        QTimer::singleShot(0, context, [work = std::move(work), done = std::move(done)] {
            work();
            done();
        });
        return;
    }
    // The relay belongs to the caller's thread and is only deleted after it
    // signalled, so the worker never signals on an object that is gone; Qt
    // drops the queued answer when context goes first.
    auto *relay = new AnswerRelay;
    QObject::connect(relay, &AnswerRelay::answered, context, std::move(done), Qt::QueuedConnection);
    QObject::connect(relay, &AnswerRelay::answered, relay, &QObject::deleteLater, Qt::QueuedConnection);
    PrintSystemThreads().start([relay, work = std::move(work)] {
        work();
        Q_EMIT relay->answered();
    });
}

} // namespace vuzo
