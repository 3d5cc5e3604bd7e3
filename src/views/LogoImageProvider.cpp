#include "LogoImageProvider.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

namespace {

constexpr int defaultSide = 48;

bool isPlainName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-') ||
              c == QLatin1Char('_')))
            return false;
    }
    return !name.startsWith(QLatin1Char('.'));
}

} // namespace

LogoImageProvider::LogoImageProvider()
    : QQuickImageProvider(QQuickImageProvider::Image,
                          QQuickImageProvider::ForceAsynchronousImageLoading)
{}

QImage LogoImageProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    const QSize box(requestedSize.width() > 0 ? requestedSize.width() : defaultSide,
                    requestedSize.height() > 0 ? requestedSize.height() : defaultSide);
    QImage image(box, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (size)
        *size = box;

    // A logo that does not exist is not an error worth a warning.
    const QString path = QStringLiteral(":/logos/%1.svg").arg(id);
    QSvgRenderer renderer;
    if (!isPlainName(id) || !QFile::exists(path) || !renderer.load(path))
        return image;

    QSizeF fitted = renderer.defaultSize().isEmpty() ? QSizeF(box) : renderer.viewBoxF().size();
    fitted.scale(QSizeF(box), Qt::KeepAspectRatio);
    const QRectF target((box.width() - fitted.width()) / 2, (box.height() - fitted.height()) / 2,
                        fitted.width(), fitted.height());

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath corners;
    const qreal radius = box.width() * 6.0 / defaultSide;
    corners.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(box)), radius, radius);
    painter.setClipPath(corners);
    renderer.render(&painter, target);
    return image;
}
