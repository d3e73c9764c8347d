#include "WorkbenchHarness.h"
#include "platform/Numbers.h"

#include <QTest>

#include <algorithm>

namespace {
QStringList row(const WorkbenchHarness& h, int r) {
    QStringList cells;
    for (int c = 0; c < h.grid()->Cols(); ++c) {
        cells << h.cell(r, c);
    }
    return cells;
}
const QStringList kHeader{"Call Qty", "Call Price", "Strike", "Put Qty", "Put Price"};
} // namespace

class TestOptionExchange : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void copy_gives_the_selection_as_tab_and_carriage_return_text();
    void copy_of_one_cell_is_its_text_alone();
    void paste_into_a_selection_keeps_the_blank_a_line_end_leaves_data();
    void paste_into_a_selection_keeps_the_blank_a_line_end_leaves();
    void ctrl_v_drops_commas_and_text_outside_the_selection();
    void more_than_the_grid_holds_is_refused_before_it_is_split();
    void a_clipboard_that_cannot_be_opened_is_reported_and_changes_nothing();

    void paste_data_rebuilds_the_grid_from_a_quote_table_data();
    void paste_data_rebuilds_the_grid_from_a_quote_table();
    void text_without_a_strike_changes_nothing_and_says_so_data();
    void text_without_a_strike_changes_nothing_and_says_so();
    void whole_rows_copied_and_pasted_give_the_position_back();
    void paste_data_leaves_the_position_and_the_selection_alone();
    void a_strategy_needing_a_row_that_takes_no_part_says_so_and_changes_nothing_data();
    void a_strategy_needing_a_row_that_takes_no_part_says_so_and_changes_nothing();
    void a_number_too_large_is_reported_once_and_its_row_sits_out();
    void seven_pasted_quotes_take_part_in_the_evaluation();
    void a_row_without_a_strike_takes_no_part();
    void strategies_and_steps_work_on_the_rows_a_paste_left();

private:
    std::unique_ptr<WorkbenchHarness> h;
};

void TestOptionExchange::init() {
    h = std::make_unique<WorkbenchHarness>();
    h->bench->show();
    QVERIFY(QTest::qWaitForWindowExposed(h->bench.get()));
}

void TestOptionExchange::cleanup() {
    QCOMPARE(h->fake->dialogs.pendingAnswers(), 0);
    h.reset();
}

void TestOptionExchange::copy_gives_the_selection_as_tab_and_carriage_return_text() {
    h->grid()->setRow(1);
    h->grid()->setCol(1);
    h->grid()->setRowSel(2);
    h->grid()->setColSel(2);
    h->bench->CopyOptionData();
    QCOMPARE(h->clipboard.rawText(), QStringLiteral("16.00\t40\r13.00\t45"));

    // Ctrl+C in a quantity cell copies the selection it anchors.
    h->clickCell(4, 0);
    h->clickCell(5, 1, Qt::ShiftModifier);
    h->key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(h->clipboard.rawText(), QStringLiteral("0\t8.25\r0\t6.50"));
}

void TestOptionExchange::copy_of_one_cell_is_its_text_alone() {
    h->clickCell(3, 0);
    h->key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(h->clipboard.rawText(), QStringLiteral("1"));
}

void TestOptionExchange::paste_into_a_selection_keeps_the_blank_a_line_end_leaves_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("windows line ends") << "5\r\n6\r\n";
    QTest::newRow("linux line ends") << "5\n6\n";
}

void TestOptionExchange::paste_into_a_selection_keeps_the_blank_a_line_end_leaves() {
    QFETCH(QString, clipboard);
    h->clipboard.putText(clipboard);
    h->clickCell(1, 3);
    h->clickCell(2, 3, Qt::ShiftModifier);
    h->key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h->cell(1, 3), QStringLiteral("5"));
    QCOMPARE(h->cell(2, 3), QStringLiteral(" 6"));
    QCOMPARE(h->cell(3, 3), QStringLiteral("0"));
}

