#include "WorkbenchHarness.h"
#include "platform/Numbers.h"

#include <QTest>

#include <algorithm>

namespace {

// A position as a textbook writes it down: quantities by strike.
struct Book {
    float underlying = 0;
    float calls[6] = {};
    float puts[6] = {};
};

const float kStrike[6] = {0, 40, 45, 50, 55, 60};
const float kCallPremium[6] = {0, 16, 13, 10.5f, 8.25f, 6.5f};
const float kPutPremium[6] = {0, 0.5f, 1.5f, 3.5f, 6.5f, 10};

double payoffAt(const Book& b, double S) {
    double v = b.underlying * S;
    for (int r = 1; r <= 5; ++r) {
        v += b.calls[r] * std::max(S - kStrike[r], 0.0) + b.puts[r] * std::max(kStrike[r] - S, 0.0);
    }
    return v;
}

double profitAt(const Book& b, double S) {
    double v = b.underlying * (S - 50);
    for (int r = 1; r <= 5; ++r) {
        v += b.calls[r] * (std::max(S - kStrike[r], 0.0) - kCallPremium[r]);
        v += b.puts[r] * (std::max(kStrike[r] - S, 0.0) - kPutPremium[r]);
    }
    return v;
}

Book book(float underlying, std::initializer_list<std::pair<int, float>> calls,
          std::initializer_list<std::pair<int, float>> puts) {
    Book b;
    b.underlying = underlying;
    for (auto [row, q] : calls) {
        b.calls[row] = q;
    }
    for (auto [row, q] : puts) {
        b.puts[row] = q;
    }
    return b;
}

} // namespace

Q_DECLARE_METATYPE(Book)

class TestStrategies : public QObject {
    Q_OBJECT
private slots:
    void every_strategy_writes_its_quantities_and_plots_alone_data();
    void every_strategy_writes_its_quantities_and_plots_alone();
    void a_straddle_pays_the_distance_from_50();
    void picking_the_strategy_already_shown_throws_away_edits();
    void pasted_premiums_and_strikes_survive_a_strategy();
    void no_selected_entry_changes_nothing();
};

void TestStrategies::every_strategy_writes_its_quantities_and_plots_alone_data() {
    QTest::addColumn<Book>("expected");
    QTest::newRow("Naked Put") << book(0, {}, {{3, 1}});
    QTest::newRow("Naked Call") << book(0, {{3, 1}}, {});
    QTest::newRow("Covered Put") << book(-1, {}, {{3, -1}});
    QTest::newRow("Covered Call") << book(1, {{3, -1}}, {});
    QTest::newRow("Put Ratio Hedge") << book(-1, {}, {{3, -2}});
    QTest::newRow("Call Ratio Hedge") << book(1, {{3, -2}}, {});
    QTest::newRow("Bullish Put Spread") << book(0, {}, {{1, 1}, {5, -1}});
    QTest::newRow("Bullish Call Spread") << book(0, {{1, 1}, {5, -1}}, {});
    QTest::newRow("Bearish Put Spread") << book(0, {}, {{1, -1}, {5, 1}});
    QTest::newRow("Bearish Call Spread") << book(0, {{1, -1}, {5, 1}}, {});
    QTest::newRow("Put Ratio Spread") << book(0, {}, {{1, 2}, {5, -1}});
    QTest::newRow("Call Ratio Spread") << book(0, {{1, -1}, {5, 2}}, {});
    QTest::newRow("Put Butterfly Spread") << book(0, {}, {{1, 1}, {3, -2}, {5, 1}});
    QTest::newRow("Call Butterfly Spread") << book(0, {{1, 1}, {3, -2}, {5, 1}}, {});
    QTest::newRow("Straddle") << book(0, {{3, 1}}, {{3, 1}});
    QTest::newRow("Strangle") << book(0, {{5, 1}}, {{1, 1}});
    QTest::newRow("Strip") << book(0, {{3, 1}}, {{3, 2}});
    QTest::newRow("Strap") << book(0, {{3, 2}}, {{3, 1}});
}

