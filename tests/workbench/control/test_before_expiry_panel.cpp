// The Before Expiry panel as a student uses it: days left typed into it draw
// the curve before expiry, its legend line and its greeks; a row the model
// cannot value is left out of them, and the panel says which and why.
#include "WorkbenchHarness.h"
#include "workbench/control/BeforeExpiryPanel.h"
#include "workbench/control/CurveLegend.h"
#include "workbench/control/ExpiryCurveLayer.h"
#include "workbench/control/GreekCurveLayer.h"
#include "workbench/model/PositionAnalysis.h"

#include "fakes/UserInput.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>

using workbench::payoff::payoffDiagram;

namespace {

using userinput::clickIn;
using userinput::retypeBox;

} // namespace

class TestBeforeExpiryPanel : public QObject {
    Q_OBJECT
private slots:
    void days_left_typed_in_the_panel_draw_the_curve_and_its_greeks();
    void a_box_takes_a_number_when_it_is_confirmed_and_refuses_one_out_of_range_data();
    void a_box_takes_a_number_when_it_is_confirmed_and_refuses_one_out_of_range();
    void a_row_the_model_cannot_value_leaves_no_value_before_expiry_data();
    void a_row_the_model_cannot_value_leaves_no_value_before_expiry();
    void quotes_that_break_parity_are_named_under_the_table_data();
    void quotes_that_break_parity_are_named_under_the_table();
    void the_table_says_when_it_describes_an_earlier_position();
    void a_dividend_and_american_exercise_chosen_by_keyboard_say_where_exercise_pays();
    void more_dates_typed_draw_a_curve_each_or_are_refused_data();
    void more_dates_typed_draw_a_curve_each_or_are_refused();
    void a_greek_chosen_by_keyboard_is_drawn_on_its_own_axis_and_exported_data();
    void a_greek_chosen_by_keyboard_is_drawn_on_its_own_axis_and_exported();
    void the_shift_slider_and_an_event_move_the_curves_and_say_so();
    void tab_follows_the_layout_data();
    void tab_follows_the_layout();
};

void TestBeforeExpiryPanel::days_left_typed_in_the_panel_draw_the_curve_and_its_greeks() {
    WorkbenchHarness h;
    h.choose(QStringLiteral("Straddle"));
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.show();
    QApplication::setActiveWindow(&panel);
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    auto* daysLeft = panel.findChild<QSpinBox*>(QStringLiteral("spnDaysLeft"));
    QTest::mouseClick(daysLeft, Qt::LeftButton);
    retypeBox(QStringLiteral("10"));
    QCOMPARE(h.bench->beforeExpiry().daysLeft, 10);
    auto* legend = h.pbox()->findChild<workbench::CurveLegend*>(QStringLiteral("curveLegend"));
    QCOMPARE(legend->beforeExpiry().size(), 1);
    QCOMPARE(legend->beforeExpiry()[0].text, QStringLiteral("Straddle (payoff) with 10 days left"));
    const auto* curve =
        h.pbox()->findChild<workbench::ExpiryCurveLayer*>(QStringLiteral("expiryCurve"));
    QVERIFY(!curve->isHidden() && curve->curves().size() == 1 &&
            curve->curves()[0].points.size() > 100);
    // Above the expiry V about the strike: a long straddle is worth more
    // before expiry. (Far below it the put is worth less than at expiry: a
    // European put's strike is paid only then.)
    for (const QPointF& point : curve->curves()[0].points) {
        QVERIFY(point.x() < 40 || point.x() > 60 ||
                point.y() >
                    workbench::analysis::valueAt(h.bench->position(), point.x(), payoffDiagram));
    }
    QVERIFY(h.bench->settledAnalysisText().contains(
        QStringLiteral("Value with 10 days left at 50.00")));
    QVERIFY(h.bench->settledAnalysisText().contains(
        QStringLiteral("\nGreeks at 50.00 with 10 days left:\nDelta 0.0885   Gamma 0.1019\n")));
    // The start-up quotes' every premium has a volatility at these inputs.
    auto* table = panel.findChild<QTableWidget*>(QStringLiteral("grdVolatilities"));
    QCOMPARE(table->rowCount(), 5);
    QVERIFY(table->item(2, 1)->text().endsWith(QStringLiteral(" %")));
    // Back to 0: nothing new is shown, and the persistent picture never held it.
    retypeBox(QStringLiteral("0"));
    QVERIFY(curve->isHidden());
    QVERIFY(legend->beforeExpiry().isEmpty());
    QVERIFY(!h.bench->settledAnalysisText().contains(QStringLiteral("days left")));
}

