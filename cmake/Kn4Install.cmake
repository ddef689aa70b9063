# Installing the suite and packaging it for Debian.
#
# <prefix>/lib/kn4      the programs and libkn4edit2.so side by side: each
#                       program loads the library and starts the others from
#                       its own folder
# <prefix>/bin          links to the manager and the command-line tools
# <prefix>/share/kn4    the shipped data: language folders, settings files,
#                       the sample archive and the empty media folders; each
#                       user's program directory is seeded from it
# <prefix>/share/applications, icons, mime   the desktop entry of the manager
#                       and the panel file type
#
# Programs that are not part of this build (no Qt, not written yet) are left
# out, so the rules hold for every build.

set(KN4_INSTALL_PROGRAMS lib/kn4)
set(KN4_INSTALL_DATA share/kn4)
set(KN4_PACKAGE_DIR ${CMAKE_SOURCE_DIR}/data/package)

# kn4package builds what the package holds and nothing else (no tests, no
# benchmarks): scripts/package.sh builds it and packs.
add_custom_target(kn4package)
foreach(program Kn4Edit2 simulatore stampa kn4manager kn4start kn4c kn4check kn4sim)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${KN4_INSTALL_PROGRAMS} COMPONENT kn4)
        add_dependencies(kn4package ${program})
    endif()
endforeach()
install(TARGETS kn4edit2 LIBRARY DESTINATION ${KN4_INSTALL_PROGRAMS} NAMELINK_SKIP COMPONENT kn4)
add_dependencies(kn4package kn4edit2 kn4data)

# Links in bin: the programs find their folder through /proc/self/exe, which
# names the real file, so they still load the library beside them.
set(KN4_LINK_DIR ${CMAKE_BINARY_DIR}/install-links)
foreach(program kn4manager kn4start kn4c kn4check kn4sim)
    if(TARGET ${program})
        file(MAKE_DIRECTORY ${KN4_LINK_DIR})
        file(CREATE_LINK ../${KN4_INSTALL_PROGRAMS}/${program} ${KN4_LINK_DIR}/${program} SYMBOLIC)
        install(FILES ${KN4_LINK_DIR}/${program} DESTINATION bin COMPONENT kn4)
    endif()
endforeach()

# The shipped data: the language folders, the files of the program
# directory's root (default settings, the manager's texts), and the sample
# archive as the build leaves it in the program directory (compiled there).
foreach(folder italiano inglese spagnolo)
    if(EXISTS ${CMAKE_SOURCE_DIR}/data/${folder})
        install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/${folder} DESTINATION ${KN4_INSTALL_DATA} COMPONENT kn4)
    endif()
endforeach()
if(EXISTS ${CMAKE_SOURCE_DIR}/data/root)
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/root/ DESTINATION ${KN4_INSTALL_DATA} COMPONENT kn4)
endif()
file(GLOB_RECURSE KN4_SAMPLE_FILES RELATIVE ${CMAKE_SOURCE_DIR}/data ${CMAKE_SOURCE_DIR}/data/archivi/*)
foreach(f ${KN4_SAMPLE_FILES})
    get_filename_component(folder ${f} DIRECTORY)
    install(FILES ${KN4_PROGRAM_DIR}/${f} DESTINATION ${KN4_INSTALL_DATA}/${folder} COMPONENT kn4)
endforeach()
# The folders of the media side: the machine's program files the manager
# copies onto media, and the local disks, empty until the user fills them.
foreach(folder dischi p_lince P_VOLPE F_DISCO)
    if(EXISTS ${CMAKE_SOURCE_DIR}/data/${folder})
        install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/${folder} DESTINATION ${KN4_INSTALL_DATA} COMPONENT kn4)
    else()
        install(DIRECTORY DESTINATION ${KN4_INSTALL_DATA}/${folder} COMPONENT kn4)
    endif()
endforeach()

# The desktop: the manager with the other programs as actions, its icon, and
# panel files (.kn4) opening in the manager.
install(FILES ${KN4_PACKAGE_DIR}/kn4manager.desktop DESTINATION share/applications COMPONENT kn4)
install(FILES ${KN4_PACKAGE_DIR}/kn4manager.svg DESTINATION share/icons/hicolor/scalable/apps COMPONENT kn4)
install(FILES ${KN4_PACKAGE_DIR}/kn4manager-48.png DESTINATION share/icons/hicolor/48x48/apps
        RENAME kn4manager.png COMPONENT kn4)
install(FILES ${KN4_PACKAGE_DIR}/kn4-panel.xml DESTINATION share/mime/packages COMPONENT kn4)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kn4)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "kn4 maintainers <kn4@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Panel editor, compiler, simulator and archive manager for flat knitting machines")
set(CPACK_PACKAGE_DESCRIPTION "Writes and prepares the knitting programs (panels) of a \
computer-controlled flat knitting machine: the panel editor with its compiler library, the simulator, \
the print program and the archive manager, which copies panels to floppy disks, disk images and USB \
folders. In Italian, English and Spanish.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Every program links Qt's Widgets and shows Qt's own texts (buttons, print
# and file dialogs) in the chosen language from qt6-translations-l10n; the
# libraries of the shared objects come from dpkg-shlibdeps when it is there,
# the rest is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.2), libqt6gui6 (>= 6.2), libqt6printsupport6 (>= 6.2), qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation, mtools, dosfstools")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The install into a temporary DESTDIR, a user's first and second start on
# it, and the package's contents; needs a complete build.
find_program(KN4_DPKG_DEB dpkg-deb)
if(KN4_DPKG_DEB)
    add_test(NAME package_install
             COMMAND sh ${KN4_PACKAGE_DIR}/tests/package_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_CPACK_COMMAND})
    set_tests_properties(package_install PROPERTIES LABELS package TIMEOUT 120)
endif()
