// A position handed on as a link: what the program writes reads back as the
// same position, and what a link may bring (rows, a range, every input
// before expiry) is held to limits the writer never passes.
#include "platform/HandOverMessage.h"
#include "workbench/model/PositionColumns.h"
#include "workbench/model/Strategies.h"
#include "workbench/model/WorkbenchLink.h"

#include <QTest>

namespace links = workbench::links;
namespace doc = workbench::document;
namespace col = workbench::columns;

namespace {

// A document as the workbench gives one after a plot: its cells written in
// the grid's formats.
doc::Document documentOf(const workbench::PositionState& p, bool profit) {
    using platform::numbers::format;
    doc::Document d;
    for (int r = 1; r <= p.rowCount(); ++r) {
        d.rows << doc::Row{format(p.callQty[r], col::quantityFormat),
                           format(p.callPrice[r], col::premiumFormat), col::strikeText(p.strike[r]),
                           format(p.putQty[r], col::quantityFormat),
                           format(p.putPrice[r], col::premiumFormat)};
    }
    d.underlyingQty = format(p.underlyingQty, col::quantityFormat);
    d.underlyingPrice = QStringLiteral("63.2");
    d.costPerOption = QStringLiteral("0.65");
    d.costPerUnit = QStringLiteral("0.0125");
    d.range = {QStringLiteral("54"), QStringLiteral("-5.5"), QStringLiteral("1"),
               QStringLiteral("100")};
    d.profit = profit;
    workbench::beforeexpiry::Inputs in;
    in.daysToday = 45;
    in.daysLeft = 12;
    in.rate = 0.0325;
    in.implied = true;
    in.volatility = 0.2775;
    in.dividendYield = 0.015;
    in.american = true;
    in.moreDaysLeft = {30, 20};
    d.beforeExpiry = in;
    return d;
}

// A table pasted from a spreadsheet, read and plotted: twelve strikes, some
// with odd cents, one row without a strike, a few quantities.
doc::Document twelveRows() {
    doc::Document d = documentOf(workbench::startingQuotes(), true);
    d.rows.clear();
    for (int r = 0; r < 12; ++r) {
        d.rows << doc::Row{r % 4 == 1 ? QStringLiteral("-2.00") : QStringLiteral("0.00"),
                           QString::number(20.37 - 1.5 * r, 'f', 2), QString::number(30 + 2.5 * r),
                           r == 7 ? QStringLiteral("1.50") : QStringLiteral("0.00"),
                           QString::number(0.12 + 1.25 * r, 'f', 2)};
    }
    d.rows[5][col::Strike] = QStringLiteral("n/a");
    d.underlyingQty = QStringLiteral("100.00");
    d.beforeExpiry->implied = false;
    d.beforeExpiry->moreDaysLeft.clear();
    return d;
}

} // namespace

class TestLinkSharing : public QObject {
    Q_OBJECT
private slots:
    void every_position_written_reads_back_as_itself_data();
    void every_position_written_reads_back_as_itself();
    void a_link_is_never_longer_than_every_way_in_takes();
    void what_a_link_cannot_carry_is_refused_before_writing_data();
    void what_a_link_cannot_carry_is_refused_before_writing();
    void a_links_rows_and_range_are_held_to_their_limits_data();
    void a_links_rows_and_range_are_held_to_their_limits();
};

void TestLinkSharing::every_position_written_reads_back_as_itself_data() {
    QTest::addColumn<doc::Document>("shown");
    for (const workbench::Strategy& s : workbench::standardStrategies()) {
        workbench::PositionState p = workbench::startingQuotes();
        workbench::hold(p, s);
        for (const bool profit : {false, true}) {
            QTest::addRow("%s, %s", qPrintable(QString::fromUtf16(s.name)),
                          profit ? "profit" : "payoff")
                << documentOf(p, profit);
        }
    }
    QTest::newRow("a pasted table of twelve rows") << twelveRows();
    doc::Document none = twelveRows();
    none.beforeExpiry.reset();
    QTest::newRow("no inputs before expiry") << none;
    doc::Document whatIfs = twelveRows();
    whatIfs.beforeExpiry->volatilityShift = -0.07;
    whatIfs.beforeExpiry->eventDays = 12;
    whatIfs.beforeExpiry->volatilityAfter = 0.185;
    QTest::newRow("a volatility shift and an event") << whatIfs;
}

