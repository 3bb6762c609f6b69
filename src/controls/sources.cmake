target_sources(core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ZuNumModel.h
    ${CMAKE_CURRENT_LIST_DIR}/ZuNumModel.cpp
)
target_sources(ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/TZuNumEdit.h
    ${CMAKE_CURRENT_LIST_DIR}/TZuNumEdit.cpp
)
