#pragma once

#include <QList>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Writes settings to their INI file on a thread of its own: each write goes
// to disk at once, but its sync to the disk (about a millisecond, far more on
// a slow disk) never holds up the main thread. Writes that arrive while one
// is being synced are taken together, the last value of each key winning.
class PreferencesWriter {
public:
    explicit PreferencesWriter(QString filePath);
    // Writes what is still pending, then stops.
    ~PreferencesWriter();

    PreferencesWriter(const PreferencesWriter&) = delete;
    PreferencesWriter& operator=(const PreferencesWriter&) = delete;

    void setValue(const QString& key, const QString& value);
    void remove(const QString& key);
    // Returns once everything handed over so far is on disk.
    void flush();

private:
    struct Change {
        QString key;
        std::optional<QString> value; // none: remove the key
    };
    void put(Change change);
    void run();

    const QString m_filePath;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    QList<Change> m_pending;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_worker;
};
