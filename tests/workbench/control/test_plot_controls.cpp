#include "WorkbenchHarness.h"
#include "platform/Palette.h"
#include "platform/Twips.h"
#include "workbench/control/CurveLegend.h"
#include "workbench/control/HoverReadout.h"
#include "workbench/control/MarkerLayer.h"
#include "workbench/pricing/BeforeExpiry.h"

#include <algorithm>

#include <QApplication>
#include <QHelpEvent>
#include <QRegion>
#include <QTest>
#include <QToolTip>

namespace {
constexpr platform::Rgb yellow = 0xFFFF00;
}

class TestPlotControls : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void start_up_shows_naked_call_in_yellow_with_the_put_of_row_1_selected();
    void the_legend_takes_the_corner_where_it_hides_least_and_can_be_hidden_data();
    void the_legend_takes_the_corner_where_it_hides_least_and_can_be_hidden();
    void plot_rewrites_quantity_cells_with_two_decimals_data();
    void plot_rewrites_quantity_cells_with_two_decimals();
    void ten_small_steps_on_the_underlying_give_exactly_one();
    void a_big_step_down_on_a_put_writes_it();
    void a_click_on_a_strike_cell_keeps_the_selection();
    void steps_keep_acting_on_what_the_student_picked_data();
    void steps_keep_acting_on_what_the_student_picked();
    void a_quantity_beyond_a_float_is_reported_and_nothing_is_plotted();
    void the_diagram_kinds_plot_over_each_other();
    void a_swatch_changes_no_pixel_until_the_next_plot();
    void ctrl_c_in_the_plot_area_copies_its_pixels();
    void the_legend_names_every_curve_since_the_last_clear_data();
    void the_legend_names_every_curve_since_the_last_clear();
    void markers_sit_on_the_strikes_break_evens_and_extremes_data();
    void markers_sit_on_the_strikes_break_evens_and_extremes();
    void the_pointer_reads_the_last_curve_exactly_without_touching_the_picture_data();
    void the_pointer_reads_the_last_curve_exactly_without_touching_the_picture();
    void the_plot_area_takes_the_focus_with_a_frame_that_is_not_copied_data();
    void the_plot_area_takes_the_focus_with_a_frame_that_is_not_copied();
    void the_large_display_keeps_the_curves_and_normal_restores_the_layout();
    void a_larger_control_gives_its_room_to_the_plot_area_data();
    void a_larger_control_gives_its_room_to_the_plot_area();
    void the_keys_read_the_diagram_where_the_plot_area_has_the_focus_data();
    void the_keys_read_the_diagram_where_the_plot_area_has_the_focus();
    void the_analysis_and_the_list_describe_the_position_on_screen_data();
    void the_analysis_and_the_list_describe_the_position_on_screen();

private:
    void clickCell(int row, int col) { h->clickCell(row, col); }
    void press(const char* name) { h->button(QString::fromLatin1(name))->click(); }
    // A range wide enough that no step asks about re-scaling.
    void wideRange() {
        h->box(0)->setText(QStringLiteral("1000"));
        h->box(1)->setText(QStringLiteral("-1000"));
    }

    std::unique_ptr<WorkbenchHarness> h;
};

void TestPlotControls::init() {
    h = std::make_unique<WorkbenchHarness>();
    h->bench->show();
    QVERIFY(QTest::qWaitForWindowExposed(h->bench.get()));
}

void TestPlotControls::cleanup() {
    QCOMPARE(h->fake->dialogs.pendingAnswers(), 0);
    h.reset();
}

void TestPlotControls::start_up_shows_naked_call_in_yellow_with_the_put_of_row_1_selected() {
    const char* strikes[] = {"40", "45", "50", "55", "60"};
    const char* calls[] = {"16.00", "13.00", "10.50", "8.25", "6.50"};
    const char* puts[] = {"0.50", "1.50", "3.50", "6.50", "10.00"};
    const char* headers[] = {"Call Qty", "Call Price", "Strike", "Put Qty", "Put Price"};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(h->cell(0, c), QLatin1String(headers[c]));
    }
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(h->cell(r, 2), QLatin1String(strikes[r - 1]));
        QCOMPARE(h->cell(r, 1), QLatin1String(calls[r - 1]));
        QCOMPARE(h->cell(r, 4), QLatin1String(puts[r - 1]));
        QCOMPARE(h->cell(r, 0), r == 3 ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(h->cell(r, 3), QStringLiteral("0"));
    }
    QCOMPARE(h->underlyingBox()->text(), QStringLiteral("0"));
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Put/40"));
    QCOMPARE(h->strategies()->count(), 21);
    QCOMPARE(h->bench->plotColor(), yellow);
    // Flat at 0 up to the strike, then rising: both in yellow.
    QCOMPARE(h->pixel(20, 0), yellow);
    QCOMPARE(h->pixel(80, 30), yellow);
    // The main window assigns its values grid after start-up: it shows the
    // start-up curve at once.
    QCOMPARE(h->values->Rows(), workbench::payoff::sampleCount + 1);
    QCOMPARE(h->values->TextMatrix(1, 1), QStringLiteral("1.0000"));

    // The step buttons act on the put of row 1.
    press("scup(0)");
    QCOMPARE(h->cell(1, 3), QStringLiteral("0.10"));
    QCOMPARE(h->bench->position().putQty[1], 0.1f);
}

