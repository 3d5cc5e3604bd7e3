#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QUrl>

class RadioStation;

// Station logos as PNG files for programs that cannot read the program's own
// resources (desktop media panels): each logo is rendered once per run into
// the user's cache folder, and tried once where there is none. Rendering an
// SVG and writing a PNG takes tens of milliseconds: it runs on a thread of
// its own, never on the one that draws the window.
class StationArtwork : public QObject {
    Q_OBJECT

public:
    static constexpr int size = 256; // pixels, square

    // `logoPath` holds "%1" for the station's image name.
    explicit StationArtwork(QString cacheDirectory = defaultCacheDirectory(),
                            QString logoPath = QStringLiteral(":/logos/%1.svg"),
                            QObject* parent = nullptr);
    ~StationArtwork() override;

    static QString defaultCacheDirectory();

    // A file:// URL of the station's logo once it is written; empty before,
    // and when it has none or the file cannot be written. The first ask
    // starts the rendering and returns at once; `finished` follows.
    QUrl artUrl(const RadioStation& station);
    bool isRendering(const RadioStation& station) const;

signals:
    // The station image's rendering ended, written or not.
    void finished(const QString& image);

private:
    void rendered(const QString& image, bool written);
    QString fileFor(const QString& image) const;

    QString m_cacheDirectory;
    QString m_logoPath;
    QSet<QString> m_rendered;
    QSet<QString> m_rendering;
    QSet<QString> m_missing; // tried once, no logo to be had
    QThreadPool m_renderer;
};
