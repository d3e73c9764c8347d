#include "SiteServer.h"

#include "SiteBundle.h"
#include "services/Sites.h"

#include <httplib.h>

#include <QStringList>

#include <atomic>
#include <chrono>
#include <csignal>
#include <pthread.h>
#include <thread>

namespace offline {

namespace {

// Chromium opens several connections per host and keeps them; enough workers
// that a page and its stylesheet never wait for an idle one to time out.
constexpr std::size_t kWorkers = 8;
// How long a connection may sit idle before the server closes it. This is
// also the longest stop() waits for a client that keeps one open.
constexpr time_t kIdleSeconds = 1;
constexpr time_t kTransferSeconds = 2;

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

// A client that closes its connection while a page is being sent would
// otherwise end the whole program with SIGPIPE. The server's worker threads
// are started by the listening thread and inherit its mask, so blocking the
// signal there covers them all and leaves the rest of the program alone.
void blockBrokenPipe() {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

} // namespace

struct SiteServer::Impl {
    const SiteBundle bundle;
    std::unique_ptr<httplib::Server> http;
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
    auto http = std::make_unique<httplib::Server>();
    http->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    http->set_keep_alive_timeout(kIdleSeconds);
    http->set_read_timeout(kTransferSeconds);
    http->set_write_timeout(kTransferSeconds);
    const SiteBundle& bundle = d->bundle;
    http->set_pre_routing_handler(
        [&bundle](const httplib::Request& request, httplib::Response& response) {
            serve(bundle, request, response);
            return httplib::Server::HandlerResponse::Handled;
        });

    const int bound = http->bind_to_any_port("127.0.0.1");
    if (bound <= 0) {
        return false;
    }
    httplib::Server* server = http.get();
    std::atomic<bool>* ended = &d->listenerEnded;
    ended->store(false);
    d->listener = std::thread([server, ended] {
        blockBrokenPipe();
        server->listen_after_bind();
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
    d->http->stop();
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
