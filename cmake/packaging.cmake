# The Debian package, kinetra_<version>_<arch>.deb: the three programs, the language files where
# the programs look for them, the desktop entry and icon, a man page per program made from its
# --help, the copyright file and README.Debian. Built with `cpack` in the build folder.
include(GNUInstallDirs)

set(man_pages)
foreach(entry
    "kinetra|the service tool for positioning drives on a serial line"
    "kinetra-cli|the service tool on the command line, for scripted commissioning"
    "kinetra-drive-sim|a simulated positioning drive on a pseudo-terminal")
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 program)
  list(GET parts 1 summary)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program} -DSUMMARY=${summary}
            -DVERSION=${PROJECT_VERSION} -DOUT=${page} -P ${CMAKE_SOURCE_DIR}/cmake/man_page.cmake
    DEPENDS ${program} ${CMAKE_SOURCE_DIR}/cmake/man_page.cmake
    VERBATIM)
  list(APPEND man_pages ${page})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_SOURCE_DIR}/packaging/README.Debian
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kinetra)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kinetra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "Kinetra maintainers <maintainers@kinetra.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service tool for positioning motor drives on a serial line")
# The lines after the summary; cpack indents them.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kinetra finds a drive on a serial port, reads its parameter set, shows and edits it,\n"
    "starts motions and service commands, shows live values and stores parameter sets.\n"
    "kinetra-cli does the same from scripts; kinetra-drive-sim simulates a drive.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The Qt 6 runtime only; the C and C++ runtimes come with every Debian system.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6serialport6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-qpa-plugins (>= 6.4)")
include(CPack)
