#include "StationArtwork.h"

#include "catalog/RadioStation.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSvgRenderer>

StationArtwork::StationArtwork(QString cacheDirectory, QString logoPath)
    : m_cacheDirectory(std::move(cacheDirectory))
    , m_logoPath(std::move(logoPath))
{}

QString StationArtwork::defaultCacheDirectory()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("logos"));
}

QUrl StationArtwork::artUrl(const RadioStation& station)
{
    // The image name becomes a file name: nothing that leaves the folder.
    static const QRegularExpression safeName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]{0,99}$"));
    if (m_cacheDirectory.isEmpty() || !safeName.match(station.image).hasMatch())
        return {};
    const QString path = QDir(m_cacheDirectory).filePath(station.image + QStringLiteral(".png"));
    if (m_rendered.contains(station.image))
        return QUrl::fromLocalFile(path);
    if (m_missing.contains(station.image))
        return {};

    const QString logo = m_logoPath.arg(station.image);
    QSvgRenderer renderer;
    if (!QFile::exists(logo) || !renderer.load(logo) || !QDir().mkpath(m_cacheDirectory)) {
        m_missing.insert(station.image);
        return {};
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.setAspectRatioMode(Qt::KeepAspectRatio);
        renderer.render(&painter);
    }
    // Readers never see half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        m_missing.insert(station.image);
        return {};
    }
    m_rendered.insert(station.image);
    return QUrl::fromLocalFile(path);
}
