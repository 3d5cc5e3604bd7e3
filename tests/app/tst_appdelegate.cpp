#include "app/AppDelegate.h"
#include "app/StatusBarItem.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <qpa/qwindowsysteminterface.h>

#include <memory>

// A tray icon whose host, rectangle and clicks the test decides.
class FakeStatusBarItem : public StatusBarItem {
    Q_OBJECT

public:
    bool available = true;
    QRect rect{400, 2, 22, 22};
    bool windowShown = false;
    QString toolTip;

    bool isAvailable() const override { return available; }
    QRect geometry() const override { return rect; }
    void setWindowShown(bool shown) override { windowShown = shown; }
    void setToolTip(const QString& text) override { toolTip = text; }
    void click() { emit clicked(); }
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

enum class State { Unknown, Shown, Closed };
enum class Event { Click, Inactive, WindowManagerClose };

} // namespace

Q_DECLARE_METATYPE(State)
Q_DECLARE_METATYPE(Event)

class TestAppDelegate : public QObject {
    Q_OBJECT

    std::unique_ptr<QQuickWindow> window;
    std::unique_ptr<AppDelegate> delegate;
    FakeStatusBarItem* item = nullptr; // owned by the delegate
    int closedCalls = 0;

    void makeDelegate(bool trayAvailable)
    {
        delegate = std::make_unique<AppDelegate>([this, trayAvailable] {
            auto fake = std::make_unique<FakeStatusBarItem>();
            fake->available = trayAvailable;
            item = fake.get();
            return fake;
        });
        delegate->setOnWindowClosed([this] { ++closedCalls; });
    }

private slots:
    void init()
    {
        window = std::make_unique<QQuickWindow>();
        window->resize(windowSize);
        closedCalls = 0;
        makeDelegate(true);
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
        QTest::newRow("unknown, inactive") << State::Unknown << Event::Inactive << false << 1;
        QTest::newRow("shown, click: closes") << State::Shown << Event::Click << false << 1;
        QTest::newRow("shown, inactive: closes") << State::Shown << Event::Inactive << false << 1;
        QTest::newRow("shown, window manager's close: hides")
            << State::Shown << Event::WindowManagerClose << false << 1;
        QTest::newRow("closed, click: shows") << State::Closed << Event::Click << true << 0;
        QTest::newRow("closed, inactive") << State::Closed << Event::Inactive << false << 1;
    }

    void stateTable()
    {
        QFETCH(State, state);
        QFETCH(Event, event);
        QFETCH(bool, visibleAfter);
        QFETCH(int, closedCallsAfter);

        delegate->setToolTip(QStringLiteral("Station — Song"));
        delegate->setUpStatusBarItem();
        QCOMPARE(item->toolTip, QStringLiteral("Station — Song"));
        if (state != State::Unknown)
            delegate->setWindow(window.get());
        if (state == State::Shown) {
            delegate->showWindow();
            QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
        }
        // Leave any activation behind before the event under test.
        setApplicationState(Qt::ApplicationActive);
        closedCalls = 0;

        if (event == Event::Click) {
            item->click();
        } else if (event == Event::Inactive) {
            setApplicationState(Qt::ApplicationInactive);
        } else {
            QWindowSystemInterface::handleCloseEvent(window.get());
            QWindowSystemInterface::flushWindowSystemEvents();
        }
        QCOMPARE(window->isVisible(), visibleAfter);
        QCOMPARE(closedCalls, closedCallsAfter);
        QCOMPARE(item->windowShown, visibleAfter);
        if (visibleAfter)
            QCOMPARE(window->position(), underIcon(item->rect));
        // The icon brings back the same window, placed under wherever it now is.
        if (state != State::Unknown && !visibleAfter) {
            item->rect.translate(37, 0);
            if (state == State::Shown && event == Event::Inactive) {
                // A host that takes the focus on the press: this is the
                // click that closed it.
                item->click();
                QVERIFY(!window->isVisible());
            }
            item->click();
            QVERIFY(window->isVisible());
            QCOMPARE(window->position(), underIcon(item->rect));
        }
        if (state == State::Shown && event == Event::Inactive) {
            // A click well after the focus left is a click of its own.
            setApplicationState(Qt::ApplicationActive);
            setApplicationState(Qt::ApplicationInactive);
            QVERIFY(!window->isVisible());
            QTest::qWait(int(AppDelegate::sameClickTime.count()) + 1000);
            item->click();
            QVERIFY(window->isVisible());
        }
    }

    void launchShowsTheWindowAfterADelay()
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
        QCOMPARE(window->position(), underIcon(item->rect));
    }

    void launchBeforeTheWindowIsKnownShowsNothing()
    {
        delegate->applicationDidFinishLaunching();
        QTest::qWait(2000); // well past the launch showing
        delegate->setWindow(window.get());
        QCoreApplication::processEvents();
        QVERIFY(!window->isVisible());
        item->click();
        QVERIFY(window->isVisible());
    }

    // No tray host at launch. One that comes within the wait is used; else
    // the window is an ordinary one, placed by the window manager, that stays
    // open. Either way its style is settled before it first shows.
    void waitingForTheTray_data()
    {
        QTest::addColumn<bool>("trayComes");
        QTest::newRow("no tray") << false;
        QTest::newRow("a tray comes late") << true;
    }

    void waitingForTheTray()
    {
        QFETCH(bool, trayComes);
        makeDelegate(false);
        delegate->setTrayWaitTime(std::chrono::milliseconds(trayComes ? 10000 : 300));
        QSignalSpy styleChanged(delegate.get(), &AppDelegate::windowStyleChanged);
        delegate->setWindow(window.get());
        window->setPosition(17, 23);
        qsizetype styleChangesAtShowing = -1;
        connect(window.get(), &QWindow::visibleChanged, this, [&](bool visible) {
            if (visible && styleChangesAtShowing < 0)
                styleChangesAtShowing = styleChanged.size();
        });
        delegate->applicationDidFinishLaunching();
        if (trayComes) {
            QTest::qWait(350);
            QVERIFY(!window->isVisible());
            item->available = true;
        }
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        QCOMPARE(styleChangesAtShowing, trayComes ? 0 : 1);
        QCOMPARE(styleChanged.size(), trayComes ? 0 : 1);
        QCOMPARE(delegate->windowStyle(), trayComes ? AppDelegate::WindowStyle::TrayPopup
                                                    : AppDelegate::WindowStyle::OrdinaryWindow);
        QCOMPARE(window->position(), trayComes ? underIcon(item->rect) : QPoint(17, 23));
        setApplicationState(Qt::ApplicationActive);
        setApplicationState(Qt::ApplicationInactive);
        QCOMPARE(window->isVisible(), !trayComes);
        QCOMPARE(closedCalls, trayComes ? 1 : 0);
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
