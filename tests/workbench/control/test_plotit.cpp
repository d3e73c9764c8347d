#include "WorkbenchHarness.h"
#include "platform/FailureGuard.h"
#include "platform/Numbers.h"
#include "platform/Palette.h"

#include <QTest>

#include <memory>

using platform::Dialogs;
using platform::vbFalse;
using platform::vbTrue;

namespace {
const QString kQuestion = QStringLiteral(
    "The portfolio values lie outside the range of the display.  Do you want to re-scale?");
constexpr platform::Rgb yellow = 0xFFFF00;
} // namespace

class TestPlotIt : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void a_bought_call_rescales_and_fills_the_values_grid();
    void the_profit_diagram_draws_the_zero_line_once_values_cross_zero();
    void the_payoff_diagram_of_a_bought_call_has_no_zero_line();
    void no_values_grid_is_written_while_none_is_assigned();
    void values_outside_the_display_ask_before_rescaling_data();
    void values_outside_the_display_ask_before_rescaling();
    void values_that_fit_are_drawn_over_the_old_curves_without_asking();
    void a_top_equal_to_the_highest_value_is_not_outside();
    void values_above_100000_rescale_to_a_bottom_of_99995();
    void the_curve_colour_lands_where_the_coordinates_put_it_and_survives_repaint();
    void a_zero_height_display_draws_without_failing();
    void a_range_box_beyond_a_float_reports_overflow_and_changes_nothing();
    void lowest_price_above_highest_plots_one_unit_and_keeps_the_box();
    void the_curve_reaches_its_true_peak_at_a_strike_between_samples_data();
    void the_curve_reaches_its_true_peak_at_a_strike_between_samples();

private:
    QLineEdit* box(int i) const { return h->box(i); }
    platform::PictureBox* pbox() const { return h->pbox(); }
    void chooseProfit() { h->chooseProfit(); }
    void boughtCallAt50() { bench->position().callQty[3] = 1; }

    std::unique_ptr<WorkbenchHarness> h;
    fakes::FakePlatform* fake = nullptr;
    workbench::wqzOptionPayoffs* bench = nullptr;
    platform::FlexGrid* values = nullptr;
};

void TestPlotIt::init() {
    h = std::make_unique<WorkbenchHarness>();
    fake = h->fake.get();
    bench = h->bench.get();
    values = h->values.get();
    // Start from an empty position rather than the strategy loaded at start-up.
    bench->position().callQty[3] = 0;
    fake->pump.passes = 0;
}

void TestPlotIt::cleanup() {
    QCOMPARE(fake->dialogs.pendingAnswers(), 0);
    h.reset();
}

void TestPlotIt::a_bought_call_rescales_and_fills_the_values_grid() {
    boughtCallAt50();
    bench->PlotIt(vbTrue);
    QVERIFY(fake->dialogs.shown().isEmpty());
    QCOMPARE(box(0)->text(), QStringLiteral("54")); // 49.01 + 5
    QCOMPARE(box(1)->text(), QStringLiteral("-5"));
    QCOMPARE(values->Rows(), 101);
    QCOMPARE(values->Cols(), 3);
    QCOMPARE(values->TextMatrix(0, 0), QStringLiteral("Numeric"));
    QCOMPARE(values->TextMatrix(1, 0), QStringLiteral("Values"));
    QCOMPARE(values->TextMatrix(0, 1), QStringLiteral("Underlying"));
    QCOMPARE(values->TextMatrix(0, 2), QStringLiteral("Payoff"));
    QCOMPARE(values->TextMatrix(1, 1), QStringLiteral("1.0000"));
    QCOMPARE(values->TextMatrix(1, 2), QStringLiteral("0.0000"));
    QCOMPARE(values->TextMatrix(100, 1), QStringLiteral("99.0100"));
    QCOMPARE(values->TextMatrix(100, 2), QStringLiteral("49.0100"));
    for (int r = 2; r <= 100; ++r) {
        QVERIFY(values->TextMatrix(r, 0).isEmpty());
    }
    QCOMPARE(values->ColAlignment(1), 4);
    QCOMPARE(values->ColAlignment(2), 4);
    QCOMPARE(pbox()->scaleTop(), double(platform::numbers::single(bench->plotValue()[100] + 5.0)));
    QCOMPARE(pbox()->scaleBottom(), -5.0);
    QCOMPARE(pbox()->drawWidth(), 2);
    QCOMPARE(fake->pump.passes, 1);
}

void TestPlotIt::the_profit_diagram_draws_the_zero_line_once_values_cross_zero() {
    boughtCallAt50();
    chooseProfit();
    bench->PlotIt(vbTrue);
    QCOMPARE(values->TextMatrix(0, 2), QStringLiteral("Profit"));
    QCOMPARE(values->TextMatrix(1, 2), QStringLiteral("-10.5000"));
    // S = 50 is sampled exactly (1 + 50 steps of 0.99 is 50.5); the value there
    // is S - 60.5.
    QCOMPARE(values->TextMatrix(51, 1), QStringLiteral("50.5000"));
    QCOMPARE(values->TextMatrix(51, 2), QStringLiteral("-10.0000"));
    QCOMPARE(box(1)->text(), QStringLiteral("-16")); // -10.5 - 5 rounds away from zero
    // The zero line is black, drawn over the curve, where the curve is not.
    const QPointF onZero = pbox()->toPixels(20, 0);
    QCOMPARE(pbox()->image().pixel(onZero.toPoint()) & 0xFFFFFF, 0u);
}

