# The main window and the windows around it. The main window's handlers live
# with the subsystem they wire, so their files are listed here with it.
target_sources(ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/TForm_Main.h
    ${CMAKE_CURRENT_LIST_DIR}/TForm_Main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormMainShell.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PublisherEndpoints.h
    ${CMAKE_CURRENT_LIST_DIR}/ProgramWindows.h
    ${CMAKE_CURRENT_LIST_DIR}/ProgramWindows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../settings/FormMainSettings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../slip/FormMainSlip.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../transfer/FormMainTransfer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../print/TWb_d97_Dot.h
    ${CMAKE_CURRENT_LIST_DIR}/../print/FormMainPrint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../printsetup/TForm_SLIP97YPrn.h
    ${CMAKE_CURRENT_LIST_DIR}/../printsetup/TForm_SLIP97YPrn.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../printsetup/FormMainPrintSetup.cpp
)
