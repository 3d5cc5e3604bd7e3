#include "catalog/RadioStationStore.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QTest>

// Every station of both tables has a logo resource that draws: a station added
// without one fails here rather than as an empty block in the list.
class TestStationLogos : public QObject {
    Q_OBJECT

private slots:
    void everyImageHasALogo()
    {
        RadioStationStore store{[] {
            return std::optional<QString>();
        }};
        QSet<QString> images;
        for (const auto* table : {&store.radioStations_GE(), &store.radioStations_US()}) {
            for (const RadioStation& station : *table)
                images.insert(station.image);
        }
        QVERIFY(images.size() > 150);

        QStringList failures;
        for (const QString& image : std::as_const(images)) {
            QSvgRenderer renderer(QStringLiteral(":/logos/%1.svg").arg(image));
            if (!renderer.isValid()) {
                failures.append(image + QStringLiteral(": no logo"));
                continue;
            }
            // Drawn at the size shown, the logo covers its block.
            QImage drawn(48, 48, QImage::Format_ARGB32_Premultiplied);
            drawn.fill(Qt::transparent);
            QPainter painter(&drawn);
            renderer.render(&painter);
            painter.end();
            if (qAlpha(drawn.pixel(24, 2)) != 255 || qAlpha(drawn.pixel(2, 24)) != 255)
                failures.append(image + QStringLiteral(": draws no background"));
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestStationLogos)
#include "tst_stationlogos.moc"
