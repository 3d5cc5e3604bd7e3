// The rule for "a connection is present" on netlink messages built here as
// the kernel lays them out; tst_netlinkpathmonitor shows that the kernel's
// own messages reach it.
#include "network/RoutingState.h"

#include <QTest>

#include <cstring>
#include <initializer_list>

#include <linux/if_addr.h>
#include <linux/nexthop.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/socket.h>

namespace {

// Header, fixed part, attributes; `claimed` shortens the length the header gives.
template <typename Body>
QByteArray message(std::uint16_t type, const Body& body, const QByteArray& attributes = {},
                   std::uint32_t claimed = 0)
{
    QByteArray bytes(NLMSG_SPACE(sizeof body), '\0');
    std::memcpy(bytes.data() + NLMSG_HDRLEN, &body, sizeof body);
    bytes += attributes;
    const nlmsghdr header{claimed ? claimed : std::uint32_t(bytes.size()), type, 0, 0, 0};
    std::memcpy(bytes.data(), &header, sizeof header);
    return bytes;
}

template <typename T> QByteArray attribute(std::uint16_t type, std::initializer_list<T> items)
{
    const rtattr header{static_cast<unsigned short>(RTA_LENGTH(items.size() * sizeof(T))), type};
    QByteArray bytes(reinterpret_cast<const char*>(&header), sizeof header);
    for (const T& item : items)
        bytes.append(reinterpret_cast<const char*>(&item), sizeof item);
    return bytes.leftJustified(RTA_ALIGN(bytes.size()), '\0');
}

QByteArray u32(std::uint16_t type, std::uint32_t value)
{
    return attribute(type, {value});
}

constexpr unsigned running = IFF_UP | IFF_RUNNING;

QByteArray link(int index, unsigned flags, std::uint32_t claimed = 0)
{
    return message(RTM_NEWLINK, ifinfomsg{AF_UNSPEC, 0, 0, index, flags, 0}, {}, claimed);
}

struct Route {
    unsigned char family = AF_INET, dstLen = 0, table = RT_TABLE_MAIN, type = RTN_UNICAST;
    unsigned flags = 0;
    std::uint16_t kind = RTM_NEWROUTE;
    std::uint32_t claimed = 0;
};

QByteArray route(const QByteArray& attributes, Route r = {})
{
    const rtmsg body{r.family, r.dstLen, 0, 0, r.table, RTPROT_BOOT, 0, r.type, r.flags};
    return message(r.kind, body, attributes, r.claimed);
}

QByteArray nexthop(std::uint32_t id, const QByteArray& attributes, unsigned flags = 0)
{
    return message(RTM_NEWNEXTHOP, nhmsg{AF_INET, 0, 0, 0, flags}, u32(NHA_ID, id) + attributes);
}

QByteArray group(std::uint32_t first, std::uint32_t second)
{
    return attribute<nexthop_grp>(NHA_GROUP, {{first, 0, 0, 0}, {second, 0, 0, 0}});
}

} // namespace

