// Program entry: the command line, the single-instance guard, the printer object, the three
// windows in their order, the event loop, and the shut-down sequence.

#include "app/CommandLine.h"
#include "app/HistoryExportRun.h"
#include "app/ImportRun.h"
#include "app/PdfExport.h"
#include "app/ProgramSetup.h"
#include "app/ProgramWindows.h"
#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "mainwindow/TForm_Main.h"
#include "platform/Errors.h"
#include "platform/SingleInstance.h"
#include "printer/WbPrinters.h"
#include "settings/DurableFile.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSocketNotifier>
#include <QTranslator>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A logout, a terminal closed or a plain kill asks the program to end: it
// then closes its window the orderly way, so what the operator typed is
// written to the settings file as on every other end.
int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[0], &byte, 1);
}

// Installed first thing, so a request that comes while the windows are still
// being built waits in the pipe until the window can close.
void catchTerminationSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        sigaction(sig, &action, nullptr);
}

// Set just before the main event loop starts: until then a request to end is
// only noted, and main() ends the program once the start-up has returned.
bool g_mainLoopRunning = false;

void closeOnTerminationSignals(QWidget *window)
{
    if (g_signalPipe[1] < 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[1], &byte, 1);
        // From now on no box waits for an answer; the boxes open now are
        // answered as if closed, innermost first.
        vuzo::SetClosingDown(true);
        while (QWidget *modal = QApplication::activeModalWidget()) {
            modal->close();
            if (QApplication::activeModalWidget() == modal)
                break;
        }
        if (g_mainLoopRunning)
            window->close();
    });
}

} // namespace

int main(int argc, char *argv[])
{
    // The command line is read before the application object exists: --help
    // and --version answer without a display, and the data folder is entered
    // before the guard keys on the working directory and anything reads a file.
    const CommandLine options = ParseCommandLine(ArgumentsOf(argc, argv));
    // A relative --pdf (or --export-history) FILE names a file in the folder the program was
    // started in, so it is made absolute before the data folder is entered.
    const QString pdfFile = PdfFilePath(options, QDir::currentPath());
    const QString historyFile = HistoryFilePath(options, QDir::currentPath());
    const QString importFile = ImportFilePath(options, QDir::currentPath());
    if (const std::optional<int> exitCode = ApplyCommandLine(options))
        return *exitCode;

    // A PDF of the saved slip needs no window, no display and no guard.
    if (options.action == CommandLine::Action::ExportPdf)
        return PdfExportMain(argc, argv, QDir::currentPath(), pdfFile);
    if (options.action == CommandLine::Action::ExportInvoicePdf)
        return InvoicePdfExportMain(argc, argv, QDir::currentPath(), pdfFile);
    if (options.action == CommandLine::Action::ImportCheck)
        return ImportMain(argc, argv, QDir::currentPath(), importFile, QString());
    if (options.action == CommandLine::Action::ImportPdf)
        return ImportMain(argc, argv, QDir::currentPath(), importFile, pdfFile);
    if (options.action == CommandLine::Action::ExportHistory)
        return HistoryExportMain(argc, argv, QDir::currentPath(), options.historyFrom, options.historyTo, historyFile,
                                 options.cp932);

    VuzoApplication app(argc, argv);
    catchTerminationSignals();
    NameProgramToDesktop();

    // One program per data folder: the lock on the folder decides, held until
    // the process ends. The socket only asks the running one to come forward.
    const DataFolderLock folderLock(QDir::currentPath());
    SingleInstance guard(SingleInstance::keyFor(vuzo::ApplicationTitle(), QDir::currentPath()));
    switch (folderLock.state()) {
    case DataFolderLock::State::Busy: guard.activateRunning(); return 0;
    case DataFolderLock::State::Held: guard.listen(); break;
    case DataFolderLock::State::Failed:
        // A folder that takes no lock file: the socket alone guards, as well
        // as it can.
        if (guard.anotherInstanceRunning())
            return 0;
        break;
    }
    // Temporary files of a save that was killed half way; the lock keeps any
    // other program of this folder out, so none of them is being written.
    vuzo::durable::RemoveStaleTemporaries(QDir::currentPath());

    QTranslator qtTranslator;
    InstallToolkitJapanese(qtTranslator);

    auto windows = std::make_unique<ProgramWindows>();
    TForm_Main *formMain = windows->formMain.get();

    guard.setActivationHandler([w = formMain] {
        if (w->isMinimized())
            w->showNormal();
        w->raise();
        w->activateWindow();
    });

    if (QScreen *screen = QGuiApplication::primaryScreen())
        formMain->placeOnScreen(screen->availableGeometry());
    closeOnTerminationSignals(formMain);
    // The window is drawn before the print system is asked anything.
    formMain->setDeferredPrinterStart(
        true, [](const QStringList &names) { return PreparePrinter(CreateCupsSystemPrinter(), names); });
    formMain->show();

    // A request to end that came while the start-up still ran (a box open
    // in it, say) skips the event loop: the window never stays up unseen.
    int rc = 0;
    if (!vuzo::ClosingDown()) {
        g_mainLoopRunning = true;
        rc = app.exec();
    }

    // Every orderly end writes the sales lines and the settings, whichever
    // way the window was closed.
    vuzo::Guard(nullptr, [&] { formMain->FormDestroy(); });

    // Only a printer object that exists is stopped: an end before the
    // printer start (a request to end during a start-up box) must not make
    // one, which would ask the print system.
    if (TWbPrinter *printer = InstalledWbPrinter())
        printer->StopChangeWatch();
    windows.reset();
    ReleaseWbPrinter();
    return rc;
}
