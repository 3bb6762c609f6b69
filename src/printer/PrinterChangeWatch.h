#pragma once
// The watch that tells the program when the system's printers may have
// changed: it runs a check whenever the window is activated and every
// intervalMs milliseconds (at least 100) while it lives. TWbPrinter's check is
// CheckSystemChange.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace vuzo {

class PrinterChangeWatch : public QObject
{
public:
    PrinterChangeWatch(QObject *window, int intervalMs, std::function<void()> runCheck);
    ~PrinterChangeWatch() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void check();

    std::function<void()> m_check;
    // The window may go before the watch does (a window closed first).
    QPointer<QObject> m_window;
    QTimer m_timer;
};

} // namespace vuzo
