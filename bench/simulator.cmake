# The simulator: maglia alone and with the painting of its picture, on the
# longest legal code. With the Qt programs the picture is also painted by
# the window's own painter into an image of the picture's size, and the
# print-out is painted into a PDF.
add_executable(simulator_bench ${CMAKE_CURRENT_LIST_DIR}/simulator_bench.cpp)
target_link_libraries(simulator_bench PRIVATE kn4simengine benchmark::benchmark benchmark::benchmark_main)
if(TARGET kn4simwindow)
    target_link_libraries(simulator_bench PRIVATE kn4simwindow)
    target_compile_definitions(simulator_bench PRIVATE KN4_SIM_QT_PAINTER KN4_PROGRAM_DIR="${KN4_PROGRAM_DIR}")
    add_dependencies(simulator_bench kn4data)
endif()
