#include "catalog/RadioStation.h"
#include "desktop/StationArtwork.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray logo = "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
                        "<rect width='10' height='10' fill='red'/></svg>";

RadioStation stationWithImage(const QString& image)
{
    return {image, image, "", "", std::nullopt, image, "http://127.0.0.1/"};
}

} // namespace

class TestStationArtwork : public QObject {
    Q_OBJECT

private slots:
    // The logo comes through a pipe that the test fills when it chooses: a
    // rendering on the calling thread would wait for it (five seconds at
    // most) and return the file; off it, the caller gets an empty URL at once
    // and the file follows.
    void rendersOffTheCallingThread()
    {
        QTemporaryDir dir;
        const QString pipe = dir.filePath(QStringLiteral("slow.svg"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        std::promise<void> write;
        std::thread writer([pipe, future = write.get_future()] {
            future.wait_for(std::chrono::seconds(5));
            // Without a reader within a second, nobody reads it at all.
            for (QDeadlineTimer deadline(1000); !deadline.hasExpired();) {
                const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    [[maybe_unused]] const auto written = ::write(fd, logo.data(), logo.size());
                    ::close(fd);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        StationArtwork artwork(dir.filePath(QStringLiteral("cache")), dir.filePath("%1.svg"));
        QSignalSpy finished(&artwork, &StationArtwork::finished);
        const RadioStation slow = stationWithImage(QStringLiteral("slow"));

        const QUrl first = artwork.artUrl(slow);
        write.set_value();
        writer.join();
        QVERIFY(first.isEmpty());
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toString(), QStringLiteral("slow"));
        QVERIFY(!artwork.isRendering(slow));
        const QUrl art = artwork.artUrl(slow);
        QCOMPARE(QImage(art.toLocalFile()).size(),
                 QSize(StationArtwork::size, StationArtwork::size));
        QCOMPARE(QImage(art.toLocalFile()).pixelColor(128, 128), QColor(Qt::red));
    }

    // Names that would leave the folder are never looked up; a station
    // without a logo is tried once.
    void withoutALogo()
    {
        QTemporaryDir dir;
        StationArtwork artwork(dir.filePath(QStringLiteral("cache")), dir.filePath("%1.svg"));
        QSignalSpy finished(&artwork, &StationArtwork::finished);
        QVERIFY(artwork.artUrl(stationWithImage(QStringLiteral("../escape"))).isEmpty());
        QVERIFY(!artwork.isRendering(stationWithImage(QStringLiteral("../escape"))));
        const RadioStation missing = stationWithImage(QStringLiteral("missing"));
        QVERIFY(artwork.artUrl(missing).isEmpty());
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(artwork.artUrl(missing).isEmpty());
        QVERIFY(!artwork.isRendering(missing));
        QCOMPARE(finished.size(), 1);
    }
};

QTEST_MAIN(TestStationArtwork)
#include "tst_stationartwork.moc"
