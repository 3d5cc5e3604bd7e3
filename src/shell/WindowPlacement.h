#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the window goes when it opens from the tray icon. Pure geometry in
// Qt's top-down global coordinates, so it can be tested without a desktop.
//
// Under a top panel the window's left edge is 140 px left of the icon's left
// edge and its bottom edge 412 px below the icon's bottom edge. For an icon in
// the lower half of its screen the rule is mirrored: the window's top edge is
// 412 px above the icon's top edge. The result is then kept inside the
// screen's available area.
class WindowPlacement {
public:
    static constexpr int leftOffset = 140;
    static constexpr int edgeOffset = 412;

    struct Screen {
        QRect geometry;
        // geometry minus the panels (struts) of the desktop
        QRect availableGeometry;
    };

    // icon: the tray icon's rectangle, or an invalid QRect where the tray host
    // does not report one; the icon is then guessed from the pointer position
    // at the click and the screen's panel area when the pointer is on a panel,
    // and else (the window opened at launch, or a pointer that the X server
    // cannot see, as over a Wayland compositor's own panel) taken to be at
    // the right end of the screen's top panel, else of its bottom one.
    static QPoint windowPosition(const QRect& icon, const QPoint& pointer, const QSize& windowSize,
                                 const QList<Screen>& screens);

    // A square icon in the panel band nearest to the pointer on the pointer's
    // screen, as thick as the panel, centred on the pointer along the panel.
    // Without any panel area: a 1x1 rectangle at the pointer.
    static QRect iconFromPointer(const QPoint& pointer, const QList<Screen>& screens);

    // Whether the point lies on a panel: in its screen's area outside the
    // available one.
    static bool onPanel(const QPoint& point, const QList<Screen>& screens);

    // A square icon at the right end of the top panel of the screen nearest
    // to POINT, else of its bottom panel; without either, at the top right
    // of the screen.
    static QRect panelCorner(const QPoint& point, const QList<Screen>& screens);

    // The desktop's screens as they are now: the one look outside pure
    // geometry, for the callers.
    static QList<Screen> desktopScreens();

    // The point itself when a screen holds it, else the nearest point of the
    // nearest screen: what a tray host reports is taken as a hint, not trusted.
    static QPoint pointOnScreens(const QPoint& point, const QList<Screen>& screens);

private:
    static const Screen* screenAt(const QPoint& point, const QList<Screen>& screens);
};
