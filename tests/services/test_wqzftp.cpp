#include "LoopbackServer.h"
#include "os/InternetSession.h"
#include "services/wqzFTP.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <dlfcn.h>

#include <memory>

namespace {

// The account as the maker set it up on its servers.
const QString user = QStringLiteral("wqzlib");
const QString defaultPassword = QStringLiteral("quill#mere42");
const QString otherPassword = QStringLiteral("mere42#quill");
const QString defaultHost = QStringLiteral("www.wqzschools.example");
const QString otherHost = QStringLiteral("ftp.othersite.example");

// Connections to `host`'s FTP port go to the loopback server on `port`.
os::Routes toLoopback(const QString& host, int port) {
    return {{host, 21, QStringLiteral("127.0.0.1"), port}};
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// Every byte value many times over, in no pattern a transfer could fake.
QByteArray noise(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(20240611);
    for (char& byte : bytes) {
        byte = char(generator.bounded(256));
    }
    return bytes;
}

// The bytes of a literal, NULs included.
template <qsizetype N> QByteArray bytesOf(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

// Line ends that an ASCII transfer would rewrite, and a NUL.
const QByteArray textWithLineEnds = bytesOf("line one\r\nline two\nline three\r\n\x1a\0last");
// Under 256 bytes, with bytes above 127 and a NUL that no code page
// conversion may drop or merge.
const QByteArray shortPage =
    bytesOf("<html><body>Prix: 12,50 \xe9\xa3\x80\xff\r\n\0tail</body></html>");

} // namespace

class TestWqzFTP : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void a_fetched_file_arrives_byte_for_byte_and_replaces_what_was_there_data();
    void a_fetched_file_arrives_byte_for_byte_and_replaces_what_was_there();
    void a_failed_fetch_leaves_the_local_file_and_nothing_to_load_data();
    void a_failed_fetch_leaves_the_local_file_and_nothing_to_load();
    void a_fetched_library_is_loaded_from_where_it_was_stored_and_can_be_called();
    void each_server_has_its_own_password_data();
    void each_server_has_its_own_password();
    void the_connection_stays_open_until_the_object_is_destroyed();
    void a_page_comes_back_exactly_as_read_data();
    void a_page_comes_back_exactly_as_read();

private:
    QTemporaryDir served_;
    QTemporaryDir pages_;
    QByteArray component_;
    QByteArray megabyte_;
    std::unique_ptr<LoopbackServer> server_;
    std::unique_ptr<LoopbackServer> web_;
};

void TestWqzFTP::initTestCase() {
    QVERIFY(served_.isValid());
    component_ = readAll(QStringLiteral(WQZ_TEST_COMPONENT));
    QVERIFY(component_.startsWith("\x7f"
                                  "ELF"));
    megabyte_ = noise(1024 * 1024 + 3);
    const QString dir = served_.path() + u'/';
    writeAll(dir + "wqzrulk32.dll", component_);
    writeAll(dir + "noise.bin", megabyte_);
    writeAll(dir + "cut-noise.bin", megabyte_);
    writeAll(dir + "short-noise.bin", megabyte_);
    writeAll(dir + "lines.txt", textWithLineEnds);
    writeAll(dir + "empty.dat", QByteArray());
    writeAll(dir + "odd name #1;type=a.bin", textWithLineEnds);
    QVERIFY(QDir(dir).mkdir(QStringLiteral("sub")));
    writeAll(dir + "sub/inner.bin", component_);

    server_ = std::make_unique<LoopbackServer>(
        LoopbackServer::ftp(served_.path(), user, defaultPassword));
    QVERIFY2(server_->port() != 0, qPrintable(server_->failure()));

    writeAll(pages_.filePath(QStringLiteral("short.htm")), shortPage);
    writeAll(pages_.filePath(QStringLiteral("long.htm")), megabyte_.left(1000));
    writeAll(pages_.filePath(QStringLiteral("empty.htm")), QByteArray());
    web_ = std::make_unique<LoopbackServer>(LoopbackServer::http(pages_.path()));
    QVERIFY2(web_->port() != 0, qPrintable(web_->failure()));
}

void TestWqzFTP::a_fetched_file_arrives_byte_for_byte_and_replaces_what_was_there_data() {
    QTest::addColumn<QString>("remote");
    // Null when there is no local file of that name before the fetch.
    QTest::addColumn<QByteArray>("before");

    const QByteArray oldFile("an older file of the same name, longer than a few bytes");
    QTest::newRow("a library") << "wqzrulk32.dll" << QByteArray();
    QTest::newRow("a library over an older one") << "wqzrulk32.dll" << oldFile;
    QTest::newRow("a megabyte of every byte value") << "noise.bin" << QByteArray();
    QTest::newRow("line ends of both kinds stay as they are") << "lines.txt" << QByteArray();
    QTest::newRow("an empty file") << "empty.dat" << QByteArray();
    QTest::newRow("an empty file over an older one") << "empty.dat" << oldFile;
    QTest::newRow("a name with blanks and URL characters")
        << "odd name #1;type=a.bin" << QByteArray();
    QTest::newRow("a file in a folder of the account") << "sub/inner.bin" << oldFile;
}

void TestWqzFTP::a_fetched_file_arrives_byte_for_byte_and_replaces_what_was_there() {
    QFETCH(QString, remote);
    QFETCH(QByteArray, before);
    QTemporaryDir local;
    const QString store = local.filePath(QStringLiteral("stored.dll"));
    if (!before.isNull()) {
        writeAll(store, before);
    }
    const os::Routes routes = toLoopback(defaultHost, server_->port());

    services::wqzFTP ftp(routes);
    QVERIFY(ftp.getFile(remote, store));

    QCOMPARE(ftp.getLocalPath(), store);
    QCOMPARE(readAll(store), readAll(served_.filePath(remote)));
    // Nothing of the transfer is left beside it.
    QCOMPARE(entries(local.path()), QStringList{QStringLiteral("stored.dll")});
}

void TestWqzFTP::a_failed_fetch_leaves_the_local_file_and_nothing_to_load_data() {
    QTest::addColumn<QString>("remote");
    QTest::addColumn<bool>("serverListens");
    // Null when there is no local file of that name before the fetch.
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("storeName");

    // The file already there is a library that would load: a failed fetch
    // must not make it the one loadFile() loads.
    const QByteArray library = component_;
    const QString store = QStringLiteral("wqzrulk32.dll");
    QTest::newRow("cut off halfway") << "cut-noise.bin" << true << library << store;
    QTest::newRow("cut off halfway, nothing there before")
        << "cut-noise.bin" << true << QByteArray() << store;
    QTest::newRow("stopped halfway, reported complete")
        << "short-noise.bin" << true << library << store;
    QTest::newRow("not on the server") << "kovex.dll" << true << library << store;
    QTest::newRow("a folder, not a file") << "sub/" << true << library << store;
    QTest::newRow("an empty name") << "" << true << library << store;
    QTest::newRow("refused connection") << "wqzrulk32.dll" << false << library << store;
    QTest::newRow("no such local folder")
        << "wqzrulk32.dll" << true << QByteArray() << "missing/wqzrulk32.dll";
}

void TestWqzFTP::a_failed_fetch_leaves_the_local_file_and_nothing_to_load() {
    QFETCH(QString, remote);
    QFETCH(bool, serverListens);
    QFETCH(QByteArray, before);
    QFETCH(QString, storeName);
    QTemporaryDir local;
    const QString store = local.filePath(storeName);
    if (!before.isNull()) {
        writeAll(store, before);
    }
    const QStringList listingBefore = entries(local.path());
    const os::Routes routes =
        toLoopback(defaultHost, serverListens ? server_->port() : closedLoopbackPort());

    services::wqzFTP ftp(routes);
    QVERIFY(!ftp.getFile(remote, store));

    QCOMPARE(ftp.getLocalPath(), QString());
    QCOMPARE(entries(local.path()), listingBefore);
    if (!before.isNull()) {
        QCOMPARE(readAll(store), before);
    }
    QVERIFY(!ftp.loadFile());
    QCOMPARE(ftp.getLibrary(), nullptr);
}

void TestWqzFTP::a_fetched_library_is_loaded_from_where_it_was_stored_and_can_be_called() {
    QTemporaryDir local;
    // A bare name is the file in the current folder, not one looked up along
    // the library path.
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(local.path()));
    const os::Routes routes = toLoopback(defaultHost, server_->port());
    services::wqzFTP ftp(routes);
    const bool fetched = ftp.getFile(QStringLiteral("wqzrulk32.dll"), QStringLiteral("fetched.so"));
    const bool loaded = ftp.loadFile();
    QDir::setCurrent(previous);
    QVERIFY(fetched);
    QVERIFY(loaded);