void TestOptionExchange::ctrl_v_drops_commas_and_text_outside_the_selection() {
    h->clipboard.putText(QStringLiteral("1,000\t2,500\r\n3\t4\r\n"));
    h->clickCell(2, 0);
    h->key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h->cell(2, 0), QStringLiteral("1000"));
    QCOMPARE(h->cell(2, 1), QStringLiteral("13.00"));
    QCOMPARE(h->cell(3, 0), QStringLiteral("1"));
    // A paste may span premiums and strikes.
    h->clickCell(4, 0);
    h->clickCell(4, 2, Qt::ShiftModifier);
    h->clipboard.putText(QStringLiteral("2\t7.5\t52"));
    h->key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(row(*h, 4), (QStringList{"2", "7.5", "52", "0", "6.50"}));
}

void TestOptionExchange::more_than_the_grid_holds_is_refused_before_it_is_split() {
    // Ten million tabs: told at once, nothing changed.
    h->clipboard.putText(QString(10'000'000, u'\t'));
    h->fake->dialogs.script(platform::Dialogs::answerOk);
    h->clickCell(2, 0);
    h->key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h->fake->dialogs.shown().size(), 1);
    QVERIFY(h->fake->dialogs.shown()[0].text.startsWith(
        QStringLiteral("The clipboard holds more than the grid")));
    QCOMPARE(h->cell(2, 0), QStringLiteral("0"));
}

void TestOptionExchange::a_clipboard_that_cannot_be_opened_is_reported_and_changes_nothing() {
    h->clipboard.failing = true;
    h->fake->dialogs.script(platform::Dialogs::answerOk);
    h->fake->dialogs.script(platform::Dialogs::answerOk);
    h->clickCell(2, 0);
    h->key(Qt::Key_C, Qt::ControlModifier);
    h->key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h->fake->dialogs.shown().size(), 2);
    for (const auto& box : h->fake->dialogs.shown()) {
        QVERIFY(box.text.endsWith(QStringLiteral("The system error is: Can't open Clipboard")));
    }
    QCOMPARE(h->cell(2, 0), QStringLiteral("0"));
}

void TestOptionExchange::paste_data_rebuilds_the_grid_from_a_quote_table_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QStringList>>("rows");
    const QList<QStringList> twoQuotes{{"0", "16", "40", "0", "0.5"},
                                       {"0", "13", "45", "0", "1.5"}};
    QTest::newRow("spreadsheet table") << "16\t40\t0.5\r\n13\t45\t1.5\r\n" << twoQuotes;
    QTest::newRow("without the last line end") << "16\t40\t0.5\r\n13\t45\t1.5" << twoQuotes;
    QTest::newRow("lone line feeds") << "16\t40\t0.5\n13\t45\t1.5\n" << twoQuotes;
    QTest::newRow("copied by the workbench")
        << "16.00\t40\r13.00\t45"
        << QList<QStringList>{{"0", "16.00", "40", "0", ""}, {"0", "13.00", "45", "0", ""}};
    QTest::newRow("whole rows, quantities and empty cells kept")
        << "1\t16.00\t40\t0\t0.50\r\n\t13.00\t45\t-2\t\r\n"
        << QList<QStringList>{{"1", "16.00", "40", "0", "0.50"}, {"", "13.00", "45", "-2", ""}};
    QTest::newRow("two fields") << "16\t40\r\n" << QList<QStringList>{{"0", "16", "40", "0", ""}};
    QTest::newRow("four fields") << "16\t40\t0.5\t9\r\n"
                                 << QList<QStringList>{{"0", "16", "40", "0", "0.5"}};
    // A comma that may group thousands or mark decimals is kept, and told.
    QTest::newRow("comma kept") << "1,016\t40\t0.5\r\n"
                                << QList<QStringList>{{"0", "1,016", "40", "0", "0.5"}};
    QTest::newRow("thousands grouped by commas")
        << "1,016\t1,250.50\t0.5\r\n13\t1,300\t1.5\r\n"
        << QList<QStringList>{{"0", "1016", "1250.50", "0", "0.5"},
                              {"0", "13", "1300", "0", "1.5"}};
    QTest::newRow("decimal commas")
        << "16,5\t40\t0,75\r\n13\t1.045,5\t1,5\r\n"
        << QList<QStringList>{{"0", "16.5", "40", "0", "0.75"}, {"0", "13", "1045.5", "0", "1.5"}};
    QTest::newRow("header line is a row")
        << "Call\tStrike\tPut\r\n16\t40\t0.5\r\n"
        << QList<QStringList>{{"0", "Call", "Strike", "0", "Put"}, twoQuotes.first()};
    QTest::newRow("both habits: nothing is read anew")
        << "1,250.5\t40\t0,5\r\n"
        << QList<QStringList>{{"0", "1,250.5", "40", "0", "0,5"}};
}

