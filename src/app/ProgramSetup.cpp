#include "app/ProgramSetup.h"

#include "controls/Guard.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool VuzoApplication::notify(QObject *receiver, QEvent *event)
{
    bool result = false;
    vuzo::Guard(activeWindow(), [&] { result = QApplication::notify(receiver, event); });
    return result;
}

void NameProgramToDesktop()
{
    // The desktop ties the window to the menu entry and its icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(VUZO_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(VUZO_APP_ID)));
}

bool InstallToolkitJapanese(QTranslator &translator)
{
    if (!translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(&translator);
    return true;
}
