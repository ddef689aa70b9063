# The simulator's readers and engine: panel files, code blocks,
# simulatore.sav and simulatore.ini.
kn4_add_fuzz_target(simulator
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_simulator.cpp
    LIBS kn4simengine)