void TestLinkSharing::every_position_written_reads_back_as_itself() {
    QFETCH(doc::Document, shown);
    const links::Sharing sharing = links::shareOf(shown);
    QVERIFY2(sharing.load, qPrintable(sharing.problem));
    const links::Writing writing = links::write(*sharing.load);
    QVERIFY2(writing.problem.isEmpty(), qPrintable(writing.problem));
    const links::Reading reading = links::readText(writing.link, 5);
    QVERIFY2(reading.load, qPrintable(reading.problem));
    QVERIFY(*reading.load == *sharing.load);
    // Each row the grid showed, each box and input, is in the link.
    QCOMPARE(reading.load->rows->size(), std::size_t(shown.rows.size()));
    QCOMPARE(reading.load->range, (links::Range{1, 100, -5.5f, 54}));
    QCOMPARE(reading.load->market.price, 63.2f);
    QCOMPARE(reading.load->market.costPerUnit, 0.0125f);
    if (shown.beforeExpiry) {
        QCOMPARE(links::inputsAfter(reading.load->market, {}), *shown.beforeExpiry);
    }
    QVERIFY2(writing.link.size() < 600, qPrintable(writing.link));
}

void TestLinkSharing::a_link_is_never_longer_than_every_way_in_takes() {
    // The longest numbers in every cell: the grid's most rows go by file,
    // and as many rows as a link carries go every way a link travels.
    doc::Document d = twelveRows();
    const auto fill = [&d](int rows) {
        d.rows.clear();
        for (int r = 0; r < rows; ++r) {
            d.rows << doc::Row{QStringLiteral("-999.99"), QStringLiteral("-9999999"),
                               QStringLiteral("-9999999"), QStringLiteral("-999.99"),
                               QStringLiteral("-1234567")};
        }
        return links::write(*links::shareOf(d).load);
    };
    const links::Writing most = fill(col::mostRows);
    QVERIFY(most.tooLong && most.link.isEmpty());
    QVERIFY2(most.problem.endsWith(QStringLiteral("A position file carries it whole.")),
             qPrintable(most.problem));

    const links::Writing carried = fill(1100);
    QVERIFY2(carried.problem.isEmpty(), qPrintable(carried.problem));
    QVERIFY(carried.link.size() > links::longestLink * 9 / 10);
    QVERIFY(carried.link.size() <= links::longestLink);
    // Handed from a later start to the running window, and read there.
    const std::optional<QByteArray> message =
        platform::handover::encode({carried.link, QStringLiteral("/tmp/a.wqzpos")});
    QVERIFY(message);
    platform::handover::Reader reader;
    for (qsizetype at = 0; at < message->size();) {
        const qsizetype take = std::min(reader.room(), message->size() - at);
        reader.feed(message->mid(at, take));
        at += take;
    }
    QCOMPARE(reader.state(), platform::handover::Reader::State::Complete);
    QVERIFY(links::readText(reader.arguments().constFirst(), 5).load);
    // One more character than the limit is refused before it is parsed.
    const links::Reading tooLong =
        links::readText(carried.link + QString(links::longestLink, u'0'), 5);
    QCOMPARE(tooLong.problem, QStringLiteral("The link is too long."));
}

void TestLinkSharing::what_a_link_cannot_carry_is_refused_before_writing_data() {
    QTest::addColumn<int>("row"); // 0 for the underlying's box
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a quantity beyond a leg's") << 3 << int(col::CallQty) << "1500"
                                               << "row 3's call quantity is 1500";
    QTest::newRow("an underlying beyond a leg's") << 0 << 0 << "-2000"
                                                  << "the underlying's quantity is -2000";
    QTest::newRow("a strike of eight digits") << 2 << int(col::Strike) << "12345678"
                                              << "row 2";
    QTest::newRow("a premium of five decimals") << 1 << int(col::PutPrice) << "0.12345"
                                                << "cannot carry exactly";
    QTest::newRow("a number beyond the grid's") << 1 << int(col::CallPrice) << "1e39"
                                                << "too large";
}

