# Install rules and the Debian package (CPack DEB).
#
# Everything the program ships lives in one folder of its own,
# /opt/korvante/velix6 (the family's lay-out: KORVANTE.INI, placed by the
# pharmacy, belongs beside the executable; the package never ships one).
# /usr/bin holds the commands, /usr/share the menu entry, the icons, the
# manual pages and the package's documents. scripts/package.sh builds it.

set(VELIX6_PROGRAM_DIR opt/korvante/velix6)
set(VELIX6_MAINTAINER "VELIX6 maintainers <velix6@korvante.com.br>")
set(pkg ${PROJECT_SOURCE_DIR}/packaging)
set(pkgbin ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${pkgbin})

install(TARGETS velix6 RUNTIME DESTINATION ${VELIX6_PROGRAM_DIR})
install(FILES src/report/VELIX6.rav DESTINATION ${VELIX6_PROGRAM_DIR})
install(PROGRAMS ${pkg}/velix6-demo DESTINATION ${VELIX6_PROGRAM_DIR})
# The demo pharmacy's lay-out, the same scripts as in the checkout's tools/.
install(PROGRAMS tools/demo-setup.sh tools/create-db.sh tools/load-sql.sh
        DESTINATION ${VELIX6_PROGRAM_DIR}/tools)
install(FILES src/data/schema.sql DESTINATION ${VELIX6_PROGRAM_DIR}/tools)
install(FILES tools/demo/pharmacy.sql tools/demo/interface.sql DESTINATION ${VELIX6_PROGRAM_DIR}/tools/demo)
# The demo's settings under another name: the package ships no KORVANTE.INI.
install(FILES tools/demo/KORVANTE.INI DESTINATION ${VELIX6_PROGRAM_DIR}/tools/demo RENAME korvante-demo.ini)

# The commands: links into the program's folder (the program finds its folder
# through the link).
foreach(cmd velix6 velix6-demo)
  file(CREATE_LINK /${VELIX6_PROGRAM_DIR}/${cmd} ${pkgbin}/${cmd} SYMBOLIC)
  install(FILES ${pkgbin}/${cmd} DESTINATION usr/bin)
endforeach()

install(FILES ${pkg}/velix6.desktop DESTINATION usr/share/applications)
install(FILES ${pkg}/icons/velix6.svg DESTINATION usr/share/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${pkg}/icons/velix6-${size}.png DESTINATION usr/share/icons/hicolor/${size}x${size}/apps
          RENAME velix6.png)
endforeach()

# Manual pages and the changelog, compressed without a time stamp.
configure_file(${pkg}/changelog.in ${pkgbin}/changelog @ONLY)
foreach(f velix6.1 velix6-demo.1 changelog)
  if(EXISTS ${pkgbin}/${f})
    set(src ${pkgbin}/${f})
  else()
    set(src ${pkg}/${f})
  endif()
  execute_process(COMMAND gzip -9nc ${src} OUTPUT_FILE ${pkgbin}/${f}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${pkgbin}/velix6.1.gz ${pkgbin}/velix6-demo.1.gz DESTINATION usr/share/man/man1)
install(FILES ${pkg}/copyright ${pkgbin}/changelog.gz DESTINATION usr/share/doc/velix6)
install(FILES ${pkg}/lintian-overrides DESTINATION usr/share/lintian/overrides RENAME velix6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velix6)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR KORVANTE)
set(CPACK_PACKAGE_CONTACT ${VELIX6_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/cpack)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELIX6_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# What no binary links but the program needs at run time: the Firebird client
# library and embedded engine (loaded when connecting), isql-fb for
# velix6-demo, the fonts of the book, Qt's window-system plug-ins and Qt's own
# Portuguese translations for the print and file dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libfbclient2, firebird3.0-server-core, firebird3.0-utils, fonts-liberation2, fonts-dejavu-core, qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "monthly list of B2 prescription notifications for compounding pharmacies")
# The synopsis line is the summary; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "VELIX6 reads the pharmacy's Firebird database, rebuilds the monthly list of
dispensings of list-B2 controlled substances, checks every row and prints the
book the pharmacy hands to the health authority.
.
velix6-demo lays out a demo pharmacy for the user who runs it.")
include(CPack)
