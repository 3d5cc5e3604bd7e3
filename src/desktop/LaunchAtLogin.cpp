#include "LaunchAtLogin.h"

#include "DesktopLogging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
// Anything larger is not an autostart entry we care about.
constexpr qint64 maximumEntrySize = 64 * 1024;

QString configHome()
{
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!home.isEmpty() && QDir::isAbsolutePath(home))
        return home;
    return QDir::homePath() + QStringLiteral("/.config");
}

QStringList configDirectories()
{
    QStringList directories;
    const QString value = qEnvironmentVariable("XDG_CONFIG_DIRS");
    for (const QString& directory : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(directory))
            directories.append(directory);
    }
    if (directories.isEmpty())
        directories.append(QStringLiteral("/etc/xdg"));
    return directories;
}

// Enabled unless Hidden=true or X-GNOME-Autostart-enabled=false; nothing for
// a file that cannot be read or holds no desktop entry.
std::optional<bool> readEntry(const QString& path)
{
    QFile file(path);
    if (file.size() > maximumEntrySize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool inEntry = false;
    bool sawEntry = false;
    bool enabled = true;
    qint64 bytesRead = 0;
    while (!file.atEnd() && bytesRead < maximumEntrySize) {
        const QByteArray raw = file.readLine(maximumEntrySize);
        if (raw.isEmpty())
            break;
        bytesRead += raw.size();
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            sawEntry = sawEntry || inEntry;
            continue;
        }
        if (!inEntry || line.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if ((key == "Hidden" && value == "true") ||
            (key == "X-GNOME-Autostart-enabled" && value == "false"))
            enabled = false;
    }
    if (!sawEntry)
        return std::nullopt;
    return enabled;
}

// One argument of an Exec line: quoted, then escaped as a desktop-entry string.
QString execArgument(const QString& argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    quoted.replace(QLatin1String("\n"), QLatin1String("\\n"));
    quoted.replace(QLatin1String("\t"), QLatin1String("\\t"));
    quoted.replace(QLatin1String("\r"), QLatin1String("\\r"));
    quoted.replace(QLatin1String("%"), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool writeEntry(const QString& path, const QByteArray& contents)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(contents);
    return file.commit();
}

} // namespace

LaunchAtLogin::LaunchAtLogin(QObject* parent)
    : LaunchAtLogin(QCoreApplication::applicationFilePath(), parent)
{}

LaunchAtLogin::LaunchAtLogin(const QString& program, QObject* parent)
    : QObject(parent)
    , m_program(program)
{}

LaunchAtLogin::~LaunchAtLogin() = default;

QString LaunchAtLogin::helperIdentifier()
{
    static const QString identifier =
        QStringLiteral(SONDIK_APP_ID) + QStringLiteral("-LaunchAtLoginHelper");
    return identifier;
}

QString LaunchAtLogin::entryPath()
{
    return configHome() + QStringLiteral("/autostart/") + helperIdentifier() +
           QStringLiteral(".desktop");
}

QByteArray LaunchAtLogin::entryContents(const QString& program)
{
    QByteArray contents = "[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Sondik\n"
                          "Comment=Internet radio in the system tray\n";
    contents += "Icon=" + QByteArray(SONDIK_APP_ID) + '\n';
    contents += "Exec=" + execArgument(program).toUtf8() + ' ' + loginArgument + '\n';
    contents += "Terminal=false\n"
                "X-GNOME-Autostart-enabled=true\n";
    return contents;
}

std::optional<bool> LaunchAtLogin::entryEnabled()
{
    QStringList folders{configHome()};
    folders += configDirectories();
    const QString name =
        QStringLiteral("/autostart/") + helperIdentifier() + QStringLiteral(".desktop");
    // The first folder that holds the entry decides, whatever it says.
    for (const QString& folder : std::as_const(folders)) {
        if (QFileInfo(folder + name).isFile())
            return readEntry(folder + name);
    }
    return std::nullopt;
}

bool LaunchAtLogin::isEnabled() const
{
    return entryEnabled().value_or(false);
}

bool LaunchAtLogin::writeEnabled(const QString& program, bool enabled)
{
    const QString path = entryPath();
    if (enabled)
        return writeEntry(path, entryContents(program));
    if (QFile::exists(path) && !QFile::remove(path))
        return false;
    // An entry of the same name in a system folder would start us still:
    // shadow it with a hidden one, as the autostart rules provide.
    if (entryEnabled().value_or(false))
        return writeEntry(path, "[Desktop Entry]\nType=Application\nName=Sondik\nHidden=true\n");
    return true;
}

void LaunchAtLogin::setIsEnabled(bool enabled)
{
    if (!writeEnabled(m_program, enabled))
        qCWarning(lcDesktop) << "Could not" << (enabled ? "write" : "remove")
                             << "the autostart entry" << entryPath();
    emit isEnabledChanged();
}
