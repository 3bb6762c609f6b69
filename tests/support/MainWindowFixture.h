#pragma once
// Builds the program's windows offscreen the way main() does, in a fresh
// working directory, over an in-memory printer and the scripted dialogs.
// prepare() may write files (settings, sender records) before the start.

#include "ScriptedDialogs.h"
#include "mainwindow/TForm_Main.h"
#include "mainwindow/TWb_d97_Dot.h"
#include "printer/MemorySystemPrinter.h"
#include "printer/WbPrinters.h"
#include "printsetup/TForm_SLIP97YPrn.h"

#include <QApplication>
#include <QDir>
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

    void start()
    {
        if (!m_printerInstalled)
            usePrinters({QStringLiteral("テストプリンタA"), QStringLiteral("Test Printer B")});
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        m_previousDialogs = vuzo::SetDialogs(std::move(scripted));
        form = std::make_unique<TForm_Main>();
        slip97YPrn = std::make_unique<TForm_SLIP97YPrn>(form.get(), form.get());
        d97Dot = std::make_unique<TWb_d97_Dot>(form.get());
        form->setCompanions(slip97YPrn.get(), d97Dot.get());
        form->show();
        QApplication::setActiveWindow(form.get());
        QCoreApplication::processEvents();
    }

    // The orderly end: the shut-down sequence, then the windows go.
    void stop()
    {
        if (form)
            form->FormDestroy();
        destroy();
    }

    template <typename W = QWidget>
    W *w(const QString &name) const
    {
        return form->findChild<W *>(name);
    }

    QTemporaryDir dir;
    MemorySystemPrinter *memory = nullptr;
    ScriptedDialogs *dialogs = nullptr;
    std::unique_ptr<TForm_Main> form;
    std::unique_ptr<TForm_SLIP97YPrn> slip97YPrn;
    std::unique_ptr<TWb_d97_Dot> d97Dot;

private:
    void destroy()
    {
        d97Dot.reset();
        slip97YPrn.reset();
        form.reset();
        if (m_previousDialogs) {
            vuzo::SetDialogs(std::move(m_previousDialogs));
            dialogs = nullptr;
        }
        ReleaseWbPrinter();
        memory = nullptr;
        m_printerInstalled = false;
    }
    QString m_oldDir;
    std::unique_ptr<DialogService> m_previousDialogs;
    bool m_printerInstalled = false;
};
