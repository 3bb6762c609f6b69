# The layout and the drawing interface are pure logic; the painter canvas needs
# QtGui and belongs to the printing library.
target_sources(core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PrintCanvas.h
    ${CMAKE_CURRENT_LIST_DIR}/FontFaces.h
    ${CMAKE_CURRENT_LIST_DIR}/RecordingCanvas.h
    ${CMAKE_CURRENT_LIST_DIR}/RecordingCanvas.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SlipLayout.h
    ${CMAKE_CURRENT_LIST_DIR}/SlipLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintCommand.h
    ${CMAKE_CURRENT_LIST_DIR}/PrintCommand.cpp
)
target_sources(printer PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PainterCanvas.h
    ${CMAKE_CURRENT_LIST_DIR}/PainterCanvas.cpp
)
