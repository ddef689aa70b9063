# The archive manager's readers: panel preview, lingua.ini, keyword file
# check, editor parameter string, the saved state.
kn4_add_fuzz_target(manager_files
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_manager_files.cpp
    LIBS kn4managercore)
