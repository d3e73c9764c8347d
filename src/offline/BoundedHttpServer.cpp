#include "BoundedHttpServer.h"

#include "ConnectionStream.h"
#include "WorkerPool.h"

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace offline {

BoundedHttpServer::BoundedHttpServer(const Limits& limits)
    : limits_(limits), wake_(::eventfd(0, EFD_CLOEXEC)) {
    const std::size_t workers = limits_.workers;
    new_task_queue = [workers] { return new WorkerPool(workers); };
}

BoundedHttpServer::~BoundedHttpServer() {
    if (wake_ >= 0) {
        ::close(wake_);
    }
}

int BoundedHttpServer::bindToAnyPort(const std::string& host) {
    const int port = bind_to_any_port(host);
    // The library listens with room for five connections not yet accepted.
    // Once a burst of connections fills that, the system drops the next
    // ones' first packets and their clients retry a second later, so a page
    // would wait a second behind other programs' connections. Listening
    // again on the bound socket only makes the queue longer.
    if (port > 0) {
        ::listen(svr_sock_, SOMAXCONN);
    }
    return port;
}

void BoundedHttpServer::stopNow() {
    // The counter stays above zero, so every wait from now on ends at once,
    // also those of connections still queued for a worker. Without the
    // descriptor (it could not be made) the limits end them all the same.
    if (wake_ >= 0) {
        const std::uint64_t one = 1;
        // Fails only when the counter would overflow.
        [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
    }
    stop();
}

bool BoundedHttpServer::process_and_close_socket(socket_t sock) {
    ConnectionStream stream(sock, wake_, limits_.write);
    bool served = false;
    // As many requests on one connection as the library would take; the
    // answer to the last one closes it.
    for (std::size_t left = keep_alive_max_count_; left > 0; --left) {
        if (!stream.awaitRequest(limits_.idle, limits_.request)) {
            break;
        }
        bool closed = false;
        served = process_request(stream, left == 1, closed, nullptr);
        if (!served || closed) {
            break;
        }
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
}

} // namespace offline