    const QByteArray path = QFile::encodeName(local.filePath(QStringLiteral("fetched.so")));
    auto answer = reinterpret_cast<int (*)()>(dlsym(ftp.getLibrary(), "wqzComponentAnswer"));
    QVERIFY(answer != nullptr);
    QCOMPARE(answer(), 4217);
    void* same = dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
    QCOMPARE(same, ftp.getLibrary());
    dlclose(same);

    ftp.freefile();
    QCOMPARE(dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD), nullptr);
    // A second unload must not take a reference the object does not hold.
    ftp.freefile();
}

void TestWqzFTP::each_server_has_its_own_password_data() {
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("serverPassword");
    QTest::addColumn<bool>("fetched");
    QTest::newRow("default server") << defaultHost << defaultPassword << true;
    QTest::newRow("default server does not take the other order")
        << defaultHost << otherPassword << false;
    QTest::newRow("another server") << otherHost << otherPassword << true;
    QTest::newRow("another server does not take the default password")
        << otherHost << defaultPassword << false;
    // The name is compared exactly, though it reaches the same machine.
    QTest::newRow("default server's name in capitals is another server")
        << defaultHost.toUpper() << otherPassword << true;
    QTest::newRow("not a host name") << defaultHost + "/wqzrulk32.dll?" << defaultPassword << false;
}

