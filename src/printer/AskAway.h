#pragma once
// Questions to the print system that the program's thread does not wait for.
//
// A question that may block (a print server that takes connections and never
// answers keeps a request waiting for its whole time limit) runs on the print
// system's own thread; one that never blocks runs later on the caller's
// thread, so callers see the same order of events either way. The answer
// reaches the caller's thread through a queued signal and is dropped when the
// context object is gone by then.
//
// libcups keeps a connection and its last error per thread: a question run
// here opens its own connection (CupsConnection) on the thread it runs on.

#include <QObject>
#include <functional>
#include <memory>

namespace vuzo {

// The untyped core of AskAway: work runs away from the caller, then done
// runs on context's thread.
void RunAway(QObject *context, bool mayBlock, std::function<void()> work, std::function<void()> done);

// Asks question away from the caller and hands its answer to answer on
// context's thread. The question must not throw.
template <class R>
void AskAway(QObject *context, bool mayBlock, std::function<R()> question, std::function<void(const R &)> answer)
{
    auto result = std::make_shared<R>();
    RunAway(
        context, mayBlock, [result, question = std::move(question)] { *result = question(); },
        [result, answer = std::move(answer)] { answer(*result); });
}

// Used by RunAway: carries the signal from the print system's thread.
class AnswerRelay : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void answered();
};

} // namespace vuzo
