#include "playback/Preferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

const char* childFileVariable = "SONDIK_TEST_PREFERENCES_CHILD";

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Sondik.conf")); }

private slots:
    void init()
    {
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(name));
    }

    // What a stored file gives, and that the next choice reaches the disk
    // whatever the file held.
    void storedFiles_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: no file
        QTest::addColumn<float>("volume");
        QTest::addColumn<QString>("id");     // null: none
        QTest::addColumn<bool>("keptAside"); // unreadable, not merely unusable
        const auto row = [](const char* name, const QByteArray& contents, float volume,
                            const QString& id = {}, bool keptAside = false) {
            QTest::newRow(name) << contents << volume << id << keptAside;
        };
        row("first launch", QByteArray(), 0.5f);
        // Text, NaN, infinities, beyond a float, empty, a list, a binary variant.
        for (const char* volume : {"loud", "nan", "inf", "-inf", "1e300", "", "0.3, 0.4",
                                   "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1)"})
            QTest::addRow("Volume=%s", volume) << "[General]\nVolume=" + QByteArray(volume) + "\n"
                                               << 0.5f << QString() << false;
        row("id is a list, volume kept", "[General]\nVolume=0.7\nSelectedRadioStationId=s1, s2\n",
            0.7f);
        row("id is a number is still text", "[General]\nSelectedRadioStationId=42\n", 0.5f, "42");
        row("out of range kept", "[General]\nVolume=2\nSelectedRadioStationId=s8007\n", 2.0f,
            "s8007");
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 7919 + 13) % 256));
        row("garbage bytes", garbage, 0.5f, {}, true);
        row("truncated mid-line", "[General]\nVolume=0.8\nSelectedRadi", 0.8f, {}, true);
        row("unterminated section", "[General\nVolume=0.2\n", 0.2f, {}, true);
        row("NUL bytes", QByteArray("[General]\nVolume=0.6\n\0\0\0\0", 25), 0.6f, {}, true);
    }

    void storedFiles()
    {
        QFETCH(QByteArray, contents);
        QFETCH(float, volume);
        QFETCH(QString, id);
        QFETCH(bool, keptAside);
        QFile file(path());
        if (!contents.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        file.close();
        {
            Preferences preferences(path());
            QCOMPARE(preferences.volume(), volume);
            QCOMPARE(preferences.selectedRadioStationId().has_value(), !id.isNull());
            QCOMPARE(preferences.selectedRadioStationId().value_or(QString()), id);
            preferences.waitForWrites();
            if (contents.isNull())
                QVERIFY(!QFile::exists(path())); // defaults are not written back
            preferences.setSelectedRadioStationId(QStringLiteral("s24896"));
        }
        Preferences again(path());
        QCOMPARE(again.selectedRadioStationId(), std::optional<QString>("s24896"));
        QCOMPARE(again.volume(), volume);
        QCOMPARE(QSettings(path(), QSettings::IniFormat).status(), QSettings::NoError);

        // An unreadable file is kept aside as it was.
        const QStringList aside =
            QDir(dir.path()).entryList({QStringLiteral("Sondik.conf.damaged-*")}, QDir::Files);
        QCOMPARE(aside.size(), keptAside ? 1 : 0);
        if (keptAside) {
            QFile kept(dir.filePath(aside.first()));
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), contents);
        }
    }

    void choiceSurvivesAKilledProcess()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(childFileVariable), path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit); // killed, no orderly exit

        Preferences preferences(path());
        QCOMPARE(preferences.selectedRadioStationId(), std::optional<QString>("s25260"));
        QCOMPARE(preferences.volume(), 0.25f);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(childFileVariable)) {
        // The child of choiceSurvivesAKilledProcess: drags the volume down to
        // its last value, chooses, and dies without an orderly end once the
        // writes are handed to the disk.
        Preferences preferences(qEnvironmentVariable(childFileVariable));
        for (int i = 100; i >= 25; --i)
            preferences.setVolume(float(i) / 100);
        preferences.setSelectedRadioStationId(QStringLiteral("s25260"));
        preferences.waitForWrites();
        ::kill(::getpid(), SIGKILL);
    }
    TestPreferences test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_preferences.moc"
