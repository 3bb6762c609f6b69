#pragma once
// The remembered list of the system's printers: what TWbPrinter counts its
// program-level indexes over, and what CheckSystemChange compares a fresh list
// with to see whether the system's printers changed.

#include "printer/SystemPrinter.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

// An immutable snapshot of the system's printer enumeration.
class TWbAllPrintersInfo
{
public:
    // Takes the snapshot. An unreachable print system gives an unavailable
    // snapshot (no printers) carrying the error's message, so that the
    // program can start without one.
    explicit TWbAllPrintersInfo(SystemPrinter &system);
    // A snapshot of given entries (tests, comparisons).
    explicit TWbAllPrintersInfo(QList<PrinterEntry> entries);
    // The snapshot of a listing read elsewhere (the change watch's).
    explicit TWbAllPrintersInfo(const SystemPrinter::Listing &listing);

    // True when both have the same count and, position by position, equal
    // names (exact) and attribute words; and the same availability.
    bool Compare(const TWbAllPrintersInfo &another) const;
    QString GetName(int index) const;
    uint32_t GetAttributes(int index) const;
    QString Name(int index) const { return GetName(index); }
    uint32_t Attributes(int index) const { return GetAttributes(index); }
    int Count() const { return int(m_entries.size()); }
    // Whether the printer at index is hidden from the program (its attribute
    // word has PRINTER_ATTRIBUTE_HIDDEN); an index outside the list is not.
    bool Hidden(int index) const { return (Attributes(index) & PRINTER_ATTRIBUTE_HIDDEN) != 0; }

    bool Available() const { return !m_unavailableMessage; }
    QString UnavailableMessage() const { return m_unavailableMessage.value_or(QString()); }

private:
    QList<PrinterEntry> m_entries;
    std::optional<QString> m_unavailableMessage;
};
