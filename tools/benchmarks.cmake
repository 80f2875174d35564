# Benchmarks: run by hand, never by ctest.
add_executable(bench-converter bench/bench_converter.cpp)
target_link_libraries(bench-converter PRIVATE vetorlan_sources)

# A 400-town load from the live sources' loopback stand-in, and one page's reading and rendering.
add_executable(bench-live bench/bench_live.cpp)
target_link_libraries(bench-live PRIVATE vetorlan_live_stand_in vetorlan_platform vetorlan_sources)
set_target_properties(bench-live PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# The temperature tray icons on one sheet, for looking at, and what drawing them costs.
add_executable(tray-icon-sheet bench/tray_icon_sheet.cpp)
target_link_libraries(tray-icon-sheet PRIVATE vetorlan_ui)
set_target_properties(tray-icon-sheet PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# One dialog on screen or as a picture, for looking at its layout.
add_executable(dialog-gallery dialog-gallery/DialogGallery.cpp)
target_link_libraries(dialog-gallery PRIVATE vetorlan_ui vetorlan_resources)
set_target_properties(dialog-gallery PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
# The load without the window, several in one process (as the tray program loads today) or one
# as a short-lived child; compared by tools/bench/load_cost.py.
add_executable(bench-load-role bench/bench_load_role.cpp)
target_link_libraries(bench-load-role PRIVATE vetorlan_platform vetorlan_forecast)
set_target_properties(bench-load-role PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
# The same, linked with every library the program links (its start-up as a role of nimbora).
add_executable(bench-load-role-full bench/bench_load_role.cpp)
target_link_libraries(bench-load-role-full PRIVATE vetorlan_ui vetorlan_platform vetorlan_resources vetorlan_forecast)
set_target_properties(bench-load-role-full PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT WIN32)
    target_link_options(bench-load-role-full PRIVATE -Wl,--no-as-needed) # keep them though unused
endif()
