// Today's price and the trading costs, set as a student sets them: typed
// into the focused box and confirmed, or stepped with an arrow key.
#include "WorkbenchHarness.h"
#include "workbench/control/BeforeExpiryPanel.h"
#include "workbench/model/WorkbenchLink.h"

#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QSlider>
#include <QUndoStack>

#include <cmath>
#include <memory>

class TestMarketInputs : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void a_confirmed_price_drives_the_analysis_and_undoes_as_one_step_data();
    void a_confirmed_price_drives_the_analysis_and_undoes_as_one_step();
    void a_price_outside_the_prices_shown_offers_to_centre_them_data();
    void a_price_outside_the_prices_shown_offers_to_centre_them();
    void typing_not_yet_confirmed_marks_the_analysis_as_last_plotted();
    void restart_and_clear_keep_the_price();
    void a_price_step_redraws_the_last_curve_in_place();
    void an_opened_file_brings_its_market_and_one_undo_takes_it_back();
    void the_probability_shown_names_its_law_and_follows_the_inputs();
    void the_chance_of_a_profit_before_expiry_is_the_same_in_any_range_data();
    void the_chance_of_a_profit_before_expiry_is_the_same_in_any_range();
    void a_link_sets_up_the_market_it_names_data();
    void a_link_sets_up_the_market_it_names();
    void the_starting_market_comes_back_as_one_step();
    void early_exercise_is_worded_for_whoever_decides_data();
    void early_exercise_is_worded_for_whoever_decides();
    void one_action_tells_its_analysis_once_data();
    void one_action_tells_its_analysis_once();

private:
    // Clicks the box, as a student does, and types over what it holds.
    void typeInto(const char* name, const QString& keys) {
        auto* box = h->child<QDoubleSpinBox>(QString::fromLatin1(name));
        QTest::mouseClick(box, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        h->keyToFocus(Qt::Key_A, Qt::ControlModifier);
        h->typeToFocus(keys);
    }
    QString caption() const { return h->child<QLabel>(QStringLiteral("Label1(0)"))->text(); }
    QStringList lines() const { return h->bench->settledAnalysisText().split(u'\n'); }

    std::unique_ptr<WorkbenchHarness> h;
};

void TestMarketInputs::init() {
    h = std::make_unique<WorkbenchHarness>();
    QVERIFY(h->showActive());
}

void TestMarketInputs::cleanup() {
    QCOMPARE(h->fake->dialogs.pendingAnswers(), 0);
    h.reset();
}

void TestMarketInputs::a_confirmed_price_drives_the_analysis_and_undoes_as_one_step_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("after"); // lines of the profit analysis
    // A covered call: the underlying bought, a call written.
    QTest::newRow("typed and Enter")
        << "txtUnderlyingPrice"
        << "63.2\r"
        << QStringList{"Underlying bought at 63.20: 63.20 paid", "Maximum loss: 52.70 at 0.00",
                       "At expiry, if the price stays at 63.20: -2.70"};
    QTest::newRow("an arrow key steps it") << "txtUnderlyingPrice" << QString(QChar(0x2191))
                                           << QStringList{"Underlying bought at 50.01: 50.01 paid"};
    QTest::newRow("a cost per option")
        << "txtCostPerOption"
        << "0.65\r" << QStringList{"Trading costs: 0.65 paid", "Break-even: 40.15"};
    QTest::newRow("a cost per unit") << "txtCostPerUnit"
                                     << "0.1\t" << QStringList{"Trading costs: 0.10 paid"};
}

