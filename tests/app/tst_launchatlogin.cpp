#include "app/LaunchAtLogin.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

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

} // namespace

class TestLaunchAtLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString home() const { return dir->filePath(QStringLiteral("home")); }
    QString system() const { return dir->filePath(QStringLiteral("system")); }
    QString userEntry() const
    {
        return home() + "/autostart/" + LaunchAtLogin::helperIdentifier() + ".desktop";
    }
    QString systemEntry() const
    {
        return system() + "/autostart/" + LaunchAtLogin::helperIdentifier() + ".desktop";
    }
    QString program() const { return dir->filePath(QStringLiteral("bin/sondik")); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", home().toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", system().toLocal8Bit());
    }

    void cleanup()
    {
        QFile::setPermissions(home() + "/autostart",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        dir.reset();
    }

    void helperIdentifierFollowsTheApplicationId()
    {
        QCOMPARE(LaunchAtLogin::helperIdentifier(),
                 QStringLiteral(SONDIK_APP_ID "-LaunchAtLoginHelper"));
        QCOMPARE(LaunchAtLogin::entryPath(), userEntry());
    }

    void readsTheAutostartFolders_data()
    {
        QTest::addColumn<QByteArray>("user");   // null: no entry
        QTest::addColumn<QByteArray>("system"); // null: no entry
        QTest::addColumn<bool>("enabled");

        QTest::newRow("absent") << QByteArray() << QByteArray() << false;
        QTest::newRow("enabled") << entry() << QByteArray() << true;
        QTest::newRow("enabled, GNOME key true")
            << entry("X-GNOME-Autostart-enabled=true\n") << QByteArray() << true;
        QTest::newRow("Hidden=true") << entry("Hidden=true\n") << QByteArray() << false;
        QTest::newRow("GNOME key false")
            << entry("X-GNOME-Autostart-enabled=false\n") << QByteArray() << false;
        QTest::newRow("keys of another group do not count")
            << entry("[Desktop Action x]\nHidden=true\n") << QByteArray() << true;
        QTest::newRow("not a desktop entry")
            << QByteArray("garbage\0\x01", 9) << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray("") << QByteArray() << false;
        QTest::newRow("system folder only") << QByteArray() << entry() << true;
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
        if (!user.isNull())
            writeFile(userEntry(), user);
        if (!system.isNull())
            writeFile(systemEntry(), system);
        // Foreign entries around ours change nothing.
        writeFile(home() + "/autostart/org.example.Other.desktop", entry());
        writeFile(home() + "/autostart/" + LaunchAtLogin::helperIdentifier() + "x.desktop",
                  entry());
        LaunchAtLogin launchAtLogin(program());
        QCOMPARE(launchAtLogin.isEnabled(), enabled);
    }

    void everyReadLooksAgain()
    {
        LaunchAtLogin launchAtLogin(program());
        QVERIFY(!launchAtLogin.isEnabled());
        writeFile(userEntry(), entry());
        QVERIFY(launchAtLogin.isEnabled());
        QVERIFY(QFile::remove(userEntry()));
        QVERIFY(!launchAtLogin.isEnabled());
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

        launchAtLogin.setIsEnabled(true);
        QCOMPARE(events, QStringList({"will-", "kvoWill-", "kvoDid+", "true+"}));
        QVERIFY(launchAtLogin.isEnabled());

        events.clear();
        launchAtLogin.setIsEnabled(false);
        QCOMPARE(events, QStringList({"will+", "kvoWill+", "kvoDid-", "false-"}));
        QVERIFY(!launchAtLogin.isEnabled());
        QVERIFY(!QFile::exists(userEntry()));
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

    void subscribersGetTheCurrentValueFirst()
    {
        writeFile(userEntry(), entry());
        LaunchAtLogin launchAtLogin(program());
        QList<bool> first;
        launchAtLogin.subscribe(this, [&](bool value) { first.append(value); });
        QCOMPARE(first, QList<bool>({true}));
        launchAtLogin.setIsEnabled(false);
        QCOMPARE(first, QList<bool>({true, false}));

        QList<bool> second;
        launchAtLogin.subscribe(this, [&](bool value) { second.append(value); });
        QCOMPARE(second, QList<bool>({false}));
    }

    void aFolderThatRefusesTheWritePublishesAndTheNextReadTellsTheTruth_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::newRow("read-only folder") << false;
        QTest::newRow("a file where the folder belongs") << true;
    }

    void aFolderThatRefusesTheWritePublishesAndTheNextReadTellsTheTruth()
    {
        QFETCH(bool, folderIsAFile);
        if (!folderIsAFile && ::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        if (folderIsAFile) {
            writeFile(home() + "/autostart", "not a folder");
        } else {
            QVERIFY(QDir().mkpath(home() + "/autostart"));
            QVERIFY(
                QFile::setPermissions(home() + "/autostart", QFile::ReadOwner | QFile::ExeOwner));
        }
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

    void theWrittenEntryIsValidAndStartsTheProgram_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << QStringLiteral("bin");
        QTest::newRow("awkward characters") << QStringLiteral("b i\"n $x `y` 100% \\z");
    }

    void theWrittenEntryIsValidAndStartsTheProgram()
    {
        QFETCH(QString, folder);
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (validator.isEmpty())
            QFAIL("desktop-file-validate is missing (package desktop-file-utils)");
        const QString binary = dir->filePath(folder + "/sondik");
        LaunchAtLogin launchAtLogin(binary);
        launchAtLogin.setIsEnabled(true);
        QVERIFY(launchAtLogin.isEnabled());

        QProcess validate;
        validate.start(validator, {userEntry()});
        QVERIFY(validate.waitForFinished(30000));
        QCOMPARE(validate.readAllStandardOutput() + validate.readAllStandardError(), QByteArray());
        QCOMPARE(validate.exitCode(), 0);

        // The Exec line, unescaped the way a session manager reads it, names
        // the binary and the login mark.
        QFile file(userEntry());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray exec;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("Exec="))
                exec = line.mid(5);
        }
        QVERIFY(exec.startsWith('"'));
        QByteArray unescaped; // string escapes first
        for (qsizetype i = 0; i < exec.size(); ++i) {
            if (exec[i] == '\\' && i + 1 < exec.size() && exec[i + 1] == '\\')
                ++i;
            unescaped += exec[i];
        }
        unescaped.replace("%%", "%");
        QStringList arguments; // then the quoting rules
        QString current;
        bool quoted = false;
        for (qsizetype i = 0; i < unescaped.size(); ++i) {
            const char c = unescaped[i];
            if (quoted && c == '\\') {
                current += QLatin1Char(unescaped[++i]);
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == ' ' && !quoted) {
                arguments.append(current);
                current.clear();
            } else {
                current += QLatin1Char(c);
            }
        }
        arguments.append(current);
        QCOMPARE(arguments,
                 QStringList({binary, QString::fromLatin1(LaunchAtLogin::loginArgument)}));
    }
};

QTEST_GUILESS_MAIN(TestLaunchAtLogin)
#include "tst_launchatlogin.moc"
