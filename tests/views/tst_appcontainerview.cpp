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
    // window's store, sized and placed before the window is first shown, and
    // the search text outlives the content.
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
        QQuickItem* line = child("radioLine");
        QVERIFY(line->height() > 0);
        QCOMPARE(line->y(), 0.0);
        QCOMPARE(created.size(), 0);
        QVERIFY(!content());
        QTRY_COMPARE(created.size(), 1);
        QCOMPARE(created.at(0).at(0).value<QObject*>(), &view);
        QVERIFY(!content());

        FakeDesktopWindowManager windowManager;
        WindowStore store(&view, WindowStore::Style::TrayPopup, windowManager);
        root->setProperty("windowStore", QVariant::fromValue(&store));
        QVERIFY(content());
        QCOMPARE(content()->property("store").value<QObject*>(), &store);
        QCOMPARE(content()->property("radioStationStore").value<QObject*>(), &radioStationStore);
        QCOMPARE(content()->property("networkStatus").value<QObject*>(), &networkStatus);

        const QQuickItem* loader = child("contentLoader");
        QVERIFY(loader->y() >= line->y() + line->height());
        QCOMPARE(loader->width(), 320.0);
        QCOMPARE(QSizeF(child("contentArea")->width(), child("contentArea")->height()),
                 QSizeF(320, 360));
        // The top bar's row, 8 of spacing, the area, all raised by 10.
        QCOMPARE(loader->height(), 22.0 + 8 + 360 - 10);
        // The content reaches 12 px past the bottom edge.
        QVERIFY(!view.isVisible());
        const QSize expected(320, int(loader->y() + loader->height()) - 12);
        QCOMPARE(QSize(int(root->implicitWidth()), int(root->implicitHeight())), expected);
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