void TestMarketInputs::a_confirmed_price_drives_the_analysis_and_undoes_as_one_step() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QStringList, after);
    h->chooseProfit();
    h->choose(QStringLiteral("Covered Call"));
    // Wide enough that no change asks about re-scaling.
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->button(QStringLiteral("cmdPlot"))->click();
    const QString before = h->bench->settledAnalysisText();
    const int steps = h->bench->undoStack().count();
    if (keys == QString(QChar(0x2191))) {
        typeInto(qPrintable(box), QString());
        h->keyToFocus(Qt::Key_Up);
    } else {
        typeInto(qPrintable(box), keys);
    }
    for (const QString& line : after) {
        QVERIFY2(lines().contains(line), qPrintable(h->bench->settledAnalysisText()));
    }
    QVERIFY(!h->bench->analysisStale());
    if (box == u"txtUnderlyingPrice") {
        // As fully as the caption's room allows: 63.20 or 63.2.
        QVERIFY2(caption().startsWith(QStringLiteral("Underlying Price: ") + after[0].mid(21, 4)),
                 qPrintable(caption()));
    }
    QCOMPARE(h->bench->undoStack().count(), steps + 1);
    h->bench->undoStack().undo();
    QCOMPARE(h->bench->settledAnalysisText(), before);
    QVERIFY(caption().startsWith(QStringLiteral("Underlying Price: 50")));
    h->bench->undoStack().redo();
    QVERIFY(lines().contains(after[0]));
}

void TestMarketInputs::a_price_outside_the_prices_shown_offers_to_centre_them_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("answer"); // 0: nothing is asked
    QTest::addColumn<QStringList>("range");
    QTest::newRow("centred") << "450\r" << platform::Dialogs::answerYes
                             << QStringList{"401", "500"};
    QTest::newRow("declined") << "450\r" << platform::Dialogs::answerNo << QStringList{"1", "100"};
    QTest::newRow("never below 0")
        << "100.5\r" << platform::Dialogs::answerYes << QStringList{"51", "150"};
    QTest::newRow("inside asks nothing") << "99\r" << 0 << QStringList{"1", "100"};
}

void TestMarketInputs::a_price_outside_the_prices_shown_offers_to_centre_them() {
    QFETCH(QString, keys);
    QFETCH(int, answer);
    QFETCH(QStringList, range);
    if (answer != 0) {
        h->fake->dialogs.script(answer);
    }
    typeInto("txtUnderlyingPrice", keys);
    QCOMPARE((QStringList{h->box(2)->text(), h->box(3)->text()}), range);
    // The line at today's price is drawn, on screen and on paper, only
    // while the price lies among those shown.
    QCOMPARE(h->bench->diagram().todayPrice.has_value(), answer != platform::Dialogs::answerNo);
    if (answer != 0) {
        const auto& asked = h->fake->dialogs.shown().constLast();
        QCOMPARE(asked.buttons, platform::Dialogs::Buttons::YesNoDefaultNo);
        QVERIFY(asked.text.startsWith(QStringLiteral("Today's price, ")));
    }
    // Declined, a held arrow further out does not ask again.
    if (answer == platform::Dialogs::answerNo) {
        const qsizetype asked = h->fake->dialogs.shown().size();
        h->keyToFocus(Qt::Key_Up);
        h->keyToFocus(Qt::Key_Up);
        QCOMPARE(h->fake->dialogs.shown().size(), asked);
    }
    QVERIFY(lines().contains(QStringLiteral("At expiry, if the price stays at %1: 0.00")
                                 .arg(keys.chopped(1).toDouble(), 0, 'f', 2)) ||
            h->bench->settledAnalysisText().contains(keys.chopped(1)));
}

void TestMarketInputs::typing_not_yet_confirmed_marks_the_analysis_as_last_plotted() {
    typeInto("txtUnderlyingPrice", QStringLiteral("70"));
    QTRY_VERIFY(h->bench->analysisStale());
    QVERIFY(
        h->bench->settledAnalysisText().startsWith(workbench::wqzOptionPayoffs::asLastPlotted()));
    // A save keeps the box as shown, as it keeps the grid.
    QCOMPARE(h->bench->document().underlyingPrice, QStringLiteral("70.00"));
    // A price of 0 is refused with a message and the price in force stays.
    h->fake->dialogs.script(platform::Dialogs::answerOk);
    h->keyToFocus(Qt::Key_A, Qt::ControlModifier);
    h->typeToFocus(QStringLiteral("0\r"));
    QVERIFY(h->fake->dialogs.shown().constLast().text.startsWith(
        QStringLiteral("Today's price must be above 0")));
    QCOMPARE(h->bench->position().underlyingPrice, 50.0f);
    QTRY_VERIFY(!h->bench->analysisStale());
}

