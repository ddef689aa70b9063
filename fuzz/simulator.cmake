# The simulator's readers and engine: panel files, code blocks,
# simulatore.sav and simulatore.ini. fuzz_simulator cuts codes at a course
# bound so a campaign runs thousands of inputs a second; fuzz_simulator_long
# replays them whole.
kn4_add_fuzz_target(simulator
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_simulator.cpp
    LIBS kn4simengine)
kn4_add_fuzz_target(simulator_long
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_simulator_long.cpp
    LIBS kn4simengine)