void TestPlotControls::plot_rewrites_quantity_cells_with_two_decimals_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<float>("qty");
    // Not wholly a number: read by the leading-number rule, and kept as
    // typed, marked, so that the student sees what was not read.
    QTest::newRow("letters") << "abc"
                             << "abc" << 0.0f;
    QTest::newRow("trailing letters") << "2.5x"
                                      << "2.5x" << 2.5f;
    QTest::newRow("empty") << ""
                           << "0.00" << 0.0f;
    QTest::newRow("negative") << "-1"
                              << "-1.00" << -1.0f;
    QTest::newRow("three decimals") << "0.125"
                                    << "0.13" << 0.125f;
}

void TestPlotControls::plot_rewrites_quantity_cells_with_two_decimals() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(float, qty);
    wideRange();
    h->grid()->setTextMatrix(2, 0, typed);
    h->grid()->setTextMatrix(4, 3, typed);
    press("cmdPlot");
    QCOMPARE(h->cell(2, 0), shown);
    QCOMPARE(h->cell(4, 3), shown);
    QCOMPARE(h->bench->position().callQty[2], qty);
    QCOMPARE(h->bench->position().putQty[4], qty);
    QCOMPARE(h->cell(3, 0), QStringLiteral("1.00"));
    QCOMPARE(h->underlyingBox()->text(), QStringLiteral("0.00"));
}

void TestPlotControls::ten_small_steps_on_the_underlying_give_exactly_one() {
    wideRange();
    QTest::mouseClick(h->child<QLabel>(QStringLiteral("Label1(1)")), Qt::LeftButton);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Underlying"));
    for (int i = 0; i < 10; ++i) {
        press("scup(0)");
    }
    QCOMPARE(h->underlyingBox()->text(), QStringLiteral("1.00"));
    QCOMPARE(h->bench->position().underlyingQty, 1.0f);
    press("scdown(1)");
    press("scdown(1)");
    QCOMPARE(h->underlyingBox()->text(), QStringLiteral("-1.00"));
}

void TestPlotControls::a_big_step_down_on_a_put_writes_it() {
    wideRange();
    clickCell(2, 3);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Put/45"));
    press("scdown(1)");
    QCOMPARE(h->cell(2, 3), QStringLiteral("-1.00"));
    QCOMPARE(h->bench->position().putQty[2], -1.0f);
    // The plot followed: a written put loses below 45.
    QCOMPARE(h->values->TextMatrix(1, 2), QStringLiteral("-44.0000"));
}

void TestPlotControls::a_click_on_a_strike_cell_keeps_the_selection() {
    wideRange();
    clickCell(4, 0);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Call/55"));
    clickCell(2, 2);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Call/55"));
    QCOMPARE(h->bench->selectedCallRow(), 4);
    press("scup(1)");
    QCOMPARE(h->cell(4, 0), QStringLiteral("1.00"));
    QCOMPARE(h->cell(2, 0), QStringLiteral("0.00"));
}

void TestPlotControls::steps_keep_acting_on_what_the_student_picked_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<QString>("call"); // of row 3 after two steps up
    QTest::addColumn<QString>("underlying");
    // The strategy writes "1" or "0" in the box; each step's read makes it "1.00".
    QTest::newRow("Naked Call") << "Naked Call"
                                << "1.20"
                                << "0.00";
    QTest::newRow("Covered Call") << "Covered Call"
                                  << "-0.80"
                                  << "1.00";
}