void TestMarketInputs::restart_and_clear_keep_the_price() {
    typeInto("txtUnderlyingPrice", QStringLiteral("63.2\r"));
    h->button(QStringLiteral("cmdRestart"))->click();
    h->button(QStringLiteral("cmdClear"))->click();
    h->choose(QStringLiteral("Straddle"));
    QCOMPARE(h->bench->position().underlyingPrice, 63.2f);
    QVERIFY2(caption().startsWith(QStringLiteral("Underlying Price: 63.2")), qPrintable(caption()));
}

void TestMarketInputs::a_link_sets_up_the_market_it_names_data() {
    QTest::addColumn<QString>("market"); // what the link names
    QTest::addColumn<float>("price");
    QTest::addColumn<float>("costPerOption");
    QTest::addColumn<QString>("atPrice"); // the analysis's line at today's price
    QTest::newRow("a price") << "&price=52" << 52.0f << 0.0f
                             << "At expiry, if the price stays at 52.00: -12.00";
    QTest::newRow("nothing: the starting price and no costs")
        << "" << 50.0f << 0.0f << "At expiry, if the price stays at 50.00: -14.00";
    QTest::newRow("a cost only") << "&costOption=0.25" << 50.0f << 0.25f
                                 << "At expiry, if the price stays at 50.00: -14.50";
}

void TestMarketInputs::a_link_sets_up_the_market_it_names() {
    QFETCH(QString, market);
    QFETCH(float, price);
    QFETCH(float, costPerOption);
    QFETCH(QString, atPrice);
    // An earlier page, or the student, had moved the market.
    typeInto("txtUnderlyingPrice", QStringLiteral("63.2\r"));
    typeInto("txtCostPerOption", QStringLiteral("0.2\r"));
    typeInto("txtCostPerUnit", QStringLiteral("0.2\r"));
    QCOMPARE(h->bench->position().costPerUnit, 0.2f);
    const workbench::links::Reading link = workbench::links::read(
        QUrl(QStringLiteral("wqz-workbench:load?strategy=Straddle&diagram=profit"
                            "&exercise=american&dividend=2&days=60&daysLeft=20") +
             market),
        5);
    QVERIFY2(link.load, qPrintable(link.problem));
    h->bench->followLink(*link.load);
    QCOMPARE(h->bench->position().underlyingPrice, price);
    QCOMPARE(h->bench->position().costPerOption, costPerOption);
    QCOMPARE(h->bench->position().costPerUnit, 0.0f);
    QCOMPARE(h->child<QDoubleSpinBox>(QStringLiteral("txtUnderlyingPrice"))->value(),
             double(price));
    const workbench::beforeexpiry::Inputs& in = h->bench->beforeExpiry();
    QVERIFY(in.american);
    QCOMPARE(in.dividendYield, 0.02);
    QCOMPARE(in.daysToday, 60);
    QCOMPARE(in.daysLeft, 20);
    QVERIFY2(lines().contains(atPrice), qPrintable(h->bench->settledAnalysisText()));
}

void TestMarketInputs::early_exercise_is_worded_for_whoever_decides_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<QString>("line"); // the start of the read-out's line
    QTest::newRow("a put bought") << "Naked Put"
                                  << "Put 50: early exercise pays below ";
    QTest::newRow("a call written") << "Covered Call"
                                    << "Call 50 written: the holder may exercise early above ";
}

