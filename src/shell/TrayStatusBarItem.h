#pragma once

#include "StatusBarItem.h"

#include <memory>

class QSystemTrayIcon;

// The icon through QSystemTrayIcon, for desktops without a StatusNotifierItem
// watcher: XEmbed on X11.
class TrayStatusBarItem : public StatusBarItem {
    Q_OBJECT

public:
    explicit TrayStatusBarItem(QObject* parent = nullptr);
    ~TrayStatusBarItem() override;

    bool isAvailable() const override;
    QRect geometry() const override;
    void setToolTip(const QString& text) override;

private:
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
};
