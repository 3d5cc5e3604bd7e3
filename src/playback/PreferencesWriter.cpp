#include "PreferencesWriter.h"

#include "PlaybackLogging.h"

#include <QSettings>

PreferencesWriter::PreferencesWriter(QString filePath)
    : m_filePath(std::move(filePath))
    , m_worker([this] { run(); })
{}

PreferencesWriter::~PreferencesWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_worker.join();
}

void PreferencesWriter::setValue(const QString& key, const QString& value)
{
    put({key, value});
}

void PreferencesWriter::remove(const QString& key)
{
    put({key, std::nullopt});
}

void PreferencesWriter::put(Change change)
{
    {
        std::lock_guard lock(m_mutex);
        // Only the last value of a key matters.
        m_pending.removeIf([&](const Change& c) { return c.key == change.key; });
        m_pending.append(std::move(change));
    }
    m_wake.notify_one();
}

void PreferencesWriter::flush()
{
    std::unique_lock lock(m_mutex);
    m_written.wait(lock, [this] { return m_pending.isEmpty() && !m_busy; });
}

void PreferencesWriter::run()
{
    // Made and used on this thread only.
    QSettings settings(m_filePath, QSettings::IniFormat);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_pending.isEmpty() || m_stopping; });
        if (m_pending.isEmpty())
            return;
        const QList<Change> changes = std::exchange(m_pending, {});
        m_busy = true;
        lock.unlock();
        for (const Change& change : changes) {
            if (change.value)
                settings.setValue(change.key, *change.value);
            else
                settings.remove(change.key);
        }
        settings.sync();
        if (settings.status() != QSettings::NoError)
            qCWarning(lcPlayer) << "could not write settings to" << m_filePath;
        lock.lock();
        m_busy = false;
        m_written.notify_all();
    }
}
