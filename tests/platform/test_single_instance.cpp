// One window per user: the message a later start hands over, read as its
// bytes come, and the socket the running window serves it on, against
// clients that are slow, too long, not ours or left behind by a crash.
#include "platform/HandOverMessage.h"
#include "platform/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cstring>
#include <future>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::SingleInstance;
using State = platform::handover::Reader::State;
namespace handover = platform::handover;

Q_DECLARE_METATYPE(State)

namespace {

QByteArray header(quint32 bodyLength) {
    QByteArray out(handover::magic, handover::magicSize);
    char length[4];
    qToBigEndian(bodyLength, length);
    return out + QByteArray(length, 4);
}

QByteArray withBody(const QByteArray& body) {
    return header(static_cast<quint32>(body.size())) + body;
}

// Feeds `bytes` a few at a time, as a slow socket delivers them.
State feedSlowly(handover::Reader& reader, const QByteArray& bytes) {
    for (qsizetype at = 0; at < bytes.size() && reader.state() != State::Refused;) {
        // Once the message is whole, whatever is left comes at once.
        const qsizetype take = reader.state() == State::Reading
                                   ? std::min<qsizetype>({3, reader.room(), bytes.size() - at})
                                   : bytes.size() - at;
        reader.feed(bytes.mid(at, take));
        at += take;
    }
    return reader.state();
}

// A socket file that a crashed run left: bound, then its process gone
// without removing it.
bool leaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), name.size());
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFile::exists(path);
}

// A later start, in a thread of its own as it is a process of its own: the
// running window answers it from this thread's event loop.
std::future<SingleInstance::Start> startLater(const QString& path, QStringList arguments,
                                              bool newWindow, SingleInstance::Limits limits = {}) {
    return std::async(std::launch::async, [=] {
        SingleInstance later(path, limits);
        return later.start(arguments, newWindow);
    });
}

SingleInstance::Start waitFor(std::future<SingleInstance::Start>& started) {
    while (started.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return started.get();
}

// Another user (nobody's id), in a child process: listens on `path`,
// answers as the window would, and ends with 1 if anything was sent to it.
constexpr uid_t kNobody = 65534;
pid_t listenAsAnotherUser(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const pid_t child = ::fork();
    if (child != 0) {
        return child;
    }
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
        ::_exit(2);
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), name.size());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::_exit(2);
    }
    // The file is there a moment before anyone answers on it: a start in
    // that moment must not take it for a crashed run's and listen instead.
    ::usleep(300 * 1000);
    if (::listen(fd, 4) != 0) {
        ::_exit(2);
    }
    pollfd waiting{fd, POLLIN, 0};
    if (::poll(&waiting, 1, 4000) <= 0) {
        ::_exit(0);
    }
    const int client = ::accept(fd, nullptr, nullptr);
    pollfd reading{client, POLLIN, 0};
    char got[64];
    const bool sent = ::poll(&reading, 1, 1000) > 0 && ::read(client, got, sizeof got) > 0;
    (void)!::write(client, "taken\n", 6);
    ::_exit(sent ? 1 : 0);
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void the_reader_takes_only_whole_messages_of_ours_data();
    void the_reader_takes_only_whole_messages_of_ours();
    void what_a_reader_refuses_is_never_sent();
    void a_later_start_hands_its_files_over_and_a_new_window_does_not();
    void a_socket_left_by_a_crash_does_not_stop_the_next_start();
    void slow_long_and_strange_clients_are_dropped_without_holding_up_others();
    void the_socket_lives_only_in_a_folder_of_the_users_own();
    void files_are_never_handed_to_another_users_socket();
    void a_window_that_answers_too_late_does_not_open_the_files();
};

