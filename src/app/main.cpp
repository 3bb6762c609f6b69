// Program entry: the single-instance guard, the printer object, the three
// windows in their order, the event loop, and the shut-down sequence.

#include "app/TForm_Main.h"
#include "platform/DialogService.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "platform/SingleInstance.h"
#include "print/TWb_d97_Dot.h"
#include "printer/WbPrinters.h"
#include "printsetup/TForm_SLIP97YPrn.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

#include <memory>

namespace {

// The last line of defence: an error that a handler let through is shown in
// the error box and the program goes on. Handlers run under their own guard,
// so this only catches what slips past them.
class VuzoApplication final : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        bool result = false;
        vuzo::Guard(activeWindow(), [&] { result = QApplication::notify(receiver, event); });
        return result;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    VuzoApplication app(argc, argv);

    SingleInstance guard(SingleInstance::keyFor(vuzo::ApplicationTitle(), QDir::currentPath()));
    if (guard.anotherInstanceRunning())
        return 0; // the running program has been asked to come to the front

    // The operators read Japanese: the toolkit's own texts (はい/いいえ, the
    // edit menus) are Japanese whatever the machine's locale.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    InstallWbPrinter(CreateCupsSystemPrinter());

    auto formMain = std::make_unique<TForm_Main>();
    auto formSlip97YPrn = std::make_unique<TForm_SLIP97YPrn>(formMain.get(), formMain.get());
    auto wbD97Dot = std::make_unique<TWb_d97_Dot>(formMain.get());
    formMain->setCompanions(formSlip97YPrn.get(), wbD97Dot.get());

    guard.setActivationHandler([w = formMain.get()] {
        if (w->isMinimized())
            w->showNormal();
        w->raise();
        w->activateWindow();
    });

    if (QScreen *screen = QGuiApplication::primaryScreen())
        formMain->move(screen->availableGeometry().center() - formMain->rect().center());
    formMain->show();
    WbPrinter().StartChangeWatch(formMain.get());

    const int rc = app.exec();

    // Every orderly end writes the sales lines and the settings, whichever
    // way the window was closed.
    vuzo::Guard(nullptr, [&] { formMain->FormDestroy(); });

    WbPrinter().StopChangeWatch();
    wbD97Dot.reset();
    formSlip97YPrn.reset();
    formMain.reset();
    ReleaseWbPrinter();
    return rc;
}