void TestOptionExchange::paste_data_rebuilds_the_grid_from_a_quote_table() {
    QFETCH(QString, text);
    QFETCH(QList<QStringList>, rows);
    // Lines not read whole are named, each at most once, in one message.
    QStringList unread;
    for (int r = 0; r < rows.size(); ++r) {
        if (std::any_of(rows[r].cbegin(), rows[r].cend(), [](const QString& c) {
                return !platform::numbers::isNumeric(c) && !c.isEmpty();
            })) {
            unread << QString::number(r + 1);
        }
    }
    if (!unread.isEmpty()) {
        h->fake->dialogs.script(platform::Dialogs::answerOk);
    }
    h->bench->pasteData(text);
    QCOMPARE(h->fake->dialogs.shown().size(), unread.isEmpty() ? 0 : 1);
    if (!unread.isEmpty()) {
        QVERIFY2(h->fake->dialogs.shown().front().text.startsWith(
                     QStringLiteral("Not every number of line%1 %2 could be read")
                         .arg(unread.size() == 1 ? "" : "s", unread.join(QStringLiteral(", ")))),
                 qPrintable(h->fake->dialogs.shown().front().text));
    }
    QCOMPARE(h->grid()->Rows(), int(rows.size()) + 1);
    QCOMPARE(h->grid()->Cols(), 5);
    QCOMPARE(h->grid()->FixedRows(), 1);
    QCOMPARE(h->grid()->FixedCols(), 0);
    QCOMPARE(row(*h, 0), kHeader);
    for (int r = 0; r < rows.size(); ++r) {
        QCOMPARE(row(*h, r + 1), rows[r]);
        // A row without a strike is greyed and says why.
        const bool sitsOut = !platform::numbers::hasLeadingNumber(rows[r][2]);
        QCOMPARE(h->grid()->cellForeColor(r + 1, 1).isValid(), sitsOut);
        QCOMPARE(h->grid()->cellToolTip(r + 1, 1).contains(QStringLiteral("no strike")), sitsOut);
    }
}

void TestOptionExchange::text_without_a_strike_changes_nothing_and_says_so_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("a sentence") << "Options expire on Friday.";
    QTest::newRow("the header alone") << "Call Qty\tCall Price\tStrike\tPut Qty\tPut Price\r";
}

void TestOptionExchange::text_without_a_strike_changes_nothing_and_says_so() {
    QFETCH(QString, text);
    QList<QStringList> before;
    for (int r = 0; r < h->grid()->Rows(); ++r) {
        before << row(*h, r);
    }
    h->fake->dialogs.script(platform::Dialogs::answerOk);
    h->bench->pasteData(text);
    QCOMPARE(h->fake->dialogs.shown().size(), 1);
    QVERIFY(h->fake->dialogs.shown().first().text.startsWith(
        QStringLiteral("The clipboard holds no option quotes.")));
    QCOMPARE(h->grid()->Rows(), int(before.size()));
    for (int r = 0; r < before.size(); ++r) {
        QCOMPARE(row(*h, r), before[r]);
    }
}

void TestOptionExchange::whole_rows_copied_and_pasted_give_the_position_back() {
    QVERIFY(h->showActive());
    h->choose(QStringLiteral("Strip"));
    h->clickCell(1, 0);
    h->clickCell(5, 4, Qt::ShiftModifier);
    h->bench->CopyOptionData();
    QList<QStringList> before;
    for (int r = 1; r <= 5; ++r) {
        before << row(*h, r);
    }
    h->button(QStringLiteral("cmdRestart"))->click();
    h->bench->pasteData(h->clipboard.text());
    QCOMPARE(h->grid()->Rows(), 6);
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(row(*h, r), before[r - 1]);
    }
}

