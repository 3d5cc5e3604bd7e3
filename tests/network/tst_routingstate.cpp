// The rule for "a connection is present" on netlink messages built here as
// the kernel lays them out. tst_netlinkpathmonitor shows the kernel's own
// messages reaching it for plain routes, carrier, addresses and IPv6; here are
// the layouts a namespace of ours does not readily make, and malformed ones.
#include "network/RoutingState.h"

#include <QTest>

#include <linux/nexthop.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/socket.h>

namespace {

template <typename... T> QByteArray raw(const T&... values)
{
    return (QByteArray(reinterpret_cast<const char*>(&values), sizeof values) + ...);
}

using Attributes = QList<std::pair<unsigned short, QByteArray>>;

// Header, fixed part, then the attributes padded as the kernel pads them;
// `claimed` shortens the length the header gives.
template <typename Body>
QByteArray message(std::uint16_t type, const Body& body, const Attributes& attributes = {},
                   std::uint32_t claimed = 0)
{
    QByteArray bytes = QByteArray(NLMSG_HDRLEN, '\0') + raw(body);
    for (const auto& [kind, value] : attributes) {
        bytes += raw(rtattr{static_cast<unsigned short>(RTA_LENGTH(value.size())), kind}) + value;
        bytes = bytes.leftJustified(RTA_ALIGN(bytes.size()), '\0');
    }
    const nlmsghdr header{claimed ? claimed : std::uint32_t(bytes.size()), type, 0, 0, 0};
    return bytes.replace(0, sizeof header, raw(header));
}

QByteArray link(int index, unsigned flags = IFF_UP | IFF_RUNNING, std::uint32_t claimed = 0)
{
    return message(RTM_NEWLINK, ifinfomsg{AF_UNSPEC, 0, 0, index, flags, 0}, {}, claimed);
}

QByteArray route(const Attributes& attributes, unsigned char table = RT_TABLE_MAIN,
                 unsigned char type = RTN_UNICAST)
{
    return message(RTM_NEWROUTE, rtmsg{AF_INET, 0, 0, 0, table, RTPROT_BOOT, 0, type, 0},
                   attributes);
}

QByteArray nexthop(std::uint32_t id, const Attributes& attributes, unsigned flags = 0)
{
    return message(RTM_NEWNEXTHOP, nhmsg{AF_INET, 0, 0, 0, flags},
                   attributes + Attributes{{NHA_ID, raw(id)}});
}

QByteArray group(std::uint32_t first, std::uint32_t second)
{
    return raw(nexthop_grp{first, 0, 0, 0}, nexthop_grp{second, 0, 0, 0});
}

} // namespace

class TestRoutingState : public QObject {
    Q_OBJECT

private slots:
    void connection_data()
    {
        QTest::addColumn<QList<QByteArray>>("dump");
        QTest::addColumn<bool>("connected");
        const QByteArray up2 = link(2), noCarrier3 = link(3, IFF_UP),
                         viaObject = route({{RTA_NH_ID, raw(10u)}});
        const Attributes oif2{{RTA_OIF, raw(2)}}, nhOif2{{NHA_OIF, raw(2)}};
        const auto row = [](const char* name, const QList<QByteArray>& dump, bool connected) {
            QTest::newRow(name) << dump << connected;
        };
        row("default route", {up2, route(oif2)}, true);
        row("loopback", {link(1, IFF_UP | IFF_RUNNING | IFF_LOOPBACK), route({{RTA_OIF, raw(1)}})},
            false);
        row("unreachable", {up2, route(oif2, RT_TABLE_MAIN, RTN_UNREACHABLE)}, false);
        row("policy table", {up2, route(oif2, 100)}, false);
        row("table attribute beyond 255", {up2, route(oif2 + Attributes{{RTA_TABLE, raw(1000)}})},
            false);
        for (unsigned char flags : {0, RTNH_F_DEAD}) {
            const QByteArray hops = raw(rtnexthop{8, 0, 0, 3}, rtnexthop{8, flags, 0, 2});
            row(flags ? "multipath, no usable hop" : "multipath, a running hop",
                {up2, noCarrier3, route({{RTA_MULTIPATH, hops}})}, !flags);
        }
        const QByteArray group12 = nexthop(10, {{NHA_GROUP, group(1, 2)}}),
                         hop3 = nexthop(1, {{NHA_OIF, raw(3)}});
        row("nexthop group, a running member",
            {up2, noCarrier3, viaObject, group12, hop3, nexthop(2, nhOif2)}, true);
        row("nexthop group, the running member dead",
            {up2, noCarrier3, viaObject, group12, hop3, nexthop(2, nhOif2, RTNH_F_DEAD)}, false);
        row("blackhole nexthop",
            {up2, viaObject, nexthop(10, nhOif2 + Attributes{{NHA_BLACKHOLE, {}}})}, false);
        row("group of groups",
            {up2, viaObject, nexthop(10, {{NHA_GROUP, group(11, 11)}}),
             nexthop(11, {{NHA_GROUP, group(2, 2)}}), nexthop(2, nhOif2)},
            false);
        row("nexthop object missing", {up2, viaObject}, false);
        row("truncated link", {link(2, IFF_UP | IFF_RUNNING, NLMSG_LENGTH(4)), route(oif2)}, false);
        row("attribute too short for its value", {up2, route({{RTA_OIF, raw('\2')}})}, false);
    }

    void connection()
    {
        QFETCH(QList<QByteArray>, dump);
        QFETCH(bool, connected);
        RoutingState state;
        for (const QByteArray& bytes : std::as_const(dump))
            state.add(reinterpret_cast<const nlmsghdr*>(bytes.constData()));
        QCOMPARE(state.hasConnection(), connected);
    }
};

QTEST_APPLESS_MAIN(TestRoutingState)
#include "tst_routingstate.moc"