void TestBeforeExpiryPanel::
    a_box_takes_a_number_when_it_is_confirmed_and_refuses_one_out_of_range_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("confirmed");
    // Days to expiry, days left, rate and volatility in percent once typed,
    // starting from 30, 20, 5 % and 30 %.
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("days to expiry leave the days left as they are") << "spnDaysToday"
                                                                    << "60" << true << "60 20 5 30"
                                                                    << "";
    QTest::newRow("a keystroke alone changes nothing") << "spnDaysToday"
                                                       << "6" << false << "30 20 5 30"
                                                       << "";
    QTest::newRow("days to expiry below the days left")
        << "spnDaysToday"
        << "10" << true << "30 20 5 30"
        << "Not taken: Days to expiry takes whole numbers from 20 to 3650.";
    QTest::newRow("days left past the days to expiry")
        << "spnDaysLeft"
        << "45" << true << "30 20 5 30"
        << "Not taken: Days left shown takes whole numbers from 0 to 30.";
    QTest::newRow("volatility past its range")
        << "spnVolatility"
        << "750" << true << "30 20 5 30"
        << "Not taken: One volatility in percent takes numbers from 1.00 to 500.00.";
    QTest::newRow("rate past its range")
        << "spnRate"
        << "60" << true << "30 20 5 30"
        << "Not taken: Interest rate in percent takes numbers from -10.00 to 50.00.";
    QTest::newRow("a shift past its range")
        << "spnVolatilityShift"
        << "-60" << true << "30 20 5 30"
        << "Not taken: Volatility shift in points takes whole numbers from -50 to +50.";
    QTest::newRow("an event past the days to expiry")
        << "spnEventDays"
        << "45" << true << "30 20 5 30"
        << "Not taken: Event in days takes whole numbers from 0 to 30.";
}

void TestBeforeExpiryPanel::
    a_box_takes_a_number_when_it_is_confirmed_and_refuses_one_out_of_range() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(bool, confirmed);
    QFETCH(QString, inputs);
    QFETCH(QString, refusal);
    WorkbenchHarness h;
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.show();
    clickIn(&panel, panel.findChild<QSpinBox*>(QStringLiteral("spnDaysLeft")));
    retypeBox(QStringLiteral("20"));
    auto* typedIn = panel.findChild<QAbstractSpinBox*>(box);
    QTest::mouseClick(typedIn, Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), typed);
    if (confirmed) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    const workbench::beforeexpiry::Inputs in = h.bench->beforeExpiry();
    QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                 .arg(in.daysToday)
                 .arg(in.daysLeft)
                 .arg(in.rate * 100)
                 .arg(in.volatility * 100),
             inputs);
    // A refused number stays where the student typed it, said to be refused.
    QVERIFY2(typedIn->text().startsWith(typed), qPrintable(typedIn->text()));
    QCOMPARE(typedIn->toolTip().startsWith(QStringLiteral("Not taken")), !refusal.isEmpty());
    if (!refusal.isEmpty()) {
        QCOMPARE(typedIn->toolTip(), refusal);
    }
}

void TestBeforeExpiryPanel::a_row_the_model_cannot_value_leaves_no_value_before_expiry_data() {
    QTest::addColumn<QString>("strike");
    // Days left typed before Plot, or raised with Up after a plot with none.
    QTest::addColumn<bool>("upAfterPlot");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("analysis"); // the read-out's last line
    const QString row = QStringLiteral("Row 3 takes no part in the value before expiry: ");
    const QString none = QStringLiteral("No value before expiry: row 3's strike, ");
    QTest::newRow("negative strike") << "-10" << false << row + "its strike, -10, is not above 0."
                                     << none + "-10, is not above 0.";
    QTest::newRow("negative strike, Up after the plot")
        << "-10" << true << row + "its strike, -10, is not above 0."
        << none + "-10, is not above 0.";
    QTest::newRow("strike of 0") << "0" << false << row + "its strike, 0, is not above 0."
                                 << none + "0, is not above 0.";
    // The grid shows a strike to the cent: this one is 0 once read.
    QTest::newRow("strike next to 0") << "1e-30" << false << row + "its strike, 0, is not above 0."
                                      << none + "0, is not above 0.";
}

