#include "ConnectionStream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <utility>

namespace offline {

namespace {

// The server binds 127.0.0.1 alone, so both ends are IPv4 addresses.
void describe(const sockaddr_in& address, std::string& ip, int& port) {
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address.sin_addr, text, sizeof text)) {
        ip = text;
        port = ntohs(address.sin_port);
    }
}

// Past the head only a body would be read, which the pages never take.
constexpr std::size_t kReadSize = 4096;

} // namespace

ConnectionStream::ConnectionStream(int socket, int wake, std::chrono::milliseconds writeLimit,
                                   Clock::time_point readDeadline, std::vector<char> buffered)
    : socket_(socket), wake_(wake), writeLimit_(writeLimit), readDeadline_(readDeadline),
      buffer_(std::move(buffered)) {}

std::vector<char> ConnectionStream::takeUnread() {
    buffer_.erase(buffer_.begin(), buffer_.begin() + std::ptrdiff_t(begin_));
    begin_ = 0;
    return std::move(buffer_);
}

bool ConnectionStream::readyBefore(short events, Clock::time_point deadline) const {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd watched[2] = {{socket_, events, 0}, {wake_, POLLIN, 0}};
        const int ready = ::poll(watched, 2, int(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0 && watched[1].revents == 0 && watched[0].revents != 0;
    }
}

bool ConnectionStream::is_readable() const {
    return begin_ != buffer_.size() || readyBefore(POLLIN, readDeadline_);
}

bool ConnectionStream::is_writable() const {
    return readyBefore(POLLOUT, Clock::now() + writeLimit_);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (begin_ == buffer_.size()) {
        if (!readyBefore(POLLIN, readDeadline_)) {
            return -1;
        }
        buffer_.resize(kReadSize);
        ssize_t got = 0;
        do {
            got = ::recv(socket_, buffer_.data(), buffer_.size(), 0);
        } while (got < 0 && errno == EINTR);
        begin_ = 0;
        buffer_.resize(got > 0 ? std::size_t(got) : 0);
        if (got <= 0) {
            return got;
        }
    }
    const std::size_t taken = std::min(size, buffer_.size() - begin_);
    std::memcpy(ptr, buffer_.data() + begin_, taken);
    begin_ += taken;
    return ssize_t(taken);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    if (!is_writable()) {
        return -1;
    }
    ssize_t sent = 0;
    do {
        // A client that has gone must not end the program with SIGPIPE.
        sent = ::send(socket_, ptr, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (::getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        describe(address, ip, port);
    }
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        describe(address, ip, port);
    }
}

socket_t ConnectionStream::socket() const {
    return socket_;
}

} // namespace offline
