#include "NetlinkPathMonitor.h"

#include "NetworkLogging.h"
#include "RoutingState.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

#include <linux/netlink.h>
#include <linux/nexthop.h>
#include <linux/rtnetlink.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A dump is answered by the kernel while we read it, so a silent socket means
// something is badly wrong; give up on this round instead of hanging.
constexpr int dumpTimeoutMs = 5000;
// After a failed read of the kernel's state, try again this much later.
constexpr int retryDelayMs = 1000;

std::string systemError(const char* what, int error)
{
    return std::string(what) + ": " + std::error_code(error, std::system_category()).message();
}

class FileDescriptor {
public:
    FileDescriptor() = default;
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

} // namespace

class NetlinkPathMonitor::Worker {
public:
    explicit Worker(PathUpdateHandler handler)
        : m_handler(std::move(handler))
    {}

    bool open(std::string& error)
    {
        m_stop.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
        if (!m_stop.isValid()) {
            error = systemError("eventfd", errno);
            return false;
        }
        return openSockets(error);
    }

    void requestStop()
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_stop.get(), &one, sizeof one);
    }

    void run()
    {
        Phase phase = Phase::Stale;
        for (;;) {
            if (phase == Phase::Broken) {
                std::string error;
                if (!openSockets(error)) {
                    // As when no socket could be opened at all: nothing can
                    // say the connection is missing.
                    if (!std::exchange(m_fellBack, true))
                        m_handler(Path{Path::Status::Satisfied});
                    if (waitForStop(retryDelayMs))
                        return;
                    continue;
                }
                m_fellBack = false;
                phase = Phase::Stale;
            }
            if (phase != Phase::Current) {
                switch (readState()) {
                case Result::Stopped:
                    return;
                case Result::Failed:
                    phase = Phase::Retrying;
                    break;
                case Result::Done:
                    phase = Phase::Current;
                    m_handler(Path{m_state.hasConnection() ? Path::Status::Satisfied
                                                           : Path::Status::Unsatisfied});
                    break;
                }
            }

            std::array<pollfd, 2> fds{{{m_stop.get(), POLLIN, 0}, {m_changes.get(), POLLIN, 0}}};
            const int ready =
                ::poll(fds.data(), fds.size(), phase == Phase::Retrying ? retryDelayMs : -1);
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                // Never end silently with the flag frozen: start over on new
                // sockets, after a pause so that a lasting fault cannot spin.
                const int error = errno;
                // printf-style: checks of a QDebug stream under the sanitizers need
                // a free descriptor, and the failure may be that none is left.
                if (!std::exchange(m_reported, true))
                    qCWarning(lcNetwork,
                              "%s - opening the route socket again and reading the state afresh",
                              systemError("Network path monitor: poll", error).c_str());
                phase = Phase::Broken;
                if (waitForStop(retryDelayMs))
                    return;
                continue;
            }
            if (fds[0].revents)
                return;
            if (ready == 0)
                continue; // retry the failed read
            if (fds[1].revents && drainChanges() && phase == Phase::Current)
                phase = Phase::Stale;
        }
    }

