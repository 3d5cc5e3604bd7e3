#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QRegularExpression>
#include <QSGRendererInterface>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

namespace {

struct Coverage {
    int tinted = 0; // pixels of the tint colour, fully or partly covered
    int other = 0;  // pixels of any other colour
};

Coverage coverage(const QImage& image, QColor tint)
{
    Coverage result;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 0 || pixel == Qt::white)
                continue;
            // Over white, a partly covered pixel of the tint keeps its hue.
            const bool ofTint = pixel.red() >= 250 && pixel.green() == pixel.blue();
            if (ofTint && tint == Qt::red)
                ++result.tinted;
            else
                ++result.other;
        }
    }
    return result;
}

} // namespace

// SymbolImage draws the named symbol at its size in the colour it is given.
class TestSymbolImage : public QObject {
    Q_OBJECT

    std::unique_ptr<QQuickView> view;

    QImage show(const QString& name, int size)
    {
        view = std::make_unique<QQuickView>();
        // The module's QML files sit under ":/Sondik".
        view->engine()->addImportPath(QStringLiteral("qrc:/"));
        view->setColor(Qt::white);
        view->setInitialProperties(
            {{QStringLiteral("symbolName"), name}, {QStringLiteral("size"), size}});
        view->setSource(QUrl(QStringLiteral("qrc:/tests/SymbolImageHost.qml")));
        if (view->status() != QQuickView::Ready) {
            for (const QQmlError& error : view->errors())
                qWarning() << error.toString();
            return {};
        }
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            return {};
        return view->grabWindow();
    }

private slots:
    void initTestCase() { QQuickWindow::setGraphicsApi(QSGRendererInterface::Software); }

    void drawsTinted_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"play", "pause", "magnifyingglass", "ellipsis", "xmark",
                                 "wifi.exclamationmark", "plus.magnifyingglass", "checkmark"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void drawsTinted()
    {
        QFETCH(QString, name);
        const QImage image = show(name, 24);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(24, 24) * view->devicePixelRatio());
        const Coverage drawn = coverage(image, Qt::red);
        QVERIFY2(drawn.tinted > 20, qPrintable(QString::number(drawn.tinted)));
        QCOMPARE(drawn.other, 0);
        QCOMPARE(view->rootObject()->property("status").toInt(), 1); // Image.Ready
    }

    void unknownNameDrawsNothing()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no-such-symbol")));
        const QImage image = show(QStringLiteral("no-such-symbol"), 24);
        QVERIFY(!image.isNull());
        const Coverage drawn = coverage(image, Qt::red);
        QCOMPARE(drawn.tinted + drawn.other, 0);
    }
};

QTEST_MAIN(TestSymbolImage)
#include "tst_symbolimage.moc"
