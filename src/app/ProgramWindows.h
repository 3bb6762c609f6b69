#pragma once
// The program's three windows, created in their order and destroyed in the
// reverse order, the main window last. The adjustment window is a child of
// the main window, so the order is what keeps it from being deleted twice.

#include <memory>

class TForm_Main;
class TForm_SLIP97YPrn;
class TWb_d97_Dot;

struct ProgramWindows
{
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

    std::unique_ptr<TForm_Main> formMain;
    std::unique_ptr<TForm_SLIP97YPrn> formSlip97YPrn;
    std::unique_ptr<TWb_d97_Dot> wbD97Dot;
};