private:
    // Broken: the sockets failed and new ones are needed. Stale: the state is
    // to be read. Retrying: the last read failed; read again after a pause or
    // at the next change. Current: the last path delivered holds.
    enum class Phase { Broken, Stale, Retrying, Current };
    enum class Result { Done, Stopped, Failed };

    // Joins the change groups before the first read of the state, so that
    // nothing can change unseen in between.
    bool openSockets(std::string& error)
    {
        m_changes.reset();
        m_queries.reset();
        if (!openSocket(m_changes, error) || !openSocket(m_queries, error))
            return false;
        for (int group : {RTNLGRP_LINK, RTNLGRP_IPV4_IFADDR, RTNLGRP_IPV6_IFADDR,
                          RTNLGRP_IPV4_ROUTE, RTNLGRP_IPV6_ROUTE}) {
            if (::setsockopt(m_changes.get(), SOL_NETLINK, NETLINK_ADD_MEMBERSHIP, &group,
                             sizeof group) != 0) {
                error = systemError("netlink membership", errno);
                return false;
            }
        }
        // Kernels without nexthop objects have no such group and no such routes.
        const int nexthopGroup = RTNLGRP_NEXTHOP;
        ::setsockopt(m_changes.get(), SOL_NETLINK, NETLINK_ADD_MEMBERSHIP, &nexthopGroup,
                     sizeof nexthopGroup);
        return true;
    }

    // True when a stop was asked for within `milliseconds`.
    bool waitForStop(int milliseconds)
    {
        pollfd stop{m_stop.get(), POLLIN, 0};
        const int ready = ::poll(&stop, 1, milliseconds);
        if (ready < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        std::uint64_t count = 0;
        return ready > 0 || ::read(m_stop.get(), &count, sizeof count) == sizeof count;
    }

    static bool openSocket(FileDescriptor& socket, std::string& error)
    {
        socket.reset(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE));
        if (!socket.isValid()) {
            error = systemError("netlink socket", errno);
            return false;
        }
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        if (::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            error = systemError("netlink bind", errno);
            return false;
        }
        return true;
    }

    // Receives one datagram from the kernel into m_buffer; 0 when none is waiting.
    ssize_t receive(int fd, int& error)
    {
        sockaddr_nl sender{};
        iovec vector{m_buffer.data(), m_buffer.size()};
        for (;;) {
            msghdr message{};
            message.msg_name = &sender;
            message.msg_namelen = sizeof sender;
            message.msg_iov = &vector;
            message.msg_iovlen = 1;
            const ssize_t size = ::recvmsg(fd, &message, MSG_DONTWAIT);
            if (size < 0) {
                if (errno == EINTR)
                    continue;
                error = (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : errno;
                return -1;
            }
            error = 0;
            if (message.msg_flags & MSG_TRUNC) {
                error = EMSGSIZE;
                return -1;
            }
            // Only the kernel speaks for the routing state.
            if (sender.nl_pid != 0)
                continue;
            return size;
        }
    }

    // Reads and forgets every waiting notification; true when one of them (or a
    // lost one: the socket overran) could change the answer.
    bool drainChanges()
    {
        bool relevant = false;
        for (;;) {
            int error = 0;
            ssize_t size = receive(m_changes.get(), error);
            if (size < 0) {
                if (error == 0)
                    return relevant; // drained
                if (error == ENOBUFS || error == EMSGSIZE) {
                    relevant = true; // notifications were lost: read everything again
                    continue;
                }
                return true;
            }
            for (auto* header = reinterpret_cast<nlmsghdr*>(m_buffer.data());
                 NLMSG_OK(header, size); header = NLMSG_NEXT(header, size)) {
                if (RoutingState::isRelevantChange(header))
                    relevant = true;
            }
        }
    }

    Result readState()
    {
        m_state.clear();
        Result result = dump(RTM_GETLINK);
        if (result == Result::Done)
            result = dump(RTM_GETROUTE);
        if (result == Result::Done && m_state.needsNexthops())
            result = dump(RTM_GETNEXTHOP);
        return result;
    }

    // Asks the kernel for a full dump of one kind of object (both address
    // families) and hands each answer to the state. A dump that the kernel
    // marks as interrupted is still taken: the change that interrupted it has
    // its own notification waiting, which brings another full read.
    Result dump(std::uint16_t type)
    {
        struct {
            nlmsghdr header;
            union {
                ifinfomsg link;
                rtmsg route;
                nhmsg nexthop;
            } body;
        } request{};
        std::size_t bodySize = sizeof(ifinfomsg);
        if (type == RTM_GETROUTE)
            bodySize = sizeof(rtmsg);
        else if (type == RTM_GETNEXTHOP)
            bodySize = sizeof(nhmsg);
        request.header.nlmsg_len = NLMSG_LENGTH(bodySize);
        request.header.nlmsg_type = type;
        request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
        request.header.nlmsg_seq = ++m_sequence;

        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        if (::sendto(m_queries.get(), &request, request.header.nlmsg_len, 0,
                     reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0)
            return Result::Failed;

        for (;;) {
            int error = 0;
            ssize_t size = receive(m_queries.get(), error);
            if (size < 0) {
                if (error != 0)
                    return Result::Failed;
                std::array<pollfd, 2> fds{
                    {{m_stop.get(), POLLIN, 0}, {m_queries.get(), POLLIN, 0}}};
                const int ready = ::poll(fds.data(), fds.size(), dumpTimeoutMs);
                if (ready < 0 && errno != EINTR)
                    return Result::Failed;
                if (fds[0].revents)
                    return Result::Stopped;
                if (ready == 0)
                    return Result::Failed;
                continue;
            }
            for (auto* header = reinterpret_cast<nlmsghdr*>(m_buffer.data());
                 NLMSG_OK(header, size); header = NLMSG_NEXT(header, size)) {
                if (header->nlmsg_seq != m_sequence)
                    continue; // the tail of an earlier, abandoned dump
                if (header->nlmsg_type == NLMSG_DONE) {
                    int status = 0;
                    if (header->nlmsg_len >= NLMSG_LENGTH(sizeof status))
                        std::memcpy(&status, NLMSG_DATA(header), sizeof status);
                    return status < 0 ? Result::Failed : Result::Done;
                }
                if (header->nlmsg_type == NLMSG_ERROR) {
                    int status = -EINVAL;
                    if (header->nlmsg_len >= NLMSG_LENGTH(sizeof status))
                        std::memcpy(&status, NLMSG_DATA(header), sizeof status);
                    if (status != 0)
                        return Result::Failed;
                    continue;
                }
                m_state.add(header);
            }
        }
    }

    PathUpdateHandler m_handler;
    bool m_reported = false;
    bool m_fellBack = false;
    FileDescriptor m_stop;
    FileDescriptor m_changes;
    FileDescriptor m_queries;
    std::uint32_t m_sequence = 0;
    RoutingState m_state;
    alignas(nlmsghdr) std::array<char, 64 * 1024> m_buffer{};
};

NetlinkPathMonitor::NetlinkPathMonitor() = default;

NetlinkPathMonitor::~NetlinkPathMonitor()
{
    if (m_thread.joinable()) {
        m_worker->requestStop();
        m_thread.join();
    }
}

bool NetlinkPathMonitor::start(const std::string& queueLabel, PathUpdateHandler handler)
{
    if (m_worker) {
        m_error = "already started";
        return false;
    }
    auto worker = std::make_unique<Worker>(std::move(handler));
    if (!worker->open(m_error))
        return false;
    // Thread names are at most 15 characters on Linux.
    const std::string threadName = queueLabel.substr(0, 15);
    try {
        m_thread = std::thread([run = worker.get(), threadName] {
            ::pthread_setname_np(::pthread_self(), threadName.c_str());
            run->run();
        });
    } catch (const std::system_error& error) {
        m_error = error.what();
        return false;
    }
    m_worker = std::move(worker);
    return true;
}
