// The system printer over CUPS. This is the only file that includes the CUPS
// headers.
#include "printer/MemorySystemPrinter.h"
#include "printer/WbPrinters.h"

std::unique_ptr<SystemPrinter> CreateCupsSystemPrinter()
{
    // Until the CUPS backend is in place the program gets a printer-less
    // system, so every member reports that no printer exists.
    return std::make_unique<MemorySystemPrinter>();
}
