#include "RoutingState.h"

#include <cstring>
#include <utility>

#include <linux/nexthop.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/socket.h>

namespace {

constexpr unsigned unusableNexthopFlags = RTNH_F_DEAD | RTNH_F_LINKDOWN;

std::uint32_t readU32(const rtattr* attribute)
{
    std::uint32_t value = 0;
    if (RTA_PAYLOAD(attribute) >= sizeof value)
        std::memcpy(&value, RTA_DATA(attribute), sizeof value);
    return value;
}

// The table a route message is about: RTA_TABLE overrides the header's byte.
std::uint32_t routeTable(const nlmsghdr* header)
{
    const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(header));
    std::uint32_t table = route->rtm_table;
    int length = RTM_PAYLOAD(header);
    for (auto* attribute = RTM_RTA(route); RTA_OK(attribute, length);
         attribute = RTA_NEXT(attribute, length)) {
        if (attribute->rta_type == RTA_TABLE)
            table = readU32(attribute);
    }
    return table;
}

} // namespace

void RoutingState::clear()
{
    m_linkFlags.clear();
    m_defaultRoutes.clear();
    m_nexthops.clear();
}

void RoutingState::add(const nlmsghdr* header)
{
    switch (header->nlmsg_type) {
    case RTM_NEWLINK:
        addLink(header);
        break;
    case RTM_NEWROUTE:
        addRoute(header);
        break;
    case RTM_NEWNEXTHOP:
        addNexthop(header);
        break;
    default:
        break;
    }
}

void RoutingState::addLink(const nlmsghdr* header)
{
    if (header->nlmsg_len < NLMSG_LENGTH(sizeof(ifinfomsg)))
        return;
    const auto* link = static_cast<const ifinfomsg*>(NLMSG_DATA(header));
    m_linkFlags[link->ifi_index] = link->ifi_flags;
}

void RoutingState::addRoute(const nlmsghdr* header)
{
    if (header->nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg)))
        return;
    const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(header));
    if ((route->rtm_family != AF_INET && route->rtm_family != AF_INET6) ||
        route->rtm_dst_len != 0 || route->rtm_type != RTN_UNICAST ||
        (route->rtm_flags & unusableNexthopFlags))
        return;

    std::uint32_t table = route->rtm_table;
    DefaultRoute entry;
    int length = RTM_PAYLOAD(header);
    for (auto* attribute = RTM_RTA(route); RTA_OK(attribute, length);
         attribute = RTA_NEXT(attribute, length)) {
        switch (attribute->rta_type) {
        case RTA_TABLE:
            table = readU32(attribute);
            break;
        case RTA_OIF:
            entry.interfaces.push_back(static_cast<int>(readU32(attribute)));
            break;
        case RTA_NH_ID:
            entry.nexthopId = readU32(attribute);
            break;
        case RTA_MULTIPATH: {
            int left = RTA_PAYLOAD(attribute);
            for (auto* hop = static_cast<const rtnexthop*>(RTA_DATA(attribute)); RTNH_OK(hop, left);
                 left -= RTNH_ALIGN(hop->rtnh_len), hop = RTNH_NEXT(hop)) {
                if (!(hop->rtnh_flags & unusableNexthopFlags))
                    entry.interfaces.push_back(hop->rtnh_ifindex);
            }
            break;
        }
        default:
            break;
        }
    }
    if (table == RT_TABLE_MAIN)
        m_defaultRoutes.push_back(std::move(entry));
}

void RoutingState::addNexthop(const nlmsghdr* header)
{
    if (header->nlmsg_len < NLMSG_LENGTH(sizeof(nhmsg)))
        return;
    const auto* message = static_cast<const nhmsg*>(NLMSG_DATA(header));
    std::uint32_t id = 0;
    Nexthop nexthop;
    nexthop.usable = !(message->nh_flags & unusableNexthopFlags);
    int length = static_cast<int>(header->nlmsg_len - NLMSG_LENGTH(sizeof(nhmsg)));
    auto* attribute = reinterpret_cast<const rtattr*>(reinterpret_cast<const char*>(message) +
                                                      NLMSG_ALIGN(sizeof(nhmsg)));
    for (; RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
        switch (attribute->rta_type) {
        case NHA_ID:
            id = readU32(attribute);
            break;
        case NHA_OIF:
            nexthop.interface = static_cast<int>(readU32(attribute));
            break;
        case NHA_BLACKHOLE:
        case NHA_FDB:
            nexthop.usable = false;
            break;
        case NHA_GROUP: {
            const std::size_t count = RTA_PAYLOAD(attribute) / sizeof(nexthop_grp);
            const auto* members = static_cast<const nexthop_grp*>(RTA_DATA(attribute));
            for (std::size_t i = 0; i < count; ++i)
                nexthop.group.push_back(members[i].id);
            break;
        }
        default:
            break;
        }
    }
    if (id != 0)
        m_nexthops[id] = std::move(nexthop);
}

bool RoutingState::needsNexthops() const
{
    for (const DefaultRoute& route : m_defaultRoutes) {
        if (route.nexthopId != 0 && route.interfaces.empty())
            return true;
    }
    return false;
}

// IFF_RUNNING is the kernel's summary of the operational state (up or unknown,
// carrier present), so the flags alone answer "up and running".
bool RoutingState::isUsableInterface(int index) const
{
    const auto link = m_linkFlags.find(index);
    if (link == m_linkFlags.end())
        return false;
    const unsigned flags = link->second;
    return (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
}

bool RoutingState::isUsableNexthop(std::uint32_t id, bool inGroup) const
{
    const auto found = m_nexthops.find(id);
    if (found == m_nexthops.end() || !found->second.usable)
        return false;
    const Nexthop& nexthop = found->second;
    if (nexthop.group.empty())
        return isUsableInterface(nexthop.interface);
    // Groups hold plain nexthops only; the guard keeps a malformed answer finite.
    if (inGroup)
        return false;
    for (std::uint32_t member : nexthop.group) {
        if (isUsableNexthop(member, true))
            return true;
    }
    return false;
}

bool RoutingState::hasConnection() const
{
    for (const DefaultRoute& route : m_defaultRoutes) {
        for (int index : route.interfaces) {
            if (isUsableInterface(index))
                return true;
        }
        if (route.interfaces.empty() && route.nexthopId != 0 && isUsableNexthop(route.nexthopId))
            return true;
    }
    return false;
}

bool RoutingState::isRelevantChange(const nlmsghdr* header)
{
    switch (header->nlmsg_type) {
    case RTM_NEWLINK:
    case RTM_DELLINK:
    case RTM_NEWADDR:
    case RTM_DELADDR:
    case RTM_NEWNEXTHOP:
    case RTM_DELNEXTHOP:
        return true;
    case RTM_NEWROUTE:
    case RTM_DELROUTE:
        // A message too short to say its table might be about the main one.
        return header->nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg)) ||
               routeTable(header) == RT_TABLE_MAIN;
    default:
        return false;
    }
}
