# A loopback stand-in for the two live forecast sources, replaying the recorded answers in
# tests/data/live: used by the live tests, the end-to-end and nginx tests, and the benchmark.
add_library(vetorlan_live_stand_in STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/live-stand-in/LiveStandIn.cpp ${CMAKE_CURRENT_SOURCE_DIR}/live-stand-in/LiveStandIn.h)
target_include_directories(vetorlan_live_stand_in PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vetorlan_live_stand_in PUBLIC Qt6::Core PkgConfig::HTTPLIB)
target_compile_definitions(vetorlan_live_stand_in PUBLIC
    VETORLAN_LIVE_FIXTURES="${PROJECT_SOURCE_DIR}/tests/data/live")
