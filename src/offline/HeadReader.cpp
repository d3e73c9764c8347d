#include "HeadReader.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <exception>
#include <new>
#include <string_view>
#include <system_error>

namespace offline {

namespace {

constexpr std::string_view kHeadEnd = "\r\n\r\n";

constexpr char kTooLarge[] = "HTTP/1.1 431 Request Header Fields Too Large\r\n"
                             "Content-Type: text/plain; charset=utf-8\r\n"
                             "Content-Length: 32\r\n"
                             "Connection: close\r\n\r\n"
                             "Request header fields too large\n";
static_assert(sizeof kTooLarge - 1 - std::string_view(kTooLarge).find(kHeadEnd) - 4 == 32);

void closeSocket(int socket) {
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
}

std::size_t halfTheDescriptors() {
    rlimit open{};
    if (::getrlimit(RLIMIT_NOFILE, &open) != 0 || open.rlim_cur == RLIM_INFINITY) {
        return SIZE_MAX;
    }
    return std::size_t(open.rlim_cur / 2);
}

} // namespace

HeadReader::HeadReader(const Limits& limits, Ready ready)
    : limits_(limits), ready_(std::move(ready)) {}

HeadReader::~HeadReader() {
    stop();
    for (const int fd : {epoll_, notify_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool HeadReader::start() {
    if (thread_.joinable()) {
        return true;
    }
    connections_ = std::max<std::size_t>(1, std::min(limits_.connections, halfTheDescriptors()));
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    notify_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = notify_;
    if (epoll_ < 0 || notify_ < 0 || ::epoll_ctl(epoll_, EPOLL_CTL_ADD, notify_, &event) != 0) {
        return false;
    }
    {
        const std::lock_guard lock(mutex_);
        reading_ = true;
    }
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        closeIncoming();
        return false;
    }
    return true;
}

void HeadReader::add(Connection connection) {
    {
        std::unique_lock lock(mutex_);
        if (reading_) {
            try {
                incoming_.push_back(std::move(connection));
                lock.unlock();
                const std::uint64_t one = 1;
                [[maybe_unused]] const ssize_t written = ::write(notify_, &one, sizeof one);
                return;
            } catch (const std::bad_alloc&) {
                // Left as it was: closed below.
            }
        }
    }
    closeSocket(connection.socket);
}

void HeadReader::stop() {
    if (thread_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            reading_ = false;
        }
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(notify_, &one, sizeof one);
        thread_.join();
    }
    closeIncoming();
}

void HeadReader::closeIncoming() {
    const std::lock_guard lock(mutex_);
    reading_ = false;
    for (const Connection& connection : incoming_) {
        closeSocket(connection.socket);
    }
    incoming_.clear();
}

void HeadReader::run() {
    try {
        std::array<epoll_event, 64> events;
        for (;;) {
            const int count = ::epoll_wait(epoll_, events.data(), int(events.size()), timeout());
            if (count < 0 && errno != EINTR) {
                break;
            }
            bool reading = true;
            for (int i = 0; i < count && reading; ++i) {
                if (events[i].data.fd != notify_) {
                    readFrom(events[i].data.fd);
                } else {
                    reading = takeIncoming();
                }
            }
            if (!reading) {
                break;
            }
            dropExpired();
        }
    } catch (const std::exception&) {
        // Nothing here is expected to throw; should it, the connections are
        // given up rather than the program.
    }
    dropAll();
    // Those that come from now on are closed as they come.
    closeIncoming();
}

bool HeadReader::takeIncoming() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(notify_, &count, sizeof count);
    std::vector<Connection> taken;
    {
        const std::lock_guard lock(mutex_);
        if (!reading_) {
            return false;
        }
        taken.swap(incoming_);
    }
    for (Connection& connection : taken) {
        admit(std::move(connection));
    }
    return true;
}

void HeadReader::admit(Connection connection) {
    const int socket = connection.socket;
    if (waiting_.size() >= connections_ && !deadlines_.empty()) {
        const int nearest = deadlines_.begin()->second;
        deadlines_.erase(deadlines_.begin());
        drop(nearest);
    }
    try {
        Waiting& waiting = waiting_[socket];
        waiting.bytes = std::move(connection.bytes);
        waiting.requestsLeft = connection.requestsLeft;
        // Bytes left over from the last request mean the next one has begun.
        const auto limit = waiting.bytes.empty() ? limits_.idle : limits_.request;
        setDeadline(socket, waiting, Clock::now() + limit);
    } catch (const std::bad_alloc&) {
        drop(socket);
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = socket;
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, socket, &event) != 0) {
        drop(socket);
    } else if (!waiting_[socket].bytes.empty()) {
        examine(socket, 0);
    }
}

