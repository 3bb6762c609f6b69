target_sources(core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Errors.h
    ${CMAKE_CURRENT_LIST_DIR}/TextUtil.h
    ${CMAKE_CURRENT_LIST_DIR}/TextUtil.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Cp932.h
    ${CMAKE_CURRENT_LIST_DIR}/Cp932.cpp
)
