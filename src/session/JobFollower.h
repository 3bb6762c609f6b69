#pragma once
// Follows the job just handed to the print system for a few seconds and
// reports when the print system stops it (a failing printer, a backend that
// gives up): long enough for a backend to fail on it, short enough not to
// report on a printer that is simply slow.

#include "printer/SystemPrinter.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace session {

class JobFollower : public QObject
{
    Q_OBJECT
public:
    // status answers what the print system says of the last job; by default
    // the program's printer object is asked.
    using StatusQuery = std::function<SystemPrinter::JobStatus()>;
    explicit JobFollower(QObject *parent = nullptr, StatusQuery status = {});

    // How often and how many times a job is asked about.
    static constexpr int kPollMs = 250;
    static constexpr int kPolls = 24;

    // Starts following the last job; a job followed before is let go.
    void follow();
    bool following() const { return m_timer.isActive(); }

Q_SIGNALS:
    // The print system's words on a job it stopped.
    void problem(const QString &text);

private:
    void poll();

    StatusQuery m_status;
    QTimer m_timer;
    int m_polls = 0;
};

} // namespace session
