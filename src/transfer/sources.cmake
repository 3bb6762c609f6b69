target_sources(core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Judgements.h
    ${CMAKE_CURRENT_LIST_DIR}/Judgements.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Cleanup.h
    ${CMAKE_CURRENT_LIST_DIR}/Cleanup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Transfer.h
    ${CMAKE_CURRENT_LIST_DIR}/Transfer.cpp
)