void TestSingleInstance::the_reader_takes_only_whole_messages_of_ours_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<State>("state");
    QTest::addColumn<QStringList>("arguments");
    const QStringList two{QStringLiteral("/home/a b/ä.wqzpos"),
                          QStringLiteral("wqz-workbench:load?strategy=Straddle&diagram=profit")};
    QTest::newRow("two arguments") << *handover::encode(two) << State::Complete << two;
    QTest::newRow("none: the window only comes forward")
        << *handover::encode({}) << State::Complete << QStringList();
    QTest::newRow("half a message")
        << handover::encode(two)->chopped(5) << State::Reading << QStringList();
    QTest::newRow("a stranger's bytes")
        << QByteArray("GET / HTTP/1.0\r\n\r\n") << State::Refused << QStringList();
    QTest::newRow("our line of another version")
        << QByteArray("wqzlumo-open/2\n") + QByteArray(4, '\0') << State::Refused << QStringList();
    QTest::newRow("a length over the limit, refused before its body comes")
        << header(handover::largestBody + 1) << State::Refused << QStringList();
    QTest::newRow("a length of four gigabytes")
        << header(0xffffffffu) << State::Refused << QStringList();
    QTest::newRow("not JSON") << withBody("[\"a\"") << State::Refused << QStringList();
    QTest::newRow("an object") << withBody("{\"a\":1}") << State::Refused << QStringList();
    QTest::newRow("a number among the strings")
        << withBody("[\"a\",1]") << State::Refused << QStringList();
    QTest::newRow("an empty argument") << withBody("[\"\"]") << State::Refused << QStringList();
    QStringList many;
    for (int i = 0; i <= handover::mostArguments; ++i) {
        many << QStringLiteral("f");
    }
    QTest::newRow("more arguments than the limit")
        << withBody(QJsonDocument(QJsonArray::fromStringList(many)).toJson()) << State::Refused
        << QStringList();
    QTest::newRow("bytes after a whole message")
        << *handover::encode(two) + "x" << State::Refused << QStringList();
}

void TestSingleInstance::the_reader_takes_only_whole_messages_of_ours() {
    QFETCH(QByteArray, bytes);
    QFETCH(State, state);
    QFETCH(QStringList, arguments);
    handover::Reader reader;
    QCOMPARE(feedSlowly(reader, bytes), state);
    QCOMPARE(reader.arguments(), arguments);
}

void TestSingleInstance::what_a_reader_refuses_is_never_sent() {
    // The longest a reader takes, in characters that UTF-8 and JSON keep as
    // one byte each.
    const qsizetype room = handover::largestBody - 4;
    const QString longest(room, u'a');
    handover::Reader reader;
    QCOMPARE(feedSlowly(reader, handover::encode({longest}).value()), State::Complete);
    QVERIFY(!handover::encode({longest + u'a'}));
    QStringList many;
    for (int i = 0; i <= handover::mostArguments; ++i) {
        many << QStringLiteral("f");
    }
    QVERIFY(!handover::encode(many));
}

void TestSingleInstance::a_later_start_hands_its_files_over_and_a_new_window_does_not() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("app.open"));
    SingleInstance running(path);
    QSignalSpy received(&running, &SingleInstance::received);
    QCOMPARE(running.start({}, false), SingleInstance::Start::Listening);

    const QStringList files{QStringLiteral("/tmp/x.wqzpos"), QStringLiteral("/tmp/y.wqzpos")};
    auto later = startLater(path, files, false);
    QCOMPARE(waitFor(later), SingleInstance::Start::HandedOver);
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received[0][0].toStringList(), files);

    auto apart = startLater(path, files, true);
    QCOMPARE(waitFor(apart), SingleInstance::Start::Alone);
    QTest::qWait(50);
    QCOMPARE(received.size(), 1);
}

void TestSingleInstance::a_socket_left_by_a_crash_does_not_stop_the_next_start() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("app.open"));
    QVERIFY(leaveStaleSocket(path));
    SingleInstance next(path);
    QSignalSpy received(&next, &SingleInstance::received);
    QCOMPARE(next.start({QStringLiteral("/tmp/x.wqzpos")}, false),
             SingleInstance::Start::Listening);
    auto later = startLater(path, {QStringLiteral("/tmp/y.wqzpos")}, false);
    QCOMPARE(waitFor(later), SingleInstance::Start::HandedOver);
    QTRY_COMPARE(received.size(), 1);
}