void TestOptionExchange::paste_data_leaves_the_position_and_the_selection_alone() {
    h->clickCell(2, 3);
    const QImage before = h->pbox()->image();
    // A table copied from a spreadsheet on this desktop: lone line feeds.
    h->clipboard.putText(QStringLiteral("16\t40\t0.5\n13\t45\t1.5\n"));
    h->bench->pasteData(h->clipboard.text());
    QCOMPARE(h->grid()->Rows(), 3);
    QCOMPARE(row(*h, 2), (QStringList{"0", "13", "45", "0", "1.5"}));
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Put/45"));
    QCOMPARE(h->bench->position().callQty[3], 1.0f);
    QCOMPARE(h->pbox()->image(), before);
}

void TestOptionExchange::seven_pasted_quotes_take_part_in_the_evaluation() {
    struct Quote {
        double call, strike, put;
    };
    const Quote quotes[7] = {{22.1, 30, 0.2}, {17.4, 35, 0.45}, {12.9, 40, 0.95}, {8.8, 45, 1.9},
                             {5.35, 50, 3.4}, {2.9, 55, 5.9},   {1.3, 60, 9.25}};
    QString table;
    for (const Quote& q : quotes) {
        table += QStringLiteral("%1\t%2\t%3\r\n").arg(q.call).arg(q.strike).arg(q.put);
    }
    h->bench->pasteData(table);
    QCOMPARE(h->grid()->Rows(), 8);
    h->grid()->setTextMatrix(6, 0, QStringLiteral("-2"));  // two calls at 55 written
    h->grid()->setTextMatrix(7, 3, QStringLiteral("1.5")); // puts at 60 bought
    h->grid()->setTextMatrix(2, 3, QStringLiteral("1"));   // a put at 35 bought
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->chooseProfit();
    h->button(QStringLiteral("cmdPlot"))->click();
    QCOMPARE(h->cell(6, 0), QStringLiteral("-2.00"));
    QCOMPARE(h->cell(6, 1), QStringLiteral("2.90")); // premiums as the grid shows them
    for (int i = 1; i <= 100; ++i) {
        const double S = platform::numbers::leadingNumber(h->values->TextMatrix(i, 1));
        const double want = -2 * (std::max(S - 55, 0.0) - 2.9) +
                            1.5 * (std::max(60 - S, 0.0) - 9.25) + (std::max(35 - S, 0.0) - 0.45);
        const double got = platform::numbers::leadingNumber(h->values->TextMatrix(i, 2));
        QVERIFY2(qAbs(got - want) < 1e-3, qPrintable(QStringLiteral("at %1: %2").arg(S).arg(got)));
    }
}

void TestOptionExchange::a_row_without_a_strike_takes_no_part() {
    h->grid()->setTextMatrix(3, 2, QString()); // the strike of the bought call
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->button(QStringLiteral("cmdPlot"))->click();
    for (int i = 1; i <= 100; ++i) {
        QCOMPARE(h->values->TextMatrix(i, 2), QStringLiteral("0.0000"));
    }
    // A strike of 0 is a number and takes part: the call pays S.
    h->grid()->setTextMatrix(3, 2, QStringLiteral("0"));
    h->button(QStringLiteral("cmdPlot"))->click();
    QCOMPARE(h->values->TextMatrix(1, 2), QStringLiteral("1.0000"));
}

void TestOptionExchange::strategies_and_steps_work_on_the_rows_a_paste_left() {
    h->clickCell(5, 3); // the put of row 5
    h->bench->pasteData(QStringLiteral("16\t40\t0.5\r\n13\t45\t1.5\r\n10.5\t50\t3.5\r\n"));
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->button(QStringLiteral("scup(1)"))->click(); // row 5 is gone: nothing to step
    QVERIFY(h->fake->dialogs.shown().isEmpty());
    QCOMPARE(h->grid()->Rows(), 4);

    h->choose(QStringLiteral("Straddle")); // its legs are on row 3
    QCOMPARE(h->cell(3, 3), QStringLiteral("1"));
    QCOMPARE(h->cell(2, 3), QStringLiteral("0"));
    QVERIFY(h->fake->dialogs.shown().isEmpty());

    // Seven rows: the strategy writes 0 in every row it does not name, and a
    // selected seventh row steps like any other.
    QString seven;
    for (int k = 0; k < 7; ++k) {
        seven += QStringLiteral("1\t%1\t1\r\n").arg(40 + 5 * k);
    }
    h->bench->pasteData(seven);
    h->choose(QStringLiteral("Straddle"));
    for (int r = 1; r <= 7; ++r) {
        QCOMPARE(h->cell(r, 0), r == 3 ? QStringLiteral("1") : QStringLiteral("0"));
    }
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->clickCell(7, 0);
    h->button(QStringLiteral("scup(1)"))->click();
    QCOMPARE(h->cell(7, 0), QStringLiteral("1.00"));
    QCOMPARE(h->bench->position().callQty[7], 1.0f);
}

