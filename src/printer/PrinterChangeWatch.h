#pragma once
// The watch that tells the program when the system's printers may have
// changed: it asks the system printer for its printers and ports whenever the
// window is activated and every intervalMs milliseconds (at least 100) while
// it lives, away from the window's thread (vuzo::AskAway), and hands each
// answer to apply on the window's thread. One question is out at a time: a
// print server that does not answer is asked again only once it has given up.
// TWbPrinter's apply is ApplySystemListing.

#include "printer/SystemPrinter.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace vuzo {

class PrinterChangeWatch : public QObject
{
public:
    using Apply = std::function<void(const SystemPrinter::Listing &)>;
    PrinterChangeWatch(QObject *window, int intervalMs, SystemPrinter &system, Apply apply);
    ~PrinterChangeWatch() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void check();

    SystemPrinter &m_system;
    Apply m_apply;
    bool m_asking = false;
    // The window may go before the watch does (a window closed first).
    QPointer<QObject> m_window;
    QTimer m_timer;
};

} // namespace vuzo
