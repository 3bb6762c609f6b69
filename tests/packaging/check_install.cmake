# cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -DPACKAGE_NAME=... -DVERSION=...
#       -DDESKTOP_FILE_VALIDATE=... -DAPPSTREAMCLI=... -DRSVG_CONVERT=... -P check_install.cmake
# Fails with one message per problem found.

cmake_minimum_required(VERSION 3.25)

set(problems "")
macro(problem text)
    string(APPEND problems "  ${text}\n")
endmacro()

foreach(tool DESKTOP_FILE_VALIDATE APPSTREAMCLI RSVG_CONVERT)
    if(NOT ${tool} OR NOT EXISTS "${${tool}}")
        message(FATAL_ERROR "${tool} is not installed (scripts/test installs it)")
    endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()

# The tree.
set(program "${PREFIX}/bin/vuzo_vez_1")
set(desktop "${PREFIX}/share/applications/${APP_ID}.desktop")
set(metainfo "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
set(icon "${PREFIX}/share/icons/hicolor/scalable/apps/${APP_ID}.svg")
set(manual "${PREFIX}/share/${PACKAGE_NAME}/manual/index.html")
foreach(file IN ITEMS "${program}" "${desktop}" "${metainfo}" "${icon}" "${manual}")
    if(NOT EXISTS "${file}")
        problem("missing: ${file}")
    endif()
endforeach()
if(problems)
    message(FATAL_ERROR "The installed tree is incomplete:\n${problems}")
endif()

# The menu entry: valid, without warnings, started in the user's data folder.
execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${desktop}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    problem("desktop-file-validate: ${out}")
endif()
# (Read whole: its lines hold ";" and "[", which CMake lists would split.)
file(READ "${desktop}" entry)
foreach(expected "\nExec=vuzo_vez_1 --user-data\n" "\nIcon=${APP_ID}\n" "\nName\\[ja\\]=vuzo 払込取扱票印刷\n"
        "\nCategories=Office;")
    if(NOT entry MATCHES "${expected}")
        problem("the menu entry has no line matching '${expected}'")
    endif()
endforeach()

# The metainfo.
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net "${metainfo}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
    problem("appstreamcli validate: ${out}")
endif()

# The icon renders at the menu's sizes: a PNG of the asked width.
foreach(size 16 32 48)
    set(png "${PREFIX}/icon-${size}.png")
    execute_process(COMMAND "${RSVG_CONVERT}" -w ${size} -h ${size} "${icon}" -o "${png}"
        RESULT_VARIABLE rc ERROR_VARIABLE out)
    if(NOT rc EQUAL 0 OR NOT EXISTS "${png}")
        problem("the icon does not render at ${size} px: ${out}")
        continue()
    endif()
    file(READ "${png}" signature LIMIT 8 HEX)
    file(READ "${png}" width OFFSET 16 LIMIT 4 HEX)
    math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REPLACE "0x" "" expected "${expected}")
    string(LENGTH "${expected}" length)
    math(EXPR pad "8 - ${length}")
    string(REPEAT "0" ${pad} zeros)
    if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width STREQUAL "${zeros}${expected}")
        problem("the icon rendered at ${size} px is no ${size} px PNG (${signature} ${width})")
    endif()
endforeach()

# The manual's own links (stylesheet, picture) resolve in the installed tree.
file(READ "${manual}" html)
string(REGEX MATCHALL "(href|src)=\"[^\"#:]+\"" links "${html}")
get_filename_component(manual_dir "${manual}" DIRECTORY)
foreach(link IN LISTS links)
    string(REGEX REPLACE "^(href|src)=\"([^\"]+)\"$" "\\2" target "${link}")
    if(NOT EXISTS "${manual_dir}/${target}")
        problem("the manual links to ${target}, which is not installed")
    endif()
endforeach()
if(NOT html MATCHES "lang=\"ja\"")
    problem("the manual is not marked as Japanese")
endif()

# The installed program's options, with no display at all.
set(no_display env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
execute_process(COMMAND ${no_display} "${program}" --help
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "使い方: vuzo_vez_1" OR NOT out MATCHES "Usage: vuzo_vez_1")
    problem("--help: exit ${rc}, output:\n${out}${err}")
endif()
execute_process(COMMAND ${no_display} "${program}" --version
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "vuzo_vez_1 ${VERSION}\n")
    problem("--version: exit ${rc}, output:\n${out}${err}")
endif()
execute_process(COMMAND ${no_display} "${program}" --no-such-option
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 2 OR NOT out STREQUAL "" OR NOT err MATCHES "--no-such-option" OR NOT err MATCHES "Usage: vuzo_vez_1")
    problem("an unknown option: exit ${rc}, output:\n${out}${err}")
endif()

if(problems)
    message(FATAL_ERROR "The installed program has problems:\n${problems}")
endif()
message(STATUS "installed tree in ${PREFIX} checked")
