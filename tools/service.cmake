# The sample forecast service: a library (pages in the service's own format, pictures, routes) used by the program
# `sample-forecast-service`, by the fetch tests and by the fetch benchmark.
set(SAMPLE_SERVICE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/sample-forecast-service)

add_library(vetorlan_sample_service STATIC
    ${SAMPLE_SERVICE_DIR}/ForecastPage.cpp ${SAMPLE_SERVICE_DIR}/ForecastPage.h
    ${SAMPLE_SERVICE_DIR}/ServicePage.cpp ${SAMPLE_SERVICE_DIR}/ServicePage.h
    ${SAMPLE_SERVICE_DIR}/SampleService.cpp ${SAMPLE_SERVICE_DIR}/SampleService.h
    ${SAMPLE_SERVICE_DIR}/Weather.cpp ${SAMPLE_SERVICE_DIR}/Weather.h
    ${SAMPLE_SERVICE_DIR}/sample_service.qrc
)
target_include_directories(vetorlan_sample_service PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vetorlan_sample_service PUBLIC vetorlan_page vetorlan_towns vetorlan_core PkgConfig::HTTPLIB)

add_executable(sample-forecast-service ${SAMPLE_SERVICE_DIR}/main.cpp)
target_link_libraries(sample-forecast-service PRIVATE vetorlan_sample_service vetorlan_sources)
set_target_properties(sample-forecast-service PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# Page files fetched and rewritten one step at a time, for the benchmark below and its tests.
add_library(vetorlan_page_files STATIC
    ${SAMPLE_SERVICE_DIR}/PageFiles.cpp ${SAMPLE_SERVICE_DIR}/PageFiles.h)
target_include_directories(vetorlan_page_files PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vetorlan_page_files PUBLIC vetorlan_sources)

# Fetches and converts every catalogue town from the sample service on loopback.
add_executable(bench-fetch-all ${SAMPLE_SERVICE_DIR}/BenchFetchAll.cpp)
target_link_libraries(bench-fetch-all PRIVATE vetorlan_sample_service vetorlan_page_files vetorlan_platform vetorlan_forecast)
set_target_properties(bench-fetch-all PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
