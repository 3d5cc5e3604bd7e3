#include "views/Translations.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <cstdio>

namespace {

// Child mode: the table chosen for this process's environment, asked for one id.
int translateInChild(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (!Translations::install(application))
        return 2;
    std::fputs(qtTrId(argv[2]).toUtf8().constData(), stdout);
    return 0;
}

} // namespace

// The UI language is read from the environment when the application starts, so
// every case runs this program again under its own locale variables.
class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void languageFromEnvironment_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("shown");

        const QString banner = QStringLiteral("no-internet-connection");
        QTest::newRow("LANGUAGE and LANG German")
            << QStringList{"LANGUAGE=de", "LANG=de_DE.UTF-8"} << banner
            << QStringLiteral("Keine Internetverbindung");
        QTest::newRow("LANG German") << QStringList{"LANG=de_DE.UTF-8"} << banner
                                     << QStringLiteral("Keine Internetverbindung");
        QTest::newRow("LC_MESSAGES over LANG")
            << QStringList{"LANG=en_US.UTF-8", "LC_MESSAGES=de_AT.UTF-8"} << banner
            << QStringLiteral("Keine Internetverbindung");
        QTest::newRow("English") << QStringList{"LANG=en_US.UTF-8"} << banner
                                 << QStringLiteral("No internet connection");
        QTest::newRow("second choice of LANGUAGE")
            << QStringList{"LANGUAGE=fr:de", "LANG=fr_FR.UTF-8"} << banner
            << QStringLiteral("Keine Internetverbindung");
        QTest::newRow("no table: English") << QStringList{"LANG=fr_FR.UTF-8"} << banner
                                           << QStringLiteral("No internet connection");
        QTest::newRow("C locale: English")
            << QStringList{"LANG=C"} << banner << QStringLiteral("No internet connection");
        QTest::newRow("id outside ASCII")
            << QStringList{"LANG=de_DE.UTF-8"} << QStringLiteral("Made with ♥ in Germany")
            << QStringLiteral("Mit ♥ in Deutschland gemacht");
        QTest::newRow("accessible name")
            << QStringList{"LANG=de_DE.UTF-8"} << QStringLiteral("close-preferences")
            << QStringLiteral("Einstellungen schließen");
        QTest::newRow("unknown id shows the id")
            << QStringList{"LANG=de_DE.UTF-8"} << QStringLiteral("no-such-id")
            << QStringLiteral("no-such-id");
    }

    void languageFromEnvironment()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, id);
        QFETCH(QString, shown);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            env.remove(QString::fromLatin1(name));
        for (const QString& assignment : environment)
            env.insert(assignment.section(u'=', 0, 0), assignment.section(u'=', 1));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--translate"), id});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), shown);
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--translate") == 0)
        return translateInChild(argc, argv);
    QCoreApplication application(argc, argv);
    TestTranslations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