void TestBeforeExpiryPanel::a_row_the_model_cannot_value_leaves_no_value_before_expiry() {
    QFETCH(QString, strike);
    QFETCH(bool, upAfterPlot);
    QFETCH(QString, note);
    QFETCH(QString, analysis);
    WorkbenchHarness h; // a Naked Call: one call of row 3, strike 50
    QVERIFY(h.showActive());
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.show();
    auto* daysLeft = panel.findChild<QSpinBox*>(QStringLiteral("spnDaysLeft"));
    if (!upAfterPlot) {
        clickIn(&panel, daysLeft);
        retypeBox(QStringLiteral("10"));
    }
    clickIn(h.bench.get(), h.grid());
    h.clickCell(3, 2);
    h.typeToFocus(strike);
    h.keyToFocus(Qt::Key_Return);
    // The call's curve leaves the range shown: kept as it is.
    h.fake->dialogs.script(platform::Dialogs::answerNo);
    QTest::mouseClick(h.button(QStringLiteral("cmdPlot")), Qt::LeftButton);
    if (upAfterPlot) {
        clickIn(&panel, daysLeft);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    }
    // The expiry analysis describes the position plotted; before expiry the
    // position has no value at all while one of its rows cannot be valued:
    // no dashed curve, no greeks, no hover value, and the read-out says why.
    QCOMPARE(h.fake->dialogs.shown().size(), 1);
    const QString text = h.bench->settledAnalysisText();
    QVERIFY(text.contains(QStringLiteral("Net premium: 10.50 paid")));
    QCOMPARE(text.split(u'\n').constLast(), analysis);
    QVERIFY2(!text.contains(QStringLiteral("Greeks at")), qPrintable(text));
    QVERIFY(h.bench->diagram().beforeExpiry.isEmpty());
    QVERIFY(h.bench->beforeExpiryColumns().isEmpty());
    auto* said = panel.findChild<QLabel*>(QStringLiteral("lblVolatilityNote"));
    // Only the row left out is named: no option of it is priced otherwise.
    QCOMPARE(said->text(), note);
}

void TestBeforeExpiryPanel::quotes_that_break_parity_are_named_under_the_table_data() {
    QTest::addColumn<QString>("widget"); // clicked first, then typed into
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named"); // the strikes the line names
    const char* rows[][4] = {
        {"the start-up quotes", "", "", "at 50 imply 184 % and 63 %"},
        {"one volatility for every option", "optSingle", "", ""},
        {"60 days to expiry", "spnDaysToday", "60", "at 50 imply 129 % and 46 %"},
        {"a strike typed as 47.5", "Grid1", "47.5", "at 47.50 imply 165 % and 85 %"}};
    for (const auto& row : rows) {
        QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << QString(row[3]);
    }
}

void TestBeforeExpiryPanel::quotes_that_break_parity_are_named_under_the_table() {
    QFETCH(QString, widget);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    WorkbenchHarness h; // a Naked Call: one call of row 3, strike 50
    QVERIFY(h.showActive());
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.show();
    if (widget == u"Grid1") {
        clickIn(h.bench.get(), h.grid());
        h.clickCell(3, 2);
        h.typeToFocus(typed);
        h.keyToFocus(Qt::Key_Return);
        h.fake->dialogs.script(platform::Dialogs::answerNo);
        QTest::mouseClick(h.button(QStringLiteral("cmdPlot")), Qt::LeftButton);
    } else if (!widget.isEmpty()) {
        clickIn(&panel, panel.findChild<QWidget*>(widget));
        if (!typed.isEmpty()) {
            retypeBox(typed);
        }
    }
    // The held strike reads in the table as in the grid.
    auto* table = panel.findChild<QTableWidget*>(QStringLiteral("grdVolatilities"));
    QCOMPARE(table->item(2, 0)->text(), h.cell(3, 2));
    auto* said = panel.findChild<QLabel*>(QStringLiteral("lblQuotesAtOdds"));
    QVERIFY(said);
    QCOMPARE(said->isVisible() ? said->text() : QString(),
             named.isEmpty() ? QString()
                             : "Calls and puts " + named +
                                   ": these quotes are not consistent with each other, so curves "
                                   "before expiry differ between equivalent positions");
}