void TestPlotIt::the_payoff_diagram_of_a_bought_call_has_no_zero_line() {
    boughtCallAt50();
    bench->PlotIt(vbTrue);
    // Up to the strike the curve itself runs along 0, in the curve colour.
    const QPointF onZero = pbox()->toPixels(20, 0);
    QCOMPARE(pbox()->image().pixel(onZero.toPoint()) & 0xFFFFFF, yellow);
}

void TestPlotIt::no_values_grid_is_written_while_none_is_assigned() {
    bench->setGrddisplay(nullptr);
    values->setTextMatrix(1, 1, QStringLiteral("untouched"));
    const int rows = values->Rows();
    boughtCallAt50();
    bench->PlotIt(vbTrue);
    QCOMPARE(values->Rows(), rows);
    QCOMPARE(values->TextMatrix(1, 1), QStringLiteral("untouched"));
    QCOMPARE(box(0)->text(), QStringLiteral("54"));
}

void TestPlotIt::values_outside_the_display_ask_before_rescaling_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("bottom");
    QTest::addColumn<bool>("oldCurveKept");
    QTest::newRow("yes rescales and clears") << Dialogs::answerYes << "54"
                                             << "-5" << false;
    QTest::newRow("no keeps the range and the old curve") << Dialogs::answerNo << "10"
                                                          << "-10" << true;
}

