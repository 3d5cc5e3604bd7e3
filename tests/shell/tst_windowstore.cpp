#include "FakeWindowManager.h"
#include "shell/WindowStore.h"

#include <QTest>

using Style = WindowStore::Style;
using Popup = DesktopSession::Popup;
Q_DECLARE_METATYPE(Style)
Q_DECLARE_METATYPE(Popup)

class TestWindowStore : public QObject {
    Q_OBJECT

private slots:
    void configuresTheWindow_data()
    {
        QTest::addColumn<Style>("style");
        QTest::addColumn<bool>("blends");
        QTest::addColumn<bool>("created"); // the platform window exists already
        QTest::addColumn<bool>("translucent");

        const Style popup = Style::TrayPopup, ordinary = Style::OrdinaryWindow;
        QTest::newRow("popup, compositor") << popup << true << false << true;
        QTest::newRow("popup, no compositor") << popup << false << false << false;
        // Its visual cannot change after creation.
        QTest::newRow("popup, created") << popup << true << true << false;
        QTest::newRow("ordinary, compositor") << ordinary << true << false << true;
    }

    void configuresTheWindow()
    {
        QFETCH(Style, style);
        QFETCH(bool, blends);
        QFETCH(bool, created);
        QFETCH(bool, translucent);
        FakeWindowManager windowManager;
        windowManager.blends = blends;
        QQuickWindow window;
        if (created)
            window.create();
        WindowStore store(&window, style, DesktopSession::Popup::Unmanaged, windowManager);
        const bool isPopup = style == Style::TrayPopup;

        QCOMPARE(store.isTranslucent(), translucent);
        QCOMPARE(windowManager.keptOutOfTaskBar, std::optional(isPopup));
        QCOMPARE(store.backgroundColor().alpha() < 255, translucent);
        if (translucent) {
            QCOMPARE(window.format().alphaBufferSize(), 8);
            QCOMPARE(window.color().alpha(), 0);
        } else {
            QCOMPARE(window.color(), store.backgroundColor());
        }
        // A popup is placed by the program, not moved by the window manager.
        QCOMPARE(window.flags().testFlag(Qt::FramelessWindowHint), isPopup);
        QCOMPARE(window.flags().testFlag(Qt::X11BypassWindowManagerHint), isPopup);
    }

    // What the session says decides how the popup behaves, and that its flags.
    void popupPerDesktop_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<bool>("sway");
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QString>("windowManager");
        QTest::addColumn<Popup>("popup");
        const QString xcb = QStringLiteral("xcb");
        QTest::newRow("openbox") << xcb << false << false << ""
                                 << "Openbox" << Popup::Unmanaged;
        QTest::newRow("XFCE on X11") << xcb << false << false << "XFCE"
                                     << "Xfwm4" << Popup::Unmanaged;
        QTest::newRow("sway") << xcb << true << true << "sway"
                              << "" << Popup::SwayUtility;
        QTest::newRow("GNOME") << xcb << true << false << "ubuntu:GNOME"
                               << "GNOME Shell" << Popup::Utility;
        QTest::newRow("GNOME, told by mutter only") << xcb << true << false << ""
                                                    << "GNOME Shell" << Popup::Utility;
        QTest::newRow("Plasma") << xcb << true << false << "KDE"
                                << "KWin" << Popup::Utility;
        QTest::newRow("another compositor") << xcb << true << false << "Hyprland"
                                            << "" << Popup::UnmanagedWithoutKeyboard;
    }

    void popupPerDesktop()
    {
        QFETCH(QString, platform);
        QFETCH(bool, wayland);
        QFETCH(bool, sway);
        QFETCH(QString, desktop);
        QFETCH(QString, windowManager);
        QFETCH(Popup, popup);
        DesktopSession::Facts facts;
        facts.platform = platform;
        facts.waylandDisplay = wayland;
        facts.swaySocket = sway;
        facts.currentDesktop = desktop;
        facts.windowManager = windowManager;
        const DesktopSession session(facts);
        QCOMPARE(session.popup(), popup);
        QVERIFY(session.description().contains(windowManager));

        FakeWindowManager fakeWindowManager;
        QQuickWindow window;
        WindowStore store(&window, Style::TrayPopup, popup, fakeWindowManager);
        const bool managed = popup == Popup::Utility || popup == Popup::SwayUtility;
        QCOMPARE(window.flags().testFlag(Qt::X11BypassWindowManagerHint), !managed);
        QCOMPARE(window.flags().testFlag(Qt::Tool), managed);
        QCOMPARE(window.flags().testFlag(Qt::WindowDoesNotAcceptFocus),
                 popup == Popup::UnmanagedWithoutKeyboard);
    }
};

QTEST_MAIN(TestWindowStore)
#include "tst_windowstore.moc"
