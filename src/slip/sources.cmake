target_sources(core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Currency.h
    ${CMAKE_CURRENT_LIST_DIR}/Currency.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SlipCalc.h
    ${CMAKE_CURRENT_LIST_DIR}/SlipCalc.cpp
)
