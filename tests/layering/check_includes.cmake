# Checks the direction of the dependencies between the folders under src/:
# each folder may include headers of the folders listed for it and nothing
# else, the QtCore-only folders include no QtGui or QtWidgets header, and only
# the CUPS files of the printer layer include <cups/...>. Every folder under
# src/ must be listed here and have its own CMakeLists.txt.
#
#   cmake -DSRC=<path to src> -P check_includes.cmake
#
# Prints one line per offending include and fails when there is any.

cmake_minimum_required(VERSION 3.25)

set(allowed_platform   platform)
set(allowed_numedit    platform numedit)
set(allowed_settings   platform settings)
set(allowed_slip       platform slip)
set(allowed_transfer   platform numedit transfer)
set(allowed_postal     platform postal)
set(allowed_orders     platform numedit settings transfer postal orders)
set(allowed_print      platform slip print)
set(allowed_printer    platform slip print printer)
set(allowed_session    platform numedit settings slip transfer postal orders print printer session)
set(allowed_controls   platform numedit controls)
set(allowed_printsetup platform numedit settings slip transfer postal orders print printer session controls printsetup)
set(allowed_preview    platform numedit settings slip transfer postal orders print printer session controls preview)
set(allowed_history    platform numedit settings slip transfer postal orders print printer session controls preview history)
set(allowed_batch      platform numedit settings slip transfer postal orders print printer session controls preview batch)
set(allowed_mainwindow platform numedit settings slip transfer postal orders print printer session controls printsetup preview history batch mainwindow)
set(allowed_app        platform numedit settings slip transfer postal orders print printer session controls printsetup preview history batch mainwindow app)

# Folders that link QtCore only.
set(core_only platform numedit settings slip transfer postal orders print)

if(NOT SRC)
    message(FATAL_ERROR "SRC is not set")
endif()

set(problems "")
file(GLOB folders LIST_DIRECTORIES true RELATIVE ${SRC} ${SRC}/*)
foreach(folder IN LISTS folders)
    if(NOT IS_DIRECTORY ${SRC}/${folder})
        continue()
    endif()
    if(NOT DEFINED allowed_${folder})
        string(APPEND problems "src/${folder}/: a folder the dependency rule does not know\n")
        continue()
    endif()
    if(NOT EXISTS ${SRC}/${folder}/CMakeLists.txt)
        string(APPEND problems "src/${folder}/: no CMakeLists.txt, so it builds into no target\n")
    endif()
    file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/${folder}/*.h ${SRC}/${folder}/*.cpp)
    foreach(file IN LISTS files)
        file(STRINGS ${SRC}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            if(line MATCHES "#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/")
                set(used ${CMAKE_MATCH_1})
                if(NOT used IN_LIST allowed_${folder})
                    string(APPEND problems "src/${file}: includes ${used}/, which ${folder}/ may not use\n")
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*\"([^\"/]+)\"")
                # A header of the file's own folder, written without the folder.
            endif()
            if(folder IN_LIST core_only AND line MATCHES "<(QtGui|QtWidgets|QtPrintSupport)/")
                string(APPEND problems "src/${file}: includes ${CMAKE_MATCH_1}, but ${folder}/ links QtCore only\n")
            endif()
            if(line MATCHES "<cups/" AND NOT file MATCHES "^printer/Cups[A-Za-z]*\\.cpp$")
                string(APPEND problems "src/${file}: includes a CUPS header outside the printer layer's CUPS files\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(problems)
    message(FATAL_ERROR "Folder dependency rule broken:\n${problems}")
endif()
message(STATUS "Folder dependency rule holds for ${SRC}")