void TestWqzFTP::each_server_has_its_own_password() {
    QFETCH(QString, site);
    QFETCH(QString, serverPassword);
    QFETCH(bool, fetched);
    LoopbackServer server(LoopbackServer::ftp(served_.path(), user, serverPassword));
    QVERIFY2(server.port() != 0, qPrintable(server.failure()));
    os::Routes routes;
    for (const QString& host : {defaultHost, otherHost, defaultHost.toUpper()}) {
        routes << toLoopback(host, server.port());
    }
    QTemporaryDir local;
    const QString store = local.filePath(QStringLiteral("wqzrulk32.dll"));

    services::wqzFTP ftp(routes);
    QCOMPARE(ftp.getCases(QStringLiteral("wqzrulk32.dll"), store, site), fetched);
    QCOMPARE(QFile::exists(store), fetched);
}

// Also: the data connections are asked for in active mode.
void TestWqzFTP::the_connection_stays_open_until_the_object_is_destroyed() {
    LoopbackServer server(LoopbackServer::ftp(served_.path(), user, defaultPassword));
    QVERIFY2(server.port() != 0, qPrintable(server.failure()));
    const os::Routes routes = toLoopback(defaultHost, server.port());
    QTemporaryDir local;
    {
        services::wqzFTP ftp(routes);
        QVERIFY(ftp.getFile(QStringLiteral("noise.bin"), local.filePath(QStringLiteral("a"))));
        QVERIFY(server.waitForLine(QStringLiteral("open")));
        // A second fetch on the same object goes over the same connection.
        QVERIFY(ftp.getFile(QStringLiteral("lines.txt"), local.filePath(QStringLiteral("b"))));
        QVERIFY(!server.waitForLine(QStringLiteral("close"), 1, 300));
        QCOMPARE(server.count(QStringLiteral("open")), 1);
    }
    QVERIFY(server.waitForLine(QStringLiteral("close")));
    QCOMPARE(server.count(QStringLiteral("active")), 2);
    QCOMPARE(server.count(QStringLiteral("passive")), 0);
}

void TestWqzFTP::a_page_comes_back_exactly_as_read_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("page");

    const QString site = QStringLiteral("http://127.0.0.1:%1/").arg(web_->port());
    QTest::newRow("a short page") << site + "short.htm" << shortPage;
    QTest::newRow("a page of many pieces") << site + "long.htm" << megabyte_.left(1000);
    QTest::newRow("an empty page") << site + "empty.htm" << QByteArray("");
    QTest::newRow("an unreachable address")
        << QStringLiteral("http://127.0.0.1:%1/short.htm").arg(closedLoopbackPort())
        << QByteArray();
    QTest::newRow("a local file is not read")
        << QUrl::fromLocalFile(pages_.filePath(QStringLiteral("short.htm"))).toString()
        << QByteArray();
    QTest::newRow("an address without a host") << "http:///short.htm" << QByteArray();
}

void TestWqzFTP::a_page_comes_back_exactly_as_read() {
    QFETCH(QString, address);
    QFETCH(QByteArray, page);
    services::wqzFTP ftp;
    const QString text = ftp.GetUrlSource(address);
    QCOMPARE(text.size(), page.size());
    QCOMPARE(text, QString::fromLatin1(page));
}

QTEST_GUILESS_MAIN(TestWqzFTP)
#include "test_wqzftp.moc"
