#include "shell/SwayWindowPlacer.h"
#include "shell/TrayIcon.h"
#include "shell/TrayWindowController.h"
#include "shell/WindowPlacer.h"

#include <QGuiApplication>
#include <QPointer>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

// A tray icon whose host, rectangle and clicks the test decides.
class FakeTrayIcon : public TrayIcon {
    Q_OBJECT

public:
    bool available = true;
    QRect rect{400, 2, 22, 22};
    bool windowShown = false;

    bool isAvailable() const override { return available; }
    QRect geometry() const override { return rect; }
    void setWindowShown(bool shown) override { windowShown = shown; }
    void setToolTip(const QString&) override {}
    void click() { emit clicked(); }
};

// A compositor's placer whose answers the test decides.
class FakeWindowPlacer : public WindowPlacer {
    Q_OBJECT

public:
    bool started = false;
    QList<QPoint> positions;

    void start() override { started = true; }
    void place(const QPoint& position) override { positions.append(position); }
};

namespace {

const QSize windowSize(320, 370);

// Under a top panel: left edge 140 left of the icon's, bottom edge 412 below
// the icon's bottom edge.
QPoint underIcon(const QRect& icon)
{
    return QPoint(icon.x() - 140, icon.y() + icon.height() + 412 - windowSize.height());
}

void setApplicationState(Qt::ApplicationState state)
{
    QWindowSystemInterface::handleApplicationStateChanged(state);
    QWindowSystemInterface::flushWindowSystemEvents();
}

enum class Tray { AtLaunch, Late, None };

} // namespace

Q_DECLARE_METATYPE(Tray)