void TestMarketInputs::early_exercise_is_worded_for_whoever_decides() {
    QFETCH(QString, strategy);
    QFETCH(QString, line);
    const workbench::links::Reading link = workbench::links::read(
        QUrl(QStringLiteral("wqz-workbench:load?strategy=%1&diagram=profit&exercise=american"
                            "&dividend=6&rate=5&days=60&daysLeft=20&volatility=30")
                 .arg(strategy)),
        5);
    QVERIFY2(link.load, qPrintable(link.problem));
    h->bench->followLink(*link.load);
    QVERIFY2(h->bench->settledAnalysisText().contains(u'\n' + line),
             qPrintable(h->bench->settledAnalysisText()));
    // A strategy's link may bring the range it is drawn in.
    const workbench::links::Reading closeUp = workbench::links::read(
        QUrl(QStringLiteral("wqz-workbench:load?strategy=%1&diagram=payoff&range=35:65:-2:18")
                 .arg(strategy)),
        5);
    QVERIFY2(closeUp.load, qPrintable(closeUp.problem));
    h->bench->followLink(*closeUp.load);
    QCOMPARE(h->box(2)->text() + u':' + h->box(3)->text() + u':' + h->box(1)->text() + u':' +
                 h->box(0)->text(),
             QStringLiteral("35:65:-2:18"));
    QCOMPARE(h->bench->lastRange().xmin, 35.0f);
}

void TestMarketInputs::the_starting_market_comes_back_as_one_step() {
    h->chooseProfit();
    h->choose(QStringLiteral("Covered Call"));
    // Wide enough that no change asks about re-scaling.
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->button(QStringLiteral("cmdPlot"))->click();
    typeInto("txtUnderlyingPrice", QStringLiteral("53\r"));
    typeInto("txtCostPerOption", QStringLiteral("0.5\r"));
    const QString moved = h->bench->settledAnalysisText();
    h->bench->startingMarket();
    QCOMPARE(h->bench->position().underlyingPrice, workbench::startingPrice);
    QCOMPARE(h->bench->position().costPerOption, 0.0f);
    QCOMPARE(h->child<QDoubleSpinBox>(QStringLiteral("txtCostPerOption"))->value(), 0.0);
    QVERIFY(h->bench->settledAnalysisText() != moved);
    QCOMPARE(h->bench->undoStack().undoText(), QStringLiteral("Starting Market"));
    h->bench->undoStack().undo();
    QCOMPARE(h->bench->position().underlyingPrice, 53.0f);
    QCOMPARE(h->bench->position().costPerOption, 0.5f);
    QCOMPARE(h->bench->settledAnalysisText(), moved);
}

void TestMarketInputs::a_price_step_redraws_the_last_curve_in_place() {
    h->chooseProfit();
    h->choose(QStringLiteral("Covered Call"));
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->button(QStringLiteral("cmdPlot"))->click(); // an earlier curve to keep
    const qsizetype curves = h->bench->diagram().curves.size();
    typeInto("txtUnderlyingPrice", QString());
    for (int i = 0; i < 5; ++i) {
        h->keyToFocus(Qt::Key_Up);
    }
    const workbench::diagramexport::Diagram d = h->bench->diagram();
    QCOMPARE(d.curves.size(), curves);
    QCOMPARE(d.legend.size(), curves);
    QCOMPARE(d.todayPrice, std::optional<double>(50.05f));
    // Only the last curve moved: the first is still the one at 50.
    QVERIFY(d.curves.constFirst().points != d.curves.constLast().points);
    // A position typed and not yet plotted is drawn over the last curve.
    h->clickCell(1, 0);
    h->typeToFocus(QStringLiteral("1\r"));
    typeInto("txtUnderlyingPrice", QStringLiteral("60\r"));
    QCOMPARE(h->bench->diagram().curves.size(), curves + 1);
}