void TestPlotControls::steps_keep_acting_on_what_the_student_picked() {
    QFETCH(QString, strategy);
    QFETCH(QString, call);
    QFETCH(QString, underlying);
    QVERIFY(h->showActive());
    h->choose(strategy);
    wideRange();
    clickCell(3, 0);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Call/50"));
    press("scup(0)");
    press("scup(0)");
    QCOMPARE(h->cell(3, 0), call);
    QCOMPARE(h->underlyingBox()->text(), underlying);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Call/50"));
    // The student's own typing in the box, or a click on its label, picks the underlying.
    QTest::mouseClick(h->underlyingBox(), Qt::LeftButton);
    h->keyToFocus(Qt::Key_2);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Underlying"));
    press("scup(1)");
    QCOMPARE(h->cell(3, 0), call);
}

void TestPlotControls::a_quantity_beyond_a_float_is_reported_and_nothing_is_plotted() {
    h->grid()->setTextMatrix(1, 0, QStringLiteral("2"));
    h->grid()->setTextMatrix(2, 3, QStringLiteral("1e39"));
    const QImage before = h->pbox()->image();
    h->fake->pointer.setShape(platform::MousePointer::Shape::Hourglass);
    h->fake->dialogs.script(platform::Dialogs::answerOk);
    const QString valuesBefore = h->values->TextMatrix(50, 2);
    press("cmdPlot");
    QCOMPARE(h->fake->dialogs.shown().size(), 1);
    QVERIFY(h->fake->dialogs.shown().first().text.endsWith(
        QStringLiteral("The system error is: Overflow")));
    QCOMPARE(h->fake->pointer.shape(), platform::MousePointer::Shape::Default);
    // Stopped where it failed: rows already read stay read, nothing plotted.
    QCOMPARE(h->cell(1, 0), QStringLiteral("2.00"));
    QCOMPARE(h->bench->position().callQty[1], 2.0f);
    QCOMPARE(h->pbox()->image(), before);
    QCOMPARE(h->values->TextMatrix(50, 2), valuesBefore);
    QCOMPARE(h->cell(2, 3), QStringLiteral("1e39"));
}

void TestPlotControls::the_diagram_kinds_plot_over_each_other() {
    wideRange();
    h->box(0)->setText(QStringLiteral("60"));
    h->box(1)->setText(QStringLiteral("-20"));
    h->child<QRadioButton>(QStringLiteral("plotType(1)"))->click();
    QCOMPARE(h->values->TextMatrix(0, 2), QStringLiteral("Profit"));
    QCOMPARE(h->pixel(20, -10.5), yellow);
    h->bench->setPlotColor(0x00FF00);
    h->child<QRadioButton>(QStringLiteral("plotType(0)"))->click();
    QCOMPARE(h->values->TextMatrix(0, 2), QStringLiteral("Payoff"));
    QCOMPARE(h->pixel(20, -10.5), yellow);
    QCOMPARE(h->pixel(20, 0), platform::Rgb(0x00FF00));
}

void TestPlotControls::a_swatch_changes_no_pixel_until_the_next_plot() {
    wideRange();
    h->box(0)->setText(QStringLiteral("60"));
    h->box(1)->setText(QStringLiteral("-20"));
    press("cmdPlot");
    const QImage before = h->pbox()->image();
    auto* red = h->child<platform::SwatchBox>(QStringLiteral("pColor(9)"));
    QTest::mouseClick(red, Qt::LeftButton);
    QCOMPARE(h->bench->plotColor(), platform::Rgb(0xFF0000));
    QVERIFY(red->hasBorder());
    QVERIFY(!h->child<platform::SwatchBox>(QStringLiteral("pColor(11)"))->hasBorder());
    QCOMPARE(h->pbox()->image(), before);
    h->grid()->setTextMatrix(3, 3, QStringLiteral("1")); // add a put: a straddle
    press("cmdPlot");
    const platform::Rgb ink = platform::readableOn(0xFF0000, h->pbox()->backColor());
    QCOMPARE(h->pixel(20, 30), ink);
    QCOMPARE(h->pixel(80, 30), ink);
    QCOMPARE(h->pixel(20, 0), yellow); // the old curve's flat part below the new
}

