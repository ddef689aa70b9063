# Compiles the sample panels of the program directory in place with kn4c, so
# the archives hold compiled panels as the editor's Salva leaves them: the
# simulator and the print program read only compiled panels, the editor reads
# either form.
#   cmake -DKN4C=... -DKEYWORDS=.../VUZUDO.KEY -DWORKDIR=... -DSTAMP=...
#         -DPANELS="a.KN4;b.KN4" -P compilepanels.cmake
# The library writes its VUZUDO.TMP into the working folder, so the language
# folders of the program directory stay as shipped. A panel with grave errors
# would be left without code: that fails the build.
file(MAKE_DIRECTORY ${WORKDIR})
file(COPY_FILE ${KEYWORDS} ${WORKDIR}/VUZUDO.KEY ONLY_IF_DIFFERENT)
foreach(panel ${PANELS})
    # In a sanitizer build a leak report at exit is no reason to fail the build.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                            ${KN4C} --keywords ${WORKDIR} ${panel}
                    RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
    if(NOT status EQUAL 0 AND NOT status EQUAL 6)
        message(FATAL_ERROR "kn4c could not compile ${panel} (status ${status}):\n${report}")
    endif()
endforeach()
file(TOUCH ${STAMP})
