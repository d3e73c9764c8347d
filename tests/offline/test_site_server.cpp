#include "HttpProbe.h"
#include "offline/SiteServer.h"
#include "services/Sites.h"

#include <QFile>
#include <QNetworkInterface>
#include <QScopeGuard>
#include <QSet>
#include <QTest>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using httpprobe::request;

namespace {

QByteArray host(int site) {
    return services::sites::host(services::sites::Site(site)).toLatin1();
}

const QString kOffline = QStringLiteral("Not available offline");
const QByteArray kFirstPage = "/public/wqzmodhtm/wqzLumo/page1.htm";

// The local addresses of the listening TCP sockets on `port`, as the kernel
// lists them ("0100007F" is 127.0.0.1), from the IPv4 and IPv6 tables.
QStringList listenersOn(std::uint16_t port) {
    QStringList found;
    const QString portHex = QStringLiteral("%1").arg(port, 4, 16, QLatin1Char('0')).toUpper();
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        QFile f(QString::fromLatin1(table));
        if (!f.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QList<QByteArray> lines = f.readAll().split('\n');
        for (const QByteArray& line : lines) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            // sl local_address rem_address st ...; state 0A is LISTEN.
            if (fields.size() < 4 || fields[3] != "0A") {
                continue;
            }
            const QList<QByteArray> local = fields[1].split(':');
            if (local.size() == 2 && QString::fromLatin1(local[1]) == portHex) {
                found << QString::fromLatin1(local[0]);
            }
        }
    }
    return found;
}

} // namespace

class TestSiteServer : public QObject {
    Q_OBJECT
private slots:
    void listens_on_the_loopback_address_alone();
    void starts_once_stops_and_starts_again();
    void the_resolver_rules_send_the_five_sites_and_nothing_else_to_it();
    void answers_each_address_as_the_site_would_data();
    void answers_each_address_as_the_site_would();
    void a_school_code_is_shown_as_text_never_as_markup();
    void serves_nothing_outside_the_bundle_data();
    void serves_nothing_outside_the_bundle();
    void answers_head_like_get_and_refuses_other_methods();
    void keeps_serving_many_clients_while_the_caller_is_busy();
    void stops_promptly_while_clients_hold_connections_open();
    void answers_a_page_while_other_clients_hold_connections_data();
    void answers_a_page_while_other_clients_hold_connections();
    void gives_up_on_a_request_that_never_ends_data();
    void gives_up_on_a_request_that_never_ends();
    void refuses_a_request_head_over_64_kb_and_closes_the_connection_data();
    void refuses_a_request_head_over_64_kb_and_closes_the_connection();
};

void TestSiteServer::listens_on_the_loopback_address_alone() {
    offline::SiteServer server;
    QVERIFY(server.start());
    const std::uint16_t port = server.port();

    QCOMPARE(listenersOn(port), QStringList{QStringLiteral("0100007F")});
    QVERIFY(httpprobe::connects("127.0.0.1", port));
    // Still the loopback interface, but not the bound address.
    QVERIFY(!httpprobe::connects("127.0.0.2", port));
    QVERIFY(!httpprobe::connects("::1", port));
    const QList<QHostAddress> addresses = QNetworkInterface::allAddresses();
    for (const QHostAddress& a : addresses) {
        if (a == QHostAddress(QHostAddress::LocalHost) || !a.scopeId().isEmpty()) {
            continue;
        }
        QVERIFY2(!httpprobe::connects(qPrintable(a.toString()), port), qPrintable(a.toString()));
    }
}

void TestSiteServer::starts_once_stops_and_starts_again() {
    offline::SiteServer server;
    QCOMPARE(server.port(), 0);
    QVERIFY(server.hostResolverRules().isEmpty());

    QVERIFY(server.start());
    const std::uint16_t first = server.port();
    QVERIFY(first != 0);
    QVERIFY(server.start());
    QCOMPARE(server.port(), first);

    // A second program instance gets a port of its own.
    offline::SiteServer other;
    QVERIFY(other.start());
    QVERIFY(other.port() != first);

    server.stop();
    QCOMPARE(server.port(), 0);
    QVERIFY(server.hostResolverRules().isEmpty());
    QVERIFY(!httpprobe::connects("127.0.0.1", first));
    server.stop();

    QVERIFY(server.start());
    QCOMPARE(request(server.port(), host(3), "/public/wqzmodhtm/howtouse.htm").status, 200);
}

