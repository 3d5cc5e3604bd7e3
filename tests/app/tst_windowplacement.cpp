#include "app/WindowPlacement.h"

#include <QTest>

#include <algorithm>

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
        QTest::newRow("icon just above the middle keeps the top rule")
            << Screens{screen(fullHd)} << QRect(600, 529, 22, 22) << anywhere << QPoint(460, 589);
        QTest::newRow("icon just below the middle mirrors")
            << Screens{screen(fullHd)} << QRect(600, 531, 22, 22) << anywhere << QPoint(460, 119);

        QTest::newRow("clamped at the right screen edge")
            << topPanel << QRect(1890, 3, 22, 22) << anywhere << QPoint(1600, 63);
        QTest::newRow("clamped beside a left panel")
            << Screens{screen(fullHd, 28, 0, 48)} << QRect(100, 3, 22, 22) << anywhere
            << QPoint(48, 63);
        QTest::newRow("kept below a panel thicker than the gap")
            << Screens{screen(fullHd, 80)} << QRect(1000, 3, 22, 22) << anywhere << QPoint(860, 80);
        QTest::newRow("taller than the screen: top aligned")
            << Screens{screen(QRect(0, 0, 800, 300), 20)} << QRect(400, 2, 16, 16) << anywhere
            << QPoint(260, 20);

        // Two screens side by side; the second has a top panel of 30.
        const Screens sideBySide{screen(fullHd), screen(QRect(1920, 0, 1280, 1024), 30)};
        QTest::newRow("second screen, top rule")
            << sideBySide << QRect(2500, 4, 22, 22) << anywhere << QPoint(2360, 64);
        // Stacked screens: the half is that of the icon's own screen.
        const Screens stacked{screen(fullHd), screen(QRect(0, 1080, 1920, 1080), 30, 40)};
        QTest::newRow("lower screen, top panel")
            << stacked << QRect(500, 1084, 22, 22) << anywhere << QPoint(360, 1144);
        QTest::newRow("lower screen, bottom panel")
            << stacked << QRect(500, 2124, 22, 22) << anywhere << QPoint(360, 1712);
        QTest::newRow("lower screen with a smaller origin, left edge")
            << Screens{screen(fullHd), screen(QRect(-1280, 200, 1280, 1024), 24)}
            << QRect(-1270, 203, 20, 20) << anywhere << QPoint(-1280, 261);

        // No icon rectangle: the pointer and the panel area stand in.
        QTest::newRow("no icon, pointer on a top panel")
            << topPanel << noIcon << QPoint(1011, 14) << QPoint(857, 66);
        QTest::newRow("no icon, pointer on a bottom panel")
            << bottomPanel << noIcon << QPoint(1011, 1060) << QPoint(851, 628);
        QTest::newRow("no icon, pointer below a top panel (menu)")
            << topPanel << noIcon << QPoint(700, 600) << QPoint(546, 66);
        QTest::newRow("no icon, right-side panel") << Screens{screen(fullHd, 0, 0, 0, 50)} << noIcon
                                                   << QPoint(1890, 900) << QPoint(1550, 463);
        QTest::newRow("no icon, no panel: the pointer is the icon")
            << Screens{screen(fullHd)} << noIcon << QPoint(500, 500) << QPoint(360, 539);
        QTest::newRow("no icon, pointer on the second screen's panel")
            << sideBySide << noIcon << QPoint(2600, 10) << QPoint(2445, 68);
        QTest::newRow("no icon, pointer off every screen")
            << topPanel << noIcon << QPoint(5000, -300) << QPoint(1600, 66);

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

    void windowStaysOnItsScreen_data()
    {
        QTest::addColumn<QRect>("icon");
        for (int x = -1280; x < 3200; x += 97)
            for (int y : {0, 3, 500, 1000, 1060})
                QTest::addRow("%d,%d", x, y) << QRect(x, y, 22, 22);
    }

    void windowStaysOnItsScreen()
    {
        QFETCH(QRect, icon);
        const Screens screens{screen(QRect(-1280, 0, 1280, 1024), 0, 30), screen(fullHd, 28),
                              screen(QRect(1920, 0, 1280, 1024), 0, 0, 0, 40)};
        const QPoint position = WindowPlacement::windowPosition(icon, QPoint(), window, screens);
        const QRect placed(position, window);
        QVERIFY(std::any_of(screens.begin(), screens.end(),
                            [&](const auto& s) { return s.availableGeometry.contains(placed); }));
    }
};

QTEST_APPLESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
