// Host rules for the browser engine go in front of any the user or a test
// gave, inside the one switch the engine reads.
#include "platform/WebEngineBrowser.h"

#include <QTest>

class TestEngineFlags : public QObject {
    Q_OBJECT
private slots:
    void our_rules_come_first_data();
    void our_rules_come_first();
};

void TestEngineFlags::our_rules_come_first_data() {
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray ours = "MAP www.a.example 127.0.0.1:81";
    QTest::newRow("no switches") << QByteArray() << "--host-resolver-rules=\"" + ours + "\"";
    QTest::newRow("other switches")
        << QByteArray("--disable-gpu") << "--disable-gpu --host-resolver-rules=\"" + ours + "\"";
    QTest::newRow("quoted rules given")
        << QByteArray("--disable-gpu --host-resolver-rules=\"MAP * ~NOTFOUND\" --x")
        << "--disable-gpu --host-resolver-rules=\"" + ours + ", MAP * ~NOTFOUND\" --x";
    QTest::newRow("bare rules given, more after")
        << QByteArray("--host-resolver-rules=EXCLUDE*.test --disable-gpu")
        << "--host-resolver-rules=\"" + ours + ", EXCLUDE*.test\" --disable-gpu";
    QTest::newRow("bare rules given last")
        << QByteArray("--disable-gpu --host-resolver-rules=EXCLUDE*.test")
        << "--disable-gpu --host-resolver-rules=\"" + ours + ", EXCLUDE*.test\"";
}

void TestEngineFlags::our_rules_come_first() {
    QFETCH(QByteArray, flags);
    QFETCH(QByteArray, expected);
    QCOMPARE(
        platform::WebEngineBrowser::withHostRulesFirst(flags, "MAP www.a.example 127.0.0.1:81"),
        expected);
}

QTEST_APPLESS_MAIN(TestEngineFlags)
#include "test_engine_flags.moc"