class TestTrayWindowController : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setApplicationState(Qt::ApplicationInactive); }

    // Each step, then whether the window is shown after it (1) or not (0):
    // k the window becomes known, L launch, c click on the icon (moved a
    // little each time), i the application becomes inactive, x the window
    // manager's close, e the views' close request (Escape), w a pause longer
    // than the same-click time.
    // Without a tray host at launch, one that comes within the wait is used;
    // else the window is an ordinary one, placed by the window manager, that
    // stays open.
    void steps_data()
    {
        QTest::addColumn<Tray>("tray");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("closedCalls");
        QTest::newRow("unknown window: click ignored") << Tray::AtLaunch << "c0 k0" << 0;
        QTest::newRow("unknown window: inactive still reported") << Tray::AtLaunch << "i0" << 1;
        QTest::newRow("window manager's close hides") << Tray::AtLaunch << "k0 L1 x0 c1" << 1;
        QTest::newRow("Escape closes the popup") << Tray::AtLaunch << "k0 L1 e0 c1" << 1;
        // A host that takes the focus on the press: the click that follows
        // closed the window already.
        QTest::newRow("same click does not reopen") << Tray::AtLaunch << "k0 L1 i0 c0 c1" << 1;
        QTest::newRow("a later click is its own") << Tray::AtLaunch << "k0 L1 i0 w0 c1" << 1;
        QTest::newRow("tray comes late") << Tray::Late << "k0 L1 i0" << 1;
        QTest::newRow("no tray: ordinary window") << Tray::None << "k0 L1 i1 e1" << 0;
    }

    void steps()
    {
        QFETCH(Tray, tray);
        QFETCH(QString, steps);
        QFETCH(int, closedCalls);
        QQuickWindow window;
        window.resize(windowSize);
        window.setPosition(17, 23);
        FakeTrayIcon* item = nullptr; // owned by the controller
        TrayWindowController controller([&] {
            auto fake = std::make_unique<FakeTrayIcon>();
            fake->available = tray == Tray::AtLaunch;
            item = fake.get();
            return fake;
        });
        int closed = 0;
        controller.setOnWindowClosed([&] { ++closed; });
        controller.setTrayWaitTime(std::chrono::milliseconds(tray == Tray::Late ? 5000 : 300));
        if (!steps.contains('L'))
            controller.setUpTrayIcon();
        const bool ordinary = tray == Tray::None;
        QElapsedTimer sinceInactive; // whether a click is still the same one
        for (const QString& step : steps.split(' ')) {
            const char action = step.at(0).toLatin1();
            if (action == 'k') {
                controller.setWindow(&window);
            } else if (action == 'L') {
                controller.start();
                if (tray == Tray::Late) // after the launch's own showing is due
                    QTimer::singleShot(400, &controller, [&item] { item->available = true; });
                QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 10000);
            } else if (action == 'c') {
                item->rect.translate(37, 0);
                item->click();
                if (sinceInactive.isValid() &&
                    sinceInactive.elapsed() >= TrayWindowController::sameClickTime.count())
                    QSKIP("too slow to click within the same-click time");
                sinceInactive.invalidate();
            } else if (action == 'i') {
                setApplicationState(Qt::ApplicationActive);
                sinceInactive.start();
                setApplicationState(Qt::ApplicationInactive);
            } else if (action == 'x') {
                QWindowSystemInterface::handleCloseEvent(&window);
                QWindowSystemInterface::flushWindowSystemEvents();
            } else if (action == 'e') {
                controller.dismissWindow();
            } else if (action == 'w') {
                QTest::qWait(int(TrayWindowController::sameClickTime.count()) + 100);
                sinceInactive.invalidate();
            }
            QCOMPARE(window.isVisible(), step.at(1) == '1');
            QCOMPARE(item && item->windowShown, window.isVisible());
            if (window.isVisible())
                QCOMPARE(window.position(), ordinary ? QPoint(17, 23) : underIcon(item->rect));
        }
        QCOMPARE(closed, closedCalls);
        QCOMPARE(controller.windowStyle(), ordinary
                                               ? TrayWindowController::WindowStyle::OrdinaryWindow
                                               : TrayWindowController::WindowStyle::TrayPopup);
    }

    // A placer, as under sway: it is told where the window goes, its report of
    // another window's focus closes the window instead of the application's
    // deactivation, it lives as long as the controller, and when it fails the
    // window is placed and closed as without it.
    void windowPlacer()
    {
        QQuickWindow window;
        window.resize(windowSize);
        FakeTrayIcon* item = nullptr; // owned by the controller
        auto controller = std::make_unique<TrayWindowController>([&] {
            auto fake = std::make_unique<FakeTrayIcon>();
            item = fake.get();
            return fake;
        });
        controller->setWindow(&window);
        auto owned = std::make_unique<FakeWindowPlacer>();
        const QPointer<FakeWindowPlacer> placer = owned.get();
        controller->setWindowPlacer(std::move(owned));
        QVERIFY(placer->started);
        controller->start();
        QTRY_VERIFY(window.isVisible());
        QCOMPARE(placer->positions, QList<QPoint>{underIcon(item->rect)});

        setApplicationState(Qt::ApplicationActive);
        setApplicationState(Qt::ApplicationInactive);
        QVERIFY(window.isVisible());
        emit placer->otherWindowFocused();
        QVERIFY(!window.isVisible());

        emit placer->failed();
        QTRY_VERIFY(!placer);
        QTest::qWait(int(TrayWindowController::sameClickTime.count()) + 100);
        item->click();
        QVERIFY(window.isVisible());
        QCOMPARE(window.position(), underIcon(item->rect));
        setApplicationState(Qt::ApplicationActive);
        setApplicationState(Qt::ApplicationInactive);
        QVERIFY(!window.isVisible());

        auto another = std::make_unique<FakeWindowPlacer>();
        const QPointer<FakeWindowPlacer> anotherPlacer = another.get();
        controller->setWindowPlacer(std::move(another));
        controller.reset();
        QVERIFY(!anotherPlacer);
    }

    // Without sway to answer, the placer says so without holding up the caller.
    void swayPlacerWithoutSway()
    {
        SwayWindowPlacer placer(QStringLiteral("/nonexistent/sway-ipc.sock"));
        QSignalSpy failed(&placer, &WindowPlacer::failed);
        placer.start();
        placer.place(QPoint(10, 10));
        QTRY_COMPARE(failed.size(), 1);
    }
};

QTEST_MAIN(TestTrayWindowController)
#include "tst_traywindowcontroller.moc"