void TestStrategies::every_strategy_writes_its_quantities_and_plots_alone() {
    QFETCH(Book, expected);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    for (const bool profit : {false, true}) {
        WorkbenchHarness h;
        if (profit) {
            h.chooseProfit();
        }
        // Whatever the student had done before: another range, typed cells,
        // an old curve in another colour.
        h.box(2)->setText(QStringLiteral("20"));
        h.box(3)->setText(QStringLiteral("30"));
        h.grid()->setTextMatrix(2, 0, QStringLiteral("2.5"));
        h.bench->setPlotColor(0x0000FF);
        h.choose(QStringLiteral("Naked Put"));
        h.bench->setPlotColor(0xFFFF00);
        h.choose(name);

        QVERIFY(h.fake->dialogs.shown().isEmpty());
        QCOMPARE(h.box(2)->text(), QStringLiteral("1"));
        QCOMPARE(h.box(3)->text(), QStringLiteral("100"));
        QCOMPARE(h.underlyingBox()->text(),
                 platform::numbers::format(expected.underlying, u"#####0"));
        for (int r = 1; r <= 5; ++r) {
            QCOMPARE(h.cell(r, 0), QString::number(int(expected.calls[r])));
            QCOMPARE(h.cell(r, 3), QString::number(int(expected.puts[r])));
        }
        // The earlier blue curve is gone: the plot area was cleared.
        const QImage& img = h.pbox()->image();
        for (int y = 0; y < img.height(); y += 3) {
            for (int x = 0; x < img.width(); x += 3) {
                QVERIFY((img.pixel(x, y) & 0xFFFFFF) != 0x0000FFu);
            }
        }
        for (int i = 1; i <= 100; ++i) {
            const double S = h.bench->plotPrice()[i];
            const double want = profit ? profitAt(expected, S) : payoffAt(expected, S);
            if (qAbs(h.bench->plotValue()[i] - want) > 1e-3) {
                QFAIL(qPrintable(QStringLiteral("%1 at %2: %3, want %4")
                                     .arg(profit ? "profit" : "payoff")
                                     .arg(S)
                                     .arg(h.bench->plotValue()[i])
                                     .arg(want)));
            }
        }
    }
}

void TestStrategies::a_straddle_pays_the_distance_from_50() {
    WorkbenchHarness h;
    h.choose(QStringLiteral("Straddle"));
    for (int i = 1; i <= 100; ++i) {
        const float S = h.bench->plotPrice()[i];
        QVERIFY(qAbs(h.bench->plotValue()[i] - qAbs(S - 50)) < 1e-4);
    }
    // Range rewritten from the new values: 49 at the low end, 5 beyond.
    QCOMPARE(h.box(0)->text(), QStringLiteral("54"));
    QCOMPARE(h.box(1)->text(), QStringLiteral("-5"));
}

void TestStrategies::picking_the_strategy_already_shown_throws_away_edits() {
    WorkbenchHarness h;
    QCOMPARE(h.strategies()->currentText(), QStringLiteral("Naked Call"));
    h.grid()->setTextMatrix(3, 0, QStringLiteral("7"));
    h.grid()->setTextMatrix(1, 3, QStringLiteral("2.5"));
    h.underlyingBox()->setText(QStringLiteral("3"));
    h.choose(QStringLiteral("Naked Call"));
    QCOMPARE(h.cell(3, 0), QStringLiteral("1"));
    QCOMPARE(h.cell(1, 3), QStringLiteral("0"));
    QCOMPARE(h.underlyingBox()->text(), QStringLiteral("0"));
    QCOMPARE(h.bench->position().underlyingQty, 0.0f);
}

void TestStrategies::pasted_premiums_and_strikes_survive_a_strategy() {
    WorkbenchHarness h;
    h.grid()->setTextMatrix(2, 1, QStringLiteral("12.75"));
    h.grid()->setTextMatrix(2, 2, QStringLiteral("46"));
    h.choose(QStringLiteral("Strip"));
    QCOMPARE(h.cell(2, 1), QStringLiteral("12.75"));
    QCOMPARE(h.cell(2, 2), QStringLiteral("46"));
    QCOMPARE(h.cell(3, 3), QStringLiteral("2"));
}

void TestStrategies::no_selected_entry_changes_nothing() {
    WorkbenchHarness h;
    const QImage before = h.pbox()->image();
    h.box(2)->setText(QStringLiteral("20"));
    h.strategies()->setCurrentIndex(-1);
    emit h.strategies()->activated(-1);
    QCOMPARE(h.box(2)->text(), QStringLiteral("20"));
    QCOMPARE(h.cell(3, 0), QStringLiteral("1"));
    QCOMPARE(h.pbox()->image(), before);
}

QTEST_MAIN(TestStrategies)
#include "test_strategies.moc"
