#include "app/LaunchAtLogin.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
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
    QString program() const { return dir->filePath(QStringLiteral("bin/sondik")); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", home().toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", dir->filePath(QStringLiteral("system")).toLocal8Bit());
    }

    void readsTheAutostartFolders_data()
    {
        QTest::addColumn<QByteArray>("user");   // null: no entry
        QTest::addColumn<QByteArray>("system"); // null: no entry
        QTest::addColumn<bool>("enabled");

        const QByteArray none;
        QTest::newRow("absent") << none << none << false;
        QTest::newRow("enabled") << entry() << none << true;
        QTest::newRow("GNOME key true")
            << entry("X-GNOME-Autostart-enabled=true\n") << none << true;
        QTest::newRow("Hidden=true") << entry("Hidden=true\n") << none << false;
        QTest::newRow("GNOME key false")
            << entry("X-GNOME-Autostart-enabled=false\n") << none << false;
        QTest::newRow("keys of another group do not count")
            << entry("[Desktop Action x]\nHidden=true\n") << none << true;
        QTest::newRow("not a desktop entry") << QByteArray("garbage\0\x01", 9) << none << false;
        QTest::newRow("empty file") << QByteArray("") << none << false;
        QTest::newRow("system folder only") << none << entry() << true;
        QTest::newRow("user entry hides the system one")
            << entry("Hidden=true\n") << entry() << false;
        QTest::newRow("user entry enables a hidden system one")
            << entry() << entry("Hidden=true\n") << true;
    }

    void readsTheAutostartFolders()
    {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, system);
        QFETCH(bool, enabled);
        LaunchAtLogin launchAtLogin(program());
        QVERIFY(!launchAtLogin.isEnabled());
        if (!user.isNull())
            writeFile(userEntry(), user);
        if (!system.isNull())
            writeFile(systemEntry(), system);
        // Foreign entries around ours change nothing.
        writeFile(home() + "/autostart/org.example.Other.desktop", entry());
        writeFile(QString(userEntry()).replace(".desktop", "x.desktop"), entry());
        QCOMPARE(launchAtLogin.isEnabled(), enabled); // every read looks again
    }

    void writingAnnouncesInOrderAroundTheWrite()
    {
        LaunchAtLogin launchAtLogin(program());
        QStringList events;
        const auto note = [&](const QString& name) {
            events.append(name + (QFile::exists(userEntry()) ? "+" : "-"));
        };
        connect(&launchAtLogin, &LaunchAtLogin::willChange, this, [&] { note("will"); });
        connect(&launchAtLogin, &LaunchAtLogin::isEnabledWillChange, this,
                [&] { note("kvoWill"); });
        connect(&launchAtLogin, &LaunchAtLogin::isEnabledChanged, this, [&] { note("kvoDid"); });
        connect(&launchAtLogin, &LaunchAtLogin::published, this,
                [&](bool value) { note(value ? "true" : "false"); });
        // Subscribers get the current value first, then every value written.
        QList<bool> first, second;
        launchAtLogin.subscribe(this, [&](bool value) { first.append(value); });

        launchAtLogin.setIsEnabled(true);
        QCOMPARE(events, QStringList({"will-", "kvoWill-", "kvoDid+", "true+"}));
        QVERIFY(launchAtLogin.isEnabled());
        events.clear();
        launchAtLogin.setIsEnabled(false);
        QCOMPARE(events, QStringList({"will+", "kvoWill+", "kvoDid-", "false-"}));
        QVERIFY(!launchAtLogin.isEnabled());
        QCOMPARE(first, QList<bool>({false, true, false}));
        launchAtLogin.subscribe(this, [&](bool value) { second.append(value); });
        QCOMPARE(second, QList<bool>({false}));
    }

    void disablingHidesAnEntryOfTheSystemFolders()
    {
        writeFile(systemEntry(), entry());
        LaunchAtLogin launchAtLogin(program());
        QVERIFY(launchAtLogin.isEnabled());
        launchAtLogin.setIsEnabled(false);
        QVERIFY(!launchAtLogin.isEnabled());
        QVERIFY(QFile::exists(systemEntry()));
        launchAtLogin.setIsEnabled(true);
        QVERIFY(launchAtLogin.isEnabled());
    }

    // The value asked for is published; the next read tells the truth.
    void aFolderThatRefusesTheWrite()
    {
        writeFile(home() + "/autostart", "a file where the folder belongs");
        LaunchAtLogin launchAtLogin(program());
        QSignalSpy published(&launchAtLogin, &LaunchAtLogin::published);
        QSignalSpy changed(&launchAtLogin, &LaunchAtLogin::isEnabledChanged);
        launchAtLogin.setIsEnabled(true);
        QCOMPARE(published.size(), 1);
        QCOMPARE(published.at(0).at(0).toBool(), true);
        QCOMPARE(changed.size(), 1);
        QVERIFY(!launchAtLogin.isEnabled());
        QList<bool> values;
        launchAtLogin.subscribe(this, [&](bool value) { values.append(value); });
        QCOMPARE(values, QList<bool>({true}));
    }

    void theWrittenEntryIsValidAndStartsTheProgram()
    {
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (validator.isEmpty())
            QFAIL("desktop-file-validate is missing (package desktop-file-utils)");
        const QString binary = dir->filePath("b i\"n $x `y` 100% \\z/sondik");
        LaunchAtLogin launchAtLogin(binary);
        launchAtLogin.setIsEnabled(true);
        QVERIFY(launchAtLogin.isEnabled());

        QProcess validate;
        validate.start(validator, {userEntry()});
        QVERIFY(validate.waitForFinished(30000));
        QCOMPARE(validate.readAllStandardOutput() + validate.readAllStandardError(), QByteArray());
        QCOMPARE(validate.exitCode(), 0);

        // The Exec line with its string escapes and "%%" undone; its quoting
        // rules are those of the shell's double quotes.
        QFile file(userEntry());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString exec = QRegularExpression("^Exec=(.*)$", QRegularExpression::MultilineOption)
                           .match(QString::fromUtf8(file.readAll()))
                           .captured(1);
        QVERIFY(exec.startsWith('"'));
        exec.replace("\\\\", "\\").replace("%%", "%");
        QProcess shell;
        shell.start(QStringLiteral("sh"), {"-c", "printf '%s\\n' " + exec});
        QVERIFY(shell.waitForFinished(30000));
        const QStringList arguments =
            QString::fromUtf8(shell.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(arguments,
                 QStringList({binary, QString::fromLatin1(LaunchAtLogin::loginArgument)}));
    }
};

QTEST_GUILESS_MAIN(TestLaunchAtLogin)
#include "tst_launchatlogin.moc"
