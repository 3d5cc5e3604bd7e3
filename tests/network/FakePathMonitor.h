#pragma once

#include "network/PathMonitor.h"

#include <thread>
#include <vector>

// Delivers exactly the paths a test gives it, from a thread of its own as the
// system monitor does; deliver() returns once the last one is handed over.
class FakePathMonitor final : public PathMonitor {
public:
    bool start(const std::string& queueLabel, PathUpdateHandler handler) override
    {
        label = queueLabel;
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

    std::string label;

private:
    PathUpdateHandler m_handler;
};
