# Installation and the Debian package.
#
# Every front end reads config.ini (and the program its help files) from the
# directory of its real executable, so the executables, config.ini and the help
# files go together into one folder, /usr/lib/km360r/, and /usr/bin only holds
# links to them.
include(GNUInstallDirs)

set(KM360R_INSTALL_DIR "lib/km360r")
set(KM360R_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

set(KM360R_FRONT_ENDS)
foreach(target km360r km360r-cli km360r-sim)
  if(TARGET ${target})
    list(APPEND KM360R_FRONT_ENDS ${target})
  endif()
endforeach()
install(TARGETS ${KM360R_FRONT_ENDS} RUNTIME DESTINATION ${KM360R_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/config.ini DESTINATION ${KM360R_INSTALL_DIR})
# km360r-cli's reports, loaded from beside it.
if(TARGET km360r-cli-report)
  install(TARGETS km360r-cli-report LIBRARY DESTINATION ${KM360R_INSTALL_DIR})
endif()
# The help files are built by their own target, when the tree has it.
if(DEFINED KM360R_HELP_FILES)
  install(FILES ${KM360R_HELP_FILES} DESTINATION ${KM360R_INSTALL_DIR})
endif()

# The links in /usr/bin, made in the build tree and installed as links.
set(link_dir ${CMAKE_BINARY_DIR}/bin-links)
file(MAKE_DIRECTORY ${link_dir})
foreach(target ${KM360R_FRONT_ENDS})
  file(CREATE_LINK ../${KM360R_INSTALL_DIR}/${target} ${link_dir}/${target} SYMBOLIC)
  install(FILES ${link_dir}/${target} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

if(TARGET km360r)
  install(FILES ${KM360R_PACKAGING_DIR}/km360r.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KM360R_PACKAGING_DIR}/icons/km360r.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 256)
    install(FILES ${KM360R_PACKAGING_DIR}/icons/km360r-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME km360r.png)
  endforeach()
endif()

if(TARGET km360r-cli)
  # Debian keeps its manual pages compressed.
  set(man_page ${CMAKE_BINARY_DIR}/man/km360r-cli.1.gz)
  add_custom_command(OUTPUT ${man_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${KM360R_PACKAGING_DIR}/km360r-cli.1 > ${man_page}
    DEPENDS ${KM360R_PACKAGING_DIR}/km360r-cli.1 VERBATIM)
  add_custom_target(km360r_man_page ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME km360r)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "KM360R maintainers <km360r@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "management program for the KM360R PON optical power meter")
# The synopsis is the summary above; CPack indents these lines and marks the
# empty one as a paragraph break.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Reads real-time and stored measurements, wavelength codes and system\n"
  "parameters from a KM360R handheld PON optical power meter over its serial\n"
  "line, sets its clock, wavelength, calibration and measurement mode, saves\n"
  "and opens its data files, exports tables to CSV and Excel workbooks and\n"
  "prints test reports.\n"
  "\n"
  "km360r is the windowed program, km360r-cli its command-line companion and\n"
  "km360r-sim a simulated meter for trying both without the instrument.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The libraries are found by dpkg-shlibdeps; Qt's platform plugins (the
# windowed program's display, the offscreen one the companion's PDF reports
# are drawn on) are loaded at run time, so no library dependency names them;
# nor PostgreSQL's client library, loaded when a team server is first reached.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libpq5")
# Chinese window texts need a font with the characters; Qt's own dialogs speak
# Chinese with Qt's translations; Help hands its .chm file to the desktop's
# "open" (xdg-open), which needs a viewer for it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, qt6-translations-l10n, xdg-utils, kchmviewer")
set(CPACK_STRIP_FILES ON)
include(CPack)