void HeadReader::readFrom(int socket) {
    const auto found = waiting_.find(socket);
    if (found == waiting_.end()) {
        return;
    }
    Waiting& waiting = found->second;
    // One read per turn, so a client that sends without pause cannot keep
    // the others waiting; never more than one byte past the longest head.
    std::array<char, 16384> chunk;
    const std::size_t room = waiting.refused
                                 ? chunk.size()
                                 : std::min(chunk.size(), limits_.head + 1 - waiting.bytes.size());
    ssize_t got = 0;
    do {
        got = ::recv(socket, chunk.data(), room, MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        return;
    }
    if (got <= 0) {
        drop(socket);
        return;
    }
    if (waiting.refused) {
        return;
    }
    const std::size_t before = waiting.bytes.size();
    const std::size_t needed = before + std::size_t(got);
    try {
        // Grown by hand: left to itself the vector would double past the
        // limit and hold twice what any head may.
        if (needed > waiting.bytes.capacity()) {
            waiting.bytes.reserve(
                std::min(limits_.head + 1, std::max(needed, 2 * waiting.bytes.capacity())));
        }
    } catch (const std::bad_alloc&) {
        drop(socket);
        return;
    }
    waiting.bytes.insert(waiting.bytes.end(), chunk.data(), chunk.data() + got);
    if (before == 0) {
        setDeadline(socket, waiting, Clock::now() + limits_.request);
    }
    // The end of the head may straddle two reads.
    examine(socket, before < kHeadEnd.size() ? 0 : before - (kHeadEnd.size() - 1));
}

void HeadReader::examine(int socket, std::size_t searchFrom) {
    Waiting& waiting = waiting_.at(socket);
    const std::string_view seen(waiting.bytes.data(), waiting.bytes.size());
    const std::size_t end = seen.find(kHeadEnd, searchFrom);
    // Without its end, the head is longer than all that has come so far.
    const std::size_t atLeast = end == seen.npos ? seen.size() + 1 : end + kHeadEnd.size();
    if (atLeast > limits_.head) {
        refuse(socket, waiting);
    } else if (end != seen.npos) {
        Connection complete{socket, std::move(waiting.bytes), waiting.requestsLeft};
        forget(socket);
        ready_(std::move(complete));
    }
}

void HeadReader::refuse(int socket, Waiting& waiting) {
    // The answer is short: the socket's buffer takes it whole unless the
    // client has left earlier answers unread, and then it is not reading.
    [[maybe_unused]] const ssize_t sent =
        ::send(socket, kTooLarge, sizeof kTooLarge - 1, MSG_DONTWAIT | MSG_NOSIGNAL);
    ::shutdown(socket, SHUT_WR);
    std::vector<char>().swap(waiting.bytes);
    waiting.refused = true;
    setDeadline(socket, waiting, Clock::now() + limits_.request);
}

void HeadReader::setDeadline(int socket, Waiting& waiting, Clock::time_point deadline) {
    // Moving the set's node allocates nothing; only a new connection does.
    auto node = deadlines_.extract({waiting.deadline, socket});
    waiting.deadline = deadline;
    if (node.empty()) {
        deadlines_.emplace(deadline, socket);
        return;
    }
    node.value() = {deadline, socket};
    deadlines_.insert(std::move(node));
}

void HeadReader::forget(int socket) {
    const auto found = waiting_.find(socket);
    if (found == waiting_.end()) {
        return;
    }
    deadlines_.erase({found->second.deadline, socket});
    waiting_.erase(found);
    // Closing alone would leave it watched while a child process, forked in
    // the meantime, still holds a copy of the descriptor.
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, socket, nullptr);
}

void HeadReader::drop(int socket) {
    forget(socket);
    closeSocket(socket);
}

void HeadReader::dropExpired() {
    const auto now = Clock::now();
    while (!deadlines_.empty() && deadlines_.begin()->first <= now) {
        const int socket = deadlines_.begin()->second;
        deadlines_.erase(deadlines_.begin());
        drop(socket);
    }
}

int HeadReader::timeout() const {
    if (deadlines_.empty()) {
        return -1;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadlines_.begin()->first - Clock::now());
    return int(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

void HeadReader::dropAll() {
    for (const auto& [socket, waiting] : waiting_) {
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, socket, nullptr);
        closeSocket(socket);
    }
    waiting_.clear();
    deadlines_.clear();
}

} // namespace offline
