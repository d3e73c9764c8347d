#pragma once

#include <QString>

namespace offline {

// The bundled pages' server (SiteServer) as its plugin hands it over.
//
// The server is built on cpp-httplib, which brings OpenSSL with it; linked
// into the program, those would be loaded and initialised at every start,
// before main() runs. The program loads the plugin only when the browser
// engine comes up, once the window is on screen. Nothing here may be a
// QObject: the plugin carries no copy of the program's meta-objects.
class LoopbackSites {
public:
    virtual ~LoopbackSites() = default;
    // As SiteServer::start(): true when it serves.
    virtual bool start() = 0;
    // As SiteServer::hostResolverRules().
    virtual QString hostResolverRules() const = 0;
};

// The plugin's one entry point: a new server, not yet serving.
using CreateLoopbackSites = LoopbackSites* (*)();
inline constexpr const char* kCreateLoopbackSitesSymbol = "wqzCreateLoopbackSites";

} // namespace offline
