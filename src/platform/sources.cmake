target_sources(core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Errors.h
    ${CMAKE_CURRENT_LIST_DIR}/TextUtil.h
    ${CMAKE_CURRENT_LIST_DIR}/TextUtil.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Cp932.h
    ${CMAKE_CURRENT_LIST_DIR}/Cp932.cpp
)
target_sources(ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DialogService.h
    ${CMAKE_CURRENT_LIST_DIR}/DialogService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Guard.h
    ${CMAKE_CURRENT_LIST_DIR}/Guard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InputMethod.h
    ${CMAKE_CURRENT_LIST_DIR}/InputMethod.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.h
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp
)
