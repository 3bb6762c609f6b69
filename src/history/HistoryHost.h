#pragma once
// What the history window asks of the window that opened it: the only way it
// reaches the main window's fields and its print.

namespace session {
struct HistorySlip;
}

class HistoryHost
{
public:
    virtual ~HistoryHost() = default;
    // The slip's customer into the delivery fields; withLines also its sales
    // lines with their rate classes.
    virtual void takeCustomer(const session::HistorySlip &slip, bool withLines) = 0;
    // Prints the stored slip again as it was (the preview first).
    virtual void reprint(const session::HistorySlip &slip) = 0;
};
