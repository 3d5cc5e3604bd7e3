# Files of src/app: the composition root.
target_sources(sondikcore PRIVATE
    app/AppLogging.h app/AppLogging.cpp
    app/ShellFactory.h app/ShellFactory.cpp
    app/SondikApp.h app/SondikApp.cpp
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
