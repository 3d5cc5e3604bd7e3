# Files of src/shell: the tray icon and the window.
target_sources(sondikcore PRIVATE
    shell/AppDelegate.h shell/AppDelegate.cpp
    shell/DBusMenuExporter.h shell/DBusMenuExporter.cpp
    shell/DesktopWindowManager.h
    shell/ShellLogging.h shell/ShellLogging.cpp
    shell/StatusBarItem.h shell/StatusBarItem.cpp
    shell/StatusNotifierItem.h shell/StatusNotifierItem.cpp
    shell/SwayWindowPlacer.h shell/SwayWindowPlacer.cpp
    shell/TrayStatusBarItem.h shell/TrayStatusBarItem.cpp
    shell/WindowPlacement.h shell/WindowPlacement.cpp
    shell/WindowStore.h shell/WindowStore.cpp
    shell/X11DesktopWindowManager.h shell/X11DesktopWindowManager.cpp
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
