#pragma once

#include "TrayIcon.h"

#include <memory>

class QSystemTrayIcon;

// The icon through QSystemTrayIcon, for desktops without a StatusNotifierItem
// watcher: XEmbed on X11.
class SystemTrayIcon : public TrayIcon {
    Q_OBJECT

public:
    explicit SystemTrayIcon(QObject* parent = nullptr);
    ~SystemTrayIcon() override;

    bool isAvailable() const override;
    QRect geometry() const override;
    void setToolTip(const QString& text) override;

private:
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
};
