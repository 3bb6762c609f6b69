#include "app/ProgramWindows.h"

#include "mainwindow/TForm_Main.h"
#include "mainwindow/TWb_d97_Dot.h"
#include "printsetup/TForm_SLIP97YPrn.h"

ProgramWindows::ProgramWindows()
    : formMain(std::make_unique<TForm_Main>()),
      formSlip97YPrn(std::make_unique<TForm_SLIP97YPrn>(formMain.get(), formMain.get())),
      wbD97Dot(std::make_unique<TWb_d97_Dot>(formMain.get()))
{
    formMain->setCompanions(formSlip97YPrn.get(), wbD97Dot.get());
}

ProgramWindows::~ProgramWindows()
{
    wbD97Dot.reset();
    formSlip97YPrn.reset();
    formMain.reset();
}
