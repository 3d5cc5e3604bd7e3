#include "desktop/LaunchAtLogin.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& contents)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

QByteArray entry(const QByteArray& extra = {})
{
    return "[Desktop Entry]\nType=Application\nName=Sondik\nExec=sondik\n" + extra;
}

const char* entryName = "/autostart/" SONDIK_APP_ID "-LaunchAtLoginHelper.desktop";

} // namespace

class TestLaunchAtLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString home() const { return dir->filePath(QStringLiteral("home")); }
    QString userEntry() const { return home() + entryName; }
    QString systemEntry() const { return dir->filePath(QStringLiteral("system")) + entryName; }
    // A folder name that needs every kind of quoting.
    QString program() const { return dir->filePath("b i\"n $x `y` 100% \\z/sondik"); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", home().toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", dir->filePath(QStringLiteral("system")).toLocal8Bit());
    }

    // What shows, before or after a write, is what the autostart folders
    // hold, read again each time. A write that does not take is notified all
    // the same, so that a view reads the folders again.
    void enabled_data()
    {
        // null: no entry; "blocked": a file where the folder belongs, which
        // stops root too
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("system"); // null: no entry
        QTest::addColumn<int>("write");         // -1: none, else the value written
        QTest::addColumn<bool>("enabled");

        const QByteArray none;
        QTest::newRow("absent") << none << none << -1 << false;
        QTest::newRow("enabled") << entry() << none << -1 << true;
        QTest::newRow("Hidden=true") << entry("Hidden=true\n") << none << -1 << false;
        QTest::newRow("GNOME key false, in our group only")
            << entry("X-GNOME-Autostart-enabled=false\n[Desktop Action x]\nHidden=true\n") << none
            << -1 << false;
        QTest::newRow("not a desktop entry")
            << QByteArray("garbage\0\x01", 9) << none << -1 << false;
        QTest::newRow("system folder only") << none << entry() << -1 << true;
        QTest::newRow("on") << none << none << 1 << true;
        QTest::newRow("off") << entry() << none << 0 << false;
        QTest::newRow("off hides the system entry") << none << entry() << 0 << false;
        QTest::newRow("on, folder refuses") << QByteArray("blocked") << none << 1 << false;
    }

    void enabled()
    {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, system);
        QFETCH(int, write);
        QFETCH(bool, enabled);
        LaunchAtLogin launchAtLogin(program());
        QVERIFY(!launchAtLogin.isEnabled());
        if (user == "blocked")
            writeFile(home() + "/autostart", user);
        else if (!user.isNull())
            writeFile(userEntry(), user);
        if (!system.isNull())
            writeFile(systemEntry(), system);
        // Foreign entries beside ours change nothing.
        writeFile(QString(systemEntry()).replace(".desktop", "x.desktop"), entry());
        writeFile(dir->filePath("system/autostart/org.example.Other.desktop"), entry());
        QSignalSpy changed(&launchAtLogin, &LaunchAtLogin::isEnabledChanged);
        if (write >= 0)
            launchAtLogin.setIsEnabled(write);
        QCOMPARE(changed.size(), write >= 0 ? 1 : 0);
        QCOMPARE(launchAtLogin.isEnabled(), enabled);
        QCOMPARE(QFile::exists(systemEntry()), !system.isNull());
        if (write != 1 || !enabled)
            return;

        // The Exec line with its string escapes and "%%" undone starts the
        // program: its quoting rules are those of the shell's double quotes.
        QFile file(userEntry());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString exec = QRegularExpression("^Exec=(.*)$", QRegularExpression::MultilineOption)
                           .match(QString::fromUtf8(file.readAll()))
                           .captured(1);
        exec.replace("\\\\", "\\").replace("%%", "%");
        QProcess shell;
        shell.start(QStringLiteral("sh"), {"-c", "printf '%s\\n' " + exec});
        QVERIFY(shell.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(shell.readAll()).split('\n', Qt::SkipEmptyParts),
                 QStringList({program(), QString::fromLatin1(LaunchAtLogin::loginArgument)}));
    }
};

QTEST_GUILESS_MAIN(TestLaunchAtLogin)
#include "tst_launchatlogin.moc"
