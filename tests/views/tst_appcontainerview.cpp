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

private slots:
    // The window is reported one turn later; the content comes with the
    // window's store, and the search text outlives the content.
    void showsTheContentOnceTheWindowIsConfigured()
    {
        QTemporaryDir dir;
        RadioStationStore radioStationStore([] { return std::nullopt; });
        RadioPlayer radioPlayer;
        Preferences preferences(dir.filePath(QStringLiteral("Sondik.conf")));
        NetworkStatus networkStatus(nullptr); // no monitor: the connection counts as present
        QQuickView view;
        view.engine()->addImageProvider(QLatin1String(LogoImageProvider::providerId),
                                        new LogoImageProvider);
        view.setResizeMode(QQuickView::SizeViewToRootObject);
        view.setInitialProperties({
            {QStringLiteral("app"), QVariant::fromValue<SondikApp*>(nullptr)},
            {QStringLiteral("radioStationStore"), QVariant::fromValue(&radioStationStore)},
            {QStringLiteral("radioPlayer"), QVariant::fromValue(&radioPlayer)},
            {QStringLiteral("preferences"), QVariant::fromValue(&preferences)},
            {QStringLiteral("networkStatus"), QVariant::fromValue(&networkStatus)},
        });
        view.setSource(QUrl(QStringLiteral("qrc:/Sondik/AppContainerView.qml")));
        QCOMPARE(view.status(), QQuickView::Ready);
        QQuickItem* root = view.rootObject();
        const auto child = [root](const char* name) {
            return root->findChild<QQuickItem*>(QLatin1String(name));
        };
        const auto content = [&] {
            return child("contentLoader")->property("item").value<QQuickItem*>();
        };

        QSignalSpy created(root, SIGNAL(windowCreated(QObject*)));
        QCOMPARE(created.size(), 0);
        QTRY_COMPARE(created.size(), 1);
        QCOMPARE(created.at(0).at(0).value<QObject*>(), &view);
        QVERIFY(!content());

        FakeDesktopWindowManager windowManager;
        WindowStore store(&view, WindowStore::Style::TrayPopup, windowManager);
        root->setProperty("windowStore", QVariant::fromValue(&store));
        QVERIFY(content());
        QCOMPARE(content()->property("store").value<QObject*>(), &store);
        QCOMPARE(content()->property("networkStatus").value<QObject*>(), &networkStatus);

        // The content reaches 12 px past the bottom edge; the window has its
        // size before it is first shown.
        const QQuickItem* loader = child("contentLoader");
        QVERIFY(loader->y() >= child("radioLine")->height());
        const QSize expected(320, int(loader->y() + loader->height()) - 12);
        QCOMPARE(QSize(int(root->implicitWidth()), int(root->implicitHeight())), expected);
        QVERIFY(!view.isVisible());
        QTRY_COMPARE(view.size(), expected);

        content()->setProperty("searchText", QStringLiteral("antenne"));
        root->setProperty("windowStore", QVariant::fromValue<WindowStore*>(nullptr));
        QVERIFY(!content());
        root->setProperty("windowStore", QVariant::fromValue(&store));
        QCOMPARE(content()->property("searchText").toString(), QStringLiteral("antenne"));
    }
};

QTEST_MAIN(TestAppContainerView)
#include "tst_appcontainerview.moc"
