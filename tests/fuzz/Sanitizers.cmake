# The fuzzing build: every target with AddressSanitizer and UndefinedBehaviorSanitizer (any
# report ends the run) and libFuzzer's coverage, so that the code the harnesses reach is
# checked wherever it lies. Included by the top-level CMakeLists.txt before any target.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VETORLAN_FUZZ needs clang and its libFuzzer: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link
    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
