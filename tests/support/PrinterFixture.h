#pragma once
// Builds printer objects over an in-memory system for the printer layer tests.

#include "printer/MemorySystemPrinter.h"
#include "printer/WbPrinters.h"

#include <QMetaType>
#include <memory>

Q_DECLARE_METATYPE(WbSize)
Q_DECLARE_METATYPE(MemorySystemPrinter::Printer)

struct PrinterFixture
{
    MemorySystemPrinter *system = nullptr; // owned by printer
    std::unique_ptr<TWbPrinter> printer;

    static MemorySystemPrinter::Printer Make(const QString &name, uint32_t attributes = 0)
    {
        MemorySystemPrinter::Printer p;
        p.name = name;
        p.attributes = attributes;
        return p;
    }

    // Printers are added before the printer object takes its snapshot.
    explicit PrinterFixture(const QList<MemorySystemPrinter::Printer> &printers, const QString &defaultPrinter = {},
                            const QStringList &ports = {})
    {
        auto memory = std::make_unique<MemorySystemPrinter>();
        system = memory.get();
        for (const auto &p : printers)
            system->addPrinter(p);
        system->setDefaultPrinter(defaultPrinter);
        system->setPorts(ports);
        printer = std::make_unique<TWbPrinter>(std::move(memory));
    }

    TWbPrinter &operator*() { return *printer; }
    TWbPrinter *operator->() { return printer.get(); }
};

// Runs f and returns the message of the error class E it raised, or a marker
// text when it raised nothing or something else.
template <class E, class F> QString RaisedMessage(F &&f)
{
    try {
        f();
    } catch (const E &e) {
        return e.message();
    } catch (const EVuzoError &e) {
        return QStringLiteral("<other error: %1>").arg(e.message());
    }
    return QStringLiteral("<nothing raised>");
}
