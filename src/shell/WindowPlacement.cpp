#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace {

// Squared distance from a point to a rectangle (0 inside). In doubles: a
// point can lie anywhere in the int range, and its square beyond 64 bits.
double distanceSquared(const QPoint& point, const QRect& rect)
{
    const double x = point.x(), y = point.y();
    const double dx = x < rect.left() ? rect.left() - x : x > rect.right() ? x - rect.right() : 0;
    const double dy = y < rect.top() ? rect.top() - y : y > rect.bottom() ? y - rect.bottom() : 0;
    return dx * dx + dy * dy;
}

// The screen's area outside its panels; all of it when the desktop names none.
QRect availableArea(const WindowPlacement::Screen& screen)
{
    return screen.availableGeometry.isValid() ? screen.availableGeometry : screen.geometry;
}

// Keeps [start, start + length) inside [low, high); aligns to low when it
// cannot fit.
int clampSpan(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}

} // namespace

const WindowPlacement::Screen* WindowPlacement::screenAt(const QPoint& point,
                                                         const QList<Screen>& screens)
{
    const Screen* nearest = nullptr;
    double best = std::numeric_limits<double>::max();
    for (const Screen& screen : screens) {
        const double distance = distanceSquared(point, screen.geometry);
        if (distance < best) {
            best = distance;
            nearest = &screen;
        }
    }
    return nearest;
}

QList<WindowPlacement::Screen> WindowPlacement::desktopScreens()
{
    QList<Screen> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append({screen->geometry(), screen->availableGeometry()});
    return screens;
}

QPoint WindowPlacement::pointOnScreens(const QPoint& point, const QList<Screen>& screens)
{
    const Screen* screen = screenAt(point, screens);
    if (!screen)
        return point;
    const QRect& g = screen->geometry;
    return QPoint(std::clamp(point.x(), g.left(), g.right()),
                  std::clamp(point.y(), g.top(), g.bottom()));
}

QRect WindowPlacement::iconFromPointer(const QPoint& pointer, const QList<Screen>& screens)
{
    const Screen* screen = screenAt(pointer, screens);
    if (!screen)
        return QRect(pointer, QSize(1, 1));

    const QRect g = screen->geometry;
    const QRect a = availableArea(*screen);

    struct Band {
        QRect rect;
        bool horizontal;
    };
    const Band bands[] = {
        {QRect(g.left(), g.top(), g.width(), a.top() - g.top()), true},
        {QRect(g.left(), a.bottom() + 1, g.width(), g.bottom() - a.bottom()), true},
        {QRect(g.left(), g.top(), a.left() - g.left(), g.height()), false},
        {QRect(a.right() + 1, g.top(), g.right() - a.right(), g.height()), false},
    };

    const Band* nearest = nullptr;
    double best = std::numeric_limits<double>::max();
    for (const Band& band : bands) {
        if (band.rect.width() <= 0 || band.rect.height() <= 0)
            continue;
        const double distance = distanceSquared(pointer, band.rect);
        if (distance < best) {
            best = distance;
            nearest = &band;
        }
    }
    if (!nearest)
        return QRect(pointer, QSize(1, 1));

    const QRect band = nearest->rect;
    if (nearest->horizontal) {
        const int size = band.height();
        const int x = clampSpan(pointer.x() - size / 2, size, band.left(), band.right() + 1);
        return QRect(x, band.top(), size, size);
    }
    const int size = band.width();
    const int y = clampSpan(pointer.y() - size / 2, size, band.top(), band.bottom() + 1);
    return QRect(band.left(), y, size, size);
}

bool WindowPlacement::onPanel(const QPoint& point, const QList<Screen>& screens)
{
    for (const Screen& screen : screens) {
        if (screen.geometry.contains(point) && !availableArea(screen).contains(point))
            return true;
    }
    return false;
}

QRect WindowPlacement::panelCorner(const QPoint& point, const QList<Screen>& screens)
{
    const Screen* screen = screenAt(point, screens);
    if (!screen)
        return QRect(point, QSize(1, 1));
    const QRect g = screen->geometry;
    const QRect a = availableArea(*screen);
    const int top = a.top() - g.top();
    const int bottom = g.bottom() - a.bottom();
    if (top <= 0 && bottom > 0)
        return QRect(g.right() + 1 - bottom, a.bottom() + 1, bottom, bottom);
    // A screen without panels: a 22-point icon in its top right corner.
    const int size = top > 0 ? top : 22;
    return QRect(g.right() + 1 - size, g.top(), size, size);
}

QPoint WindowPlacement::windowPosition(const QRect& icon, const QPoint& pointer,
                                       const QSize& windowSize, const QList<Screen>& screens)
{
    const QRect anchor = icon.isValid()              ? icon
                         : onPanel(pointer, screens) ? iconFromPointer(pointer, screens)
                                                     : panelCorner(pointer, screens);
    const Screen* screen = screenAt(anchor.center(), screens);

    const int x = anchor.left() - leftOffset;
    // Exclusive bottom edge: y + height.
    int y = anchor.top() + anchor.height() + edgeOffset - windowSize.height();
    if (screen) {
        const QRect g = screen->geometry;
        const bool lowerHalf = 2 * (anchor.center().y() - g.top()) > g.height();
        if (lowerHalf)
            y = anchor.top() - edgeOffset;
    }
    if (!screen)
        return QPoint(x, y);

    const QRect a = availableArea(*screen);
    return QPoint(clampSpan(x, windowSize.width(), a.left(), a.right() + 1),
                  clampSpan(y, windowSize.height(), a.top(), a.bottom() + 1));
}
