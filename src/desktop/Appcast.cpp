#include "Appcast.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

const QString sparkle = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

QUrl webLink(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return {};
    if (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http"))
        return {};
    return url;
}

struct Item {
    QString shortVersion;
    QString version;
    QString enclosureShortVersion;
    QString enclosureVersion;
    QUrl link;
    QUrl releaseNotes;

    // The display version first, then the build version; the enclosure's
    // attributes only when the item says nothing itself.
    QString bestVersion() const
    {
        for (const QString* text :
             {&shortVersion, &version, &enclosureShortVersion, &enclosureVersion}) {
            if (!Appcast::parseVersion(*text).isNull())
                return text->trimmed();
        }
        return {};
    }
};

} // namespace

QVersionNumber Appcast::parseVersion(const QString& text)
{
    static const QRegularExpression dotted(QStringLiteral("^\\d{1,9}(\\.\\d{1,9}){0,7}$"));
    const QString trimmed = text.trimmed();
    if (!dotted.match(trimmed).hasMatch())
        return {};
    return QVersionNumber::fromString(trimmed).normalized();
}

Appcast Appcast::parse(const QByteArray& document)
{
    Appcast result;
    if (document.size() > maximumSize) {
        result.error = Error::NotXml;
        return result;
    }
    QXmlStreamReader xml(document);
    QList<Item> items;
    QUrl channelLink;
    // Elements open around the current one outside items: only a <link> right
    // in the channel is the channel's (an <image> has a <link> of its own).
    QList<QString> outside;
    bool sawRss = false;
    int depthInItem = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isDTD()) {
            // An appcast needs no document type; entities are a way to blow up.
            result.error = Error::NotXml;
            return result;
        }
        if (xml.isEndElement()) {
            if (depthInItem > 0)
                --depthInItem;
            else if (!outside.isEmpty())
                outside.removeLast();
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const bool isSparkle = xml.namespaceUri() == sparkle;
        const auto name = xml.name();
        if (!sawRss) {
            if (name != QLatin1String("rss"))
                break;
            sawRss = true;
            outside.append(name.toString());
            continue;
        }
        if (depthInItem == 0) {
            if (name == QLatin1String("item") && xml.namespaceUri().isEmpty()) {
                items.append(Item{});
                depthInItem = 1;
            } else if (name == QLatin1String("link") && xml.namespaceUri().isEmpty() &&
                       outside ==
                           QList<QString>{QStringLiteral("rss"), QStringLiteral("channel")}) {
                channelLink = webLink(xml.readElementText(QXmlStreamReader::SkipChildElements));
            } else {
                outside.append(name.toString());
            }
            continue;
        }
        Item& item = items.last();
        if (depthInItem == 1 && isSparkle && name == QLatin1String("shortVersionString")) {
            item.shortVersion = xml.readElementText(QXmlStreamReader::SkipChildElements);
        } else if (depthInItem == 1 && isSparkle && name == QLatin1String("version")) {
            item.version = xml.readElementText(QXmlStreamReader::SkipChildElements);
        } else if (depthInItem == 1 && isSparkle && name == QLatin1String("releaseNotesLink")) {
            item.releaseNotes = webLink(xml.readElementText(QXmlStreamReader::SkipChildElements));
        } else if (depthInItem == 1 && name == QLatin1String("link") &&
                   xml.namespaceUri().isEmpty()) {
            item.link = webLink(xml.readElementText(QXmlStreamReader::SkipChildElements));
        } else {
            if (depthInItem == 1 && name == QLatin1String("enclosure")) {
                const QXmlStreamAttributes attributes = xml.attributes();
                item.enclosureShortVersion =
                    attributes.value(sparkle, QStringLiteral("shortVersionString")).toString();
                item.enclosureVersion =
                    attributes.value(sparkle, QStringLiteral("version")).toString();
            }
            ++depthInItem;
        }
    }
    if (!sawRss || xml.hasError()) {
        result.error = Error::NotXml;
        return result;
    }
    if (items.isEmpty()) {
        result.error = Error::NoItems;
        return result;
    }
    // The newest is the highest version, wherever the feed lists it.
    const Item* newest = nullptr;
    for (const Item& item : std::as_const(items)) {
        const QVersionNumber number = parseVersion(item.bestVersion());
        if (number.isNull())
            continue;
        if (!newest || QVersionNumber::compare(number, result.versionNumber) > 0) {
            newest = &item;
            result.versionNumber = number;
        }
    }
    if (!newest) {
        result.error = Error::NoVersion;
        return result;
    }
    result.version = newest->bestVersion();
    result.releaseNotes = newest->releaseNotes;
    result.downloadPage = newest->link.isValid() ? newest->link : channelLink;
    return result;
}
