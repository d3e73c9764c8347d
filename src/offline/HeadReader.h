#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace offline {

// Reads the heads of requests of every open connection at once, on one
// thread, and hands each connection on only once its head has arrived in
// full. A client that connects and says nothing, or stalls in the middle of
// its request line, costs a descriptor and a few bytes here instead of a
// worker, so a thousand of them do not keep a page waiting.
//
// A connection is dropped when no request begins within `idle`, or a request
// that has begun has not sent its whole head within `request`. A head longer
// than `head` bytes is answered with 431 and the connection closed, so that
// nobody can make the server hold more than that for one request.
class HeadReader {
public:
    using Clock = std::chrono::steady_clock;

    struct Limits {
        std::chrono::milliseconds idle;
        std::chrono::milliseconds request;
        std::size_t head;
        // Connections read at once; each further one drops the one that is
        // nearest its deadline, which would soon be dropped anyway. Never
        // more than half the process's descriptors, so that accepting never
        // runs out of them and the rest of the program keeps its own.
        std::size_t connections;
    };

    struct Connection {
        int socket = -1;
        // What has been read and not yet answered; the head of a request
        // first, once it is handed on.
        std::vector<char> bytes;
        // Requests the connection may still make; the last one closes it.
        std::size_t requestsLeft = 0;
    };

    // Takes a connection whose `bytes` begin with a complete head; from then
    // on it owns the socket and must close it, also when it fails.
    using Ready = std::function<void(Connection)>;

    HeadReader(const Limits& limits, Ready ready);
    ~HeadReader();
    HeadReader(const HeadReader&) = delete;
    HeadReader& operator=(const HeadReader&) = delete;

    // Starts the reading thread; false when it could not be started.
    bool start();
    // Takes a connection to read the next request of (its `bytes` may hold
    // the start of it already). Once stopped, or when it cannot be kept, the
    // connection is closed at once. Any thread may call it.
    void add(Connection connection);
    // Ends the thread and closes every connection it holds.
    void stop();

private:
    struct Waiting {
        std::vector<char> bytes;
        Clock::time_point deadline;
        std::size_t requestsLeft = 0;
        // Answered with 431: whatever else comes is read and thrown away, so
        // that the client gets the answer rather than a reset.
        bool refused = false;
    };

    void run();
    // False once the reader must stop.
    bool takeIncoming();
    void closeIncoming();
    void admit(Connection connection);
    void readFrom(int socket);
    // Hands the connection on, refuses it or leaves it waiting for more.
    void examine(int socket, std::size_t searchFrom);
    void refuse(int socket, Waiting& waiting);
    void setDeadline(int socket, Waiting& waiting, Clock::time_point deadline);
    // Stops watching the connection and forgets it, leaving it open.
    void forget(int socket);
    void drop(int socket);
    void dropExpired();
    // Milliseconds to the nearest deadline, for epoll_wait; -1 for none.
    int timeout() const;
    void dropAll();

    const Limits limits_;
    const Ready ready_;
    std::size_t connections_ = 0;
    int epoll_ = -1;
    // Readable when connections have been added or the reader must stop.
    int notify_ = -1;
    std::thread thread_;

    // Only the reading thread touches these.
    std::unordered_map<int, Waiting> waiting_;
    std::set<std::pair<Clock::time_point, int>> deadlines_;

    std::mutex mutex_;
    std::vector<Connection> incoming_;
    // Whether added connections are taken; they are closed otherwise.
    bool reading_ = false;
};

} // namespace offline
