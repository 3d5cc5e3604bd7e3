#pragma once

#include "network/PathMonitor.h"

#include <thread>
#include <vector>

// Delivers exactly the paths a test gives it, from a thread of its own as the
// system monitor does; deliver() returns once the last one is handed over.
class FakePathMonitor final : public PathMonitor {
public:
    bool start(const std::string&, PathUpdateHandler handler) override
    {
        m_handler = std::move(handler);
        return true;
    }
    void deliver(const std::vector<Path::Status>& statuses)
    {
        std::thread([this, statuses] {
            for (Path::Status status : statuses)
                m_handler(Path{status});
        }).join();
    }

private:
    PathUpdateHandler m_handler;
};
