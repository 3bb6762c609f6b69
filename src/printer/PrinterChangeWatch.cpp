#include "printer/PrinterChangeWatch.h"

#include "platform/Errors.h"

#include <QEvent>

namespace vuzo {

PrinterChangeWatch::PrinterChangeWatch(QObject *window, int intervalMs, std::function<void()> runCheck)
    : m_check(std::move(runCheck)), m_window(window)
{
    if (m_window)
        m_window->installEventFilter(this);
    m_timer.setInterval(qMax(100, intervalMs));
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
    m_timer.start();
}

PrinterChangeWatch::~PrinterChangeWatch()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

bool PrinterChangeWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::WindowActivate)
        check();
    return false; // the window handles the event as usual
}

void PrinterChangeWatch::check()
{
    // The watch runs from the event loop, which no exception may cross; a
    // print system that cannot be reached is simply checked again next time.
    try {
        m_check();
    } catch (const EVuzoError &) {
    }
}

} // namespace vuzo
