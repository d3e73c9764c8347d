// The Before Expiry panel as a student uses it: days left typed into it draw
// the curve before expiry, its legend line and its greeks.
#include "WorkbenchHarness.h"
#include "workbench/control/BeforeExpiryPanel.h"
#include "workbench/control/CurveLegend.h"
#include "workbench/control/ExpiryCurveLayer.h"
#include "workbench/model/PositionAnalysis.h"

#include <QSpinBox>
#include <QTableWidget>

using workbench::payoff::payoffDiagram;

class TestBeforeExpiryPanel : public QObject {
    Q_OBJECT
private slots:
    void days_left_typed_in_the_panel_draw_the_curve_and_its_greeks();
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
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("10"));
    QCOMPARE(h.bench->beforeExpiry().daysLeft, 10);
    auto* legend = h.pbox()->findChild<workbench::CurveLegend*>(QStringLiteral("curveLegend"));
    QVERIFY(legend->beforeExpiry());
    QCOMPARE(legend->beforeExpiry()->text, QStringLiteral("Straddle (payoff) with 10 days left"));
    const auto* curve =
        h.pbox()->findChild<workbench::ExpiryCurveLayer*>(QStringLiteral("expiryCurve"));
    QVERIFY(!curve->isHidden() && curve->points().size() > 100);
    // Above the expiry V about the strike: a long straddle is worth more
    // before expiry. (Far below it the put is worth less than at expiry: a
    // European put's strike is paid only then.)
    for (const QPointF& point : curve->points()) {
        QVERIFY(point.x() < 40 || point.x() > 60 ||
                point.y() >
                    workbench::analysis::valueAt(h.bench->position(), point.x(), payoffDiagram));
    }
    QVERIFY(h.bench->analysisText().contains(QStringLiteral("Value with 10 days left at 50.00")));
    // The start-up quotes' every premium has a volatility at these inputs.
    auto* table = panel.findChild<QTableWidget*>(QStringLiteral("grdVolatilities"));
    QCOMPARE(table->rowCount(), 5);
    QVERIFY(table->item(2, 1)->text().endsWith(QStringLiteral(" %")));
    // Back to 0: nothing new is shown, and the persistent picture never held it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0"));
    QVERIFY(curve->isHidden());
    QVERIFY(!legend->beforeExpiry());
    QVERIFY(!h.bench->analysisText().contains(QStringLiteral("days left")));
}

QTEST_MAIN(TestBeforeExpiryPanel)
#include "test_before_expiry_panel.moc"
