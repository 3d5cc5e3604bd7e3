# Files of src/shell: the tray icon and the window.
target_sources(sondikcore PRIVATE
    shell/DBusMenuExporter.h shell/DBusMenuExporter.cpp
    shell/ShellLogging.h shell/ShellLogging.cpp
    shell/StatusNotifierItem.h shell/StatusNotifierItem.cpp
    shell/SwayWindowPlacer.h shell/SwayWindowPlacer.cpp
    shell/SystemTrayIcon.h shell/SystemTrayIcon.cpp
    shell/TrayIcon.h shell/TrayIcon.cpp
    shell/TrayWindowController.h shell/TrayWindowController.cpp
    shell/WindowManager.h
    shell/WindowPlacement.h shell/WindowPlacement.cpp
    shell/WindowPlacer.h
    shell/WindowStore.h shell/WindowStore.cpp
    shell/DesktopSession.h shell/DesktopSession.cpp
    shell/X11WindowManager.h shell/X11WindowManager.cpp
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
