#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace offline {

// One client connection of the HTTP server while a worker answers it, read
// and written with time limits of its own. It begins with the bytes already
// read (the request's head, whole, and perhaps more); whatever else the
// library reads must arrive before `readDeadline`, and each part of the
// answer must be taken by the client within `writeLimit`.
//
// Every wait also watches `wake`, a descriptor that turns readable when the
// server stops, so that stopping never waits for a client.
class ConnectionStream : public httplib::Stream {
public:
    using Clock = std::chrono::steady_clock;

    ConnectionStream(int socket, int wake, std::chrono::milliseconds writeLimit,
                     Clock::time_point readDeadline, std::vector<char> buffered);

    // The bytes read from the client and not yet taken by the library: the
    // start of its next request, if it sent one early.
    std::vector<char> takeUnread();

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
    const Clock::time_point readDeadline_;
    // The library reads a request a byte at a time.
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
};

} // namespace offline
