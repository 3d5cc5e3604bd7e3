#include "FakeWindowManager.h"
#include "shell/WindowStore.h"

#include <QTest>

using Style = WindowStore::Style;
Q_DECLARE_METATYPE(Style)

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
};

QTEST_MAIN(TestWindowStore)
#include "tst_windowstore.moc"
