#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

struct mpv_handle;

// Tears mpv cores down off the main thread. mpv_terminate_destroy() blocks
// until the core's threads have stopped (network reads, the audio output), so
// one worker thread does it; the process waits for it, within a time limit,
// when the application object goes away.
class MpvCoreReaper {
public:
    static MpvCoreReaper& instance();

    // Counts a core that was just created.
    void adopt();
    // Takes the core over and destroys it in the background.
    void release(mpv_handle* core);
    int liveCount() const { return m_live.load(); }
    // Destroys what is queued and stops the worker. False when the limit
    // passed first; the worker is then left to finish on its own.
    bool shutdown(std::chrono::milliseconds limit);

private:
    MpvCoreReaper() = default;
    void run();
    void destroy(mpv_handle* core);

    std::atomic<int> m_live{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<mpv_handle*> m_queue;
    std::thread m_worker;
    bool m_busy = false;
    bool m_stopping = false;
    bool m_stopped = false;
};

// Owning handle of one mpv core: its deleter silences the core, detaches it
// from its owner and hands it to the reaper.
struct MpvCoreDeleter {
    void operator()(mpv_handle* core) const;
};
using MpvCore = std::unique_ptr<mpv_handle, MpvCoreDeleter>;
