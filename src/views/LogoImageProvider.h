#pragma once

#include <QQuickImageProvider>

// Station logos for "image://logo/<image name>": the SVG resource
// ":/logos/<name>.svg" drawn at the size the view asks for, fitted into it
// with its aspect ratio kept and clipped to the box's rounded corners (radius
// 6 on a 48 box). Drawn off the main thread, and only for rows that exist. An
// unknown name gives a transparent image: nothing is drawn, the box stays.
class LogoImageProvider : public QQuickImageProvider {
public:
    static constexpr const char* providerId = "logo";

    LogoImageProvider();

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};
