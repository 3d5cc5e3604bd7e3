#include "FakeStatusBarItem.h"
#include "app/AppDelegate.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <qpa/qwindowsysteminterface.h>

#include <memory>

namespace {

const QSize windowSize(320, 370);
const QRect iconRect(400, 2, 22, 22);

// Top-down rule under a top panel: left edge 140 left of the icon's, bottom
// edge 412 below the icon's bottom edge.
QPoint underIcon(const QRect& icon)
{
    return QPoint(icon.x() - 140, icon.y() + icon.height() + 412 - windowSize.height());
}

void setApplicationState(Qt::ApplicationState state)
{
    QWindowSystemInterface::handleApplicationStateChanged(state);
    QWindowSystemInterface::flushWindowSystemEvents();
}

enum class State { Unknown, Shown, Closed };
enum class Event { Click, Inactive };

} // namespace

Q_DECLARE_METATYPE(State)
Q_DECLARE_METATYPE(Event)

class TestAppDelegate : public QObject {
    Q_OBJECT

    std::unique_ptr<QQuickWindow> window;
    std::unique_ptr<AppDelegate> delegate;
    FakeStatusBarItem* item = nullptr; // owned by the delegate
    int closedCalls = 0;
    bool showPreferences = false;

    void makeDelegate(bool trayAvailable = true)
    {
        delegate = std::make_unique<AppDelegate>([this, trayAvailable] {
            auto fake = std::make_unique<FakeStatusBarItem>();
            fake->available = trayAvailable;
            fake->rect = iconRect;
            item = fake.get();
            return fake;
        });
        delegate->setOnWindowClosed([this] {
            ++closedCalls;
            showPreferences = false;
        });
    }

    // Shown, active, under the icon.
    void showAndActivate()
    {
        delegate->showWindow();
        QVERIFY(window->isVisible());
        QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
    }

private slots:
    void init()
    {
        window = std::make_unique<QQuickWindow>();
        window->resize(windowSize);
        closedCalls = 0;
        showPreferences = true;
        item = nullptr;
        makeDelegate();
    }

    void cleanup()
    {
        delegate.reset();
        window.reset();
        setApplicationState(Qt::ApplicationInactive);
    }

    void stateTable_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<Event>("event");
        QTest::addColumn<bool>("visibleAfter");
        QTest::addColumn<int>("closedCallsAfter");

