// A leg's own expiry as a student gives it: typed after a quantity, chosen
// from the strategy list, and carried by a file, a link and a paste.
#include "WorkbenchHarness.h"
#include "workbench/control/BeforeExpiryPanel.h"
#include "workbench/model/PositionColumns.h"

#include <QSlider>

namespace col = workbench::columns;

namespace {

QString analysisText(const WorkbenchHarness& h) {
    return h.bench->settledAnalysisText();
}

// What a position is, each leg with its days.
struct Legs {
    std::vector<float> calls, puts;
    std::vector<int> callDays, putDays;
    bool operator==(const Legs&) const = default;
};
Legs legsOf(const workbench::PositionState& p) {
    return {p.callQty, p.putQty, p.callDays, p.putDays};
}

} // namespace

class TestLegExpiry : public QObject {
    Q_OBJECT
private slots:
    void days_typed_after_a_quantity_stay_with_its_leg_data();
    void days_typed_after_a_quantity_stay_with_its_leg();
    void the_dates_run_to_the_first_expiry();
    void a_calendar_reads_back_from_a_file_a_link_and_a_paste();
};

void TestLegExpiry::days_typed_after_a_quantity_stay_with_its_leg_data() {
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("days");
    QTest::addColumn<bool>("refused");
    QTest::newRow("days typed") << QStringList{"-1 @60d"} << "-1.00 @60d" << 60 << false;
    QTest::newRow("a quantity typed over them keeps them")
        << QStringList{"-1 @60", "2"} << "2.00 @60d" << 60 << false;
    QTest::newRow("the mark alone gives them up")
        << QStringList{"-1 @60", "3 @", "4"} << "4.00" << 0 << false;
    QTest::newRow("days beyond the limit are refused")
        << QStringList{"1 @3651d"} << "1 @3651d" << 0 << true;
}

void TestLegExpiry::days_typed_after_a_quantity_stay_with_its_leg() {
    QFETCH(QStringList, typed);
    QFETCH(QString, shown);
    QFETCH(int, days);
    QFETCH(bool, refused);
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    h.clickCell(3, col::CallQty);
    for (const QString& keys : typed) {
        h.typeToFocus(keys);
        h.keyToFocus(Qt::Key_Return);
    }
    QCOMPARE(h.cell(3, col::CallQty), shown);
    QCOMPARE(h.bench->position().callDays[3], days);
    QCOMPARE(h.grid()->cellToolTip(3, col::CallQty).startsWith(u"Not taken"_qs), refused);
}

void TestLegExpiry::the_dates_run_to_the_first_expiry() {
    WorkbenchHarness h;
    workbench::BeforeExpiryPanel panel(*h.bench);
    h.chooseProfit();
    QVERIFY(h.showActive());
    // A written call that expires in 20 days against the panel's 30, and a
    // bought one at the panel's.
    h.clickCell(3, col::CallQty);
    h.typeToFocus(u"-1 @20"_qs);
    h.keyToFocus(Qt::Key_Return);
    h.clickCell(4, col::CallQty);
    h.typeToFocus(u"1"_qs);
    h.keyToFocus(Qt::Key_Return);
    h.button(QStringLiteral("cmdPlot"))->click();
    QCOMPARE(panel.findChild<QSlider*>(QStringLiteral("sldDaysLeft"))->maximum(), 20);
    QVERIFY2(analysisText(h).contains(u"Break-evens (to the cent): "_qs),
             qPrintable(analysisText(h)));
    QVERIFY(
        analysisText(h).contains(u"At the first expiry, day 20, if the price stays at 50.00"_qs));
}

void TestLegExpiry::a_calendar_reads_back_from_a_file_a_link_and_a_paste() {
    WorkbenchHarness h;
    h.chooseProfit();
    h.choose(QStringLiteral("Call Calendar Spread"));
    QCOMPARE(h.grid()->Rows(), 7);
    QCOMPARE(h.cell(6, col::CallQty), QStringLiteral("1 @60d"));
    QCOMPARE(h.bench->strategyHeld(), QStringLiteral("Call Calendar Spread"));
    const Legs legs = legsOf(h.bench->position());
    const QString text = analysisText(h);
    QVERIFY(text.contains(u"Break-evens (to the cent): "_qs));

    // A file.
    const workbench::document::Writing file = workbench::document::write(h.bench->document());
    QVERIFY(file.problem.isEmpty());
    QVERIFY(file.bytes.contains("\"callDays\": 60"));
    WorkbenchHarness opened;
    opened.bench->openDocument(*workbench::document::fromJson(file.bytes).document, u"c"_qs);
    QCOMPARE(legsOf(opened.bench->position()), legs);
    QCOMPARE(analysisText(opened), text);

    // A link, as Copy Link writes it.
    const workbench::links::Writing link =
        workbench::links::write(*workbench::links::shareOf(h.bench->document()).load);
    QVERIFY(link.link.contains(u":60:60"_qs));
    WorkbenchHarness followed;
    followed.bench->followLink(*workbench::links::read(QUrl(link.link), 5).load);
    QCOMPARE(legsOf(followed.bench->position()), legs);
    QCOMPARE(analysisText(followed), text);

    // A quote table with a days column, the quantities typed in it.
    QString table;
    for (int r = 1; r < h.grid()->Rows(); ++r) {
        const int days = h.bench->position().callDays[std::size_t(r)];
        table += QStringList{QString::number(h.bench->position().callQty[r]),
                             h.cell(r, col::CallPrice),
                             h.cell(r, col::Strike),
                             u"0"_qs,
                             h.cell(r, col::PutPrice),
                             days > 0 ? QString::number(days) : QString()}
                     .join(u'\t') +
                 u"\r\n"_qs;
    }
    WorkbenchHarness pasted;
    pasted.chooseProfit();
    pasted.bench->pasteData(table);
    QVERIFY(pasted.fake->dialogs.shown().empty());
    pasted.button(QStringLiteral("cmdPlot"))->click();
    QCOMPARE(legsOf(pasted.bench->position()), legs);
    QCOMPARE(analysisText(pasted), text);
}

QTEST_MAIN(TestLegExpiry)
#include "test_leg_expiry.moc"
