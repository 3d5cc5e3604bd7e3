#include "shell/WindowPlacement.h"

#include <QTest>

#include <limits>

using Screens = QList<WindowPlacement::Screen>;
Q_DECLARE_METATYPE(Screens)

namespace {

const QSize window(320, 374);
const QRect fullHd(0, 0, 1920, 1080);
const QRect noIcon;
const QPoint anywhere(5, 5);

WindowPlacement::Screen screen(QRect geometry, int top = 0, int bottom = 0, int left = 0,
                               int right = 0)
{
    return {geometry, geometry.adjusted(left, top, -right, -bottom)};
}

} // namespace

class TestWindowPlacement : public QObject {
    Q_OBJECT

private slots:
    void windowPosition_data()
    {
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("expected");

        const Screens topPanel{screen(fullHd, 28)};
        const Screens bottomPanel{screen(fullHd, 0, 40)};

        // Bottom edge 412 below the icon's bottom edge (3 + 22 + 412 = 437 = 63 + 374),
        // left edge 140 left of the icon's.
        QTest::newRow("top panel")
            << topPanel << QRect(1000, 3, 22, 22) << anywhere << QPoint(860, 63);
        // Top edge 412 above the icon's top edge.
        QTest::newRow("bottom panel, mirrored")
            << bottomPanel << QRect(1000, 1049, 22, 22) << anywhere << QPoint(860, 637);
        QTest::newRow("icon just below the middle mirrors")
            << Screens{screen(fullHd)} << QRect(600, 531, 22, 22) << anywhere << QPoint(460, 119);

        QTest::newRow("clamped at the right screen edge")
            << topPanel << QRect(1890, 3, 22, 22) << anywhere << QPoint(1600, 63);
        QTest::newRow("clamped beside a left panel")
            << Screens{screen(fullHd, 28, 0, 48)} << QRect(100, 3, 22, 22) << anywhere
            << QPoint(48, 63);
        QTest::newRow("kept below a panel thicker than the gap")
            << Screens{screen(fullHd, 80)} << QRect(1000, 3, 22, 22) << anywhere << QPoint(860, 80);
        QTest::newRow("kept above a bottom panel")
            << Screens{screen(QRect(0, 0, 800, 700), 0, 40)} << QRect(400, 300, 22, 22) << anywhere
            << QPoint(260, 286);

        // Stacked screens: the half is that of the icon's own screen.
        const Screens stacked{screen(fullHd), screen(QRect(0, 1080, 1920, 1080), 30, 40)};
        QTest::newRow("lower screen, bottom panel")
            << stacked << QRect(500, 2124, 22, 22) << anywhere << QPoint(360, 1712);

        // No icon rectangle: the pointer and the panel area stand in.
        QTest::newRow("no icon, pointer on a top panel")
            << topPanel << noIcon << QPoint(1011, 14) << QPoint(857, 66);
        QTest::newRow("no icon, pointer on a bottom panel")
            << bottomPanel << noIcon << QPoint(1011, 1060) << QPoint(851, 628);
        // Away from the panels (the window opened at launch): the panel's
        // right end.
        QTest::newRow("no icon, pointer off every screen")
            << topPanel << noIcon << QPoint(5000, -300) << QPoint(1600, 66);
        QTest::newRow("no icon, pointer away from a top panel")
            << topPanel << noIcon << QPoint(700, 500) << QPoint(1600, 66);
        QTest::newRow("no icon, pointer away from a bottom panel")
            << bottomPanel << noIcon << QPoint(700, 500) << QPoint(1600, 628);

        QTest::newRow("no screens at all: the bare rule")
            << Screens{} << QRect(1000, 3, 22, 22) << anywhere << QPoint(860, 63);
    }

    void windowPosition()
    {
        QFETCH(Screens, screens);
        QFETCH(QRect, icon);
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, expected);
        QCOMPARE(WindowPlacement::windowPosition(icon, pointer, window, screens), expected);
    }

    // Any point a tray host sends ends on a screen, and so does the window
    // placed under it.
    void hostPoints_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("expected");
        constexpr int low = std::numeric_limits<int>::min(), high = std::numeric_limits<int>::max();
        QTest::newRow("on a screen") << QPoint(2000, 5) << QPoint(2000, 5);
        QTest::newRow("far right") << QPoint(high, 5) << QPoint(3199, 5);
        QTest::newRow("far up and left") << QPoint(low, low) << QPoint(0, 0);
        QTest::newRow("far down and right") << QPoint(high, high) << QPoint(3199, 1199);
        QTest::newRow("below the smaller screen") << QPoint(500, 1100) << QPoint(500, 1079);
    }

    void hostPoints()
    {
        QFETCH(QPoint, point);
        QFETCH(QPoint, expected);
        const Screens screens{screen(fullHd, 28), screen(QRect(1920, 0, 1280, 1200), 28)};
        QCOMPARE(WindowPlacement::pointOnScreens(point, screens), expected);
        const QRect placed(
            WindowPlacement::windowPosition(QRect(expected, QSize(1, 1)), {}, window, screens),
            window);
        QVERIFY(screens[0].geometry.contains(placed) || screens[1].geometry.contains(placed));
    }
};

QTEST_APPLESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