        QTest::newRow("unknown, click: ignored") << State::Unknown << Event::Click << false << 0;
        QTest::newRow("unknown, inactive: onWindowClosed only")
            << State::Unknown << Event::Inactive << false << 1;
        QTest::newRow("shown, click: closes") << State::Shown << Event::Click << false << 1;
        QTest::newRow("shown, inactive: closes") << State::Shown << Event::Inactive << false << 1;
        QTest::newRow("closed, click: shows") << State::Closed << Event::Click << true << 0;
        QTest::newRow("closed, inactive: onWindowClosed")
            << State::Closed << Event::Inactive << false << 1;
    }

    void stateTable()
    {
        QFETCH(State, state);
        QFETCH(Event, event);
        QFETCH(bool, visibleAfter);
        QFETCH(int, closedCallsAfter);

        delegate->setUpStatusBarItem();
        if (state != State::Unknown)
            delegate->setWindow(window.get());
        if (state == State::Shown)
            showAndActivate();
        // Leave any activation behind before the event under test.
        setApplicationState(Qt::ApplicationActive);
        closedCalls = 0;
        showPreferences = true;

        if (event == Event::Click)
            item->click();
        else
            setApplicationState(Qt::ApplicationInactive);

        QCOMPARE(window->isVisible(), visibleAfter);
        QCOMPARE(closedCalls, closedCallsAfter);
        QCOMPARE(showPreferences, closedCallsAfter == 0);
        QCOMPARE(item->windowShown, visibleAfter);
        if (visibleAfter)
            QCOMPARE(window->position(), underIcon(iconRect));
    }

    // A host whose panel takes the focus on a press: the window closes on
    // the focus change, then that click's activation arrives.
    void clickRightAfterTheFocusLeftIsTheSameClick()
    {
        delegate->setToolTip(QStringLiteral("Station — Song"));
        delegate->setWindow(window.get());
        delegate->setUpStatusBarItem();
        QCOMPARE(item->toolTip, QStringLiteral("Station — Song"));
        showAndActivate();
        setApplicationState(Qt::ApplicationInactive);
        QVERIFY(!window->isVisible());
        item->click();
        QVERIFY(!window->isVisible());
        item->click();
        QVERIFY(window->isVisible());
    }

    void launchShowsTheWindowUnderTheIconAfterADelay()
    {
        delegate->setWindow(window.get());
        QElapsedTimer sinceLaunch;
        sinceLaunch.start();
        delegate->applicationDidFinishLaunching();
        QVERIFY(item);
        QCoreApplication::processEvents();
        QVERIFY(!window->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        // A lower bound only: a loaded machine makes it later, never earlier
        // (a coarse timer may fire 5% early).
        QVERIFY(sinceLaunch.elapsed() >= 190);
        QCOMPARE(window->position(), underIcon(iconRect));
        QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
        QCOMPARE(closedCalls, 0);
    }

    void launchBeforeTheWindowIsKnownShowsNothing()
    {
        delegate->applicationDidFinishLaunching();
        // Well past the launch showing, then the window arrives late.
        QTest::qWait(2000);
        delegate->setWindow(window.get());
        QCoreApplication::processEvents();
        QVERIFY(!window->isVisible());
        QCOMPARE(closedCalls, 0);
        // The next click shows it.
        item->click();
        QVERIFY(window->isVisible());
    }

    void clicksToggleAndPlaceAgainAtEveryShowing()
    {
        delegate->setUpStatusBarItem();
        delegate->setWindow(window.get());
        for (int round = 0; round < 3; ++round) {
            const QRect moved = iconRect.translated(37 * round, 0);
            item->rect = moved;
            showPreferences = true;
            item->click();
            QVERIFY(window->isVisible());
            QCOMPARE(window->position(), underIcon(moved));
            QCOMPARE(closedCalls, round);
            item->click();
            QVERIFY(!window->isVisible());
            QCOMPARE(closedCalls, round + 1);
            QVERIFY(!showPreferences);
        }
    }

    void losingFocusToAnotherApplicationCloses()
    {
        delegate->setUpStatusBarItem();
        delegate->setWindow(window.get());
        showAndActivate();
        // What the X11 platform reports when another application's window
        // takes the focus.
        QWindowSystemInterface::handleWindowActivated(nullptr, Qt::ActiveWindowFocusReason);
        QWindowSystemInterface::flushWindowSystemEvents();
        QTRY_VERIFY(!window->isVisible());
        QVERIFY(closedCalls >= 1);
        QVERIFY(!showPreferences);

        // The same window comes back at a click of its own (not the one
        // that may have taken the focus).
        closedCalls = 0;
        QTest::qWait(int(AppDelegate::sameClickTime.count()) + 1000);
        item->click();
        QVERIFY(window->isVisible());
        QCOMPARE(closedCalls, 0);
    }

    void closingFromTheWindowManagerOnlyHides()
    {
        delegate->setUpStatusBarItem();
        delegate->setWindow(window.get());
        showAndActivate();
        closedCalls = 0;
        QWindowSystemInterface::handleCloseEvent(window.get());
        QWindowSystemInterface::flushWindowSystemEvents();
        QVERIFY(!window->isVisible());
        QCOMPARE(closedCalls, 1);
        item->click();
        QVERIFY(window->isVisible());
    }

    void withoutTrayTheWindowIsOrdinaryAndStaysOpen()
    {
        makeDelegate(false);
        delegate->setTrayWaitTime(std::chrono::milliseconds(300));
        QSignalSpy styleChanged(delegate.get(), &AppDelegate::windowStyleChanged);
        delegate->setWindow(window.get());
        window->setPosition(17, 23);
        // Not shown as a popup while the tray may still come: the style is
        // settled before the first showing.
        qsizetype styleChangesAtShowing = -1;
        connect(window.get(), &QWindow::visibleChanged, this, [&](bool visible) {
            if (visible && styleChangesAtShowing < 0)
                styleChangesAtShowing = styleChanged.size();
        });
        delegate->applicationDidFinishLaunching();
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        QCOMPARE(styleChangesAtShowing, 1);
        QCOMPARE(styleChanged.size(), 1);
        QCOMPARE(delegate->windowStyle(), AppDelegate::WindowStyle::OrdinaryWindow);
        // Placed by the window manager, not under an icon.
        QCOMPARE(window->position(), QPoint(17, 23));

        setApplicationState(Qt::ApplicationActive);
        setApplicationState(Qt::ApplicationInactive);
        QVERIFY(window->isVisible());
        QCOMPARE(closedCalls, 0);
    }

    void aTrayThatComesLateIsUsed()
    {
        makeDelegate(false);
        delegate->setTrayWaitTime(std::chrono::milliseconds(10000));
        QSignalSpy styleChanged(delegate.get(), &AppDelegate::windowStyleChanged);
        delegate->setWindow(window.get());
        delegate->applicationDidFinishLaunching();
        QTest::qWait(350);
        QVERIFY(!window->isVisible());
        item->available = true;
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        QCOMPARE(window->position(), underIcon(iconRect));
        QCOMPARE(styleChanged.size(), 0);
        QCOMPARE(delegate->windowStyle(), AppDelegate::WindowStyle::TrayPopup);
    }

    // Last: it runs the application's event loop to its end.
    void quitFromTheMenuEndsTheEventLoopWithTheWindowShown()
    {
        delegate->setUpStatusBarItem();
        delegate->setWindow(window.get());
        showAndActivate();
        QTimer failsafe;
        failsafe.setSingleShot(true);
        bool timedOut = false;
        connect(&failsafe, &QTimer::timeout, this, [&] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        failsafe.start(2000);
        QTimer::singleShot(0, item, [this] { emit item->quitRequested(); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!timedOut);
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
