#pragma once
// Builds the program's windows offscreen through the program's own
// ProgramWindows, in a fresh working directory, over an in-memory printer and
// the scripted dialogs. A test may write files (settings, sender records)
// before start().

#include "ScriptedDialogs.h"
#include "WindowTestUtil.h"
#include "app/ProgramWindows.h"
#include "mainwindow/TForm_Main.h"
#include "mainwindow/TWb_d97_Dot.h"
#include "printer/MemorySystemPrinter.h"
#include "printer/WbPrinters.h"
#include "printsetup/TForm_SLIP97YPrn.h"
#include "settings/ProfileFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class MainWindowFixture
{
public:
    MainWindowFixture()
    {
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    ~MainWindowFixture()
    {
        destroy();
        QDir::setCurrent(m_oldDir);
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    // Printers of the in-memory system: names in order; the first is the default.
    void usePrinters(const QStringList &names)
    {
        auto system = std::make_unique<MemorySystemPrinter>();
        for (const QString &n : names) {
            MemorySystemPrinter::Printer p;
            p.name = n;
            system->addPrinter(p);
        }
        if (!names.isEmpty())
            system->setDefaultPrinter(names.first());
        memory = system.get();
        InstallWbPrinter(std::move(system));
        m_printerInstalled = true;
    }

    // Another system printer (the CUPS one): memory stays null.
    void useSystemPrinter(std::unique_ptr<SystemPrinter> system)
    {
        memory = nullptr;
        InstallWbPrinter(std::move(system));
        m_printerInstalled = true;
    }

    // Over the CUPS printer, registers the PDF queue (VUZO_CUPS_PDF_QUEUE,
    // writing to VUZO_CUPS_PDF_OUT) for the hand-fed slip with these offsets.
    // Empty when done, else why the queue cannot be used; the caller skips,
    // or fails when VUZO_REQUIRE_CUPS=1.
    QString registerPdfQueue(int top, int left)
    {
        useSystemPrinter(CreateCupsSystemPrinter());
        const QString queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        if (queue.isEmpty() || qEnvironmentVariable("VUZO_CUPS_PDF_OUT").isEmpty())
            return QStringLiteral("VUZO_CUPS_PDF_QUEUE or VUZO_CUPS_PDF_OUT is not set");
        int index = -1;
        try {
            index = int(WbPrinter().PrinterNames().indexOf(queue));
        } catch (const EWbPrinter &e) {
            return e.message();
        }
        if (index < 0)
            return QStringLiteral("queue %1 does not exist").arg(queue);
        ProfileFile ini(path(QStringLiteral("vuzo_a500.ini")));
        const QString section = QStringLiteral("手差し");
        ini.WriteString(section, QStringLiteral("PrnName"), queue);
        ini.WriteString(section, QStringLiteral("PrnNoIndex"), QString::number(index));
        ini.WriteString(section, QStringLiteral("denPrn_Top"), QString::number(top));
        ini.WriteString(section, QStringLiteral("denPrn_Left"), QString::number(left));
        return QString();
    }

    // deferPrinters: as the program starts, the printer is selected after
    // the window's first paint.
    void start(bool deferPrinters = false)
    {
        if (!m_printerInstalled) {
            usePrinters({QStringLiteral("テストプリンタA"), QStringLiteral("Test Printer B")});
            // On A4, which the whole slip fits (A5 cuts off its right side).
            for (const QString &name : {QStringLiteral("テストプリンタA"), QStringLiteral("Test Printer B")})
                memory->printer(name)->defaults.dmPaperSize = DMPAPER_A4;
        }
        // The hand-fed slip is registered on the first printer, by position,
        // unless the test wrote a registration or starts as the program's
        // first start does.
        if (!firstStart && !QFile::exists(path(QStringLiteral("vuzo_a500.ini")))) {
            ProfileFile ini(path(QStringLiteral("vuzo_a500.ini")));
            ini.WriteString(QStringLiteral("手差し"), QStringLiteral("PrnNoIndex"), QStringLiteral("0"));
        }
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        m_previousDialogs = vuzo::SetDialogs(std::move(scripted));
        m_windows = std::make_unique<ProgramWindows>();
        form = m_windows->formMain.get();
        slip97YPrn = m_windows->formSlip97YPrn.get();
        d97Dot = m_windows->wbD97Dot.get();
        form->setDeferredPrinterStart(deferPrinters);
        form->show();
        QApplication::setActiveWindow(form);
        QCoreApplication::processEvents();
        // The start-up's boxes come after the first paint (with a deferred
        // start, together with the printers: the test waits for them).
        if (!deferPrinters)
            QVERIFY(QTest::qWaitFor([this] { return form->startupNoticesTold(); }, 5000));
    }

    // The orderly end: the shut-down sequence, then the windows go.
    void stop()
    {
        if (form)
            form->FormDestroy();
        destroy();
    }

    // A control of the main window by its objectName; null when there is no
    // such control of that type.
    template <typename W = QWidget> W *w(const QString &name) const { return form->findChild<W *>(name); }

    // The fields of line `row` (1 .. 10) of the main window's table.
    window_test::LineFields line(int row) const { return window_test::lineFields(form, row); }

    QTemporaryDir dir;
    // Set before start(): no printer registered for any feed.
    bool firstStart = false;
    MemorySystemPrinter *memory = nullptr;
    ScriptedDialogs *dialogs = nullptr;
    // The windows, owned by the program's ProgramWindows, while started.
    TForm_Main *form = nullptr;
    TForm_SLIP97YPrn *slip97YPrn = nullptr;
    TWb_d97_Dot *d97Dot = nullptr;

private:
    void destroy()
    {
        form = nullptr;
        slip97YPrn = nullptr;
        d97Dot = nullptr;
        m_windows.reset();
        if (m_previousDialogs) {
            vuzo::SetDialogs(std::move(m_previousDialogs));
            dialogs = nullptr;
        }
        ReleaseWbPrinter();
        memory = nullptr;
        m_printerInstalled = false;
    }
    std::unique_ptr<ProgramWindows> m_windows;
    QString m_oldDir;
    std::unique_ptr<DialogService> m_previousDialogs;
    bool m_printerInstalled = false;
};
