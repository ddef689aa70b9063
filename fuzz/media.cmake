# The emulator's diskette image reader (kn4disk check, list, extract, raw).
#   cmake --build fuzz-build --target fuzz_disk_image
#   fuzz-build/bin/fuzz_disk_image fuzz/corpus/disk_image -max_len=20000 -max_total_time=600
if(TARGET kn4transfer)
    kn4_add_fuzz_target(disk_image SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_disk_image.cpp LIBS kn4transfer)
endif()