void TestSiteServer::the_resolver_rules_send_the_five_sites_and_nothing_else_to_it() {
    offline::SiteServer server;
    QVERIFY(server.start());
    const QString to = QStringLiteral("127.0.0.1:%1").arg(server.port());

    const QStringList rules = server.hostResolverRules().split(QStringLiteral(", "));
    QSet<QString> mapped;
    for (const QString& rule : rules) {
        const QStringList words = rule.split(u' ');
        QCOMPARE(words.size(), 3);
        QCOMPARE(words[0], QStringLiteral("MAP"));
        QCOMPARE(words[2], to);
        mapped.insert(words[1]);
    }
    QCOMPARE(rules.size(), 5);
    QSet<QString> sites;
    for (const services::sites::Site site : services::sites::all) {
        sites.insert(services::sites::host(site));
    }
    QCOMPARE(mapped, sites);
}

void TestSiteServer::answers_each_address_as_the_site_would_data() {
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QString>("title");

    const QByteArray site1 = host(1);
    const QByteArray site2 = host(2);
    const QByteArray site3 = host(3);
    const QByteArray firstOn3 = "http://" + site3 + "/public/wqzmodhtm/wqzLumo/page1.htm";
    const QString firstTitle = QStringLiteral("Option Payoffs: Payoff and profit diagrams");

    QTest::newRow("module folder with its slash")
        << site3 << QByteArray("/public/wqzmodhtm/wqzLumo/") << 302 << firstOn3 << QString();
    QTest::newRow("module folder without its slash")
        << site3 << QByteArray("/public/wqzmodhtm/wqzLumo") << 302 << firstOn3 << QString();
    QTest::newRow("the modules' folder leads to the module")
        << site3 << QByteArray("/public/wqzmodhtm/") << 302 << firstOn3 << QString();
    QTest::newRow("main site keeps the modules elsewhere")
        << site1 << QByteArray("/wqzmodhtm") << 302
        << "http://" + site1 + "/wqzmodhtm/wqzLumo/page1.htm" << QString();
    QTest::newRow("a school's folder")
        << site2 << QByteArray("/public/schools/ab%20c/") << 302
        << "http://" + site2 + "/public/schools/ab%20c/index.htm" << QString();

    QTest::newRow("host in capitals, with the port")
        << QByteArray("WWW.WQZMODULES.EXAMPLE:80")
        << QByteArray("/public/wqzmodhtm/wqzLumo/page1.htm") << 200 << QByteArray() << firstTitle;
    QTest::newRow("a query does not change the page")
        << site3 << QByteArray("/public/wqzmodhtm/wqzLumo/page1.htm?x=1") << 200 << QByteArray()
        << firstTitle;
    QTest::newRow("the site root is shown where it is")
        << site1 << QByteArray("/") << 200 << QByteArray()
        << QStringLiteral("WQZ tutorial modules");
    QTest::newRow("a school code holding a question mark")
        << site2 << QByteArray("/public/schools/a?b/index.htm") << 200 << QByteArray()
        << QStringLiteral("Home page of school a?b");

    QTest::newRow("a missing page of the module")
        << site3 << QByteArray("/public/wqzmodhtm/wqzLumo/page99.htm") << 404 << QByteArray()
        << kOffline;
    QTest::newRow("another site's layout")
        << site1 << QByteArray("/public/wqzmodhtm/wqzLumo/page1.htm") << 404 << QByteArray()
        << kOffline;
    QTest::newRow("a folder without a first page")
        << site1 << QByteArray("/discus/") << 404 << QByteArray() << kOffline;
    QTest::newRow("the schools' folder itself")
        << site2 << QByteArray("/public/schools/") << 404 << QByteArray() << kOffline;

    QTest::newRow("not one of the sites")
        << QByteArray("www.example.org") << QByteArray("/public/wqzmodhtm/wqzLumo/page1.htm") << 404
        << QByteArray() << QStringLiteral("Not found");
    QTest::newRow("a site's name inside another")
        << QByteArray("www.quillmere.example.org") << QByteArray("/") << 404 << QByteArray()
        << QStringLiteral("Not found");
    QTest::newRow("no host at all")
        << QByteArray() << QByteArray("/") << 404 << QByteArray() << QStringLiteral("Not found");
}

