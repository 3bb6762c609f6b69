#include "printer/PrinterChangeWatch.h"

#include "platform/Errors.h"
#include "printer/AskAway.h"

#include <QEvent>

namespace vuzo {

PrinterChangeWatch::PrinterChangeWatch(QObject *window, int intervalMs, SystemPrinter &system, Apply apply)
    : m_system(system), m_apply(std::move(apply)), m_window(window)
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
    if (m_asking)
        return;
    m_asking = true;
    AskAway<SystemPrinter::Listing>(this, m_system.QuestionsMayBlock(), m_system.ListingQuestion(),
                                    [this](const SystemPrinter::Listing &listing) {
                                        m_asking = false;
                                        // The answer arrives from the event loop, which no
                                        // exception may cross; a failure is checked again
                                        // next time.
                                        try {
                                            m_apply(listing);
                                        } catch (const EVuzoError &) {
                                        }
                                    });
}

} // namespace vuzo
