#include "app/FakeDesktopWindowManager.h"
#include "app/SondikApp.h"
#include "app/WindowStore.h"
#include "catalog/RadioStationStore.h"
#include "network/NetworkStatus.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"
#include "views/LogoImageProvider.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

class TestAppContainerView : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<RadioStationStore> radioStationStore;
    std::unique_ptr<RadioPlayer> radioPlayer;
    std::unique_ptr<Preferences> preferences;
    std::unique_ptr<NetworkStatus> networkStatus;
    std::unique_ptr<QQuickView> view;

    QQuickItem* root() const { return view->rootObject(); }
    QQuickItem* child(const char* name) const
    {
        return root()->findChild<QQuickItem*>(QLatin1String(name));
    }

private slots:
    void init()
    {
        radioStationStore = std::make_unique<RadioStationStore>([] { return std::nullopt; });
        radioPlayer = std::make_unique<RadioPlayer>();
        preferences = std::make_unique<Preferences>(dir.filePath(QStringLiteral("Sondik.conf")));
        // No monitor: the connection counts as present.
        networkStatus = std::make_unique<NetworkStatus>(nullptr);
        view = std::make_unique<QQuickView>();
        view->engine()->addImageProvider(QLatin1String(LogoImageProvider::providerId),
                                         new LogoImageProvider);
        view->setResizeMode(QQuickView::SizeViewToRootObject);
        view->setInitialProperties({
            {QStringLiteral("app"), QVariant::fromValue<SondikApp*>(nullptr)},
            {QStringLiteral("radioStationStore"), QVariant::fromValue(radioStationStore.get())},
            {QStringLiteral("radioPlayer"), QVariant::fromValue(radioPlayer.get())},
            {QStringLiteral("preferences"), QVariant::fromValue(preferences.get())},
            {QStringLiteral("networkStatus"), QVariant::fromValue(networkStatus.get())},
        });
        view->setSource(QUrl(QStringLiteral("qrc:/Sondik/AppContainerView.qml")));
        QCOMPARE(view->status(), QQuickView::Ready);
    }

    void cleanup()
    {
        view.reset();
        networkStatus.reset();
        preferences.reset();
        radioPlayer.reset();
        radioStationStore.reset();
    }

    void reportsTheWindowOneTurnLaterThenShowsTheConfiguredContent()
    {
        QSignalSpy created(root(), SIGNAL(windowCreated(QObject*)));
        QVERIFY(created.isValid());
        QQuickItem* loader = child("contentLoader");
        QVERIFY(loader);

        // First: only the backdrop and the invisible line.
        QCOMPARE(created.size(), 0);
        QVERIFY(!loader->property("item").value<QObject*>());

        QTRY_COMPARE(created.size(), 1);
        QCOMPARE(created.at(0).at(0).value<QObject*>(), view.get());
        // Still nothing until the window is configured.
        QVERIFY(!loader->property("item").value<QObject*>());

        FakeDesktopWindowManager windowManager;
        WindowStore store(view.get(), WindowStore::Style::TrayPopup, windowManager);
        root()->setProperty("windowStore", QVariant::fromValue(&store));
        auto* content = loader->property("item").value<QQuickItem*>();
        QVERIFY(content);
        QCOMPARE(content->property("store").value<QObject*>(), &store);
        QCOMPARE(content->property("radioStationStore").value<QObject*>(), radioStationStore.get());
        QCOMPARE(content->property("networkStatus").value<QObject*>(), networkStatus.get());
    }

    void theRadioLineKeepsItsPlaceAboveTheContent()
    {
        QQuickItem* line = child("radioLine");
        QVERIFY(line);
        QCOMPARE(line->opacity(), 0.0);
        QCOMPARE(line->property("text").toString(), QStringLiteral("Radio"));
        QVERIFY(line->height() > 0);
        QCOMPARE(line->y(), 0.0);

        FakeDesktopWindowManager windowManager;
        WindowStore store(view.get(), WindowStore::Style::TrayPopup, windowManager);
        root()->setProperty("windowStore", QVariant::fromValue(&store));
        QQuickItem* loader = child("contentLoader");
        QVERIFY(loader->y() >= line->y() + line->height());
        QCOMPARE(loader->width(), 320.0);
        QQuickItem* area = child("contentArea");
        QVERIFY(area);
        QCOMPARE(QSizeF(area->width(), area->height()), QSizeF(320, 360));
        // The top bar's row, 8 of spacing, the area, all raised by 10.
        QCOMPARE(loader->height(), 22.0 + 8 + 360 - 10);
    }

    void theSearchTextOutlivesTheContent()
    {
        FakeDesktopWindowManager windowManager;
        WindowStore store(view.get(), WindowStore::Style::TrayPopup, windowManager);
        root()->setProperty("windowStore", QVariant::fromValue(&store));
        QQuickItem* loader = child("contentLoader");
        auto* first = loader->property("item").value<QQuickItem*>();
        QVERIFY(first);
        first->setProperty("searchText", QStringLiteral("antenne"));

        root()->setProperty("windowStore", QVariant::fromValue<WindowStore*>(nullptr));
        QVERIFY(!loader->property("item").value<QObject*>());
        root()->setProperty("windowStore", QVariant::fromValue(&store));
        auto* second = loader->property("item").value<QQuickItem*>();
        QVERIFY(second);
        QCOMPARE(second->property("searchText").toString(), QStringLiteral("antenne"));
    }

    void theWindowTakesItsSizeBeforeItIsShown()
    {
        // The window is placed by its size before it is first drawn.
        FakeDesktopWindowManager windowManager;
        WindowStore store(view.get(), WindowStore::Style::TrayPopup, windowManager);
        root()->setProperty("windowStore", QVariant::fromValue(&store));
        QVERIFY(!view->isVisible());
        const QQuickItem* loader = child("contentLoader");
        // The content reaches 12 px past the bottom edge.
        const QSize expected(320, int(loader->y() + loader->height()) - 12);
        QCOMPARE(QSize(int(root()->implicitWidth()), int(root()->implicitHeight())), expected);
        QTRY_COMPARE(view->size(), expected);
    }
};

QTEST_MAIN(TestAppContainerView)
#include "tst_appcontainerview.moc"