void TestSingleInstance::slow_long_and_strange_clients_are_dropped_without_holding_up_others() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("app.open"));
    SingleInstance::Limits limits;
    limits.clientMs = 1500;
    SingleInstance running(path, limits);
    QSignalSpy received(&running, &SingleInstance::received);
    QCOMPARE(running.start({}, false), SingleInstance::Start::Listening);

    const auto connectClient = [&path](QLocalSocket& socket) {
        socket.connectToServer(path);
        return socket.waitForConnected(1000);
    };
    // One that sends half its message and then nothing.
    QLocalSocket slow;
    QVERIFY(connectClient(slow));
    slow.write(handover::encode({QStringLiteral("/tmp/slow.wqzpos")})->left(10));
    slow.flush();
    // One that says it will send more than a message holds.
    QLocalSocket huge;
    QVERIFY(connectClient(huge));
    huge.write(header(handover::largestBody + 1));
    huge.flush();
    // One that is not ours at all.
    QLocalSocket stranger;
    QVERIFY(connectClient(stranger));
    stranger.write("hello\n");
    stranger.flush();
    QTRY_COMPARE_WITH_TIMEOUT(huge.state(), QLocalSocket::UnconnectedState, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(stranger.state(), QLocalSocket::UnconnectedState, 1000);

    // Meanwhile a later start is served at once.
    QElapsedTimer clock;
    clock.start();
    auto later = startLater(path, {QStringLiteral("/tmp/good.wqzpos")}, false);
    QCOMPARE(waitFor(later), SingleInstance::Start::HandedOver);
    QVERIFY2(clock.elapsed() < limits.clientMs, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received[0][0].toStringList(), QStringList{QStringLiteral("/tmp/good.wqzpos")});

    // The slow one is cut off once its time is up, and told nothing.
    QCOMPARE(slow.state(), QLocalSocket::ConnectedState);
    QTRY_COMPARE_WITH_TIMEOUT(slow.state(), QLocalSocket::UnconnectedState, 2 * limits.clientMs);
    QCOMPARE(slow.readAll(), QByteArray());
    QCOMPARE(received.size(), 1);
}

void TestSingleInstance::the_socket_lives_only_in_a_folder_of_the_users_own() {
    if (::geteuid() != 0) {
        QSKIP("making folders of another user needs root");
    }
    QTemporaryDir temp;
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    qunsetenv("XDG_RUNTIME_DIR");
    // Qt's fallback runtime folder, and ours, left by someone else.
    const QString user = qEnvironmentVariable("USER", QStringLiteral("root"));
    const QString theirs = temp.filePath(QStringLiteral("runtime-") + user);
    QVERIFY(QDir().mkpath(theirs));
    QCOMPARE(::chown(QFile::encodeName(theirs).constData(), kNobody, kNobody), 0);

    const QString path = SingleInstance::socketPath(QStringLiteral("app"));
    const QString folder = QFileInfo(path).absolutePath();
    struct stat info {};
    QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &info), 0);
    QCOMPARE(info.st_uid, ::geteuid());
    QCOMPARE(info.st_mode & 0777, mode_t(0700));

    // Ours taken by someone else: no socket at all, rather than theirs.
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    QCOMPARE(::chown(QFile::encodeName(folder).constData(), kNobody, kNobody), 0);
    QCOMPARE(SingleInstance::socketPath(QStringLiteral("app")), QString());
    QCOMPARE(SingleInstance(QString()).start({QStringLiteral("/tmp/x.wqzpos")}, false),
             SingleInstance::Start::Alone);
    qunsetenv("TMPDIR");
}

void TestSingleInstance::files_are_never_handed_to_another_users_socket() {
    if (::geteuid() != 0) {
        QSKIP("a socket of another user needs root to make");
    }
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::WriteOther | QFileDevice::ExeOther);
    const QString path = dir.filePath(QStringLiteral("app.open"));
    const pid_t theirs = listenAsAnotherUser(path);
    QTRY_VERIFY(QFile::exists(path));
    SingleInstance later(path);
    QCOMPARE(later.start({QStringLiteral("/tmp/x.wqzpos")}, false), SingleInstance::Start::Alone);
    ::kill(theirs, SIGTERM);
    int status = 0;
    QCOMPARE(::waitpid(theirs, &status, 0), theirs);
    QVERIFY2(!WIFEXITED(status) || WEXITSTATUS(status) == 0, "the other user was sent the files");
}

void TestSingleInstance::a_window_that_answers_too_late_does_not_open_the_files() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("app.open"));
    SingleInstance running(path);
    QSignalSpy received(&running, &SingleInstance::received);
    QCOMPARE(running.start({}, false), SingleInstance::Start::Listening);

    SingleInstance::Limits hurried;
    hurried.handOverMs = 300;
    auto later = startLater(path, {QStringLiteral("/tmp/x.wqzpos")}, false, hurried);
    // The window is busy past the later start's patience, then comes back.
    QCOMPARE(later.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    QCOMPARE(later.get(), SingleInstance::Start::NoAnswer);
    QTest::qWait(500);
    QCOMPARE(received.size(), 0);

    // Once it answers, the files are its own again.
    auto again = startLater(path, {QStringLiteral("/tmp/x.wqzpos")}, false);
    QCOMPARE(waitFor(again), SingleInstance::Start::HandedOver);
    QTRY_COMPARE(received.size(), 1);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
