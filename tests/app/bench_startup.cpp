// Starts the program's windows offscreen exactly as the program does, and ends
// as soon as the main window has been shown and its start-up sequence has
// run. scripts/bench times the whole process; this prints the peak memory.

#include "app/TForm_Main.h"
#include "print/TWb_d97_Dot.h"
#include "printer/WbPrinters.h"
#include "printsetup/TForm_SLIP97YPrn.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InstallWbPrinter(CreateCupsSystemPrinter());
    auto formMain = std::make_unique<TForm_Main>();
    auto formSlip97YPrn = std::make_unique<TForm_SLIP97YPrn>(formMain.get(), formMain.get());
    auto wbD97Dot = std::make_unique<TWb_d97_Dot>(formMain.get());
    formMain->setCompanions(formSlip97YPrn.get(), wbD97Dot.get());
    formMain->show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    app.exec();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak_rss_kb %ld\n", usage.ru_maxrss);
    // The adjustment window is a child of the main window: it goes first.
    wbD97Dot.reset();
    formSlip97YPrn.reset();
    formMain.reset();
    ReleaseWbPrinter();
    return 0;
}