void TestPlotControls::ctrl_c_in_the_plot_area_copies_its_pixels() {
    QTest::keyClick(h->pbox(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(h->clipboard.image(), h->pbox()->image());
    QCOMPARE(h->clipboard.image().pixel(h->pbox()->toPixels(20, 0).toPoint()) & 0xFFFFFF, yellow);
    QVERIFY(h->clipboard.clears > 0);

    h->pbox()->clear();
    QTest::keyClick(h->pbox(), Qt::Key_C, Qt::ControlModifier);
    const QImage blank = h->clipboard.image();
    QCOMPARE(blank.pixel(5, 5), blank.pixel(blank.width() / 2, blank.height() / 2));
    QVERIFY(blank.pixel(5, 5) != (0xFF000000u | yellow));

    h->clipboard.setImage(QImage());
    QTest::keyClick(h->pbox(), Qt::Key_X, Qt::ControlModifier); // only Ctrl+C copies
    QVERIFY(h->clipboard.image().isNull());
}

void TestPlotControls::the_plot_area_takes_the_focus_with_a_frame_that_is_not_copied_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<Qt::KeyboardModifiers>("shift");
    QTest::newRow("Shift+Tab back from the top range box")
        << "Text1(0)" << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Tab on from the position grid, round to the first control")
        << "Grid1" << Qt::KeyboardModifiers();
}

void TestPlotControls::the_plot_area_takes_the_focus_with_a_frame_that_is_not_copied() {
    QFETCH(QString, start);
    QFETCH(Qt::KeyboardModifiers, shift);
    // The area as it paints itself; the legend and the pointer's read-out
    // lie over it as widgets of their own.
    const auto shown = [&] {
        QImage own(h->pbox()->size(), QImage::Format_RGB32);
        static_cast<QWidget*>(h->pbox())->render(
            &own, QPoint(), QRegion(), QWidget::RenderFlags(QWidget::DrawWindowBackground));
        return own;
    };
    QTest::mouseClick(h->child<QWidget>(start), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(QApplication::focusWidget()->objectName(), start);
    const QImage picture = h->pbox()->image();
    QCOMPARE(shown(), picture);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, shift);
    QCOMPARE(QApplication::focusWidget(), h->pbox());
    QVERIFY(shown() != picture); // the focus frame, over the picture
    QCOMPARE(h->pbox()->image(), picture);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(h->clipboard.image(), picture);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != h->pbox());
    QCOMPARE(shown(), picture);
}

void TestPlotControls::a_larger_control_gives_its_room_to_the_plot_area_data() {
    QTest::addColumn<bool>("large");
    QTest::newRow("normal display") << false;
    QTest::newRow("large display") << true;
}

void TestPlotControls::a_larger_control_gives_its_room_to_the_plot_area() {
    QFETCH(bool, large);
    if (large) {
        h->bench->EnlargeFont();
    }
    const QSize own = h->bench->size();
    QWidget* watched[] = {h->pbox(),
                          h->box(0),
                          h->box(1),
                          h->box(3),
                          h->button(QStringLiteral("cmdPlot")),
                          h->grid(),
                          h->bench->findChild<QWidget*>(QStringLiteral("pColor(5)"))};
    std::vector<QRect> before;
    for (QWidget* w : watched) {
        before.push_back(w->geometry());
    }
    const QSize more(300, 200);
    h->bench->resize(own + more);
    QCoreApplication::processEvents();
    const auto moved = [&](int i, int dx, int dy, int dw, int dh) {
        const QRect b = before[std::size_t(i)];
        return watched[i]->geometry() ==
               QRect(b.x() + dx, b.y() + dy, b.width() + dw, b.height() + dh);
    };
    QVERIFY(moved(0, 0, 0, 300, 200)); // the plot area takes it all
    QVERIFY(moved(1, 0, 0, 0, 0));     // the top of the range stays by the top edge
    QVERIFY(moved(2, 0, 200, 0, 0));   // its bottom follows the bottom edge
    QVERIFY(moved(3, 300, 200, 0, 0)); // the right end of the prices, the corner
    QVERIFY(moved(4, 0, 200, 0, 0));   // the controls below keep their size together
    QVERIFY(moved(5, 0, 200, 300, 0)); // the position grid widens with the column
    QVERIFY(moved(6, 0, 200, 0, 0));
    // Drawn again at the new size, not stretched: the curve passes through
    // its prices and values where the area's scale puts them now.
    QCOMPARE(h->pbox()->image().size(), h->pbox()->size());
    QCOMPARE(h->pixel(20, 0), yellow);
    QCOMPARE(h->pixel(80, 30), yellow);
    // Back at its own size, or below it, every control is where it was.
    for (const QSize size : {own, own - QSize(40, 40)}) {
        h->bench->resize(size);
        QCoreApplication::processEvents();
        for (std::size_t i = 0; i < std::size(watched); ++i) {
            QCOMPARE(watched[i]->geometry(), before[i]);
        }
    }
    if (large) {
        h->bench->ReduceFont();
    }
}

