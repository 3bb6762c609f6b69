// Starts the program offscreen as main() does (its application object, the
// desktop's name for it, the single-instance guard, the toolkit's Japanese
// texts, the windows) and ends at the main window's first paint: what the
// operator waits for. The window keeps its designed size, as on a desktop
// screen (the offscreen screen is smaller). With "--bare" it shows a plain Qt
// window of the same size instead, built with the same flags, as the
// yardstick. scripts/bench times the whole process; this prints the peak
// memory.

#include "app/ProgramSetup.h"
#include "app/ProgramWindows.h"
#include "controls/DialogService.h"
#include "mainwindow/TForm_Main.h"
#include "platform/SingleInstance.h"
#include "printer/WbPrinters.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QTranslator>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/resource.h>

namespace {

// Ends the event loop after the first paint of the watched window.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // The window's paint reaching the screen: for a top-level widget that
        // is the end of its update request, whether it or its children paint.
        if (event->type() == QEvent::UpdateRequest)
            QCoreApplication::exit(0);
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    const bool bare = argc > 1 && std::strcmp(argv[1], "--bare") == 0;
    // The yardstick is a plain application object; the program has its own.
    std::unique_ptr<QApplication> app =
        bare ? std::make_unique<QApplication>(argc, argv) : std::make_unique<VuzoApplication>(argc, argv);
    FirstPaint firstPaint;
    std::unique_ptr<SingleInstance> guard;
    QTranslator qtTranslator;
    std::unique_ptr<ProgramWindows> windows;
    std::unique_ptr<QWidget> plain;
    if (bare) {
        plain = std::make_unique<QWidget>();
        plain->resize(769, 661);
        plain->installEventFilter(&firstPaint);
        plain->show();
    } else {
        NameProgramToDesktop();
        guard = std::make_unique<SingleInstance>(SingleInstance::keyFor(vuzo::ApplicationTitle(), QDir::currentPath()));
        if (guard->anotherInstanceRunning())
            return 1;
        InstallToolkitJapanese(qtTranslator);
        windows = std::make_unique<ProgramWindows>();
        windows->formMain->installEventFilter(&firstPaint);
        windows->formMain->setDeferredPrinterStart(
            true, [](const QStringList &names) { return PreparePrinter(CreateCupsSystemPrinter(), names); });
        windows->formMain->show();
    }
    app->exec();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak_rss_kb %ld\n", usage.ru_maxrss);
    windows.reset();
    plain.reset();
    if (!bare)
        ReleaseWbPrinter();
    return 0;
}
