// The dates before expiry on a real X server, as a student's hand moves them:
// the slider dragged with the pointer moves the highlighted curve at every
// step of the drag, not only where it is let go, and the pointer over the
// diagram reads every date's value.
#include "WorkbenchHarness.h"
#include "fakes/XdoTool.h"
#include "workbench/control/BeforeExpiryPanel.h"
#include "workbench/control/ExpiryCurveLayer.h"
#include "workbench/control/HoverReadout.h"

#include <QLineEdit>
#include <QSet>
#include <QSlider>

class TestDatesXvfb : public QObject {
    Q_OBJECT
private slots:
    void dragging_the_slider_moves_the_highlighted_curve_at_every_step();
};

void TestDatesXvfb::dragging_the_slider_moves_the_highlighted_curve_at_every_step() {
    WorkbenchHarness h;
    h.choose(QStringLiteral("Straddle"));
    h.bench->setProbabilityShown(true);
    h.bench->move(0, 0);
    h.bench->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.bench.get()));
    workbench::BeforeExpiryPanel panel(*h.bench);
    panel.move(h.bench->frameGeometry().right() + 20, 0);
    panel.resize(320, 600);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto* more = panel.findChild<QLineEdit*>(QStringLiteral("txtMoreDates"));
    QVERIFY(xdo::run(xdo::at(more->mapToGlobal(more->rect().center()))
                     << QStringLiteral("click") << QStringLiteral("1")));
    QVERIFY(xdo::run({QStringLiteral("type"), QStringLiteral("25, 5")}));
    QVERIFY(xdo::run({QStringLiteral("key"), QStringLiteral("Return")}));
    QTRY_COMPARE(h.bench->beforeExpiry().moreDaysLeft, (std::vector<int>{25, 5}));

    QSet<int> seen;
    connect(h.bench.get(), &workbench::wqzOptionPayoffs::AnalysisChange, &panel,
            [&] { seen << h.bench->beforeExpiry().daysLeft; });
    auto* slider = panel.findChild<QSlider*>(QStringLiteral("sldDaysLeft"));
    QCOMPARE(slider->value(), 0);
    // No days left sits at the right end, where expiry is.
    const QPoint handle = slider->mapToGlobal(QPoint(slider->width() - 5, slider->height() / 2));
    QStringList drag = xdo::at(handle);
    drag << QStringLiteral("mousedown") << QStringLiteral("1");
    for (int step = 1; step <= 4; ++step) {
        drag << xdo::at(handle - QPoint(step * slider->width() / 6, 0)) << QStringLiteral("sleep")
             << QStringLiteral("0.2");
    }
    drag << QStringLiteral("mouseup") << QStringLiteral("1");
    QVERIFY(xdo::run(drag));
    QTRY_VERIFY(!slider->isSliderDown());
    const int days = h.bench->beforeExpiry().daysLeft;
    QVERIFY2(days > 10 && days < 30, qPrintable(QString::number(days)));
    QCOMPARE(slider->value(), days);
    // Dates on the way were drawn while the button was still down.
    QVERIFY2(seen.size() >= 3, qPrintable(QString::number(seen.size())));

    const auto* layer =
        h.pbox()->findChild<workbench::ExpiryCurveLayer*>(QStringLiteral("expiryCurve"));
    QCOMPARE(layer->curves().size(), 3);
    for (const workbench::ExpiryCurveLayer::Curve& c : layer->curves()) {
        QCOMPARE(c.highlighted, c.daysLeft == days);
    }
    const QString daysText = QStringLiteral("%1 days left").arg(days);
    QVERIFY(h.bench->analysisText().contains(QStringLiteral("Greeks at 50.00 with ") + daysText));

    // The pointer over the diagram reads the value at expiry and at each date.
    platform::PictureBox* area = h.pbox();
    QVERIFY(xdo::run(xdo::at(area->mapToGlobal(area->rect().center() + QPoint(25, 0)))));
    const auto* hover = area->findChild<workbench::HoverReadout*>(QStringLiteral("hoverReadout"));
    QTRY_VERIFY(hover->text().contains(QStringLiteral("With 5 days left")));
    for (const QString& line :
         {QStringLiteral("With 25 days left"), QStringLiteral("With ") + daysText}) {
        QVERIFY2(hover->text().contains(line), qPrintable(hover->text()));
    }
}

QTEST_MAIN(TestDatesXvfb)
#include "test_dates_xvfb.moc"
