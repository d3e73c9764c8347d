#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace offline {

// cpp-httplib's server with every connection held to limits of its own. Any
// program on the machine can connect to a loopback server and then say
// nothing, or stall in the middle of a request; each such connection holds a
// worker, and with the library's own loop it may hold it without end. Here a
// connection is closed when no request begins within `idle` or a request
// that has begun is not read in full within `request`; while it lasts it has
// a worker of its own (up to `workers` at once), so pages do not wait behind
// it. stopNow() ends every connection at once.
class BoundedHttpServer : public httplib::Server {
public:
    struct Limits {
        std::chrono::milliseconds idle;
        std::chrono::milliseconds request;
        // Each part of an answer must be taken by the client within this.
        std::chrono::milliseconds write;
        std::size_t workers;
    };

    explicit BoundedHttpServer(const Limits& limits);
    ~BoundedHttpServer() override;
    BoundedHttpServer(const BoundedHttpServer&) = delete;
    BoundedHttpServer& operator=(const BoundedHttpServer&) = delete;

    // Binds `host` on a port the system chooses, as bind_to_any_port() does,
    // with a long queue of connections not yet accepted. Returns the port,
    // or a number below 1 when none could be bound.
    int bindToAnyPort(const std::string& host);

    // Stops listening and ends every connection, whatever its client is
    // doing; listen_after_bind() returns once the workers have finished.
    void stopNow();

private:
    bool process_and_close_socket(socket_t sock) override;

    const Limits limits_;
    // Readable once stopNow() has run; every wait on a client watches it.
    const int wake_;
};

} // namespace offline
