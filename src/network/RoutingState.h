#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <linux/netlink.h>

// What the kernel's route netlink dumps say about links, default routes and
// nexthop objects at one moment; just enough to tell whether a connection is
// present: some default route of the main table (IPv4 0.0.0.0/0 or IPv6 ::/0)
// leaves through an interface that is up, running and not loopback.
class RoutingState {
public:
    void clear();
    // Takes one message of a dump: RTM_NEWLINK, RTM_NEWROUTE or RTM_NEWNEXTHOP.
    // Anything else, and any message too short for its kind, is ignored.
    void add(const nlmsghdr* header);

    // Routes through nexthop objects name no interface of their own unless the
    // kernel's compatibility mode adds it; only then do we need the objects.
    bool needsNexthops() const;
    bool hasConnection() const;

    // Whether a change notification could alter the answer. Routes of other
    // tables (local, policy tables) do not; addresses do, because removing an
    // IPv4 address drops its routes without a route notification.
    static bool isRelevantChange(const nlmsghdr* header);

private:
    struct DefaultRoute {
        std::vector<int> interfaces; // usable-looking nexthops only
        std::uint32_t nexthopId = 0; // route refers to a nexthop object
    };
    struct Nexthop {
        int interface = 0;
        bool usable = false;
        std::vector<std::uint32_t> group;
    };

    void addLink(const nlmsghdr* header);
    void addRoute(const nlmsghdr* header);
    void addNexthop(const nlmsghdr* header);
    bool isUsableInterface(int index) const;
    bool isUsableNexthop(std::uint32_t id, bool inGroup = false) const;

    std::unordered_map<int, unsigned> m_linkFlags;
    std::vector<DefaultRoute> m_defaultRoutes;
    std::unordered_map<std::uint32_t, Nexthop> m_nexthops;
};
