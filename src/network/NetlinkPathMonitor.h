#pragma once

#include "PathMonitor.h"

#include <memory>
#include <string>
#include <thread>

// Path monitor over the kernel's routing netlink socket (Linux). The path is
// satisfied while RoutingState finds a connection.
//
// The thread sleeps in poll() until the kernel reports a change to links,
// addresses, routes or nexthops; it then reads the whole state again and
// delivers one path per burst of changes. Should the sockets fail, it says so
// once, delivers a satisfied path while it cannot open new ones (as when none
// could be opened at the start), and reads the state afresh once it can.
class NetlinkPathMonitor final : public PathMonitor {
public:
    NetlinkPathMonitor();
    ~NetlinkPathMonitor() override;

    NetlinkPathMonitor(const NetlinkPathMonitor&) = delete;
    NetlinkPathMonitor& operator=(const NetlinkPathMonitor&) = delete;

    bool start(const std::string& queueLabel, PathUpdateHandler handler) override;
    std::string errorString() const override { return m_error; }

private:
    class Worker;

    std::unique_ptr<Worker> m_worker;
    std::thread m_thread;
    std::string m_error;
};
