# kn4_add_test(NAME SOURCES... LIBS...)
# Adds a GoogleTest executable and registers each of its tests with CTest.
include(GoogleTest)

function(kn4_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/common/testsupport)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        KN4_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        KN4_PROGRAM_DIR="${KN4_PROGRAM_DIR}")
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# kn4_add_fuzz_target(NAME SOURCES... LIBS...)
# A libFuzzer target fuzz_NAME (with KN4_FUZZ) and, in every build, its
# replay replay_NAME over fuzz/corpus/NAME registered with CTest. SOURCES hold
# LLVMFuzzerTestOneInput.
function(kn4_add_fuzz_target name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(replay_${name} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp ${ARG_SOURCES})
    target_link_libraries(replay_${name} PRIVATE ${ARG_LIBS} kn4common)
    target_compile_definitions(replay_${name} PRIVATE KN4_PROGRAM_DIR="${KN4_PROGRAM_DIR}")
    set_target_properties(replay_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME fuzz_replay_${name}
             COMMAND replay_${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
    if(KN4_FUZZ)
        add_executable(fuzz_${name} ${ARG_SOURCES})
        target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
        target_compile_definitions(fuzz_${name} PRIVATE KN4_PROGRAM_DIR="${KN4_PROGRAM_DIR}")
        target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    endif()
endfunction()