void TestBeforeExpiryPanel::the_table_says_when_it_describes_an_earlier_position() {
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.show();
    auto* title = panel.findChild<QLabel*>(QStringLiteral("lblVolatilities"));
    const QString plain = QStringLiteral("Implied volatilities");
    QCOMPARE(title->text(), plain);
    clickIn(h.bench.get(), h.grid());
    h.clickCell(3, 1);
    h.typeToFocus(QStringLiteral("12")); // a call premium typed, not yet plotted
    QCoreApplication::processEvents();
    QCOMPARE(title->text(), plain + QStringLiteral(" as last plotted \u2014 press Plot to update"));
    h.keyToFocus(Qt::Key_Return);
    QTest::mouseClick(h.button(QStringLiteral("cmdPlot")), Qt::LeftButton);
    QCOMPARE(title->text(), plain);
}

void TestBeforeExpiryPanel::
    a_dividend_and_american_exercise_chosen_by_keyboard_say_where_exercise_pays() {
    WorkbenchHarness h;
    h.choose(QStringLiteral("Straddle"));
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.show();
    clickIn(&panel, panel.findChild<QSpinBox*>(QStringLiteral("spnDaysLeft")));
    retypeBox(QStringLiteral("10"));
    auto* table = panel.findChild<QTableWidget*>(QStringLiteral("grdVolatilities"));
    const QString europeanPut = table->item(2, 2)->text();
    QTest::mouseClick(panel.findChild<QDoubleSpinBox*>(QStringLiteral("spnDividend")),
                      Qt::LeftButton);
    retypeBox(QStringLiteral("3"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmbExercise"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    const workbench::beforeexpiry::Inputs& in = h.bench->beforeExpiry();
    QVERIFY(in.american);
    QCOMPARE(in.dividendYield, 0.03);
    // The put's premium now buys the right to exercise early: a lower
    // volatility explains it.
    QVERIFY(table->item(2, 2)->text() != europeanPut);
    QVERIFY2(h.bench->settledAnalysisText().contains(
                 QRegularExpression(QStringLiteral("\\nPut 50: early exercise pays below "
                                                   "\\d+\\.\\d\\d with 10 days left"))),
             qPrintable(h.bench->settledAnalysisText()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QVERIFY(!h.bench->beforeExpiry().american);
    QVERIFY(!h.bench->settledAnalysisText().contains(QStringLiteral("early exercise")));
}

void TestBeforeExpiryPanel::more_dates_typed_draw_a_curve_each_or_are_refused_data() {
    QTest::addColumn<QString>("typed");
    // The days left of the curves drawn, most first; empty when refused.
    QTest::addColumn<QList<int>>("drawn");
    // With 10 days left shown besides.
    QTest::newRow("two, and the days left") << QStringLiteral("20, 5") << QList<int>{20, 10, 5};
    QTest::newRow("spaces, a repeat, the days left again")
        << QStringLiteral("  25 10 25;3") << QList<int>{25, 10, 3};
    QTest::newRow("today is the days to expiry") << QStringLiteral("30") << QList<int>{30, 10};
    QTest::newRow("beyond the days to expiry") << QStringLiteral("31") << QList<int>{};
    QTest::newRow("five more") << QStringLiteral("1,2,3,4,5") << QList<int>{};
    QTest::newRow("no whole number") << QStringLiteral("7.5") << QList<int>{};
    QTest::newRow("expiry itself") << QStringLiteral("0") << QList<int>{};
}

void TestBeforeExpiryPanel::more_dates_typed_draw_a_curve_each_or_are_refused() {
    QFETCH(QString, typed);
    QFETCH(QList<int>, drawn);
    WorkbenchHarness h;
    h.choose(QStringLiteral("Straddle"));
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.show();
    clickIn(&panel, panel.findChild<QSpinBox*>(QStringLiteral("spnDaysLeft")));
    retypeBox(QStringLiteral("10"));
    clickIn(&panel, panel.findChild<QLineEdit*>(QStringLiteral("txtMoreDates")));
    retypeBox(typed);
    const auto* layer =
        h.pbox()->findChild<workbench::ExpiryCurveLayer*>(QStringLiteral("expiryCurve"));
    const auto* legend =
        h.pbox()->findChild<workbench::CurveLegend*>(QStringLiteral("curveLegend"));
    auto* box = panel.findChild<QLineEdit*>(QStringLiteral("txtMoreDates"));
    if (drawn.isEmpty()) {
        // Refused: the box keeps the typing and says why; nothing changes.
        QCOMPARE(box->text(), typed);
        QVERIFY(box->toolTip().startsWith(QStringLiteral("Not taken: More dates takes up to 4 "
                                                         "whole numbers from 1 to 30.")));
        QVERIFY(h.bench->beforeExpiry().moreDaysLeft.empty());
        QCOMPARE(layer->curves().size(), 1);
        return;
    }
    QList<int> days;
    for (const workbench::ExpiryCurveLayer::Curve& c : layer->curves()) {
        days << c.daysLeft;
        // Only the days left box's own date is highlighted.
        QCOMPARE(c.highlighted, c.daysLeft == 10);
    }
    QCOMPARE(days, drawn);
    QCOMPARE(legend->beforeExpiry().size(), drawn.size());
    QCOMPARE(legend->beforeExpiry()[legend->highlighted()].text,
             QStringLiteral("Straddle (payoff) with 10 days left"));
    // The days to expiry cannot fall below a date shown.
    clickIn(&panel, panel.findChild<QSpinBox*>(QStringLiteral("spnDaysToday")));
    retypeBox(QString::number(drawn[0] - 1));
    QCOMPARE(h.bench->beforeExpiry().daysToday, 30);
    // Evenly spaced replaces them: today, two thirds and a third of the way.
    QTest::mouseClick(panel.findChild<QPushButton*>(QStringLiteral("cmdEvenlySpaced")),
                      Qt::LeftButton);
    QCOMPARE(box->text(), QStringLiteral("30, 20, 10"));
    QCOMPARE(layer->curves().size(), 3);
}

void TestBeforeExpiryPanel::
    a_greek_chosen_by_keyboard_is_drawn_on_its_own_axis_and_exported_data() {
    QTest::addColumn<int>("downs"); // Down keys pressed in the list, from "None"
    QTest::addColumn<QString>("caption");
    QTest::newRow("delta") << 1 << "Delta";
    QTest::newRow("theta") << 3 << "Theta a day";
    QTest::newRow("vega") << 4 << "Vega a point";
}

void TestBeforeExpiryPanel::a_greek_chosen_by_keyboard_is_drawn_on_its_own_axis_and_exported() {
    QFETCH(int, downs);
    QFETCH(QString, caption);
    namespace de = workbench::diagramexport;
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    h.choose(QStringLiteral("Straddle"));
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.show();
    auto* daysLeft = panel.findChild<QSpinBox*>(QStringLiteral("spnDaysLeft"));
    clickIn(&panel, daysLeft);
    retypeBox(QStringLiteral("15"));
    // The list follows the highest price shown in the tab order.
    clickIn(h.bench.get(), h.box(3));
    h.keyToFocus(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmbGreek"));
    for (int i = 0; i < downs; ++i) {
        h.keyToFocus(Qt::Key_Down);
    }
    auto* layer = h.pbox()->findChild<workbench::GreekCurveLayer*>(QStringLiteral("greekCurve"));
    QVERIFY(layer->curve() && !layer->isHidden());
    QCOMPARE(layer->curve()->caption, caption);
    QCOMPARE(layer->curve()->points.size(), 201);
    QVERIFY(layer->curve()->bottom < 0 && layer->curve()->top > 0);
    // The exported diagram draws it with its axis, in room kept at the right.
    const de::Diagram d = h.bench->diagram();
    QVERIFY(d.greekCurve && d.greekCurve->caption == caption);
    QVERIFY(QString::fromUtf8(de::svg(d, QSize(640, 400))).contains(caption));
    de::Diagram without = d;
    without.greekCurve.reset();
    QVERIFY(de::plotRect(QSize(640, 400), d).right() <
            de::plotRect(QSize(640, 400), without).right());
    // Another date moves the greek with the dashed curve, as soon as the
    // events waiting are done.
    const QList<QPointF> at15 = layer->curve()->points;
    clickIn(&panel, daysLeft);
    retypeBox(QStringLiteral("5"));
    QTRY_VERIFY(layer->curve() && layer->curve()->points != at15);
    // With no days left there is no dashed curve, and no greek curve either.
    clickIn(&panel, daysLeft);
    retypeBox(QStringLiteral("0"));
    QVERIFY(layer->isHidden() && !layer->curve());
    QVERIFY(!h.bench->diagram().greekCurve);
}

void TestBeforeExpiryPanel::the_shift_slider_and_an_event_move_the_curves_and_say_so() {
    WorkbenchHarness h;
    h.choose(QStringLiteral("Straddle"));
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.show();
    clickIn(&panel, panel.findChild<QSpinBox*>(QStringLiteral("spnDaysLeft")));
    retypeBox(QStringLiteral("10"));
    const auto* curve =
        h.pbox()->findChild<workbench::ExpiryCurveLayer*>(QStringLiteral("expiryCurve"));
    const double before = curve->curves()[0].points[100].y();
    // The slider in the student's hand: a page up and an arrow to the right.
    clickIn(&panel, panel.findChild<QWidget*>(QStringLiteral("sldVolatilityShift")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(h.bench->beforeExpiry().volatilityShift, 0.11);
    QCOMPARE(panel.findChild<QSpinBox*>(QStringLiteral("spnVolatilityShift"))->text(),
             QStringLiteral("+11"));
    auto* legend = h.pbox()->findChild<workbench::CurveLegend*>(QStringLiteral("curveLegend"));
    QCOMPARE(legend->beforeExpiry()[0].text,
             QStringLiteral("Straddle (payoff) with 10 days left, volatility +11 points"));
    QVERIFY(h.bench->settledAnalysisText().contains(
        QStringLiteral("Value with 10 days left, volatility +11 points, at 50.00")));
    // A long straddle is worth more the more volatile its underlying.
    QVERIFY(curve->curves()[0].points[100].y() > before);
    // An event five days from today, the volatility after it 10 %: the date
    // with ten days left is after it, and worth less than with no event.
    const double shifted = curve->curves()[0].points[100].y();
    clickIn(&panel, panel.findChild<QSpinBox*>(QStringLiteral("spnEventDays")));
    retypeBox(QStringLiteral("5"));
    clickIn(&panel, panel.findChild<QDoubleSpinBox*>(QStringLiteral("spnVolatilityAfter")));
    retypeBox(QStringLiteral("10"));
    QCOMPARE(h.bench->beforeExpiry().eventDays, 5);
    QCOMPARE(h.bench->beforeExpiry().volatilityAfter, 0.10);
    QCOMPARE(legend->beforeExpiry()[0].text,
             QStringLiteral("Straddle (payoff) with 10 days left after the event, volatility +11 "
                            "points"));
    QVERIFY(curve->curves()[0].points[100].y() < shifted);
}

void TestBeforeExpiryPanel::tab_follows_the_layout_data() {
    QTest::addColumn<bool>("panel"); // the panel's controls, or the workbench's boxes
    QTest::addColumn<QStringList>("order");
    QTest::newRow("the panel, top to bottom")
        << true << QStringList{"spnDaysToday",    "spnDaysLeft", "sldDaysLeft", "txtMoreDates",
                               "cmdEvenlySpaced", "spnRate",     "spnDividend", "cmbExercise"};
    QTest::newRow("the what-ifs, top to bottom")
        << true
        << QStringList{"spnVolatility", "spnVolatilityShift", "sldVolatilityShift", "spnEventDays"};
    QTest::newRow("the market's row, left to right")
        << false
        << QStringList{"txtUnderlyingQty", "txtCostPerOption", "txtCostPerUnit",
                       "txtUnderlyingPrice", "cmdPlot"};
}

void TestBeforeExpiryPanel::tab_follows_the_layout() {
    QFETCH(bool, panel);
    QFETCH(QStringList, order);
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    workbench::BeforeExpiryPanel side(*h.bench);
    side.show();
    QWidget* window = panel ? static_cast<QWidget*>(&side) : h.bench.get();
    clickIn(window, window->findChild<QWidget*>(order.front()));
    QStringList seen{QApplication::focusWidget()->objectName()};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(seen, order);
}

QTEST_MAIN(TestBeforeExpiryPanel)
#include "test_before_expiry_panel.moc"
