# The emulator image of the manager's transfer: build and check of a full disk.
if(TARGET kn4transfer)
    add_executable(diskimage_bench ${CMAKE_CURRENT_LIST_DIR}/diskimage_bench.cpp)
    target_link_libraries(diskimage_bench PRIVATE kn4transfer benchmark::benchmark benchmark::benchmark_main)
endif()
