#include "FakeDesktopWindowManager.h"
#include "app/WindowStore.h"

#include <QGuiApplication>
#include <QPalette>
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
        QTest::addColumn<bool>("blurOffered");
        QTest::addColumn<bool>("translucent");
        QTest::addColumn<bool>("blurBehind");

        QTest::newRow("popup, compositor with blur")
            << Style::TrayPopup << true << true << true << true;
        QTest::newRow("popup, compositor") << Style::TrayPopup << true << false << true << false;
        QTest::newRow("popup, no compositor: opaque")
            << Style::TrayPopup << false << true << false << false;
        QTest::newRow("ordinary, compositor")
            << Style::OrdinaryWindow << true << false << true << false;
        QTest::newRow("ordinary, no compositor")
            << Style::OrdinaryWindow << false << false << false << false;
    }

    void configuresTheWindow()
    {
        QFETCH(Style, style);
        QFETCH(bool, blends);
        QFETCH(bool, blurOffered);
        QFETCH(bool, translucent);
        QFETCH(bool, blurBehind);

        FakeDesktopWindowManager windowManager;
        windowManager.blends = blends;
        windowManager.blurOffered = blurOffered;
        QQuickWindow window;
        WindowStore store(&window, style, windowManager);

        QCOMPARE(store.window(), &window);
        QCOMPARE(store.isTranslucent(), translucent);
        QCOMPARE(store.hasBlurBehind(), blurBehind);
        QCOMPARE(windowManager.blurRequests, translucent ? 1 : 0);
        QCOMPARE(windowManager.keptOutOfTaskBar, std::optional(style == Style::TrayPopup));
        QCOMPARE(window.title(), QStringLiteral("Sondik"));

        const QColor windowColour =
            QGuiApplication::palette().color(QPalette::Active, QPalette::Window);
        QCOMPARE(store.backgroundColor().rgb(), windowColour.rgb());
        if (translucent) {
            QCOMPARE(window.format().alphaBufferSize(), 8);
            QCOMPARE(store.backgroundColor().alpha(), qRound(0.2 * 255));
            QCOMPARE(window.color().alpha(), 0);
        } else {
            QCOMPARE(store.backgroundColor().alpha(), 255);
            QCOMPARE(window.color(), store.backgroundColor());
        }

        // A popup is placed by the program, not moved by the window manager.
        const bool popup = style == Style::TrayPopup;
        QCOMPARE(window.flags() & Qt::WindowType_Mask, Qt::Window);
        QCOMPARE(window.flags().testFlag(Qt::FramelessWindowHint), popup);
        QCOMPARE(window.flags().testFlag(Qt::X11BypassWindowManagerHint), popup);
    }

    void edgeCases()
    {
        FakeDesktopWindowManager windowManager;
        // Configuring again changes nothing visible.
        QQuickWindow window;
        WindowStore first(&window, Style::TrayPopup, windowManager);
        const auto flags = window.flags();
        const auto colour = window.color();
        WindowStore second(&window, Style::TrayPopup, windowManager);
        QCOMPARE(window.flags(), flags);
        QCOMPARE(window.color(), colour);
        QCOMPARE(second.backgroundColor(), first.backgroundColor());

        // The visual of a platform window cannot change after creation.
        QQuickWindow created;
        created.create();
        WindowStore opaque(&created, Style::TrayPopup, windowManager);
        QVERIFY(!opaque.isTranslucent());
        QCOMPARE(opaque.backgroundColor().alpha(), 255);
        QCOMPARE(created.color().alpha(), 255);

        WindowStore none(nullptr, Style::TrayPopup, windowManager);
        QVERIFY(!none.window());
        QVERIFY(!none.isTranslucent());
    }
};

QTEST_MAIN(TestWindowStore)
#include "tst_windowstore.moc"