void TestSiteServer::answers_each_address_as_the_site_would() {
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, target);
    QFETCH(int, status);
    QFETCH(QByteArray, location);
    QFETCH(QString, title);
    offline::SiteServer server;
    QVERIFY(server.start());

    const httpprobe::Response r = request(server.port(), host, target);

    QCOMPARE(r.status, status);
    QCOMPARE(r.header("location"), location);
    QVERIFY(r.header("content-type").startsWith("text/html"));
    if (!title.isEmpty()) {
        QCOMPARE(httpprobe::title(r.body), title);
    }
    if (title == kOffline) {
        // The way back from a dead end is the module's first page on that site.
        const QByteArray back = host == "www.quillmere.example"
                                    ? QByteArray("href=\"/wqzmodhtm/wqzLumo/page1.htm\"")
                                    : QByteArray("href=\"/public/wqzmodhtm/wqzLumo/page1.htm\"");
        QVERIFY2(r.body.contains(back), r.body.constData());
    }
}

void TestSiteServer::a_school_code_is_shown_as_text_never_as_markup() {
    offline::SiteServer server;
    QVERIFY(server.start());

    const httpprobe::Response r =
        request(server.port(), host(2), "/public/schools/%3Cb%3E%26/index.htm");

    QCOMPARE(r.status, 200);
    QCOMPARE(httpprobe::title(r.body), QStringLiteral("Home page of school &lt;b&gt;&amp;"));
    QVERIFY(!r.body.contains("<b>"));
    // The offline page echoes the address it could not find; escaped too.
    const httpprobe::Response missing =
        request(server.port(), host(3), "/%3Cscript%3Ealert(1)%3C/script%3E");
    QCOMPARE(missing.status, 404);
    QVERIFY(!missing.body.contains("<script>"));
    QVERIFY(missing.body.contains("&lt;script&gt;"));
}

void TestSiteServer::serves_nothing_outside_the_bundle_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("dot-dot to the root") << QByteArray("/../../../../etc/passwd");
    QTest::newRow("dot-dot from the modules")
        << QByteArray("/public/wqzmodhtm/../../../etc/passwd");
    QTest::newRow("encoded dot-dot") << QByteArray("/public/wqzmodhtm/%2e%2e/%2e%2e/etc/passwd");
    QTest::newRow("encoded dot-dot in capitals")
        << QByteArray("/public/%2E%2E/public/wqzmodhtm/howtouse.htm");
    QTest::newRow("half encoded dot-dot") << QByteArray("/public/wqzmodhtm/.%2e/etc/passwd");
    QTest::newRow("dot-dot that would land on a page")
        << QByteArray("/public/wqzmodhtm/wqzLumo/../howtouse.htm");
    QTest::newRow("single dot") << QByteArray("/public/wqzmodhtm/./howtouse.htm");
    QTest::newRow("encoded slash of a real page")
        << QByteArray("/public/wqzmodhtm/wqzLumo%2Fpage1.htm");
    QTest::newRow("encoded slashes and dots") << QByteArray("/..%2f..%2f..%2fetc%2fpasswd");
    QTest::newRow("encoded backslashes") << QByteArray("/public/wqzmodhtm/..%5c..%5cetc%5cpasswd");
    QTest::newRow("raw backslash") << QByteArray("/public/wqzmodhtm\\howtouse.htm");
    QTest::newRow("encoded nul") << QByteArray("/public/wqzmodhtm/howtouse.htm%00.css");
    QTest::newRow("dot-dot inside a school address")
        << QByteArray("/public/schools/../../etc/passwd/index.htm");
    QTest::newRow("a page kept for filling in") << QByteArray("/templates/offline.htm");
    QTest::newRow("an absolute address as target")
        << QByteArray("http://www.wqzmodules.example/public/wqzmodhtm/howtouse.htm");
}

void TestSiteServer::serves_nothing_outside_the_bundle() {
    QFETCH(QByteArray, target);
    offline::SiteServer server;
    QVERIFY(server.start());

    const httpprobe::Response r = request(server.port(), host(3), target);

    QCOMPARE(r.status, 404);
    QCOMPARE(httpprobe::title(r.body), kOffline);
    QVERIFY(!r.body.contains("root:"));
}

