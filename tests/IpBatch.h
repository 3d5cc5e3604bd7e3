#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>

// `ip -batch -` with `commands` on its input, in the network namespace of the
// calling thread (tests that make namespaces of their own).
struct IpBatch {
    bool ok = false;
    QString output;

    explicit IpBatch(const QStringList& commands)
    {
        QProcess ip; // killed by its destructor should it hang
        ip.setProcessChannelMode(QProcess::MergedChannels);
        ip.start(QStringLiteral("ip"), {QStringLiteral("-batch"), QStringLiteral("-")});
        if (ip.waitForStarted(10000)) {
            ip.write(commands.join(QLatin1Char('\n')).toUtf8() + '\n');
            ip.closeWriteChannel();
        }
        ok = ip.waitForFinished(60000) && ip.exitStatus() == QProcess::NormalExit &&
             ip.exitCode() == 0;
        output = QString::fromLocal8Bit(ip.readAll()) + (ok ? QString() : ip.errorString());
    }
};

#define IP(...)                                                                                    \
    do {                                                                                           \
        const IpBatch batch{QStringList(__VA_ARGS__)};                                             \
        QVERIFY2(batch.ok, qPrintable(batch.output));                                              \
    } while (false)
