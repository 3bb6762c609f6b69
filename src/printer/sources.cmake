# The printer access layer and its two system printers go into `printer`; only
# CupsSystemPrinter.cpp includes <cups/cups.h>. The printer dialogs need widgets
# and go into `ui`.
target_sources(printer PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WbPrinterErrors.h
    ${CMAKE_CURRENT_LIST_DIR}/SystemPrinter.h
    ${CMAKE_CURRENT_LIST_DIR}/SystemPrinter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrinterPaintDevice.h
    ${CMAKE_CURRENT_LIST_DIR}/PrinterPaintDevice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WbPrinters.h
    ${CMAKE_CURRENT_LIST_DIR}/WbPrinters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MemorySystemPrinter.h
    ${CMAKE_CURRENT_LIST_DIR}/MemorySystemPrinter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PwgNames.h
    ${CMAKE_CURRENT_LIST_DIR}/PwgNames.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CupsJobs.h
    ${CMAKE_CURRENT_LIST_DIR}/CupsSystemPrinter.cpp
)
target_sources(ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WbPrinterDialogs.h
    ${CMAKE_CURRENT_LIST_DIR}/WbPrinterDialogs.cpp
)