void TestMarketInputs::an_opened_file_brings_its_market_and_one_undo_takes_it_back() {
    workbench::document::Document saved = h->bench->document();
    saved.underlyingPrice = QStringLiteral("63.2abc"); // read as the reader reads it
    saved.costPerOption = QStringLiteral("0.65");
    saved.beforeExpiry->american = true;
    saved.beforeExpiry->dividendYield = 0.015;
    h->bench->openDocument(saved, QStringLiteral("market.wqzpos"));
    QCOMPARE(h->bench->position().underlyingPrice, 63.2f);
    QCOMPARE(h->bench->position().costPerOption, 0.65f);
    QVERIFY(h->bench->beforeExpiry().american);
    // Saved again, it writes what the boxes show.
    QCOMPARE(h->bench->document().underlyingPrice, QStringLiteral("63.20"));
    h->bench->undoStack().undo();
    QCOMPARE(h->bench->position().underlyingPrice, 50.0f);
    QCOMPARE(h->bench->position().costPerOption, 0.0f);
    QVERIFY(!h->bench->beforeExpiry().american);
}

void TestMarketInputs::the_chance_of_a_profit_before_expiry_is_the_same_in_any_range_data() {
    QTest::addColumn<QString>("range"); // the prices from and to, as the link gives them
    QTest::newRow("close about the butterfly") << "220:280";
    QTest::newRow("wider") << "150:380";
    QTest::newRow("far wider") << "100:600";
}

void TestMarketInputs::the_chance_of_a_profit_before_expiry_is_the_same_in_any_range() {
    QFETCH(QString, range);
    h->bench->setProbabilityShown(true);
    const workbench::links::Reading link = workbench::links::read(
        QUrl(QStringLiteral("wqz-workbench:load?position=c1:1,c2:-2,c3:1&rows=240:13.2:0;250:7.1:0;"
                            "260:3.4:0&diagram=profit&price=250&volatility=30&days=30&daysLeft=10"
                            "&rate=5&dividend=0&exercise=european&range=%1:-10:10")
                 .arg(range)),
        5);
    QVERIFY2(link.load, qPrintable(link.problem));
    h->bench->followLink(*link.load);
    const workbench::beforeexpiry::Inputs& in = h->bench->beforeExpiry();
    const workbench::beforeexpiry::Valuer valuer(h->bench->valuedPosition(), in,
                                                 workbench::payoff::profitDiagram);
    const workbench::probability::Lognormal law{250, 20 / 365.0, in.rate, in.dividendYield, 0.3};
    const double chance = workbench::beforeexpiry::chanceOfProfit(valuer, law);
    QVERIFY(chance > 0.2 && chance < 0.8);
    QVERIFY2(lines().contains(QStringLiteral("Probability of profit with 10 days left: %1 %")
                                  .arg(chance * 100, 0, 'f', 2)),
             qPrintable(h->bench->settledAnalysisText()));
}

void TestMarketInputs::the_probability_shown_names_its_law_and_follows_the_inputs() {
    h->chooseProfit();
    h->choose(QStringLiteral("Straddle"));
    workbench::beforeexpiry::Inputs in = h->bench->beforeExpiry();
    in.implied = false;
    h->bench->setBeforeExpiry(in);
    QVERIFY(!lines().contains(QStringLiteral(
        "Model: lognormal, volatility 30.00 %, rate 5.00 %, dividend 0.00 %, 30 days")));
    h->bench->setProbabilityShown(true);
    QVERIFY2(lines().contains(QStringLiteral(
                 "Model: lognormal, volatility 30.00 %, rate 5.00 %, dividend 0.00 %, 30 days")),
             qPrintable(h->bench->settledAnalysisText()));
    // The straddle bought for 14.00 gains below 36 and above 64: the chance
    // of either under the lognormal law, worked out here.
    const auto below = [](double S) {
        const double s = 0.3 * std::sqrt(30 / 365.0);
        const double m = std::log(50.0) + (0.05 - 0.045) * 30 / 365.0;
        return 0.5 * std::erfc(-(std::log(S) - m) / s / std::sqrt(2.0));
    };
    const double chance = below(36) + 1 - below(64);
    QVERIFY2(
        lines().contains(
            QStringLiteral("Probability of profit at expiry: %1 %").arg(chance * 100, 0, 'f', 2)),
        qPrintable(h->bench->settledAnalysisText()));
    // Its maximum profit has no limit; its maximum loss is at one price.
    QVERIFY(!h->bench->settledAnalysisText().contains(QStringLiteral("maximum profit:")));
    QVERIFY(lines().contains(QStringLiteral(
        "Probability of the maximum loss: 0.00 % (reached only at 50.00, a single price)")));
    // Implied volatilities: those of the strike nearest today's price.
    in.implied = true;
    h->bench->setBeforeExpiry(in);
    QVERIFY(h->bench->settledAnalysisText().contains(
        QStringLiteral("(implied at 50), rate 5.00 %, dividend 0.00 %, 30 days")));
    h->bench->setProbabilityShown(false);
    QVERIFY(!h->bench->settledAnalysisText().contains(QStringLiteral("lognormal")));
}

