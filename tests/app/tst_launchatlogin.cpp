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
QStringList warnings; // categories of the warnings logged

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

    // What shows after a write is what the folders hold then; a write that
    // does not take (a file where the user's folder belongs, which stops
    // root too) is logged once under the shell's category.
    void writes_data()
    {
        QTest::addColumn<QByteArray>("system"); // null: no entry
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<bool>("value");
        QTest::addColumn<bool>("enabledAfter");

        const QByteArray none;
        QTest::newRow("on") << none << false << true << true;
        QTest::newRow("off") << none << false << false << false;
        QTest::newRow("off hides the system entry") << entry() << false << false << false;
        QTest::newRow("on over a system entry") << entry() << false << true << true;
        QTest::newRow("on, folder refuses") << none << true << true << false;
        QTest::newRow("off, folder refuses to hide the system entry")
            << entry() << true << false << true;
    }

    void writes()
    {
        QFETCH(QByteArray, system);
        QFETCH(bool, blocked);
        QFETCH(bool, value);
        QFETCH(bool, enabledAfter);
        if (!system.isNull())
            writeFile(systemEntry(), system);
        if (blocked)
            writeFile(home() + "/autostart", "a file where the folder belongs");
        LaunchAtLogin launchAtLogin(program());
        if (!blocked)
            launchAtLogin.setIsEnabled(!value); // start from the other state
        QSignalSpy changed(&launchAtLogin, &LaunchAtLogin::isEnabledChanged);
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString&) {
                if (type == QtWarningMsg)
                    warnings.append(QString::fromLatin1(context.category));
            });
        launchAtLogin.setIsEnabled(value);
        qInstallMessageHandler(previous);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(launchAtLogin.isEnabled(), enabledAfter);
        QCOMPARE(warnings, blocked ? QStringList{"sondik.shell"} : QStringList());
        QCOMPARE(QFile::exists(systemEntry()), !system.isNull());
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
