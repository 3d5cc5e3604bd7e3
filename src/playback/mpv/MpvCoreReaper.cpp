#include "MpvCoreReaper.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <mpv/client.h>

#include <cstdlib>

namespace {

// How long the end of the program waits for cores still going down.
constexpr std::chrono::milliseconds exitLimit{5000};

void shutdownAtExit()
{
    if (!MpvCoreReaper::instance().shutdown(exitLimit))
        qWarning("Sondik: media cores still going down at exit");
}

} // namespace

MpvCoreReaper& MpvCoreReaper::instance()
{
    // Never destroyed: a worker that outlives the exit limit must not find
    // its queue gone while static objects are torn down.
    static MpvCoreReaper* reaper = new MpvCoreReaper;
    return *reaper;
}

void MpvCoreReaper::adopt()
{
    m_live.fetch_add(1);
}

void MpvCoreReaper::release(mpv_handle* core)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_stopped) {
            if (!m_worker.joinable()) {
                m_worker = std::thread([this] { run(); });
                // The application object's end comes before static
                // destruction, while the libraries the cores use still work.
                if (QCoreApplication::instance())
                    qAddPostRoutine(shutdownAtExit);
                else
                    std::atexit(shutdownAtExit);
            }
            m_queue.push_back(core);
            m_wake.notify_one();
            return;
        }
    }
    // Past the end of the application object: nothing to hand over to.
    destroy(core);
}

bool MpvCoreReaper::shutdown(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    if (m_stopped)
        return true;
    m_stopping = true;
    m_wake.notify_one();
    const bool done = m_idle.wait_for(lock, limit, [this] { return m_queue.empty() && !m_busy; });
    m_stopped = true;
    lock.unlock();
    if (m_worker.joinable()) {
        if (done)
            m_worker.join();
        else
            m_worker.detach();
    }
    return done;
}

void MpvCoreReaper::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_queue.empty()) {
            m_idle.notify_all();
            return;
        }
        mpv_handle* core = m_queue.front();
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        destroy(core);
        lock.lock();
        m_busy = false;
        if (m_queue.empty())
            m_idle.notify_all();
    }
}

void MpvCoreReaper::destroy(mpv_handle* core)
{
    mpv_terminate_destroy(core);
    m_live.fetch_sub(1);
}

void MpvCoreDeleter::operator()(mpv_handle* core) const
{
    // After this returns no wakeup callback runs any more, so the owner may go.
    mpv_set_wakeup_callback(core, nullptr, nullptr);
    // Silence it now; the teardown itself may wait behind another core's.
    const char* stop[] = {"stop", nullptr};
    mpv_command_async(core, 0, stop);
    MpvCoreReaper::instance().release(core);
}
