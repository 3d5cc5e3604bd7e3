# Files of src/app.
target_sources(sondikcore PRIVATE
    app/AppDelegate.h app/AppDelegate.cpp
    app/Appcast.h app/Appcast.cpp
    app/DBusMenuExporter.h app/DBusMenuExporter.cpp
    app/DesktopWindowManager.h app/DesktopWindowManager.cpp
    app/LaunchAtLogin.h app/LaunchAtLogin.cpp
    app/MprisPlayerAdaptor.h app/MprisPlayerAdaptor.cpp
    app/MprisRootAdaptor.h app/MprisRootAdaptor.cpp
    app/MprisService.h app/MprisService.cpp
    app/ShellLogging.h app/ShellLogging.cpp
    app/SingleInstance.h app/SingleInstance.cpp
    app/SleepMonitor.h app/SleepMonitor.cpp
    app/SondikApp.h app/SondikApp.cpp
    app/StationArtwork.h app/StationArtwork.cpp
    app/StatusBarItem.h app/StatusBarItem.cpp
    app/StatusNotifierItem.h app/StatusNotifierItem.cpp
    app/SwayWindowPlacer.h app/SwayWindowPlacer.cpp
    app/TerminationSignals.h app/TerminationSignals.cpp
    app/TrayStatusBarItem.h app/TrayStatusBarItem.cpp
    app/Updater.h app/Updater.cpp
    app/WindowPlacement.h app/WindowPlacement.cpp
    app/WindowStore.h app/WindowStore.cpp
    app/X11DesktopWindowManager.h app/X11DesktopWindowManager.cpp
)

pkg_check_modules(XCB REQUIRED IMPORTED_TARGET GLOBAL xcb)
target_link_libraries(sondikcore PRIVATE PkgConfig::XCB)

# The tray icon and the window icon.
qt_add_resources(sondikcore sondik_icons
    PREFIX /icons
    BASE ${PROJECT_SOURCE_DIR}/resources/icons
    FILES
        ${PROJECT_SOURCE_DIR}/resources/icons/StatusBarIcon.svg
        ${PROJECT_SOURCE_DIR}/resources/icons/AppIcon.svg
)

# Desktop integration: the launcher entry, the AppStream entry for software
# centres, and the icon in the hicolor theme, scalable and as the 48 px image
# that menus without an SVG loader look for.
configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/sondik.desktop.in
    ${CMAKE_CURRENT_BINARY_DIR}/${SONDIK_APP_ID}.desktop @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/sondik.metainfo.xml.in
    ${CMAKE_CURRENT_BINARY_DIR}/${SONDIK_APP_ID}.metainfo.xml @ONLY)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/icon-48.png
    COMMAND ${RSVG_CONVERT} --width 48 --height 48 --output ${CMAKE_CURRENT_BINARY_DIR}/icon-48.png
        ${PROJECT_SOURCE_DIR}/resources/icons/AppIcon.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/AppIcon.svg VERBATIM)
add_custom_target(sondik_icon_48 ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/icon-48.png)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${SONDIK_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${SONDIK_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/AppIcon.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${SONDIK_APP_ID}.svg)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/icon-48.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps
    RENAME ${SONDIK_APP_ID}.png)
