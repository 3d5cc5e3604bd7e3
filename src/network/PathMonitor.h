#pragma once

#include <functional>
#include <string>

// Watches whether the machine has a usable network path and reports each new
// path to a handler on the monitor's own serial queue (a thread of its own).
class PathMonitor {
public:
    struct Path {
        enum class Status {
            Satisfied,
            Unsatisfied,
            // A path exists but a connection has to be brought up first.
            RequiresConnection,
        };
        Status status = Status::Unsatisfied;
    };

    using PathUpdateHandler = std::function<void(const Path&)>;

    virtual ~PathMonitor() = default;

    // Starts monitoring on a queue labelled queueLabel. The handler is called on
    // that queue, one call at a time, with the current path first and then with
    // each new one; the last path delivered is the current one. Returns false,
    // and never calls the handler, when monitoring cannot start; errorString()
    // then says why. Destroying the monitor stops the queue; no handler runs
    // after the destructor has returned. The handler must not destroy the
    // monitor.
    virtual bool start(const std::string& queueLabel, PathUpdateHandler handler) = 0;

    virtual std::string errorString() const { return {}; }
};