void TestPlotControls::the_large_display_keeps_the_curves_and_normal_restores_the_layout() {
    const platform::twips::Rect normalBox = platform::twips::geometry(h->pbox());
    h->bench->EnlargeFont();
    QCOMPARE(h->bench->ucWidth, 7695);
    QCOMPARE(h->bench->ucHeight, 8379);
    QCOMPARE(platform::twips::geometry(h->bench.get()).width, 7695);
    const platform::twips::Rect large = platform::twips::geometry(h->pbox());
    QVERIFY(large.width > normalBox.width);
    QCOMPARE(h->pbox()->image().width(), h->pbox()->width());
    // The curve drawn before is redrawn at the new size.
    QCOMPARE(h->pixel(20, 0), yellow);
    QCOMPARE(h->pixel(80, 30), yellow);
    QCOMPARE(h->grid()->font().pointSize(), 12);
    QVERIFY(h->grid()->font().bold());

    h->bench->ReduceFont();
    QCOMPARE(platform::twips::geometry(h->pbox()), normalBox);
    QCOMPARE(h->bench->ucWidth, 5130);
    QCOMPARE(h->bench->ucHeight, 5985);
    QCOMPARE(h->pixel(20, 0), yellow);
    QCOMPARE(h->grid()->font().pointSize(), 8);
    QVERIFY(!h->grid()->font().bold());
}

void TestPlotControls::markers_sit_on_the_strikes_break_evens_and_extremes_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<bool>("profit");
    QTest::addColumn<QList<double>>("strikes");
    QTest::addColumn<QList<QPointF>>("dots"); // in any order
    // Profit 8.50 at 50, -1.50 at or below 40 and at or above 60; zero at
    // 40 + 1.50 and 60 - 1.50. The range starts at 1, so 0 is not marked.
    QTest::newRow("call butterfly, profit")
        << "Call Butterfly Spread" << true << QList<double>{40, 50, 60}
        << QList<QPointF>{{41.5, 0}, {58.5, 0}, {50, 8.5}, {40, -1.5}, {60, -1.5}};
    // Payoff 0 up to 50 (a break-even span and the lowest value), unlimited above.
    QTest::newRow("naked call, payoff")
        << "Naked Call" << false << QList<double>{50} << QList<QPointF>{{50, 0}, {50, 0}};
}

void TestPlotControls::markers_sit_on_the_strikes_break_evens_and_extremes() {
    QFETCH(QString, strategy);
    QFETCH(bool, profit);
    QFETCH(QList<double>, strikes);
    QFETCH(QList<QPointF>, dots);
    if (profit) {
        h->chooseProfit();
    }
    h->choose(strategy);
    const auto* marks = h->pbox()->findChild<workbench::MarkerLayer*>(QStringLiteral("markers"));
    QVERIFY(marks && marks->isVisible());
    QCOMPARE(marks->strikes(), strikes);
    const auto sorted = [](QList<QPointF> points) {
        std::sort(points.begin(), points.end(), [](QPointF a, QPointF b) {
            return std::pair(a.x(), a.y()) < std::pair(b.x(), b.y());
        });
        return points;
    };
    QCOMPARE(sorted(marks->dots()), sorted(dots));
    // Off, the area shows its curves alone; the kept picture never had them.
    const QImage picture = h->pbox()->image();
    h->bench->setMarkersShown(false);
    QVERIFY(!marks->isVisible());
    h->bench->setMarkersShown(true);
    QVERIFY(marks->isVisible());
    QCOMPARE(h->pbox()->image(), picture);
    press("cmdClear");
    QVERIFY(!marks->isVisible());
}

void TestPlotControls::the_legend_names_every_curve_since_the_last_clear_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("legend");
    QTest::newRow("start-up") << QStringList{} << QStringList{"Naked Call (payoff)"};
    QTest::newRow("a strategy re-scales")
        << QStringList{"Straddle"} << QStringList{"Straddle (payoff)"};
    QTest::newRow("profit drawn over payoff")
        << QStringList{"Straddle", "profit"}
        << QStringList{"Straddle (payoff)", "Straddle (profit)"};
    QTest::newRow("a step of 0.1 makes it a custom position")
        << QStringList{"Straddle", "step"}
        << QStringList{"Straddle (payoff)", "Custom position (payoff)"};
    // The name follows what is held, however it came to be held.
    QTest::newRow("a second call makes it a strap")
        << QStringList{"Straddle", "step 1"} << QStringList{"Straddle (payoff)", "Strap (payoff)"};
    QTest::newRow("Clear empties it") << QStringList{"Straddle", "Clear"} << QStringList{};
    QTest::newRow("Restart empties it") << QStringList{"Restart"} << QStringList{};
}

