#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace offline {

// Serves the program's own copy of the maker's pages (SiteBundle) over HTTP on
// the loopback address, so that the embedded browser shows them under the
// sites' real addresses with or without a network.
//
// The server runs on threads of its own: it keeps answering while the user
// interface thread waits in a nested event loop or is busy. It needs no
// QCoreApplication, so it can be started before the browser engine reads its
// switches, and the engine pointed at it with hostResolverRules():
//
//     offline::SiteServer sites;
//     if (sites.start()) {
//         // Chromium splits its flags at blanks; the rules hold blanks and
//         // must be quoted.
//         qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
//                 "--host-resolver-rules=\"" + sites.hostResolverRules().toLatin1() + '"');
//     }
//
// Only the loopback address is bound, on a port the system chooses. Only GET
// and HEAD are answered (405 otherwise). Destroying the server stops it.
class SiteServer {
public:
    SiteServer();
    ~SiteServer();
    SiteServer(const SiteServer&) = delete;
    SiteServer& operator=(const SiteServer&) = delete;

    // Binds 127.0.0.1 on a free port and starts serving. True when it serves,
    // also when it already did; false when no port could be bound.
    bool start();
    // The port it serves on; 0 when it does not serve.
    std::uint16_t port() const;
    // Stops serving and waits for the server's threads to end. Connections
    // that clients keep open are ended at once, whatever they are waiting for.
    void stop();

    // The browser engine's host resolver rules that send the five site host
    // names, and no other name, to this server:
    // "MAP www.quillmere.example 127.0.0.1:PORT, MAP ...". Empty when it does
    // not serve.
    QString hostResolverRules() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace offline