void TestMarketInputs::one_action_tells_its_analysis_once_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("a strategy chosen") << "strategy";
    QTest::newRow("today's price confirmed") << "price";
    QTest::newRow("an arrow on today's price") << "arrow";
    QTest::newRow("undo") << "undo";
    QTest::newRow("a link") << "link";
    QTest::newRow("a file opened") << "open";
    QTest::newRow("a step of the date slider") << "slider";
}

void TestMarketInputs::one_action_tells_its_analysis_once() {
    QFETCH(QString, action);
    h->chooseProfit();
    h->choose(QStringLiteral("Covered Call"));
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->button(QStringLiteral("cmdPlot"))->click();
    if (action == u"price" || action == u"arrow") {
        typeInto("txtUnderlyingPrice", QString());
    }
    // The slider moves the days left of dates already drawn.
    std::unique_ptr<workbench::BeforeExpiryPanel> panel;
    if (action == u"slider") {
        workbench::beforeexpiry::Inputs in = h->bench->beforeExpiry();
        in.daysLeft = 10;
        in.moreDaysLeft = {20};
        h->bench->setBeforeExpiry(in);
        panel = std::make_unique<workbench::BeforeExpiryPanel>(*h->bench);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        auto* slider = panel->findChild<QSlider*>(QStringLiteral("sldDaysLeft"));
        QTest::mouseClick(slider, Qt::LeftButton, {}, slider->rect().center());
        QTRY_COMPARE(QApplication::focusWidget(), slider);
    }
    const workbench::document::Document saved = h->bench->document();
    QSignalSpy told(h->bench.get(), &workbench::wqzOptionPayoffs::AnalysisChange);
    if (action == u"strategy") {
        h->choose(QStringLiteral("Straddle"));
    } else if (action == u"price") {
        h->typeToFocus(QStringLiteral("55\r"));
    } else if (action == u"arrow") {
        h->keyToFocus(Qt::Key_Up);
    } else if (action == u"undo") {
        h->bench->undoStack().undo();
    } else if (action == u"open") {
        h->bench->openDocument(saved, QStringLiteral("saved.wqzpos"));
    } else if (action == u"slider") {
        const int before = h->bench->beforeExpiry().daysLeft;
        h->keyToFocus(Qt::Key_Left);
        QVERIFY(h->bench->beforeExpiry().daysLeft != before);
    } else {
        const workbench::links::Reading link = workbench::links::readText(
            QStringLiteral("wqz-workbench:load?strategy=Bullish%20Call%20Spread&diagram=profit"),
            5);
        h->bench->followLink(*link.load);
    }
    QCoreApplication::processEvents();
    QCOMPARE(told.size(), 1);
    QCOMPARE(told[0][0].toString(), h->bench->settledAnalysisText());
    QVERIFY(!h->bench->settledAnalysisText().startsWith(QStringLiteral("As last plotted")));
}

QTEST_MAIN(TestMarketInputs)
#include "test_market_inputs.moc"
