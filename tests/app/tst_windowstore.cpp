#include "FakeDesktopCompositor.h"
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

        FakeDesktopCompositor compositor;
        compositor.blends = blends;
        compositor.blurOffered = blurOffered;
        QQuickWindow window;
        WindowStore store(&window, style, compositor);

        QCOMPARE(store.window(), &window);
        QCOMPARE(store.isTranslucent(), translucent);
        QCOMPARE(store.hasBlurBehind(), blurBehind);
        QCOMPARE(compositor.blurRequests, translucent ? 1 : 0);
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

        const Qt::WindowFlags flags = window.flags();
        if (style == Style::TrayPopup) {
            QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
            QVERIFY(flags & Qt::FramelessWindowHint);
        } else {
            QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
            QVERIFY(!(flags & Qt::FramelessWindowHint));
        }
    }

    void configuringAgainChangesNothingVisible()
    {
        FakeDesktopCompositor compositor;
        QQuickWindow window;
        WindowStore first(&window, Style::TrayPopup, compositor);
        const auto flags = window.flags();
        const auto colour = window.color();
        WindowStore second(&window, Style::TrayPopup, compositor);
        QCOMPARE(window.flags(), flags);
        QCOMPARE(window.color(), colour);
        QCOMPARE(second.backgroundColor(), first.backgroundColor());
    }

    void anAlreadyCreatedOpaqueWindowStaysOpaque()
    {
        // The visual of a platform window cannot change after creation.
        FakeDesktopCompositor compositor;
        QQuickWindow window;
        window.create();
        WindowStore store(&window, Style::TrayPopup, compositor);
        QVERIFY(!store.isTranslucent());
        QCOMPARE(store.backgroundColor().alpha(), 255);
        QCOMPARE(window.color().alpha(), 255);
    }

    void noWindowIsHarmless()
    {
        FakeDesktopCompositor compositor;
        WindowStore store(nullptr, Style::TrayPopup, compositor);
        QVERIFY(!store.window());
        QVERIFY(!store.isTranslucent());
    }
};

QTEST_MAIN(TestWindowStore)
#include "tst_windowstore.moc"
