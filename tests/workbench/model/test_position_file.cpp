// The market a position file keeps (today's price, the trading costs, the
// dividend and the exercise), what an older file opens as, and what neither a
// save nor an open lets through.
#include "workbench/model/PositionDocument.h"

#include <QTest>

namespace doc = workbench::document;

class TestPositionFile : public QObject {
    Q_OBJECT
private slots:
    void a_file_keeps_the_market_that_can_be_and_no_other_data();
    void a_file_keeps_the_market_that_can_be_and_no_other();
};

void TestPositionFile::a_file_keeps_the_market_that_can_be_and_no_other_data() {
    QTest::addColumn<QString>("member");  // of the position, or "file" to change the file alone
    QTest::addColumn<QString>("value");   // the member's text, or "from>to" in the file
    QTest::addColumn<QString>("problem"); // empty when the file opens
    const auto row = [](const char* name, const char* member, const QString& value,
                        const char* problem) {
        QTest::newRow(name) << member << value << QString::fromUtf8(problem);
    };
    row("version 2 keeps every part", "", "", "");
    row("version 1 opens at 50, no costs, European", "file", "\"version\": 2>\"version\": 1", "");
    row("no price", "underlyingPrice", "0", "\"underlyingPrice\" holds 0, which is not a price");
    row("a price below 0", "underlyingPrice", "-3",
        "The position: \"underlyingPrice\" holds -3, which is not a price above 0 and up to "
        "1000000.");
    // The boxes' limits: what they could not show is neither written nor read.
    row("a price beyond the box", "underlyingPrice", "1000000.5", "up to 1000000");
    // 32 bits would round it to the limit: refused, not rounded in.
    row("a cent beyond the box", "underlyingPrice", "1000000.01", "up to 1000000");
    row("a cost beyond the box", "costPerUnit", "10001", "\"costPerUnit\" holds 10001");
    row("the least price", "underlyingPrice", "0.0001", "");
    row("a price beyond the numbers", "underlyingPrice", "1e39", "a number too large");
    row("a cost per option below 0", "costPerOption", "-0.01", "which is not a cost of 0 or above");
    row("a cost per unit below 0", "costPerUnit", "-1", "\"costPerUnit\" holds -1");
    row("a dividend above the limit", "dividendPercent", "50.01", "\"dividendPercent\" is not a");
    row("a dividend below 0", "dividendPercent", "-0.01", "from 0 to 50");
    row("an unknown exercise", "file", "\"american\">\"bermudan\"", "\"exercise\" is neither");
    row("no price in version 2", "file", "\"underlyingPrice\">\"price\"",
        "no text \"underlyingPrice\"");
    // The dates drawn besides the days left.
    row("more dates", "moreDaysLeft", "30 20 5", "");
    row("five more dates", "moreDaysLeft", "25 20 15 10 5",
        "\"moreDaysLeft\" is not a list of at most 4 whole numbers from 1 to 30.");
    row("a date beyond the days to expiry", "moreDaysLeft", "31",
        "\"moreDaysLeft\" is not a number from 1 to 30");
    row("expiry as a date", "moreDaysLeft", "0", "\"moreDaysLeft\" is not a number from 1 to 30");
    // The what-ifs on volatility: a file holds them from version 3, and one
    // without them is written as version 2.
    row("a shift and an event", "whatIfs", "-50 30 1", "");
    row("a shift beyond the limit", "whatIfs", "51 0 30",
        "\"volatilityShiftPoints\" is not a number from -50 to 50");
    row("an event past expiry", "whatIfs", "10 31 30",
        "\"eventDays\" is not a number from 0 to 30");
    row("no volatility after it", "whatIfs", "0 5 0.5",
        "\"volatilityAfterPercent\" is not a number from 1 to 500");
    row("version 3 without them", "file", "\"version\": 2>\"version\": 3",
        "\"volatilityShiftPoints\"");
}

void TestPositionFile::a_file_keeps_the_market_that_can_be_and_no_other() {
    QFETCH(QString, member);
    QFETCH(QString, value);
    QFETCH(QString, problem);
    doc::Document d;
    d.rows = {{"1", "16.00", "40", "0", "0.50"}};
    d.underlyingQty = QStringLiteral("-1");
    d.underlyingPrice = member == u"underlyingPrice" ? value : QStringLiteral("63.20");
    d.costPerOption = member == u"costPerOption" ? value : QStringLiteral("0.65");
    d.costPerUnit = member == u"costPerUnit" ? value : QStringLiteral("0.01");
    d.range = {"54", "-5", "1", "100"};
    d.beforeExpiry = {30, 10, 0.05, false, 0.25, 0.015, true, {}};
    if (member == u"dividendPercent") {
        d.beforeExpiry->dividendYield = value.toDouble() / 100;
    }
    if (member == u"whatIfs") {
        const QStringList parts = value.split(u' ');
        d.beforeExpiry->volatilityShift = parts[0].toDouble() / 100;
        d.beforeExpiry->eventDays = parts[1].toInt();
        d.beforeExpiry->volatilityAfter = parts[2].toDouble() / 100;
    }
    if (member == u"moreDaysLeft") {
        for (const QString& day : value.split(u' ')) {
            d.beforeExpiry->moreDaysLeft.push_back(day.toInt());
        }
    }
    QByteArray file = doc::toJson(d);
    if (member == u"file") {
        const QByteArray from = value.section(u'>', 0, 0).toUtf8();
        QVERIFY(file.contains(from));
        file.replace(from, value.section(u'>', 1).toUtf8());
    } else { // a save refuses what an open would
        const doc::Writing writing = doc::write(d);
        QCOMPARE(writing.bytes.isEmpty(), !problem.isEmpty());
        QVERIFY2(writing.problem.contains(problem), qPrintable(writing.problem));
        QVERIFY(writing.bytes.isEmpty() ||
                writing.bytes.contains(member == u"whatIfs" ? "\"version\": 3" : "\"version\": 2"));
    }
    if (file.contains("\"version\": 1")) { // nothing of the market is looked for
        d.underlyingPrice = QStringLiteral("50");
        d.costPerOption = d.costPerUnit = QStringLiteral("0");
        d.beforeExpiry->dividendYield = 0;
        d.beforeExpiry->american = false;
    }
    const doc::Reading reading = doc::fromJson(file);
    QVERIFY2(reading.problem.contains(problem), qPrintable(reading.problem));
    QCOMPARE(reading.document.has_value(), problem.isEmpty());
    QVERIFY(!reading.document || *reading.document == d);
}

QTEST_GUILESS_MAIN(TestPositionFile)
#include "test_position_file.moc"
