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
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("ip"), {QStringLiteral("-batch"), QStringLiteral("-")});
        if (!process.waitForStarted(10000)) {
            output = QStringLiteral("ip did not start: ") + process.errorString();
            return;
        }
        process.write(commands.join(QLatin1Char('\n')).toUtf8() + '\n');
        process.closeWriteChannel();
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished(5000);
        }
        ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        output = QString::fromLocal8Bit(process.readAll());
    }
};

#define IP(...)                                                                                    \
    do {                                                                                           \
        const IpBatch batch{QStringList(__VA_ARGS__)};                                             \
        QVERIFY2(batch.ok, qPrintable(batch.output));                                              \
    } while (false)
