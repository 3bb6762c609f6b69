#pragma once
// Follows the job just handed to the print system for a few seconds and
// reports when the print system stops it (a failing printer, a backend that
// gives up): long enough for a backend to fail on it, short enough not to
// report on a printer that is simply slow. A job that has not printed when
// the following ends (the polls ran out, it is held, its queue is gone, the
// print system cannot be asked, or a newer job is followed instead) is told
// too, with what to do.
//
// The print system is asked away from the program's thread (vuzo::AskAway),
// one question at a time, the next poll kPollMs after the last answer.

#include "printer/SystemPrinter.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace session {

class JobFollower : public QObject
{
    Q_OBJECT
public:
    // status answers what the print system says of a job, asked on the
    // caller's thread; by default the program's printer object's question
    // is asked (SystemPrinter::JobStatusQuestion).
    using StatusQuery = std::function<SystemPrinter::JobStatus(const SystemPrinter::JobTicket &)>;
    explicit JobFollower(QObject *parent = nullptr, StatusQuery status = {});

    // How often and how many times a job is asked about.
    static constexpr int kPollMs = 250;
    static constexpr int kPolls = 24;

    // Starts following the printer object's last job (with a status query
    // of its own: a job without number); a job followed before is let go.
    void follow();
    void follow(const SystemPrinter::JobTicket &job);
    bool following() const { return m_following; }

Q_SIGNALS:
    // The print system's words on a job it stopped, or why a job let go has
    // not printed.
    void problem(const QString &text);
    // How the print system ended the job followed, when it says so (before
    // its problem, if any, is told).
    void ended(const SystemPrinter::JobTicket &job, vuzo::JobEnd end);

private:
    void poll();
    void answered(const SystemPrinter::JobStatus &status);
    // Ends the following; a job that has not printed is told.
    void letGo(vuzo::JobWait why);

    StatusQuery m_status;
    QTimer m_timer;
    SystemPrinter::JobTicket m_job;
    bool m_following = false;
    // What kept the job from printing at the last answer.
    vuzo::JobWait m_waiting = vuzo::JobWait::None;
    // Counts the jobs followed, so that an answer about a job let go is
    // dropped.
    quint64 m_round = 0;
    int m_polls = 0;
};

} // namespace session