void TestPlotControls::the_legend_names_every_curve_since_the_last_clear() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, legend);
    for (const QString& step : steps) {
        if (step == u"profit") {
            h->fake->dialogs.script(platform::Dialogs::answerNo); // keep the payoff curve
            QTest::mouseClick(h->child<QRadioButton>(QStringLiteral("plotType(1)")),
                              Qt::LeftButton);
        } else if (step.startsWith(u"step")) {
            wideRange();
            clickCell(3, 0);
            press(step == u"step" ? "scup(0)" : "scup(1)");
        } else if (step == u"Clear" || step == u"Restart") {
            press(qPrintable(QStringLiteral("cmd") + step));
        } else {
            h->choose(step);
        }
    }
    const auto* shown =
        h->pbox()->findChild<workbench::CurveLegend*>(QStringLiteral("curveLegend"));
    QVERIFY(shown);
    QStringList names;
    for (const auto& entry : shown->entries()) {
        names << entry.text;
        QCOMPARE(entry.color, yellow);
    }
    QCOMPARE(names, legend);
    QCOMPARE(shown->isVisible(), !legend.isEmpty());
}

void TestPlotControls::
    the_pointer_reads_the_last_curve_exactly_without_touching_the_picture_data() {
    QTest::addColumn<double>("price");
    QTest::addColumn<bool>("cleared");
    QTest::addColumn<int>("daysLeft");
    QTest::newRow("at the peak") << 50.0 << false << 0;
    QTest::newRow("between samples on a slope") << 44.2 << false << 0;
    QTest::newRow("after Clear: the price alone") << 55.7 << true << 0;
    QTest::newRow("with a dashed curve: its value too") << 50.0 << false << 15;
    QTest::newRow("after Clear, no dashed value") << 52.3 << true << 15;
}

void TestPlotControls::the_pointer_reads_the_last_curve_exactly_without_touching_the_picture() {
    QFETCH(double, price);
    QFETCH(bool, cleared);
    QFETCH(int, daysLeft);
    h->choose(QStringLiteral("Call Butterfly Spread"));
    workbench::beforeexpiry::Inputs inputs;
    inputs.daysLeft = daysLeft;
    h->bench->setBeforeExpiry(inputs);
    if (cleared) {
        press("cmdClear");
    }
    const QImage picture = h->pbox()->image();
    const QPoint at = h->pbox()->toPixels(price, 0).toPoint();
    QTest::mouseMove(h->pbox(), at);
    const auto* readout = h->pbox()->findChild<QWidget*>(QStringLiteral("hoverReadout"));
    QVERIFY(readout && readout->isVisible());
    // The butterfly's payoff, from its legs, at the price the pixel stands
    // for: the roundest of the prices it covers, within half a pixel.
    const double S = workbench::wqzOptionPayoffs::roundestPrice(
        h->pbox()->toUser(QPointF(at) - QPointF(0.5, 0)).x(),
        h->pbox()->toUser(QPointF(at) + QPointF(0.5, 0)).x());
    QVERIFY(std::abs(S - h->pbox()->toUser(at).x()) <=
            std::abs(h->pbox()->toUser(at).x() - h->pbox()->toUser(at + QPoint(1, 0)).x()));
    const double payoff = std::max(S - 40, 0.0) - 2 * std::max(S - 50, 0.0) + std::max(S - 60, 0.0);
    QString want = QStringLiteral("Price ") + QString::number(S, 'f', 2);
    if (!cleared) {
        want += QStringLiteral("   Payoff ") + QString::number(payoff, 'f', 2);
    }
    const QString shown = static_cast<const workbench::HoverReadout*>(readout)->text();
    if (daysLeft > 0 && !cleared) {
        // Before expiry the butterfly is worth less than its peak at 50.
        const QString dashed = QStringLiteral("   With 15 days left ");
        QVERIFY2(shown.startsWith(want + dashed), qPrintable(shown));
        const double value = shown.mid(want.size() + dashed.size()).toDouble();
        QVERIFY(value > 0 && value < payoff);
    } else {
        QCOMPARE(shown, want);
    }
    QCOMPARE(h->pbox()->image(), picture);
    // The diagram's tooltip never covers the read-out.
    QHelpEvent help(QEvent::ToolTip, at, h->pbox()->mapToGlobal(at));
    QApplication::sendEvent(h->pbox(), &help);
    QVERIFY(!QToolTip::isVisible());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(h->pbox(), &leave);
    QVERIFY(!readout->isVisible());
}