class TestRoutingState : public QObject {
    Q_OBJECT

private slots:
    void connection_data()
    {
        QTest::addColumn<QList<QByteArray>>("dump");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("needsNexthops");
        const QByteArray up2 = link(2, running), noCarrier3 = link(3, IFF_UP),
                         oif2 = u32(RTA_OIF, 2), viaObject = route(u32(RTA_NH_ID, 10));
        const auto row = [](const char* name, const QList<QByteArray>& dump, bool connected,
                            bool needsNexthops = false) {
            QTest::newRow(name) << dump << connected << needsNexthops;
        };
        row("ipv4 default route", {up2, route(oif2)}, true);
        row("ipv6 default route", {up2, route(oif2, {.family = AF_INET6})}, true);
        row("no route", {up2}, false);
        row("link without carrier", {link(2, IFF_UP), route(oif2)}, false);
        row("loopback", {link(1, running | IFF_LOOPBACK), route(u32(RTA_OIF, 1))}, false);
        row("unknown interface", {route(oif2)}, false);
        row("not a default route", {up2, route(oif2, {.dstLen = 24})}, false);
        row("unreachable", {up2, route(oif2, {.type = RTN_UNREACHABLE})}, false);
        row("dead route", {up2, route(oif2, {.flags = RTNH_F_LINKDOWN})}, false);
        row("policy table", {up2, route(oif2, {.table = 100})}, false);
        row("table attribute beyond 255", {up2, route(oif2 + u32(RTA_TABLE, 1000))}, false);
        row("table attribute says main",
            {up2, route(oif2 + u32(RTA_TABLE, RT_TABLE_MAIN), {.table = RT_TABLE_COMPAT})}, true);
        const auto hops = [](unsigned char secondFlags) {
            return route(
                attribute<rtnexthop>(RTA_MULTIPATH, {{8, 0, 0, 3}, {8, secondFlags, 0, 2}}));
        };
        row("multipath, a running hop", {up2, noCarrier3, hops(0)}, true);
        row("multipath, no usable hop", {up2, noCarrier3, hops(RTNH_F_DEAD)}, false);
        const QByteArray nhOif2 = u32(NHA_OIF, 2), group12 = nexthop(10, group(1, 2)),
                         hop3 = nexthop(1, u32(NHA_OIF, 3));
        row("nexthop group, a running member",
            {up2, noCarrier3, viaObject, group12, hop3, nexthop(2, nhOif2)}, true, true);
        row("nexthop group, the running member dead",
            {up2, noCarrier3, viaObject, group12, hop3, nexthop(2, nhOif2, RTNH_F_DEAD)}, false,
            true);
        row("blackhole nexthop",
            {up2, viaObject, nexthop(10, nhOif2 + attribute<char>(NHA_BLACKHOLE, {}))}, false,
            true);
        row("group of groups",
            {up2, viaObject, nexthop(10, group(11, 11)), nexthop(11, group(2, 2)),
             nexthop(2, nhOif2)},
            false, true);
        row("nexthop object missing", {up2, viaObject}, false, true);
        row("compatibility mode names the interface", {up2, route(u32(RTA_NH_ID, 10) + oif2)},
            true);
        row("truncated link", {link(2, running, NLMSG_LENGTH(4)), route(oif2)}, false);
        row("attribute too short for its value", {up2, route(attribute<char>(RTA_OIF, {2}))},
            false);
    }

    void connection()
    {
        QFETCH(QList<QByteArray>, dump);
        QFETCH(bool, connected);
        QFETCH(bool, needsNexthops);
        RoutingState state;
        for (const QByteArray& bytes : std::as_const(dump))
            state.add(reinterpret_cast<const nlmsghdr*>(bytes.constData()));
        QCOMPARE(state.hasConnection(), connected);
        QCOMPARE(state.needsNexthops(), needsNexthops);
        state.clear();
        QVERIFY(!state.hasConnection());
    }

    void relevantChange_data()
    {
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<bool>("relevant");
        QTest::newRow("link") << link(2, 0) << true;
        QTest::newRow("address gone") << message(RTM_DELADDR, ifaddrmsg{}) << true;
        QTest::newRow("nexthop gone") << message(RTM_DELNEXTHOP, nhmsg{}) << true;
        QTest::newRow("main table route") << route({}, {.kind = RTM_DELROUTE}) << true;
        QTest::newRow("local table route") << route({}, {.table = RT_TABLE_LOCAL}) << false;
        QTest::newRow("table attribute says main")
            << route(u32(RTA_TABLE, RT_TABLE_MAIN), {.table = RT_TABLE_COMPAT}) << true;
        QTest::newRow("table attribute beyond 255") << route(u32(RTA_TABLE, 1000)) << false;
        QTest::newRow("route too short to say") << route({}, {.table = 100, .claimed = 20}) << true;
        QTest::newRow("neighbour") << message(RTM_NEWNEIGH, ifaddrmsg{}) << false;
    }

    void relevantChange()
    {
        QFETCH(QByteArray, change);
        QFETCH(bool, relevant);
        QCOMPARE(RoutingState::isRelevantChange(reinterpret_cast<const nlmsghdr*>(change.data())),
                 relevant);
    }
};

QTEST_APPLESS_MAIN(TestRoutingState)
#include "tst_routingstate.moc"
