# Installation and the Debian package: the two programs, the manual page, the
# launcher, the icon and the AppStream metadata, each in its standard place.
include(GNUInstallDirs)

set(SORREL_APP_ID io.github.sorrel.Sorrel)

install(TARGETS sorrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET sorrel)
    install(TARGETS sorrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

find_program(POD2MAN pod2man REQUIRED)
set(SORREL_MANPAGE ${CMAKE_CURRENT_BINARY_DIR}/sorrel-cli.1.gz)
add_custom_command(
    OUTPUT ${SORREL_MANPAGE}
    COMMAND ${POD2MAN} --errors=die --section=1 --center=Sorrel
            "--release=Sorrel ${PROJECT_VERSION}" --name=SORREL-CLI
            ${CMAKE_CURRENT_SOURCE_DIR}/cli/sorrel-cli.pod
            | gzip -9n > ${SORREL_MANPAGE}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/cli/sorrel-cli.pod
    COMMENT "Building the sorrel-cli manual page"
    VERBATIM)
add_custom_target(manpage ALL DEPENDS ${SORREL_MANPAGE})
install(FILES ${SORREL_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES app/${SORREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES app/${SORREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES app/icons/sorrel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${SORREL_APP_ID}.svg)
foreach(size 16 32 48 64 128 256)
    install(FILES app/icons/sorrel-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${SORREL_APP_ID}.png)
endforeach()

install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sorrel RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME sorrel)
set(CPACK_PACKAGE_VENDOR "The Sorrel developers")
set(CPACK_PACKAGE_CONTACT "The Sorrel developers <sorrel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tonehole calculator for six-hole whistles and flutes")
set(CPACK_PACKAGE_DESCRIPTION
    "Sorrel works out where to drill the six toneholes of a whistle or flute with a
cylindrical bore, how long the tube must be and how even the instrument will
sound. It keeps forty designs, saves them to a plain-text design file and
prints a one-page report. sorrel-cli solves and reports designs in scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared libraries are found by dpkg-shlibdeps; Qt's platform plugins and
# the report's fixed-pitch face are loaded at run time and must be named.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
include(CPack)