void TestSiteServer::answers_head_like_get_and_refuses_other_methods() {
    offline::SiteServer server;
    QVERIFY(server.start());
    const QByteArray page = "/public/wqzmodhtm/wqzLumo/page1.htm";

    const httpprobe::Response get = request(server.port(), host(3), page);
    const httpprobe::Response head = request(server.port(), host(3), page, "HEAD");
    QCOMPARE(head.status, 200);
    QVERIFY(head.body.isEmpty());
    QCOMPARE(head.header("content-length"), QByteArray::number(get.body.size()));

    for (const QByteArray method : {"POST", "PUT", "DELETE"}) {
        const httpprobe::Response r = request(server.port(), host(3), page, method);
        QCOMPARE(r.status, 405);
        QCOMPARE(r.header("allow"), QByteArray("GET, HEAD"));
    }
    // Refusing changed nothing.
    QCOMPARE(request(server.port(), host(3), page).body, get.body);
}

void TestSiteServer::keeps_serving_many_clients_while_the_caller_is_busy() {
    offline::SiteServer server;
    QVERIFY(server.start());
    const std::uint16_t port = server.port();
    const QByteArray expected = request(port, host(3), "/public/wqzmodhtm/wqzLumo/page21.htm").body;
    QVERIFY(!expected.isEmpty());

    constexpr int clients = 8;
    constexpr int each = 20;
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            for (int i = 0; i < each; ++i) {
                const int site = 1 + (c + i) % 5;
                const QByteArray target = site == 1 ? "/wqzmodhtm/wqzLumo/page21.htm"
                                                    : "/public/wqzmodhtm/wqzLumo/page21.htm";
                const httpprobe::Response r = request(port, host(site), target);
                if (r.status == 200 && r.body == expected) {
                    ++good;
                }
            }
        });
    }
    // The calling thread runs no event loop meanwhile, as the user interface
    // thread does while it is busy.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (std::thread& t : threads) {
        t.join();
    }
    QCOMPARE(good.load(), clients * each);
}

void TestSiteServer::stops_promptly_while_clients_hold_connections_open() {
    auto server = std::make_unique<offline::SiteServer>();
    QVERIFY(server->start());
    const std::uint16_t port = server->port();

    // One client connects and says nothing; another keeps its connection open
    // after a first request, as a browser does.
    const int silent = httpprobe::hold(port);
    const int kept =
        httpprobe::hold(port, "GET / HTTP/1.1\r\nHost: www.wqzmodules.example\r\n\r\n");
    QVERIFY(silent >= 0 && kept >= 0);
    char buffer[256];
    QVERIFY(::recv(kept, buffer, sizeof buffer, 0) > 0);
    // Fifty more stall in their request line, each with a worker waiting for
    // the rest of it.
    std::vector<int> stalled;
    const auto closeStalled = qScopeGuard([&stalled] {
        for (const int fd : stalled) {
            ::close(fd);
        }
    });
    for (int i = 0; i < 50; ++i) {
        stalled.push_back(httpprobe::hold(port, "GET / HTTP/1.1"));
        QVERIFY(stalled.back() >= 0);
    }

    const auto before = std::chrono::steady_clock::now();
    server->stop();
    const auto took = std::chrono::steady_clock::now() - before;
    QVERIFY2(took < std::chrono::seconds(3),
             qPrintable(QString::number(
                 std::chrono::duration_cast<std::chrono::milliseconds>(took).count())));
    QVERIFY(!httpprobe::connects("127.0.0.1", port));

    // Destroying a server that still serves, with a client attached, ends it
    // just as cleanly.
    QVERIFY(server->start());
    const int attached = httpprobe::hold(server->port());
    QVERIFY(attached >= 0);
    server.reset();
    ::close(attached);
    ::close(silent);
    ::close(kept);
}

