// Runs a NetworkStatus on a quiet network and prints what it costs: CPU time of
// the process and of the monitor thread, the monitor thread's wake-ups, and the
// number of threads. Used by bench/network-idle.sh.

#include "network/NetworkStatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>
#include <unistd.h>

namespace {

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

QString monitorTask()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (readFile(tasks.filePath(task + QStringLiteral("/comm"))).trimmed() ==
            QLatin1String(NetworkStatus::queueLabel))
            return tasks.filePath(task);
    }
    return {};
}

struct Sample {
    double processSeconds = 0;
    double monitorSeconds = 0;
    long monitorWakeups = 0;
};

Sample sample(const QString& task)
{
    Sample result;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    result.processSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                            double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    // Fields 14 and 15 of stat, after the parenthesised name: user and system ticks.
    const QString stat = readFile(task + QStringLiteral("/stat"));
    const QStringList fields = stat.mid(stat.lastIndexOf(QLatin1Char(')')) + 2).split(' ');
    if (fields.size() > 12)
        result.monitorSeconds = double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) /
                                ::sysconf(_SC_CLK_TCK);
    for (const QString& line : readFile(task + QStringLiteral("/status")).split('\n')) {
        if (line.startsWith(QLatin1String("voluntary_ctxt_switches:")))
            result.monitorWakeups = line.section(':', 1).trimmed().toLong();
    }
    return result;
}

int threadCount()
{
    for (const QString& line : readFile(QStringLiteral("/proc/self/status")).split('\n')) {
        if (line.startsWith(QLatin1String("Threads:")))
            return line.section(':', 1).trimmed().toInt();
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int settleSeconds = 5;

    NetworkStatus status;
    int updates = 0;
    QObject::connect(&status, &NetworkStatus::missingConnectionChanged, [&updates] { ++updates; });

    QString task;
    Sample start;
    int updatesAtStart = 0;
    QTimer::singleShot(settleSeconds * 1000, [&] {
        task = monitorTask();
        if (task.isEmpty()) {
            std::fprintf(stderr, "no thread named %s: monitoring did not start\n",
                         NetworkStatus::queueLabel);
            QCoreApplication::exit(1);
            return;
        }
        start = sample(task);
        updatesAtStart = updates;
        QTimer::singleShot(seconds * 1000, [&] {
            const Sample end = sample(task);
            std::printf("quiet period:                 %d s\n", seconds);
            std::printf("missing connection:           %s\n",
                        status.missingConnection() ? "true" : "false");
            std::printf("updates during the period:    %d\n", updates - updatesAtStart);
            std::printf("CPU seconds, whole process:   %.3f\n",
                        end.processSeconds - start.processSeconds);
            std::printf("CPU seconds, Monitor thread:  %.3f\n",
                        end.monitorSeconds - start.monitorSeconds);
            std::printf("Monitor thread wake-ups:      %ld\n",
                        end.monitorWakeups - start.monitorWakeups);
            std::printf("threads:                      %d\n", threadCount());
            QCoreApplication::quit();
        });
    });
    return app.exec();
}