void TestPlotIt::values_outside_the_display_ask_before_rescaling() {
    QFETCH(int, answer);
    QFETCH(QString, top);
    QFETCH(QString, bottom);
    QFETCH(bool, oldCurveKept);
    box(0)->setText(QStringLiteral("10"));
    box(1)->setText(QStringLiteral("-10"));
    // An old curve: the underlying's payoff is outside too, so draw it with
    // the scale chosen for it and put the boxes back.
    bench->position().underlyingQty = 0; // all zero: a flat line along 0
    bench->PlotIt(vbFalse);
    QVERIFY(fake->dialogs.shown().isEmpty());
    const QPointF oldPoint = pbox()->toPixels(80, 0);
    QCOMPARE(pbox()->image().pixel(oldPoint.toPoint()) & 0xFFFFFF, yellow);

    boughtCallAt50();
    bench->setPlotColor(0xFF0000);
    fake->dialogs.script(answer);
    bench->PlotIt(vbFalse);
    QCOMPARE(fake->dialogs.shown().size(), 1);
    QCOMPARE(fake->dialogs.shown().first().text, kQuestion);
    QCOMPARE(fake->dialogs.shown().first().buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(fake->dialogs.shown().first().icon, Dialogs::Icon::None);
    QCOMPARE(fake->dialogs.shown().first().title, QStringLiteral("Quillmere"));
    QCOMPARE(box(0)->text(), top);
    QCOMPARE(box(1)->text(), bottom);
    // The grid is complete whatever the answer.
    QCOMPARE(values->TextMatrix(100, 2), QStringLiteral("49.0100"));
    const bool kept = (pbox()->image().pixel(oldPoint.toPoint()) & 0xFFFFFF) == yellow;
    QCOMPARE(kept, oldCurveKept);
}

void TestPlotIt::values_that_fit_are_drawn_over_the_old_curves_without_asking() {
    boughtCallAt50();
    bench->PlotIt(vbTrue); // range 54 to -5
    const QPointF onFlat = pbox()->toPixels(20, 0);
    bench->position().callQty[3] = 0;
    bench->position().putQty[3] = 1; // a put: 49 down to 0, fits
    bench->setPlotColor(0x0000FF);
    bench->PlotIt(vbFalse);
    QVERIFY(fake->dialogs.shown().isEmpty());
    QCOMPARE(box(0)->text(), QStringLiteral("54"));
    // The call's flat part left of the strike is still there beside the put.
    // Blue, lightened to stand out on the slate area.
    QCOMPARE(pbox()->image().pixel(pbox()->toPixels(70, 0).toPoint()) & 0xFFFFFF,
             platform::readableOn(0x0000FF, pbox()->backColor()));
    QCOMPARE(pbox()->image().pixel(onFlat.toPoint()) & 0xFFFFFF, yellow);
}

void TestPlotIt::a_top_equal_to_the_highest_value_is_not_outside() {
    bench->position().underlyingQty = 1;
    bench->PlotIt(vbTrue);
    const float highest = bench->plotValue()[100];
    box(0)->setText(platform::numbers::numberText(highest));
    box(1)->setText(QStringLiteral("1"));
    bench->PlotIt(vbFalse); // ytop == ymax, ybot == ymin: nobody asked
    QVERIFY(fake->dialogs.shown().isEmpty());
    QCOMPARE(pbox()->scaleTop(), double(highest));
}

void TestPlotIt::values_above_100000_rescale_to_a_bottom_of_99995() {
    bench->position().underlyingQty = 2000;
    box(2)->setText(QStringLiteral("51"));
    bench->PlotIt(vbTrue);
    QCOMPARE(box(1)->text(), QStringLiteral("99995"));
    QCOMPARE(box(0)->text(), platform::numbers::format(bench->plotValue()[100] + 5.0f, u"######0"));
}

void TestPlotIt::the_curve_colour_lands_where_the_coordinates_put_it_and_survives_repaint() {
    bench->position().underlyingQty = 1; // payoff S: a diagonal
    bench->PlotIt(vbTrue);
    bench->show();
    QVERIFY(QTest::qWaitForWindowExposed(bench));
    const QPointF exact = pbox()->toPixels(30, 30);
    const QPoint p(int(exact.x()), int(exact.y()));
    QCOMPARE(pbox()->image().pixel(p) & 0xFFFFFF, yellow);
    pbox()->repaint();
    QCOMPARE(pbox()->grab().toImage().pixel(p) & 0xFFFFFF, yellow);
    QCOMPARE(pbox()->image().pixel(p) & 0xFFFFFF, yellow);
}

void TestPlotIt::a_zero_height_display_draws_without_failing() {
    // All values 0 and both vertical boxes 0: the values fit, nobody is asked,
    // and the flat line sits in the middle of the area.
    box(0)->setText(QStringLiteral("0"));
    box(1)->setText(QStringLiteral("0"));
    bench->PlotIt(vbFalse);
    QVERIFY(fake->dialogs.shown().isEmpty());
    const QImage& img = pbox()->image();
    QCOMPARE(img.pixel(img.width() / 2, img.height() / 2) & 0xFFFFFF, yellow);
}

void TestPlotIt::a_range_box_beyond_a_float_reports_overflow_and_changes_nothing() {
    boughtCallAt50();
    bench->PlotIt(vbTrue);
    const QImage before = pbox()->image();
    box(3)->setText(QStringLiteral("1e39"));
    fake->dialogs.script(Dialogs::answerOk);
    platform::runGuarded([&] { bench->PlotIt(vbFalse); });
    QCOMPARE(fake->dialogs.shown().size(), 1);
    QCOMPARE(fake->dialogs.shown().first().text, QStringLiteral("Run-time error '6':\n\nOverflow"));
    QCOMPARE(pbox()->image(), before);
    QCOMPARE(values->TextMatrix(100, 1), QStringLiteral("99.0100"));
    QCOMPARE(box(0)->text(), QStringLiteral("54"));
}

void TestPlotIt::lowest_price_above_highest_plots_one_unit_and_keeps_the_box() {
    box(2)->setText(QStringLiteral("60"));
    box(3)->setText(QStringLiteral("40"));
    bench->position().underlyingQty = 1;
    bench->PlotIt(vbTrue);
    QCOMPARE(box(3)->text(), QStringLiteral("40"));
    QCOMPARE(values->TextMatrix(1, 1), QStringLiteral("60.0000"));
    // 99 steps of 0.01 accumulated in single precision: 60.99 within rounding.
    QVERIFY(qAbs(platform::numbers::leadingNumber(values->TextMatrix(100, 1)) - 60.99) < 1e-3);
    QCOMPARE(pbox()->scaleRight(), 61.0);
}

void TestPlotIt::the_curve_reaches_its_true_peak_at_a_strike_between_samples_data() {
    QTest::addColumn<bool>("profit");
    QTest::addColumn<double>("peak");     // at the 50 strike
    QTest::addColumn<QString>("nearest"); // the sample at 50.50, as the grid shows it
    QTest::newRow("payoff") << false << 10.0 << "9.5000";
    QTest::newRow("profit") << true << 8.5 << "8.0000";
}

void TestPlotIt::the_curve_reaches_its_true_peak_at_a_strike_between_samples() {
    QFETCH(bool, profit);
    QFETCH(double, peak);
    QFETCH(QString, nearest);
    if (profit) {
        chooseProfit();
    }
    h->choose(QStringLiteral("Call Butterfly Spread"));
    // The samples step over the strike (49.51, 50.50); the curve does not.
    QCOMPARE(pbox()->image().pixel(pbox()->toPixels(50, peak).toPoint()) & 0xFFFFFF, yellow);
    QCOMPARE(pbox()->image().pixel(pbox()->toPixels(50, peak + 0.5).toPoint()) & 0xFFFFFF,
             pbox()->image().pixel(pbox()->toPixels(50, peak + 2).toPoint()) & 0xFFFFFF);
    QCOMPARE(values->TextMatrix(51, 1), QStringLiteral("50.5000"));
    QCOMPARE(values->TextMatrix(51, 2), nearest);
}

QTEST_MAIN(TestPlotIt)
#include "test_plotit.moc"
