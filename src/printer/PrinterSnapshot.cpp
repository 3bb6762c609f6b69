#include "printer/PrinterSnapshot.h"

#include "printer/WbPrinterErrors.h"

TWbAllPrintersInfo::TWbAllPrintersInfo(SystemPrinter &system)
{
    try {
        m_entries = system.EnumPrinters();
    } catch (const EWbPrinter &e) {
        m_entries.clear();
        m_unavailableMessage = e.message();
    }
}

TWbAllPrintersInfo::TWbAllPrintersInfo(QList<PrinterEntry> entries) : m_entries(std::move(entries)) {}

TWbAllPrintersInfo::TWbAllPrintersInfo(const SystemPrinter::Listing &listing)
{
    if (listing.available)
        m_entries = listing.printers;
    else
        m_unavailableMessage = listing.unavailableMessage;
}

bool TWbAllPrintersInfo::Compare(const TWbAllPrintersInfo &another) const
{
    return Available() == another.Available() && m_entries == another.m_entries;
}

QString TWbAllPrintersInfo::GetName(int index) const
{
    return (index >= 0 && index < m_entries.size()) ? m_entries.at(index).name : QString();
}

uint32_t TWbAllPrintersInfo::GetAttributes(int index) const
{
    return (index >= 0 && index < m_entries.size()) ? m_entries.at(index).attributes : 0;
}
