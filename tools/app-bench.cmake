# A bare Qt tray program: the yardstick for the idle memory of the main program.
add_executable(bare-tray ${CMAKE_CURRENT_SOURCE_DIR}/bench/bare-tray.cpp)
target_link_libraries(bare-tray PRIVATE Qt6::Widgets)
set_target_properties(bare-tray PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
