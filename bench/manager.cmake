# The manager's check of a panel for the machine: the whole code replayed.
if(TARGET kn4managercore)
    add_executable(manager_bench ${CMAKE_CURRENT_LIST_DIR}/manager_bench.cpp)
    target_link_libraries(manager_bench PRIVATE kn4managercore benchmark::benchmark benchmark::benchmark_main)
endif()
