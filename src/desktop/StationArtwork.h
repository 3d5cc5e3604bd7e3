#pragma once

#include <QSet>
#include <QString>
#include <QUrl>

class RadioStation;

// Station logos as PNG files for programs that cannot read the program's own
// resources (desktop media panels): each logo is rendered once per run into
// the user's cache folder, and tried once where there is none.
class StationArtwork {
public:
    static constexpr int size = 256; // pixels, square

    // `logoPath` holds "%1" for the station's image name.
    explicit StationArtwork(QString cacheDirectory = defaultCacheDirectory(),
                            QString logoPath = QStringLiteral(":/logos/%1.svg"));

    static QString defaultCacheDirectory();

    // A file:// URL of the station's logo; empty when it has none or the
    // file cannot be written.
    QUrl artUrl(const RadioStation& station);

private:
    QString m_cacheDirectory;
    QString m_logoPath;
    QSet<QString> m_rendered;
    QSet<QString> m_missing; // tried once, no logo to be had
};
