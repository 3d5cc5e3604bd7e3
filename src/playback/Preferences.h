#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <memory>
#include <optional>

class PreferencesWriter;

// The two settings the program remembers: the playback volume and the station
// the user chose last. Every write notifies at once and is handed at once to
// a writer thread that puts it on disk, so a program killed right after a
// choice still has it next time while a dragged slider never waits for the disk.
class Preferences : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the one Preferences")
    Q_PROPERTY(float volume READ volume WRITE setVolume NOTIFY volumeChanged)
    // A null string in QML stands for "no station chosen".
    Q_PROPERTY(QString selectedRadioStationId READ selectedRadioStationIdText WRITE
                   setSelectedRadioStationIdText NOTIFY selectedRadioStationIdChanged)

public:
    static constexpr float defaultVolume = 0.5f;

    // Settings in the user's configuration folder.
    explicit Preferences(QObject* parent = nullptr);
    // Settings in the given INI file (tests point this at a temporary folder).
    explicit Preferences(const QString& filePath, QObject* parent = nullptr);
    ~Preferences() override;

    static QString defaultFilePath();

    float volume() const { return m_volume; }
    void setVolume(float volume);

    std::optional<QString> selectedRadioStationId() const { return m_selectedRadioStationId; }
    void setSelectedRadioStationId(const std::optional<QString>& id);

    // Returns once every write so far is on disk.
    void waitForWrites();

    // Called with the new volume on every write, before it is persisted.
    // Installing a hook replaces the previous one.
    void setOnVolumeChanged(std::function<void(float)> hook)
    {
        m_onVolumeChanged = std::move(hook);
    }

signals:
    void volumeChanged(float volume);
    void selectedRadioStationIdChanged();

private:
    QString selectedRadioStationIdText() const;
    void setSelectedRadioStationIdText(const QString& id);
    void load(const QString& path);

    std::unique_ptr<PreferencesWriter> m_writer;
    std::function<void(float)> m_onVolumeChanged;
    float m_volume = defaultVolume;
    std::optional<QString> m_selectedRadioStationId;
};
