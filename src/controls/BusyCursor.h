#pragma once
// The wait cursor over the whole program while a scope waits for something
// outside it (the print system, up to its time limits).

#include <QCursor>
#include <QGuiApplication>

namespace vuzo {

class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace vuzo
