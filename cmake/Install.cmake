# Installation into the XDG locations and the Debian package.
include(GNUInstallDirs)

set(BRISELLA_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)

# Application icon: the SVG and PNG sizes rendered from it at build time.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_svg ${BRISELLA_DESKTOP_DIR}/icons/brisella-bildwerker.svg)
set(icon_pngs)
foreach(size 16 24 32 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}/brisella-bildwerker.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} ${icon_svg} -o ${png}
        DEPENDS ${icon_svg} VERBATIM)
    list(APPEND icon_pngs ${png})
    install(FILES ${png}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(brisella_icons ALL DEPENDS ${icon_pngs})
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

install(FILES ${BRISELLA_DESKTOP_DIR}/brisella-bildwerker.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${BRISELLA_DESKTOP_DIR}/brisella-bildwerker.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${BRISELLA_DESKTOP_DIR}/brisella-bildwerker.thumbnailer
    DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
# What software centres show of the program (AppStream).
install(FILES ${BRISELLA_DESKTOP_DIR}/de.tovarin.BrisellaBildwerker.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The German user guide with its pictures, shown by the program's guide window ("Anleitung").
install(FILES ${CMAKE_SOURCE_DIR}/docs/Anleitung.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brisella-bildwerker)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/img DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brisella-bildwerker)

# Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brisella-bildwerker)
set(CPACK_PACKAGE_VENDOR Tovarin)
set(CPACK_PACKAGE_CONTACT "Tovarin")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tovarin")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Designer for folded greeting cards (German user interface)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)  # the debug information stays in the build tree
# Loaded at run time, so dpkg-shlibdeps cannot see them: picture plugins, the SVG icon engine
# (the program's own icons), the German Qt texts, the fonts that stand in for the card fonts,
# the colour emoji font and the German dictionary of the spell checking.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-image-formats-plugins, libqt6svg6, qt6-translations-l10n, fonts-liberation2, fonts-urw-base35, fonts-noto-color-emoji, hunspell-de-de")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sane-utils, shared-mime-info, desktop-file-utils")
include(CPack)
