# The print program's readers: argument string, keyword aliases, compiled
# panel, listing, profile walk and page layout.
kn4_add_fuzz_target(print SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_print.cpp LIBS kn4printcore)