void TestLinkSharing::what_a_link_cannot_carry_is_refused_before_writing() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, problem);
    doc::Document d = twelveRows();
    (row == 0 ? d.underlyingQty : d.rows[row - 1][std::size_t(column)]) = text;
    const links::Sharing sharing = links::shareOf(d);
    const QString why = sharing.load ? links::write(*sharing.load).problem : sharing.problem;
    QVERIFY2(why.contains(problem), qPrintable(why));
}

void TestLinkSharing::a_links_rows_and_range_are_held_to_their_limits_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("problem"); // empty when the link loads
    const QString legs = QStringLiteral("&position=c2:1&diagram=profit");
    QTest::newRow("two rows") << "rows=40:16:0.5;45.5:13.1234:1.5" + legs << "";
    QTest::newRow("a row without a strike") << "rows=:16:0.5;45:13:-1.5" + legs << "";
    QTest::newRow("a leg beyond the link's rows") << "rows=40:16:0.5" + legs << "no row 2";
    QTest::newRow("a leg on a row the grid lacks but the link has")
        << "rows=40:16:0.5;45:13:1.5;50:10:3;55:7:6;60:5:10;65:3:14"
           "&position=c6:1&diagram=profit"
        << "";
    QTest::newRow("five decimals") << "rows=40:16.12345:0.5;45:13:1.5" + legs << "row 1";
    QTest::newRow("eight digits") << "rows=40:16:0.5;45:13:12345678" + legs << "row 2";
    QTest::newRow("a missing premium") << "rows=40:16;45:13:1" + legs << "row 1";
    QTest::newRow("a word for a strike") << "rows=abc:16:0.5;45:13:1" + legs << "row 1";
    QTest::newRow("an exponent") << "rows=4e1:16:0.5;45:13:1" + legs << "row 1";
    QTest::newRow("no rows at all") << "rows=" + legs << "row 1";
    QTest::newRow("more rows than the grid's")
        << "rows=" + QStringList(col::mostRows + 1, QStringLiteral("1:1:1")).join(u';') + legs
        << "more than the grid's 5000";
    QTest::newRow("rows with a strategy") << "rows=40:16:0.5&strategy=Straddle&diagram=profit"
                                          << "cannot bring rows";
    QTest::newRow("a range") << "range=1:100:-5.25:54" + legs.mid(0) << "";
    QTest::newRow("a strategy in a range") << "range=35:65:-2:18&strategy=Straddle&diagram=payoff"
                                           << "";
    QTest::newRow("a range of three") << "range=1:100:-5" + legs << "not four numbers";
    QTest::newRow("a range with a word") << "range=1:100:-5:top" + legs << "not four numbers";
    QTest::newRow("implied with a fallback") << "volatility=implied,25" + legs << "";
    QTest::newRow("implied with a fallback too high")
        << "volatility=implied,600" + legs << "\"implied\" followed by a comma";
    QTest::newRow("no more dates") << "dates=none" + legs << "";
}

void TestLinkSharing::a_links_rows_and_range_are_held_to_their_limits() {
    QFETCH(QString, query);
    QFETCH(QString, problem);
    const links::Reading reading = links::readText("wqz-workbench:load?" + query, 5);
    if (problem.isEmpty()) {
        QVERIFY2(reading.load, qPrintable(reading.problem));
        // Whatever loads is written back as the same link's load.
        if (reading.load->rows) {
            const links::Writing again = links::write(*reading.load);
            QVERIFY2(again.problem.isEmpty(), qPrintable(again.problem));
            QVERIFY(*links::readText(again.link, 5).load == *reading.load);
        }
    } else {
        QVERIFY(!reading.load);
        QVERIFY2(reading.problem.contains(problem), qPrintable(reading.problem));
    }
}

QTEST_GUILESS_MAIN(TestLinkSharing)
#include "test_link_sharing.moc"
