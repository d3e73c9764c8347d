#include "WorkbenchHarness.h"

#include <QTest>

class TestPositionCommands : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void inverting_naked_call_writes_it_and_asks_before_rescaling();
    void inverting_twice_gives_the_position_back();
    void inversion_reads_leading_numbers_data();
    void inversion_reads_leading_numbers();
    void a_value_beyond_a_float_stops_the_inversion_where_it_was();
    void clear_blanks_the_diagram_and_plot_draws_it_again();
    void restart_leaves_an_empty_position_on_a_blank_diagram();

private:
    void press(const char* name) { h->button(QString::fromLatin1(name))->click(); }
    std::unique_ptr<WorkbenchHarness> h;
};

void TestPositionCommands::init() {
    h = std::make_unique<WorkbenchHarness>();
}

void TestPositionCommands::cleanup() {
    QCOMPARE(h->fake->dialogs.pendingAnswers(), 0);
    h.reset();
}

void TestPositionCommands::inverting_naked_call_writes_it_and_asks_before_rescaling() {
    h->fake->dialogs.script(platform::Dialogs::answerYes);
    h->bench->InvertPosition();
    QCOMPARE(h->fake->dialogs.shown().size(), 1);
    QVERIFY(h->fake->dialogs.shown().first().text.startsWith(
        QStringLiteral("The portfolio values lie outside")));
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(h->cell(r, 0), r == 3 ? QStringLiteral("-1.00") : QStringLiteral("0.00"));
        QCOMPARE(h->cell(r, 3), QStringLiteral("0.00"));
    }
    QCOMPARE(h->underlyingBox()->text(), QStringLiteral("0.00"));
    QCOMPARE(h->box(1)->text(), QStringLiteral("-54"));
    QCOMPARE(h->values->TextMatrix(100, 2), QStringLiteral("-49.0100"));
}

void TestPositionCommands::inverting_twice_gives_the_position_back() {
    h->grid()->setTextMatrix(1, 3, QStringLiteral("2.5"));
    h->grid()->setTextMatrix(5, 0, QStringLiteral("-0.125"));
    h->underlyingBox()->setText(QStringLiteral("3"));
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->bench->InvertPosition();
    QCOMPARE(h->cell(1, 3), QStringLiteral("-2.50"));
    QCOMPARE(h->underlyingBox()->text(), QStringLiteral("-3.00"));
    h->bench->InvertPosition();
    QCOMPARE(h->cell(1, 3), QStringLiteral("2.50"));
    QCOMPARE(h->cell(3, 0), QStringLiteral("1.00"));
    QCOMPARE(h->cell(5, 0), QStringLiteral("-0.13"));
    QCOMPARE(h->underlyingBox()->text(), QStringLiteral("3.00"));
    QCOMPARE(h->bench->position().putQty[1], 2.5f);
    QCOMPARE(h->bench->position().underlyingQty, 3.0f);
}

void TestPositionCommands::inversion_reads_leading_numbers_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("inverted");
    QTest::newRow("trailing letters") << "2abc"
                                      << "-2.00";
    QTest::newRow("letters only") << "abc"
                                  << "0.00";
    QTest::newRow("empty") << ""
                           << "0.00";
    QTest::newRow("negative") << "-4"
                              << "4.00";
}

void TestPositionCommands::inversion_reads_leading_numbers() {
    QFETCH(QString, cell);
    QFETCH(QString, inverted);
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->grid()->setTextMatrix(2, 0, cell);
    h->bench->InvertPosition();
    QCOMPARE(h->cell(2, 0), inverted);
}

void TestPositionCommands::a_value_beyond_a_float_stops_the_inversion_where_it_was() {
    h->grid()->setTextMatrix(4, 3, QStringLiteral("1e39"));
    const QImage before = h->pbox()->image();
    h->fake->dialogs.script(platform::Dialogs::answerOk);
    h->bench->InvertPosition();
    QCOMPARE(h->fake->dialogs.shown().size(), 1);
    QVERIFY(h->fake->dialogs.shown().first().text.endsWith(
        QStringLiteral("The system error is: Overflow")));
    QCOMPARE(h->cell(3, 0), QStringLiteral("-1.00")); // rows already inverted stay
    QCOMPARE(h->cell(4, 3), QStringLiteral("1e39"));
    QCOMPARE(h->cell(5, 0), QStringLiteral("0")); // not reached
    QCOMPARE(h->pbox()->image(), before);         // not plotted
}

void TestPositionCommands::clear_blanks_the_diagram_and_plot_draws_it_again() {
    // Plot once on a blank box so the drawing uses the range as the boxes
    // show it; Clear and Plot must then give exactly that picture.
    press("cmdClear");
    press("cmdPlot");
    const QImage drawn = h->pbox()->image();
    press("cmdClear");
    QVERIFY(h->pbox()->image() != drawn);
    QCOMPARE(h->cell(3, 0), QStringLiteral("1.00"));
    press("cmdPlot");
    QCOMPARE(h->pbox()->image(), drawn);
}

void TestPositionCommands::restart_leaves_an_empty_position_on_a_blank_diagram() {
    h->clickCell(2, 0);
    h->underlyingBox()->setText(QStringLiteral("2"));
    press("cmdRestart");
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(h->cell(r, 0), QString());
        QCOMPARE(h->cell(r, 3), QString());
        QCOMPARE(h->bench->position().callQty[r], 0.0f);
    }
    QCOMPARE(h->cell(2, 1), QStringLiteral("13.00")); // premiums stay
    QCOMPARE(h->underlyingBox()->text(), QString());
    QCOMPARE(h->box(2)->text(), QStringLiteral("1"));
    const QImage& img = h->pbox()->image();
    QCOMPARE(img.pixel(img.width() / 3, img.height() - 20), img.pixel(5, 5));
    press("cmdPlot");
    QCOMPARE(h->values->TextMatrix(50, 2), QStringLiteral("0.0000"));
    QCOMPARE(h->cell(1, 0), QStringLiteral("0.00"));
}

QTEST_MAIN(TestPositionCommands)
#include "test_position_commands.moc"
