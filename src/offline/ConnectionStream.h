#pragma once

#include <httplib.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <string>

namespace offline {

// One client connection of the HTTP server, read and written with time
// limits of its own. The library limits each single read, so a client that
// sends its request a byte at a time, or never ends it, would hold its worker
// for as long as it likes; here the whole request must arrive in time.
//
// Every wait also watches `wake`, a descriptor that turns readable when the
// server stops, so that stopping never waits for a client.
class ConnectionStream : public httplib::Stream {
public:
    using Clock = std::chrono::steady_clock;

    ConnectionStream(int socket, int wake, std::chrono::milliseconds writeLimit);

    // Waits up to `idle` for the next request to begin; once it has, reading
    // it must be done within `limit`. False when no request began in time or
    // the server stops.
    bool awaitRequest(std::chrono::milliseconds idle, std::chrono::milliseconds limit);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override;

private:
    // Whether the socket is ready for `events` (or has failed, which the next
    // call then reports) before `deadline`; false on time-out or stop.
    bool readyBefore(short events, Clock::time_point deadline) const;

    const int socket_;
    const int wake_;
    const std::chrono::milliseconds writeLimit_;
    Clock::time_point readDeadline_;
    // The library reads a request a byte at a time.
    std::array<char, 4096> buffer_{};
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

} // namespace offline
