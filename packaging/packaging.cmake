# Installing the programs, the tools and their data, and the Debian package built from that with
# CPack (bash scripts/package.sh). Linux puts the data in share/talvir, which the programs look in
# after their own folder; Windows keeps everything beside the executables.
include(GNUInstallDirs)

set(TALVIR_PACKAGE_NAME talvir-configurator)
set(TALVIR_MAINTAINER "Talvir <support@talvir.ru>")
set(TALVIR_APP_ID ru.talvir.Configurator)
set(_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(_pkg ${CMAKE_CURRENT_LIST_DIR})

if(WIN32)
  set(TALVIR_DATA_DESTINATION ${CMAKE_INSTALL_BINDIR})
else()
  set(TALVIR_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/talvir)
endif()

install(TARGETS MXR_600r MXR_duziv kcftool transceiver-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_bin}/CentralType.db ${_bin}/demo_console.ini DESTINATION ${TALVIR_DATA_DESTINATION})
install(DIRECTORY ${_bin}/demo_console DESTINATION ${TALVIR_DATA_DESTINATION})

if(UNIX)
  # The manual pages and the changelog go in compressed, without a time stamp (as Debian wants).
  set(_gen ${CMAKE_BINARY_DIR}/packaging)
  set(_pages "")
  foreach(_page kcftool.1 transceiver-sim.1 MXR_600r.1 MXR_duziv.1)
    list(APPEND _pages ${_gen}/${_page}.gz)
  endforeach()
  # The two programs share one page text; each gets its own name and transceiver.
  set(TALVIR_PROGRAM MXR_600r)
  set(TALVIR_TRANSCEIVER "Талвир ЗКР")
  set(TALVIR_SLOTS 600)
  configure_file(${_pkg}/man/program.1.in ${_gen}/MXR_600r.1 @ONLY)
  set(TALVIR_PROGRAM MXR_duziv)
  set(TALVIR_TRANSCEIVER "Талвир-MXR/ЗКР")
  set(TALVIR_SLOTS 300)
  configure_file(${_pkg}/man/program.1.in ${_gen}/MXR_duziv.1 @ONLY)
  configure_file(${_pkg}/man/kcftool.1 ${_gen}/kcftool.1 COPYONLY)
  configure_file(${_pkg}/man/transceiver-sim.1 ${_gen}/transceiver-sim.1 COPYONLY)
  configure_file(${_pkg}/changelog.in ${_gen}/changelog @ONLY)
  foreach(_plain kcftool.1 transceiver-sim.1 MXR_600r.1 MXR_duziv.1 changelog)
    add_custom_command(OUTPUT ${_gen}/${_plain}.gz
      COMMAND gzip -9nkf ${_gen}/${_plain}
      DEPENDS ${_gen}/${_plain}
      VERBATIM)
  endforeach()
  add_custom_target(package_docs ALL DEPENDS ${_pages} ${_gen}/changelog.gz)

  install(FILES ${_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  set(_doc ${CMAKE_INSTALL_DATADIR}/doc/${TALVIR_PACKAGE_NAME})
  install(FILES ${CMAKE_SOURCE_DIR}/README.md ${_pkg}/copyright ${_gen}/changelog.gz DESTINATION ${_doc})
  foreach(_program MXR_600r MXR_duziv)
    install(FILES ${_pkg}/ru.talvir.${_program}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${_pkg}/icons/ru.talvir.${_program}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  endforeach()
  install(FILES ${_pkg}/${TALVIR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TALVIR_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Talvir)
set(CPACK_PACKAGE_CONTACT ${TALVIR_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator of Talvir alarm-notification transceivers")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TALVIR_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary on the first line and indents these lines itself; an empty line separates
# paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The technician's tools for the Talvir alarm-notification transceivers:
MXR_600r (Talvir ZKR, 600 panel slots) and MXR_duziv (Talvir-MXR/ZKR,
300 panel slots) write a configuration into a transceiver over USB or LAN,
read it back over LAN, keep it in configuration files and import panels
from the monitoring console's database.

kcftool does the same from the command line; transceiver-sim simulates a
transceiver for training and tests.")
# Libraries from dpkg-shlibdeps; the Qt plugins loaded at run time (the platform's windows, the
# SQLite driver of console mode) and Qt's Russian texts are not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
