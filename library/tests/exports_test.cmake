# Checks that the shared library exports exactly the functions its header
# declares: no published function missing, nothing internal leaking out.
#
#   cmake -DLIBRARY=<libkn4edit2.so> -DHEADER=<kn4edit2.h> -DNM=<nm> -P exports_test.cmake

foreach(var LIBRARY HEADER NM)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "exports_test: ${var} is not set")
    endif()
endforeach()
if(NOT EXISTS "${LIBRARY}")
    message(FATAL_ERROR "exports_test: ${LIBRARY} has not been built")
endif()

# The published functions: every declaration of the header that begins with
# KN4EDIT2_API; the name is the word before its "(".
file(STRINGS "${HEADER}" declarations REGEX "^KN4EDIT2_API ")
set(expected "")
foreach(line IN LISTS declarations)
    string(REGEX REPLACE "^.*[ *]([A-Za-z_][A-Za-z0-9_]*)\\(.*$" "\\1" name "${line}")
    list(APPEND expected "${name}")
endforeach()
list(LENGTH expected expectedCount)
if(NOT expectedCount EQUAL 13)
    message(FATAL_ERROR "exports_test: the header declares ${expectedCount} functions, not 13: ${expected}")
endif()

# The symbols the dynamic loader can find in the library.
execute_process(COMMAND "${NM}" -D --defined-only "${LIBRARY}"
                OUTPUT_VARIABLE nmOutput
                ERROR_VARIABLE nmError
                RESULT_VARIABLE nmResult)
if(NOT nmResult EQUAL 0)
    message(FATAL_ERROR "exports_test: ${NM} failed on ${LIBRARY}: ${nmError}")
endif()
string(REPLACE "\n" ";" nmLines "${nmOutput}")
set(exported "")
foreach(line IN LISTS nmLines)
    # "<address> <type> <name>[@version]"
    if(line MATCHES "^[0-9A-Fa-f]* *[A-Za-z] ([^ @]+)")
        list(APPEND exported "${CMAKE_MATCH_1}")
    endif()
endforeach()

set(missing ${expected})
if(exported)
    list(REMOVE_ITEM missing ${exported})
endif()
set(extra ${exported})
list(REMOVE_ITEM extra ${expected})
if(missing OR extra)
    message(FATAL_ERROR "exports_test: ${LIBRARY} does not export exactly the header's functions\n"
                        "  missing: ${missing}\n  not published: ${extra}")
endif()
list(LENGTH exported exportedCount)
message(STATUS "exports_test: ${exportedCount} exports, as the header declares")
