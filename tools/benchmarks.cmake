# Benchmarks: run by hand, never by ctest.
add_executable(bench-converter bench/bench_converter.cpp)
target_link_libraries(bench-converter PRIVATE vetorlan_forecast)
