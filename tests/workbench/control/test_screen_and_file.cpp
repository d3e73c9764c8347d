// What the plot area shows is what a file of it draws: after each kind of
// input every layer over the area holds what diagram() holds.
#include "WorkbenchHarness.h"
#include "workbench/control/CurveLegend.h"
#include "workbench/control/ExpiryCurveLayer.h"
#include "workbench/control/GreekCurveLayer.h"
#include "workbench/control/MarkerLayer.h"
#include "workbench/control/PriceLineLayer.h"
#include "workbench/control/ProbabilityLayer.h"

#include <QComboBox>
#include <QDoubleSpinBox>

#include <algorithm>
#include <cmath>

class TestScreenAndFile : public QObject {
    Q_OBJECT
private slots:
    void every_layer_shows_what_the_diagram_holds_data();
    void every_layer_shows_what_the_diagram_holds();
};

namespace {

QStringList texts(const QList<workbench::LegendEntry>& entries) {
    QStringList out;
    for (const workbench::LegendEntry& e : entries) {
        out << QStringLiteral("%1 %2").arg(e.color, 6, 16, QLatin1Char('0')).arg(e.text);
    }
    return out;
}

} // namespace

void TestScreenAndFile::every_layer_shows_what_the_diagram_holds_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("a strategy chosen") << "strategy";
    QTest::newRow("a second curve over the first") << "second";
    QTest::newRow("today's price confirmed") << "price";
    QTest::newRow("dates and a greek") << "dates";
    QTest::newRow("the law shown") << "law";
    QTest::newRow("the marks hidden") << "marks";
    QTest::newRow("before expiry hidden") << "hidden";
    QTest::newRow("the area cleared") << "clear";
}

void TestScreenAndFile::every_layer_shows_what_the_diagram_holds() {
    QFETCH(QString, action);
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    workbench::wqzOptionPayoffs& bench = *h.bench;
    h.chooseProfit();
    h.choose(QStringLiteral("Butterfly Spread"));
    workbench::beforeexpiry::Inputs in = bench.beforeExpiry();
    in.daysLeft = 10;
    bench.setBeforeExpiry(in);
    if (action == u"second") {
        h.choose(QStringLiteral("Straddle"));
    } else if (action == u"price") {
        // Wide enough that the price asks nothing about re-scaling.
        h.box(0)->setText(QStringLiteral("100"));
        h.box(1)->setText(QStringLiteral("-100"));
        h.button(QStringLiteral("cmdPlot"))->click();
        auto* box = h.child<QDoubleSpinBox>(QStringLiteral("txtUnderlyingPrice"));
        QTest::mouseClick(box, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        h.keyToFocus(Qt::Key_A, Qt::ControlModifier);
        h.typeToFocus(QStringLiteral("52\r"));
    } else if (action == u"dates") {
        in.moreDaysLeft = {25, 5};
        bench.setBeforeExpiry(in);
        h.child<QComboBox>(QStringLiteral("cmbGreek"))->setCurrentIndex(3);
    } else if (action == u"law") {
        bench.setProbabilityShown(true);
    } else if (action == u"marks") {
        bench.setMarkersShown(false);
    } else if (action == u"hidden") {
        bench.setBeforeExpiryShown(false);
    } else if (action == u"clear") {
        h.button(QStringLiteral("cmdClear"))->click();
    }
    // The greek curve follows once the events waiting are done.
    QCoreApplication::processEvents();
    const workbench::diagramexport::Diagram& d = bench.diagram();

    const auto* legend = h.child<workbench::CurveLegend>(QStringLiteral("curveLegend"));
    QCOMPARE(texts(legend->entries()), texts(d.legend));
    QList<workbench::LegendEntry> dated;
    for (const workbench::DashedCurve& c : d.beforeExpiry) {
        dated << c.entry;
    }
    QCOMPARE(texts(legend->beforeExpiry()), texts(dated));

    const auto* dashed = h.child<workbench::ExpiryCurveLayer>(QStringLiteral("expiryCurve"));
    QCOMPARE(dashed->curves().size(), d.beforeExpiry.size());
    for (qsizetype i = 0; i < d.beforeExpiry.size(); ++i) {
        QCOMPARE(QPolygonF(dashed->curves()[i].points), d.beforeExpiry[i].points);
        QCOMPARE(dashed->curves()[i].highlighted, d.beforeExpiry[i].highlighted);
    }

    const auto* marks = h.child<workbench::MarkerLayer>(QStringLiteral("markers"));
    QCOMPARE(marks->strikes(), d.strikes);
    QCOMPARE(marks->isVisible(), !d.dots.isEmpty());
    if (marks->isVisible()) {
        QCOMPARE(marks->dots(), d.dots);
    }

    QCOMPARE(h.child<workbench::PriceLineLayer>(QStringLiteral("todayPrice"))->shownPrice(),
             d.todayPrice);
    const auto& law = h.child<workbench::ProbabilityLayer>(QStringLiteral("probability"))->law();
    QCOMPARE(law.has_value(), d.law.has_value());
    if (law) {
        QCOMPARE(law->spot, d.law->spot);
        QCOMPARE(law->volatility, d.law->volatility);
    }
    const auto& greek = h.child<workbench::GreekCurveLayer>(QStringLiteral("greekCurve"))->curve();
    QCOMPARE(greek.has_value(), d.greekCurve.has_value());
    QCOMPARE(greek.has_value(), action == u"dates");
    if (greek) {
        QCOMPARE(greek->points, d.greekCurve->points);
        QCOMPARE(greek->top, d.greekCurve->top);
    }

    // The area's picture holds the curves in the scale the file draws them.
    const platform::PictureBox* area = h.pbox();
    QCOMPARE(area->scaleLeft(), d.scale.left);
    QCOMPARE(area->scaleTop(), d.scale.top);
    QCOMPARE(d.curves.isEmpty(), action == u"clear");
    if (!d.curves.isEmpty()) {
        // The newest curve where it lies furthest from the zero line.
        const workbench::DrawnCurve& c = d.curves.constLast();
        const QPointF p = *std::max_element(
            c.points.cbegin(), c.points.cend(),
            [](const QPointF& a, const QPointF& b) { return std::abs(a.y()) < std::abs(b.y()); });
        QCOMPARE(h.pixel(p.x(), p.y()), c.color);
    }
}

QTEST_MAIN(TestScreenAndFile)
#include "test_screen_and_file.moc"
