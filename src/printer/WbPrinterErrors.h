#pragma once
// The error classes of the printer layer. Callers catch EWbPrinter to treat any
// layer error alike, or a descendant for one condition. Every error carries the
// message the operator sees, naming the class, the operation and the problem.

#include "platform/Errors.h"

class EWbPrinter : public EVuzoError
{
public:
    using EVuzoError::EVuzoError;
};

// An index or count argument is out of range.
class EWBPrinterRangeError : public EWbPrinter
{
public:
    using EWbPrinter::EWbPrinter;
};

// A paper size index cannot be found or set.
class EWBPrinterPaperSizeError : public EWbPrinter
{
public:
    using EWbPrinter::EWbPrinter;
};

// A bin index cannot be found or set.
class EWbPrinterBinError : public EWbPrinter
{
public:
    using EWbPrinter::EWbPrinter;
};

// No visible printer exists.
class EWbPrinterNoPrinter : public EWbPrinter
{
public:
    using EWbPrinter::EWbPrinter;
};

// The selected printer does not support a setting.
class EWbPrinterNotSupported : public EWbPrinter
{
public:
    using EWbPrinter::EWbPrinter;
};

// A capability list is not available from the printer.
class EWbPrinterNoInfo : public EWbPrinter
{
public:
    using EWbPrinter::EWbPrinter;
};

// The system printer's selection is a hidden printer.
class EWbPrinterIllegalIndex : public EWbPrinter
{
public:
    using EWbPrinter::EWbPrinter;
};

// A user-defined paper extent is not in force.
class EWbPrinterNoUserPaperExtent : public EWbPrinter
{
public:
    using EWbPrinter::EWbPrinter;
};

// An internal consistency check failed (for example the selected printer is
// missing from the printer list). Not an EWbPrinter: callers that treat layer
// errors alike must not swallow it.
class EAssertionFailed : public EVuzoError
{
public:
    using EVuzoError::EVuzoError;
};

namespace vuzo {
// The message of a failed consistency check at a line of the printer layer:
// "アサートの失敗 (WbPrinters, 123 行)".
QString AssertionMessage(int line);
// The message of an unreachable print system.
QString PrintSystemUnavailableMessage();
// What the operator reads when the print system has no printer at all: what
// to do, then the layer's own text.
QString NoPrinterMessage(const QString &original);
} // namespace vuzo
