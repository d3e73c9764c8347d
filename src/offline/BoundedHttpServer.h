#pragma once

#include "HeadReader.h"
#include "WorkerPool.h"

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace offline {

// cpp-httplib's server with every connection held to limits of its own. Any
// program on the machine can connect to a loopback server and then say
// nothing, or stall in the middle of a request, and the library gives each
// connection a worker for as long as it lasts, so a few hundred such
// connections would keep every page waiting. Here one thread (HeadReader)
// reads the heads of all connections' requests at once, and a worker is
// given a connection only once its request's head has come in full. A
// connection is closed when no request begins within `idle` or a request
// that has begun has not come in full within `request`; a head over `head`
// bytes gets 431. stopNow() ends every connection at once.
//
// Serves one listen_after_bind() in its life.
class BoundedHttpServer : public httplib::Server {
public:
    struct Limits {
        std::chrono::milliseconds idle;
        std::chrono::milliseconds request;
        // Each part of an answer must be taken by the client within this.
        std::chrono::milliseconds write;
        // Bytes of a request's head.
        std::size_t head;
        // Connections waiting for their requests at once (HeadReader).
        std::size_t waiting;
        // Requests answered at once.
        std::size_t workers;
    };

    explicit BoundedHttpServer(const Limits& limits);
    ~BoundedHttpServer() override;
    BoundedHttpServer(const BoundedHttpServer&) = delete;
    BoundedHttpServer& operator=(const BoundedHttpServer&) = delete;

    // Binds `host` on a port the system chooses, as bind_to_any_port() does,
    // with a long queue of connections not yet accepted, and starts reading
    // requests. Returns the port, or a number below 1 when it cannot serve.
    int bindToAnyPort(const std::string& host);

    // Stops listening and ends every connection, whatever its client is
    // doing; listen_after_bind() returns once the workers have finished.
    void stopNow();

private:
    // Called by the library, on its listening thread, for each connection
    // it accepts: hands it to the reader of heads.
    bool process_and_close_socket(socket_t sock) override;
    // Runs on a worker: answers the request whose head `connection` begins
    // with, then gives the connection back to the reader or closes it.
    void answer(HeadReader::Connection connection);
    // Ends the reader and then the workers; the library calls it once it
    // no longer accepts connections.
    void endConnections();

    const Limits limits_;
    // Readable once stopNow() has run; every wait on a client watches it.
    const int wake_;
    WorkerPool workers_;
    HeadReader heads_;
};

} // namespace offline
