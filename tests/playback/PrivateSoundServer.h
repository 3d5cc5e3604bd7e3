#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <vector>

#include <csignal>
#include <sys/prctl.h>

// A sound server of the test's own, as a desktop runs one, with a null sink
// named `sink` and everything in a scratch folder: PulseAudio, or PipeWire with
// its session manager (WirePlumber, on a session bus of its own) and its
// PulseAudio server. Clients reach it through environment(); nothing reaches
// the user's server.
class PrivateSoundServer {
public:
    enum Kind { PulseAudio, PipeWire };
    static constexpr const char* sink = "tests";

    ~PrivateSoundServer()
    {
        // The session manager and the bus last: the servers' clients first.
        for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
            (*it)->terminate();
            if (!(*it)->waitForFinished(3000)) {
                (*it)->kill();
                (*it)->waitForFinished(3000);
            }
        }
    }

    // False, with a reason in error(), when it did not come up within 15 s.
    bool start(Kind kind)
    {
        if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath("run") ||
            !QFile::setPermissions(path("run"),
                                   QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return fail("no scratch folder");
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert("HOME", m_dir.path());
        m_environment.insert("XDG_RUNTIME_DIR", path("run"));
        m_environment.insert("XDG_CONFIG_HOME", path("config"));
        m_environment.remove("PIPEWIRE_REMOTE");
        return kind == PulseAudio ? startPulseAudio() : startPipeWire();
    }

    QString error() const { return m_error; }
    const QProcessEnvironment& environment() const { return m_environment; }
    // This process's mpv cores find the server through these.
    void applyToThisProcess() const
    {
        for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "PULSE_SERVER",
                                 "DBUS_SESSION_BUS_ADDRESS"})
            qputenv(name, m_environment.value(name).toLocal8Bit());
        qunsetenv("PIPEWIRE_REMOTE");
    }

    // pactl's output, or an empty text when it failed.
    QByteArray pactl(const QStringList& arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start("pactl", arguments);
        if (!process.waitForFinished(5000) || process.exitCode() != 0)
            return {};
        return process.readAllStandardOutput();
    }

private:
    bool startPulseAudio()
    {
        const QString socket = path("native");
        write("tests.pa", QStringLiteral("load-module module-native-protocol-unix "
                                         "auth-anonymous=1 socket=%1\n"
                                         "load-module module-null-sink sink_name=%2 rate=44100 "
                                         "channels=2\n"
                                         "set-default-sink %2\n")
                              .arg(socket, sink));
        m_environment.insert("PULSE_SERVER", "unix:" + socket);
        launch("pulseaudio", {"-n", "-F", path("tests.pa"), "--daemonize=no", "--exit-idle-time=-1",
                              "--use-pid-file=no", "--log-level=error"});
        return waitForSink();
    }

    bool startPipeWire()
    {
        QDir().mkpath(path("config/pipewire/pipewire.conf.d"));
        write("config/pipewire/pipewire.conf.d/tests.conf",
              QStringLiteral("context.properties = { default.clock.rate = 44100 }\n"
                             "context.objects = [\n"
                             "  { factory = adapter args = {\n"
                             "      factory.name = support.null-audio-sink node.name = %1\n"
                             "      media.class = Audio/Sink object.linger = true\n"
                             "      audio.position = [ FL FR ] audio.rate = 44100\n"
                             "      node.driver = true monitor.channel-volumes = true } }\n"
                             "]\n")
                  .arg(sink));
        m_environment.insert("PULSE_SERVER", "unix:" + path("run/pulse/native"));
        // WirePlumber will not run without a session bus.
        QProcess* bus = launch("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!bus->waitForReadyRead(5000))
            return fail("dbus-daemon did not start");
        m_environment.insert("DBUS_SESSION_BUS_ADDRESS",
                             QString::fromUtf8(bus->readLine().trimmed()));
        launch("pipewire", {});
        if (!waitFor([this] { return QFile::exists(path("run/pipewire-0")); }))
            return fail("pipewire did not start");
        launch("wireplumber", {});
        launch("pipewire-pulse", {});
        return waitForSink();
    }

    bool waitForSink()
    {
        if (!waitFor([this] { return pactl({"list", "short", "sinks"}).contains(sink); }))
            return fail("the sound server has no sink after 15 s");
        return true;
    }

    template <typename Check> static bool waitFor(Check check)
    {
        const QDeadlineTimer deadline(15000);
        while (!check()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(50);
        }
        return true;
    }

    QProcess* launch(const QString& program, const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(m_environment);
        process->setStandardErrorFile(path(program + ".log"));
        // A test killed on its time limit takes its servers with it.
        process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process->start(program, arguments);
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    void write(const QString& name, const QString& text)
    {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
    }

    bool fail(const QString& why)
    {
        m_error = why;
        return false;
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QString m_error;
};
