#include "DesktopSession.h"

#include <QGuiApplication>
#include <QStringList>

namespace {

bool namesDesktop(const QString& currentDesktop, QLatin1String desktop)
{
    // A list such as "ubuntu:GNOME".
    const QStringList names = currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return names.contains(desktop, Qt::CaseInsensitive);
}

} // namespace

DesktopSession::DesktopSession(Facts facts)
    : m_facts(std::move(facts))
{
    const bool xwayland =
        m_facts.platform == QLatin1String("xcb") &&
        (m_facts.waylandDisplay ||
         m_facts.sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0);
    if (!xwayland)
        m_popup = Popup::Unmanaged;
    else if (m_facts.swaySocket)
        m_popup = Popup::SwayUtility;
    else if (isGnome() || isKde())
        m_popup = Popup::Utility;
    else
        m_popup = Popup::UnmanagedWithoutKeyboard;
}

DesktopSession::Facts DesktopSession::currentFacts(const QString& windowManager)
{
    Facts facts;
    facts.platform = QGuiApplication::platformName();
    facts.waylandDisplay = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    facts.swaySocket = qEnvironmentVariableIsSet("SWAYSOCK");
    facts.currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    facts.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE");
    facts.windowManager = windowManager;
    return facts;
}

bool DesktopSession::isGnome() const
{
    // Mutter names itself after the shell it runs.
    return namesDesktop(m_facts.currentDesktop, QLatin1String("GNOME")) ||
           m_facts.windowManager.startsWith(QLatin1String("GNOME Shell")) ||
           m_facts.windowManager == QLatin1String("Mutter");
}

bool DesktopSession::isKde() const
{
    return namesDesktop(m_facts.currentDesktop, QLatin1String("KDE")) ||
           m_facts.windowManager == QLatin1String("KWin");
}

QString DesktopSession::description() const
{
    static const char* const popups[] = {
        "an unmanaged window with the keyboard",
        "an unmanaged window without the keyboard",
        "a utility window that sway floats under the icon",
        "a utility window that asks for its place and takes the keyboard",
    };
    return QStringLiteral("desktop \"%1\", session \"%2\", platform %3%4, window manager \"%5\": "
                          "the window is %6")
        .arg(m_facts.currentDesktop, m_facts.sessionType, m_facts.platform,
             m_facts.waylandDisplay ? QStringLiteral(" on Wayland") : QString(),
             m_facts.windowManager, QLatin1String(popups[int(m_popup)]));
}
