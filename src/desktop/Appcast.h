#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVersionNumber>

// The newest release an appcast (RSS with the sparkle namespace) announces.
// Parsing never trusts the feed: links other than http(s) are dropped, and
// anything malformed ends in an error rather than a guess.
class Appcast {
public:
    enum class Error { None, NotXml, NoItems, NoVersion };

    // Anything larger is refused before parsing.
    static constexpr qint64 maximumSize = 1024 * 1024;

    static Appcast parse(const QByteArray& document);
    // Dotted numbers only ("1", "1.2", "10.0.3"); null otherwise.
    static QVersionNumber parseVersion(const QString& text);

    Error error = Error::None;
    QString version; // as the feed writes it
    QVersionNumber versionNumber;
    QUrl releaseNotes;
    QUrl downloadPage;
};
