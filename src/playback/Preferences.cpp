#include "Preferences.h"
#include "PlaybackLogging.h"
#include "PreferencesWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <array>
#include <charconv>
#include <cmath>

namespace {

const QString volumeKey = QStringLiteral("Volume");
const QString selectedStationKey = QStringLiteral("SelectedRadioStationId");

std::optional<float> finiteFloat(const QVariant& value)
{
    bool ok = false;
    const float number = value.toFloat(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

// Shortest text that reads back as the same float: 0.3f is stored as "0.3".
QString floatText(float value)
{
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

} // namespace

Preferences::Preferences(QObject* parent)
    : Preferences(defaultFilePath(), parent)
{}

Preferences::Preferences(const QString& filePath, QObject* parent)
    : QObject(parent)
{
    load(filePath);
    m_writer = std::make_unique<PreferencesWriter>(filePath);
}

Preferences::~Preferences() = default;

QString Preferences::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Sondik/Sondik.conf");
}

void Preferences::load(const QString& path)
{
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    m_volume = finiteFloat(settings->value(volumeKey)).value_or(defaultVolume);

    const QVariant id = settings->value(selectedStationKey);
    if (id.typeId() == QMetaType::QString)
        m_selectedRadioStationId = id.toString();

    if (settings->status() == QSettings::FormatError) {
        // QSettings never writes over a file it could not parse, so every later
        // change would be lost. Keep the damaged file beside the new one and
        // start a clean file with what could be read.
        const QString aside =
            path + QStringLiteral(".damaged-") +
            QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddThhmmss"));
        qCWarning(lcPlayer) << "settings file" << path << "is damaged; kept as" << aside;
        settings.reset();
        if (!QFile::rename(path, aside))
            QFile::remove(path);
        settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        if (m_volume != defaultVolume)
            settings->setValue(volumeKey, floatText(m_volume));
        if (m_selectedRadioStationId)
            settings->setValue(selectedStationKey, *m_selectedRadioStationId);
        settings->sync();
    }
}

void Preferences::setVolume(float volume)
{
    m_volume = volume;
    emit volumeChanged(volume);
    if (m_onVolumeChanged)
        m_onVolumeChanged(volume);
    m_writer->setValue(volumeKey, floatText(m_volume));
}

void Preferences::setSelectedRadioStationId(const std::optional<QString>& id)
{
    m_selectedRadioStationId = id;
    emit selectedRadioStationIdChanged();
    if (m_selectedRadioStationId)
        m_writer->setValue(selectedStationKey, *m_selectedRadioStationId);
    else
        m_writer->remove(selectedStationKey);
}

void Preferences::waitForWrites()
{
    m_writer->flush();
}

QString Preferences::selectedRadioStationIdText() const
{
    return m_selectedRadioStationId.value_or(QString());
}

void Preferences::setSelectedRadioStationIdText(const QString& id)
{
    setSelectedRadioStationId(id.isNull() ? std::nullopt : std::optional<QString>(id));
}