void TestPlotControls::the_analysis_and_the_list_describe_the_position_on_screen_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("firstLine"); // of the analysis
    QTest::addColumn<QString>("listed");    // the strategy list's entry
    const QString asPlotted = QStringLiteral("As last plotted \u2014 press Plot to update");
    QTest::newRow("a quantity typed into a cell")
        << QStringList{"Straddle", "cell 1 0 2"} << asPlotted << "";
    QTest::newRow("a quantity typed into the box")
        << QStringList{"Straddle", "box 1"} << asPlotted << "";
    QTest::newRow("typed again as it was")
        << QStringList{"Straddle", "cell 3 0 1"} << "Straddle (payoff)"
        << "Straddle";
    QTest::newRow("plotted again")
        << QStringList{"Straddle", "cell 1 0 2", "Plot"} << "Custom position (payoff)"
        << "";
    QTest::newRow("Clear") << QStringList{"Straddle", "Clear"} << ""
                           << "Straddle";
    QTest::newRow("Restart") << QStringList{"Straddle", "Restart"} << ""
                             << "";
    // However it came to be held, one call at 50 is the naked call.
    QTest::newRow("a call typed after Restart")
        << QStringList{"Restart", "cell 3 0 1", "Plot"} << "Naked Call (payoff)"
        << "Naked Call";
    QTest::newRow("two rows of one strike")
        << QStringList{"Restart", "strike 2 50", "cell 2 3 1", "cell 3 0 1", "Plot"}
        << "Straddle (payoff)"
        << "Straddle";
}

void TestPlotControls::the_analysis_and_the_list_describe_the_position_on_screen() {
    QFETCH(QStringList, steps);
    QFETCH(QString, firstLine);
    QFETCH(QString, listed);
    for (const QString& step : steps) {
        const QStringList words = step.split(u' ');
        if (words[0] == u"cell" || words[0] == u"strike") {
            const bool strike = words[0] == u"strike";
            clickCell(words[1].toInt(), strike ? 2 : words[2].toInt());
            h->typeToFocus(words.last());
            h->keyToFocus(Qt::Key_Return);
        } else if (words[0] == u"box") {
            QTest::mouseClick(h->underlyingBox(), Qt::LeftButton);
            h->typeToFocus(words[1]);
        } else if (words[0] == u"Plot" || words[0] == u"Clear" || words[0] == u"Restart") {
            wideRange();
            press(qPrintable(QStringLiteral("cmd") + words[0]));
        } else {
            h->choose(step);
        }
    }
    QCoreApplication::processEvents(); // the event loop a student's edits come through
    QCOMPARE(h->bench->analysisText().section(u'\n', 0, 0), firstLine);
    QCOMPARE(h->bench->analysisStale(), firstLine.startsWith(u"As last"));
    QCOMPARE(h->strategies()->currentText(), listed);
}

void TestPlotControls::the_legend_takes_the_corner_where_it_hides_least_and_can_be_hidden_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<bool>("left"); // the legend stands at the left
    // A call rises into the top right corner; a put falls from the top left.
    QTest::newRow("a call") << "Naked Call" << true;
    QTest::newRow("a put") << "Naked Put" << false;
}

void TestPlotControls::the_legend_takes_the_corner_where_it_hides_least_and_can_be_hidden() {
    QFETCH(QString, strategy);
    QFETCH(bool, left);
    QVERIFY(h->showActive());
    h->choose(strategy);
    auto* legend = h->pbox()->findChild<QWidget*>(QStringLiteral("curveLegend"));
    QVERIFY(legend);
    // Where the legend paints: the columns it covers.
    const auto painted = [legend] {
        const QImage picture = legend->grab().toImage();
        int from = picture.width();
        int to = -1;
        for (int x = 0; x < picture.width(); ++x) {
            for (int y = 0; y < picture.height(); ++y) {
                if (qAlpha(picture.pixel(x, y)) > 0) {
                    from = std::min(from, x);
                    to = std::max(to, x);
                }
            }
        }
        return std::pair(from, to);
    };
    const auto [from, to] = painted();
    QVERIFY(to > from);
    QCOMPARE(to < legend->width() / 2, left);
    h->bench->setLegendShown(false);
    QCOMPARE(painted().second, -1);
}

QTEST_MAIN(TestPlotControls)
#include "test_plot_controls.moc"

