#include "BoundedHttpServer.h"

#include "ConnectionStream.h"

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <utility>

namespace offline {

namespace {

// The library gives each accepted connection to a queue of tasks; this one
// runs the task at once, on the listening thread, and the task only hands
// the connection to the reader of heads. Once the library stops accepting,
// it shuts the queue, which ends the reader and the workers.
class HandOver : public httplib::TaskQueue {
public:
    explicit HandOver(std::function<void()> end) : end_(std::move(end)) {}
    void enqueue(std::function<void()> task) override { task(); }
    void shutdown() override { end_(); }

private:
    const std::function<void()> end_;
};

void closeSocket(int socket) {
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
}

} // namespace

BoundedHttpServer::BoundedHttpServer(const Limits& limits)
    : limits_(limits), wake_(::eventfd(0, EFD_CLOEXEC)), workers_(limits.workers),
      heads_({.idle = limits.idle,
              .request = limits.request,
              .head = limits.head,
              .connections = limits.waiting},
             [this](HeadReader::Connection connection) {
                 const int socket = connection.socket;
                 try {
                     workers_.enqueue([this, connection = std::move(connection)]() mutable {
                         answer(std::move(connection));
                     });
                 } catch (const std::exception&) {
                     // Not queued, so nobody else has it.
                     closeSocket(socket);
                 }
             }) {
    new_task_queue = [this] { return new HandOver([this] { endConnections(); }); };
}

BoundedHttpServer::~BoundedHttpServer() {
    endConnections();
    if (wake_ >= 0) {
        ::close(wake_);
    }
}

int BoundedHttpServer::bindToAnyPort(const std::string& host) {
    const int port = bind_to_any_port(host);
    if (port <= 0) {
        return port;
    }
    // The library listens with room for five connections not yet accepted.
    // Once a burst of connections fills that, the system drops the next
    // ones' first packets and their clients retry a second later, so a page
    // would wait a second behind other programs' connections. Listening
    // again on the bound socket only makes the queue longer.
    ::listen(svr_sock_, SOMAXCONN);
    if (!heads_.start()) {
        ::close(svr_sock_.exchange(INVALID_SOCKET));
        return -1;
    }
    return port;
}

void BoundedHttpServer::stopNow() {
    // The counter stays above zero, so every wait from now on ends at once,
    // also those of requests still queued for a worker. Without the
    // descriptor (it could not be made) the limits end them all the same.
    if (wake_ >= 0) {
        const std::uint64_t one = 1;
        // Fails only when the counter would overflow.
        [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
    }
    stop();
}

bool BoundedHttpServer::process_and_close_socket(socket_t sock) {
    // As many requests on one connection as the library would take.
    heads_.add({.socket = sock, .bytes = {}, .requestsLeft = keep_alive_max_count_});
    return true;
}

void BoundedHttpServer::answer(HeadReader::Connection connection) {
    const int socket = connection.socket;
    std::optional<HeadReader::Connection> next;
    try {
        ConnectionStream stream(socket, wake_, limits_.write,
                                ConnectionStream::Clock::now() + limits_.request,
                                std::move(connection.bytes));
        bool closed = false;
        const bool last = connection.requestsLeft <= 1;
        if (process_request(stream, last, closed, nullptr) && !closed && !last) {
            next = HeadReader::Connection{socket, stream.takeUnread(), connection.requestsLeft - 1};
        }
    } catch (const std::exception&) {
        // The library catches what the pages' handler throws; anything else
        // (out of memory) ends this connection alone.
        next.reset();
    }
    if (next) {
        heads_.add(std::move(*next));
    } else {
        closeSocket(socket);
    }
}

void BoundedHttpServer::endConnections() {
    // The reader first: it gives workers no more requests, and what they
    // give back to it from now on it closes.
    heads_.stop();
    workers_.shutdown();
}

} // namespace offline
