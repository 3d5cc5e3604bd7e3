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

namespace {

// On the rendering thread: nothing but its arguments.
bool render(const QString& logo, const QString& directory, const QString& path)
{
    QSvgRenderer renderer;
    if (!QFile::exists(logo) || !renderer.load(logo) || !QDir().mkpath(directory))
        return false;
    QImage image(StationArtwork::size, StationArtwork::size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.setAspectRatioMode(Qt::KeepAspectRatio);
        renderer.render(&painter);
    }
    // Readers never see half a file.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

} // namespace

StationArtwork::StationArtwork(QString cacheDirectory, QString logoPath, QObject* parent)
    : QObject(parent)
    , m_cacheDirectory(std::move(cacheDirectory))
    , m_logoPath(std::move(logoPath))
{
    // One at a time: a user choosing stations quickly queues them.
    m_renderer.setMaxThreadCount(1);
    m_renderer.setExpiryTimeout(5000);
}

StationArtwork::~StationArtwork()
{
    // A rendering under way posts its result to this object.
    m_renderer.clear();
    m_renderer.waitForDone();
}

QString StationArtwork::defaultCacheDirectory()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("logos"));
}

QString StationArtwork::fileFor(const QString& image) const
{
    return QDir(m_cacheDirectory).filePath(image + QStringLiteral(".png"));
}

QUrl StationArtwork::artUrl(const RadioStation& station)
{
    // The image name becomes a file name: nothing that leaves the folder.
    static const QRegularExpression safeName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]{0,99}$"));
    const QString& image = station.image;
    if (m_cacheDirectory.isEmpty() || !safeName.match(image).hasMatch() ||
        m_missing.contains(image) || m_rendering.contains(image))
        return {};
    if (m_rendered.contains(image))
        return QUrl::fromLocalFile(fileFor(image));

    m_rendering.insert(image);
    m_renderer.start([this, image, logo = m_logoPath.arg(image), directory = m_cacheDirectory,
                      path = fileFor(image)] {
        const bool written = render(logo, directory, path);
        QMetaObject::invokeMethod(
            this, [this, image, written] { rendered(image, written); }, Qt::QueuedConnection);
    });
    return {};
}

bool StationArtwork::isRendering(const RadioStation& station) const
{
    return m_rendering.contains(station.image);
}

void StationArtwork::rendered(const QString& image, bool written)
{
    m_rendering.remove(image);
    (written ? m_rendered : m_missing).insert(image);
    emit finished(image);
}
