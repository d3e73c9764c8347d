#include "SiteServer.h"

#include "BoundedHttpServer.h"
#include "SiteBundle.h"
#include "services/Sites.h"

#include <httplib.h>

#include <QStringList>

#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

namespace offline {

namespace {

// Any program on the machine may connect and then send nothing, or stall in
// the middle of a request. Each such connection is given up on within a few
// seconds, and until then costs a descriptor and a few bytes, read with all
// the others by one thread, so the browser's pages never wait behind it. A
// browser's keep-alive connection that sits idle is closed too; the browser
// opens a new one for its next request.
constexpr BoundedHttpServer::Limits kLimits{
    .idle = std::chrono::seconds(2),
    .request = std::chrono::seconds(2),
    .write = std::chrono::seconds(2),
    // Far above what a browser sends; longer heads get 431.
    .head = 64 * 1024,
    // Fewer when the process may open fewer than twice as many descriptors.
    .waiting = 4096,
    // A worker only answers a request that has come in full, and the pages
    // are small enough for the socket's buffers to take whole, so a worker
    // is seldom held for long.
    .workers = 16,
};

const char kHtml[] = "text/html; charset=utf-8";
const char kNotAllowed[] = "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                           "<title>Not allowed</title></head><body>"
                           "<p>These pages can only be read.</p></body></html>";

void serve(const SiteBundle& bundle, const httplib::Request& request, httplib::Response& response) {
    // The pages change with the program, never while it runs; a browser that
    // kept them across versions would show stale ones.
    response.set_header("Cache-Control", "no-cache");
    if (request.method != "GET" && request.method != "HEAD") {
        response.status = 405;
        response.set_header("Allow", "GET, HEAD");
        response.set_content(kNotAllowed, kHtml);
        return;
    }
    const Reply reply =
        bundle.answer(QString::fromUtf8(request.get_header_value("Host")),
                      QByteArrayView(request.target.data(), qsizetype(request.target.size())));
    response.status = reply.status;
    if (!reply.location.isEmpty()) {
        response.set_header("Location", reply.location.toStdString());
    }
    response.set_content(reply.body.constData(), std::size_t(reply.body.size()),
                         reply.contentType.toStdString());
}

} // namespace

struct SiteServer::Impl {
    const SiteBundle bundle;
    std::unique_ptr<BoundedHttpServer> http;
    std::thread listener;
    std::atomic<bool> listenerEnded{false};
    std::uint16_t port = 0;
};

SiteServer::SiteServer() : d(std::make_unique<Impl>()) {}

SiteServer::~SiteServer() {
    stop();
}

bool SiteServer::start() {
    if (d->http) {
        return true;
    }
    auto http = std::make_unique<BoundedHttpServer>(kLimits);
    const SiteBundle& bundle = d->bundle;
    http->set_pre_routing_handler(
        [&bundle](const httplib::Request& request, httplib::Response& response) {
            serve(bundle, request, response);
            return httplib::Server::HandlerResponse::Handled;
        });

    const int bound = http->bindToAnyPort("127.0.0.1");
    if (bound <= 0) {
        return false;
    }
    BoundedHttpServer* server = http.get();
    std::atomic<bool>* ended = &d->listenerEnded;
    ended->store(false);
    d->listener = std::thread([server, ended] {
        try {
            server->listen_after_bind();
        } catch (const std::exception&) {
            // Out of memory or threads: the pages are not served, the
            // program goes on.
        }
        ended->store(true);
    });
    // The server ignores stop() until it runs; wait for that, so that a stop
    // right after start is never lost.
    while (!server->is_running() && !ended->load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!server->is_running()) {
        d->listener.join();
        return false;
    }
    d->http = std::move(http);
    d->port = std::uint16_t(bound);
    return true;
}

std::uint16_t SiteServer::port() const {
    return d->port;
}

void SiteServer::stop() {
    if (!d->http) {
        return;
    }
    d->http->stopNow();
    d->listener.join();
    d->http.reset();
    d->port = 0;
}

QString SiteServer::hostResolverRules() const {
    if (!d->http) {
        return QString();
    }
    QStringList rules;
    for (const services::sites::Site site : services::sites::all) {
        rules
            << QStringLiteral("MAP %1 127.0.0.1:%2").arg(services::sites::host(site)).arg(d->port);
    }
    return rules.join(QStringLiteral(", "));
}

} // namespace offline
