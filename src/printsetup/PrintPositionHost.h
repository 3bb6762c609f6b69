#pragma once
// What the print position window needs from the window that opens it: the
// paper feed being set up, its printer, and the offsets in force. The main
// window answers these; the position window never sees its controls.

#include <QString>

class QWidget;

class PrintPositionHost
{
public:
    virtual ~PrintPositionHost() = default;

    // The window the position window is centred on and takes its face from.
    virtual QWidget *hostWindow() = 0;
    // The section of vuzo_a500.ini of the chosen paper feed.
    virtual QString paperFeedSection() const = 0;
    // The chosen printer's name and program-level index, as registered.
    virtual QString printerName() const = 0;
    virtual QString printerIndexText() const = 0;
    // The print offsets in force, in device pixels, as text.
    virtual QString printTopText() const = 0;
    virtual QString printLeftText() const = 0;
    // Why nothing can be printed on the registered printer now (it is gone),
    // in the words the print command uses; empty when it can print.
    virtual QString missingPrinterMessage() const = 0;
    // Why nothing may be printed now, as the print command tells it (the
    // registered printer or its paper gone, the queue stopped or refusing
    // jobs); empty when it may. Asks the print system.
    virtual QString printRefusal() = 0;
    // Follows the job just printed as the print command does; the host
    // tells what becomes of it.
    virtual void followPrintedJob() = 0;
    // Takes newly registered offsets into use.
    virtual void setPrintOffsets(const QString &top, const QString &left) = 0;
};