void TestSiteServer::answers_a_page_while_other_clients_hold_connections_data() {
    QTest::addColumn<int>("idle");
    QTest::addColumn<int>("halfOpen");
    QTest::newRow("fifty that ask nothing") << 50 << 0;
    QTest::newRow("fifty that stall in the request line") << 0 << 50;
    QTest::newRow("fifty of each") << 50 << 50;
    QTest::newRow("a thousand that ask nothing") << 1000 << 0;
    QTest::newRow("a thousand that stall in the request line") << 0 << 1000;
}

void TestSiteServer::answers_a_page_while_other_clients_hold_connections() {
    QFETCH(int, idle);
    QFETCH(int, halfOpen);
    // Both ends of every connection are in this process.
    if (!httpprobe::allowOpenFiles(2 * std::size_t(idle + halfOpen) + 256)) {
        QSKIP("the process may not open that many descriptors");
    }
    offline::SiteServer server;
    QVERIFY(server.start());
    std::vector<int> held;
    const auto closeHeld = qScopeGuard([&held] {
        for (const int fd : held) {
            ::close(fd);
        }
    });
    for (int i = 0; i < idle + halfOpen; ++i) {
        const QByteArray sent = i < halfOpen ? "GET " + kFirstPage + " HTTP/1.1" : QByteArray();
        held.push_back(httpprobe::hold(server.port(), sent));
        QVERIFY(held.back() >= 0);
    }

    const auto before = std::chrono::steady_clock::now();
    const httpprobe::Response r = request(server.port(), host(3), kFirstPage);
    const auto took = std::chrono::steady_clock::now() - before;

    QCOMPARE(r.status, 200);
    QCOMPARE(httpprobe::title(r.body),
             QStringLiteral("Option Payoffs: Payoff and profit diagrams"));
    // Well before the two seconds after which the server drops a silent
    // connection, so the page did not wait for a worker to be freed.
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
    QVERIFY2(ms < 1000, qPrintable(QStringLiteral("%1 ms").arg(ms)));
    // Answered while the others were all still held, not once the server had
    // dropped them.
    QCOMPARE(std::count_if(held.begin(), held.end(), httpprobe::givenUp), 0);
}

void TestSiteServer::gives_up_on_a_request_that_never_ends_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("in the request line") << QByteArray("GET /public/");
    QTest::newRow("in the headers") << "GET / HTTP/1.1\r\nHost: " + host(3) + "\r\nX-Pad: ";
}

void TestSiteServer::gives_up_on_a_request_that_never_ends() {
    QFETCH(QByteArray, start);
    offline::SiteServer server;
    QVERIFY(server.start());
    const int fd = httpprobe::hold(server.port(), start);
    QVERIFY(fd >= 0);
    const auto closeIt = qScopeGuard([fd] { ::close(fd); });

    // A byte every tenth of a second, for ten seconds at most: each comes long
    // before a single read would give up, the request never ends.
    constexpr int kBytes = 100;
    int sent = 0;
    while (sent < kBytes && !httpprobe::givenUp(fd)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (::send(fd, "a", 1, MSG_NOSIGNAL) != 1) {
            break;
        }
        ++sent;
    }
    QVERIFY2(sent < kBytes, "the server still waits for the request's end");
}

void TestSiteServer::refuses_a_request_head_over_64_kb_and_closes_the_connection_data() {
    QTest::addColumn<QByteArray>("head");
    const QByteArray start = "GET " + kFirstPage + " HTTP/1.1\r\nHost: " + host(3) + "\r\n";
    QTest::newRow("a hundred thousand short header lines")
        << start + QByteArray("X-A: b\r\n").repeated(100000) + "\r\n";
    QTest::newRow("one header line longer than the limit")
        << start + "X-Pad: " + QByteArray(70000, 'a') + "\r\n\r\n";
    QTest::newRow("a head that passes the limit and has not ended")
        << start + QByteArray("X-A: b\r\n").repeated(9000);
}

void TestSiteServer::refuses_a_request_head_over_64_kb_and_closes_the_connection() {
    QFETCH(QByteArray, head);
    offline::SiteServer server;
    QVERIFY(server.start());

    const httpprobe::Response r = httpprobe::exchange(server.port(), head);

    QCOMPARE(r.status, 431);
    QVERIFY(r.closed);
    QCOMPARE(request(server.port(), host(3), kFirstPage).status, 200);
}

QTEST_GUILESS_MAIN(TestSiteServer)
#include "test_site_server.moc"