void TestPlotControls::the_keys_read_the_diagram_where_the_plot_area_has_the_focus_data() {
    // Keys as the student presses them: a name, ^ for Ctrl, or text typed.
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<double>("price"); // -1: what is read is `told`
    QTest::addColumn<QString>("told");
    QTest::addColumn<bool>("delta"); // with ten days left and the delta chosen
    QTest::newRow("the first key reads today's price")
        << QStringList{"Right"} << 50.0 << "" << false;
    QTest::newRow("Home, then a sample on") << QStringList{"Home", "Right"} << 1.99 << "" << false;
    QTest::newRow("End, then a sample back") << QStringList{"End", "Left"} << 99.01 << "" << false;
    QTest::newRow("to the first strike") << QStringList{"Home", "^Right"} << 40.0 << "" << false;
    QTest::newRow("on to the peak")
        << QStringList{"Home", "^Right", "^Right"} << 50.0 << "" << false;
    QTest::newRow("back to the last strike") << QStringList{"End", "^Left"} << 60.0 << "" << false;
    QTest::newRow("a price typed") << QStringList{"55.37", "Return"} << 55.37 << "" << false;
    QTest::newRow("a price typed, a digit taken back")
        << QStringList{"555", "Backspace", "Return"} << 55.0 << "" << false;
    QTest::newRow("a price off the diagram")
        << QStringList{"150", "Return"} << -1.0 << "Type a price from 1.00 to 100.00" << false;
    QTest::newRow("the greek chosen, at the price")
        << QStringList{"45", "Return"} << 45.0 << "" << true;
}

void TestPlotControls::the_keys_read_the_diagram_where_the_plot_area_has_the_focus() {
    QFETCH(QStringList, keys);
    QFETCH(double, price);
    QFETCH(QString, told);
    QFETCH(bool, delta);
    h->choose(QStringLiteral("Call Butterfly Spread"));
    workbench::beforeexpiry::Inputs tenDays;
    tenDays.daysLeft = 10;
    if (delta) {
        h->bench->setBeforeExpiry(tenDays);
        h->child<QComboBox>(QStringLiteral("cmbGreek"))->setCurrentText(QStringLiteral("Delta"));
        h->bench->settle();
    }
    // Tab comes back to the plot area from the box after it.
    QTest::mouseClick(h->box(0), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), h->pbox());
    const QImage picture = h->pbox()->image();
    for (const QString& key : keys) {
        const bool ctrl = key.startsWith(u'^');
        const QString name = ctrl ? key.mid(1) : key;
        const QHash<QString, Qt::Key> named{
            {"Right", Qt::Key_Right}, {"Left", Qt::Key_Left},     {"Home", Qt::Key_Home},
            {"End", Qt::Key_End},     {"Return", Qt::Key_Return}, {"Backspace", Qt::Key_Backspace}};
        if (named.contains(name)) {
            QTest::keyClick(QApplication::focusWidget(), named[name],
                            ctrl ? Qt::ControlModifier : Qt::NoModifier);
        } else {
            QTest::keyClicks(QApplication::focusWidget(), name);
        }
    }
    const auto* readout = h->pbox()->findChild<workbench::HoverReadout*>("hoverReadout");
    QVERIFY(readout->isVisible());
    QString want = told;
    if (price >= 0) {
        const double S = price;
        const double payoff =
            std::max(S - 40, 0.0) - 2 * std::max(S - 50, 0.0) + std::max(S - 60, 0.0);
        want = QStringLiteral("Price %1   Payoff %2").arg(S, 0, 'f', 2).arg(payoff, 0, 'f', 2);
        if (delta) {
            const workbench::beforeexpiry::Valuer valuer(h->bench->valuedPosition(), tenDays,
                                                         workbench::payoff::payoffDiagram);
            QVERIFY2(readout->text().startsWith(want + u'\n'), qPrintable(readout->text()));
            QVERIFY2(readout->text().endsWith(QStringLiteral("\nDelta with 10 days left %1")
                                                  .arg(valuer.greeksAt(S).delta, 0, 'f', 4)),
                     qPrintable(readout->text()));
            want = readout->text();
        }
        // The crosshair stands on the curve, where its point is.
        QVERIFY(std::abs(readout->at().x() - h->pbox()->toPixels(S, payoff).x()) < 0.01);
    }
    QCOMPARE(readout->text(), want);
    // A screen reader hears what is read, and the picture is untouched.
    QCOMPARE(h->pbox()->accessibleDescription(), want);
    QCOMPARE(h->pbox()->image(), picture);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!readout->isVisible());
    QVERIFY(!h->pbox()->accessibleDescription().contains(QStringLiteral("Price")));
}