void TestOptionExchange::
    a_strategy_needing_a_row_that_takes_no_part_says_so_and_changes_nothing_data() {
    QTest::addColumn<QString>("pasted"); // onto the strike of row 3, empty for Delete
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<QString>("message");
    QTest::newRow("strike deleted") << ""
                                    << "Straddle"
                                    << "Row 3 has no strike, so Straddle cannot be loaded.";
    QTest::newRow("strike too large") << "1e39"
                                      << "Naked Put"
                                      << "Row 3 holds a number too large to use, so Naked Put "
                                         "cannot be loaded.";
    QTest::newRow("row not in the grid")
        << "rows"
        << "Put Butterfly Spread"
        << "The grid has no row 5, so Put Butterfly Spread cannot be loaded.";
}

void TestOptionExchange::a_strategy_needing_a_row_that_takes_no_part_says_so_and_changes_nothing() {
    QFETCH(QString, pasted);
    QFETCH(QString, strategy);
    QFETCH(QString, message);
    QVERIFY(h->showActive());
    if (pasted == u"rows") {
        h->bench->pasteData(QStringLiteral("16\t40\t0.5\r\n13\t45\t1.5\r\n10.5\t50\t3.5\r\n"));
    } else {
        h->clickCell(3, 2);
        if (pasted.isEmpty()) {
            h->keyToFocus(Qt::Key_Delete);
        } else {
            h->clipboard.putText(pasted);
            h->fake->dialogs.script(platform::Dialogs::answerOk); // the number is too large
            h->keyToFocus(Qt::Key_V, Qt::ControlModifier);
        }
        QVERIFY(h->grid()->cellForeColor(3, 0).isValid());
        QVERIFY(h->grid()->cellToolTip(3, 4).startsWith(QStringLiteral("Row 3 ")));
    }
    QList<QStringList> before;
    for (int r = 0; r < h->grid()->Rows(); ++r) {
        before << row(*h, r);
    }
    const QImage picture = h->pbox()->image();
    h->fake->dialogs.script(platform::Dialogs::answerOk);
    h->choose(strategy);
    QCOMPARE(h->fake->dialogs.shown().last().text, message);
    for (int r = 0; r < before.size(); ++r) {
        QCOMPARE(row(*h, r), before[r]);
    }
    QCOMPARE(h->pbox()->image(), picture);
    // The grid no longer holds what was plotted: the list names nothing.
    QCOMPARE(h->strategies()->currentIndex(), -1);
}

void TestOptionExchange::a_number_too_large_is_reported_once_and_its_row_sits_out() {
    QVERIFY(h->showActive());
    h->box(0)->setText(QStringLiteral("1000"));
    h->box(1)->setText(QStringLiteral("-1000"));
    h->clickCell(3, 1);
    h->clipboard.putText(QStringLiteral("1e39"));
    h->fake->dialogs.script(platform::Dialogs::answerOk);
    h->keyToFocus(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h->fake->dialogs.shown().size(), 1);
    QVERIFY(
        h->fake->dialogs.shown().first().text.contains(QStringLiteral("row 3, Call Price: 1e39")));
    // Plot, a strategy on other rows and the steps go on without another word.
    h->button(QStringLiteral("cmdPlot"))->click();
    h->button(QStringLiteral("cmdPlot"))->click();
    h->choose(QStringLiteral("Strangle"));
    QCOMPARE(h->strategies()->currentText(), QStringLiteral("Strangle"));
    QCOMPARE(h->cell(5, 0), QStringLiteral("1"));
    QCOMPARE(h->cell(3, 1), QStringLiteral("1e39"));
    QCOMPARE(h->fake->dialogs.shown().size(), 1);
    QVERIFY(!h->bench->position().takesPart[3]);
}

QTEST_MAIN(TestOptionExchange)
#include "test_option_exchange.moc"
