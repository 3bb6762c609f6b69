// Starts the program's windows offscreen exactly as the program does, and ends
// as soon as the main window has been shown and its start-up sequence has
// run. scripts/bench times the whole process; this prints the peak memory.

#include "app/ProgramWindows.h"
#include "mainwindow/TForm_Main.h"
#include "printer/WbPrinters.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InstallWbPrinter(CreateCupsSystemPrinter());
    auto windows = std::make_unique<ProgramWindows>();
    windows->formMain->show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    app.exec();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak_rss_kb %ld\n", usage.ru_maxrss);
    windows.reset();
    ReleaseWbPrinter();
    return 0;
}
