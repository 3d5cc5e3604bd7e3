# `make package`: a Debian package of what `cmake --install` lays out, with the
# files Debian asks for beside it: copyright, changelog and a manual page.
set(SONDIK_MAINTAINER "The Sondik developers <maintainers@sondik.de>"
    CACHE STRING "Name and address in the package's Maintainer field")

set(package_sources ${CMAKE_CURRENT_LIST_DIR})
set(package_build ${PROJECT_BINARY_DIR}/package)
execute_process(COMMAND date --utc --rfc-email --date "${SONDIK_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE SONDIK_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
configure_file(${package_sources}/changelog.in ${package_build}/changelog @ONLY)
configure_file(${package_sources}/sondik.1.in ${package_build}/sondik.1 @ONLY)
# -n: no name or time in the header, so the same text gives the same file.
foreach(file changelog sondik.1)
    add_custom_command(OUTPUT ${package_build}/${file}.gz
        COMMAND gzip -9nkf ${package_build}/${file}
        DEPENDS ${package_build}/${file} VERBATIM)
    list(APPEND package_files ${package_build}/${file}.gz)
endforeach()
add_custom_target(sondik_package_files ALL DEPENDS ${package_files})
install(FILES ${package_sources}/copyright ${package_build}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sondik)
install(FILES ${package_build}/sondik.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${package_sources}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME sondik)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sondik)
set(CPACK_PACKAGE_VENDOR "The Sondik developers")
set(CPACK_PACKAGE_CONTACT "${SONDIK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
"Sondik is an internet-radio player that lives in the system tray. A click on
its icon opens one small window under it with a searchable list of 175 German
and American stations; a click on a station plays it, a click on it again
stops it. The chosen station and the volume are kept across restarts.

It plays MP3 and AAC streams and M3U, PLS and HLS playlists through libmpv,
plays again by itself when the network comes back or the computer wakes,
answers media keys and desktop media controls over MPRIS, and can start at
login.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://sondik.de)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SONDIK_MAINTAINER}")
# What the binaries link (libmpv through the plugin) dpkg-shlibdeps finds;
# what Qt loads by name at run time it cannot: the QML modules the views
# import, the platform plugins beyond xcb, and the font the logos are sized for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qml6-module-qtquick, qml6-module-qtquick-controls, \
qml6-module-qtquick-layouts, qml6-module-qtquick-templates, qml6-module-qtquick-window, \
qml6-module-qtqml-workerscript, qt6-qpa-plugins, qt6-wayland, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
