#include "app/SondikApp.h"

#include <QProcessEnvironment>
#include <QTest>

class TestSondikApp : public QObject {
    Q_OBJECT

private slots:
    void preferredPlatform_data()
    {
        QTest::addColumn<QStringList>("variables"); // NAME=value
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("expected");

        const QStringList none;
        const QStringList plain{QStringLiteral("sondik")};
        QTest::newRow("X11 session")
            << QStringList{"XDG_SESSION_TYPE=x11", "DISPLAY=:0"} << plain << QByteArray();
        QTest::newRow("Wayland with XWayland")
            << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
            << plain << QByteArray("xcb");
        QTest::newRow("Wayland display without session type")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:1"} << plain << QByteArray("xcb");
        QTest::newRow("Wayland without XWayland")
            << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0"} << plain
            << QByteArray();
        QTest::newRow("user chose a platform")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"}
            << plain << QByteArray();
        QTest::newRow("empty choice is no choice")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0", "QT_QPA_PLATFORM="} << plain
            << QByteArray("xcb");
        QTest::newRow("platform on the command line")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
            << QStringList{"sondik", "-platform", "wayland"} << QByteArray();
        QTest::newRow("platform= on the command line")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}
            << QStringList{"sondik", "--platform=wayland"} << QByteArray();
        QTest::newRow("nothing at all") << none << plain << QByteArray();
    }

    void preferredPlatform()
    {
        QFETCH(QStringList, variables);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, expected);
        QProcessEnvironment environment;
        for (const QString& variable : variables) {
            const qsizetype equals = variable.indexOf(QLatin1Char('='));
            environment.insert(variable.left(equals), variable.mid(equals + 1));
        }
        QCOMPARE(SondikApp::preferredPlatform(environment, arguments), expected);
    }
};

QTEST_APPLESS_MAIN(TestSondikApp)
#include "tst_sondikapp.moc"
