# The print program: the profile walk and the layout of the pages on the
# longest legal code, and a damaged header refused.
add_executable(print_bench ${CMAKE_CURRENT_LIST_DIR}/print_bench.cpp)
target_link_libraries(print_bench PRIVATE kn4printcore benchmark::benchmark benchmark::benchmark_main)
