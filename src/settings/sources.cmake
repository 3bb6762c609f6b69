target_sources(core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ProfileFile.h
    ${CMAKE_CURRENT_LIST_DIR}/ProfileFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SenderRecord.h
    ${CMAKE_CURRENT_LIST_DIR}/SenderRecord.cpp
)
