#pragma once

#include <QObject>
#include <QRect>

#include <functional>
#include <memory>

class QAction;
class QMenu;

// The program's icon in the desktop's system tray: a button that toggles the
// window, and a context menu for hosts that open a menu instead of sending a
// click.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // Whether a tray host is there to show the icon.
    virtual bool isAvailable() const = 0;
    // The icon's rectangle in global coordinates; invalid where the host does
    // not report it.
    virtual QRect geometry() const = 0;
    // Lets the menu offer "hide" while the window is shown, else "show".
    virtual void setWindowShown(bool shown);
    // Shown as plain text, never as markup.
    virtual void setToolTip(const QString& text) = 0;

signals:
    // The icon was clicked, or "show"/"hide" chosen from its menu.
    void clicked();
    void quitRequested();
    // The middle click, where the host passes it on: play or stop.
    void playPauseRequested();
    // Wheel steps over the icon, up positive, where the host passes them on.
    void volumeStepped(int steps);

protected:
    // The icon's context menu, the same for every kind of tray: show or hide
    // the window, and quit. Made on first use.
    QMenu* contextMenu();

private:
    std::unique_ptr<QMenu> m_menu;
    QAction* m_toggleAction = nullptr; // owned by m_menu
    bool m_windowShown = false;
};

using TrayIconFactory = std::function<std::unique_ptr<TrayIcon>()>;
