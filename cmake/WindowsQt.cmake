# The window on Windows, against a static Qt (scripts/build-qt-windows.sh):
# Qt's libraries and plugins are linked in, so an executable needs nothing
# beside it but its data files.
#
# km360r_windows_qt(TARGET PLUGIN...): imports the named platform plugins
# (static plugins are linked only when asked for) and embeds a qt.conf that
# sends Qt to translations/ beside the executable for its own Chinese texts.
function(km360r_windows_qt target)
  qt_import_plugins(${target} INCLUDE ${ARGN})
  set_source_files_properties(${CMAKE_SOURCE_DIR}/app/ui/win32/qt.conf PROPERTIES QT_RESOURCE_ALIAS qt.conf)
  qt_add_resources(${target} ${target}_qt_conf PREFIX /qt/etc FILES ${CMAKE_SOURCE_DIR}/app/ui/win32/qt.conf)
endfunction()

# Qt's Chinese translations (Debian's qt6-translations-l10n): data files that
# serve Windows as they are.
set(KM360R_QT_TRANSLATIONS /usr/share/qt6/translations/qtbase_zh_CN.qm)
if(NOT EXISTS ${KM360R_QT_TRANSLATIONS})
  message(FATAL_ERROR "${KM360R_QT_TRANSLATIONS} is missing: run scripts/install-deps.sh")
endif()
configure_file(${KM360R_QT_TRANSLATIONS} ${CMAKE_BINARY_DIR}/bin/translations/qtbase_zh_CN.qm COPYONLY)
