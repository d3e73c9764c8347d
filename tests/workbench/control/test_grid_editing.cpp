#include "WorkbenchHarness.h"

#include <QTest>

class TestGridEditing : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void typing_replaces_the_cell_then_appends();
    void double_click_continues_after_the_existing_text();
    void backspace_on_one_character_or_after_entering_empties_data();
    void backspace_on_one_character_or_after_entering_empties();
    void escape_restores_the_text_of_entry_or_of_the_buffer_before_a_double_click();
    void enter_with_nothing_typed_empties_and_reads_as_zero();
    void enter_reads_the_position_without_plotting();
    void delete_empties_the_whole_selection_premiums_and_strikes_too();
    void delete_with_a_modifier_changes_nothing_data();
    void delete_with_a_modifier_changes_nothing();
    void every_cell_of_a_row_is_typed_and_a_read_shows_it_as_the_grid_starts_data();
    void every_cell_of_a_row_is_typed_and_a_read_shows_it_as_the_grid_starts();
    void a_click_selects_the_call_or_put_of_its_row();

private:
    std::unique_ptr<WorkbenchHarness> h;
};

void TestGridEditing::init() {
    h = std::make_unique<WorkbenchHarness>();
    h->bench->show();
    QVERIFY(QTest::qWaitForWindowExposed(h->bench.get()));
}

void TestGridEditing::cleanup() {
    QCOMPARE(h->fake->dialogs.pendingAnswers(), 0);
    h.reset();
}

void TestGridEditing::typing_replaces_the_cell_then_appends() {
    h->clickCell(2, 0);
    h->type(QStringLiteral("1"));
    QCOMPARE(h->cell(2, 0), QStringLiteral("1"));
    h->type(QStringLiteral("2"));
    QCOMPARE(h->cell(2, 0), QStringLiteral("12"));
    // Anything goes in while typing; the reader takes the leading number.
    h->type(QStringLiteral("a -"));
    QCOMPARE(h->cell(2, 0), QStringLiteral("12a -"));
}

void TestGridEditing::double_click_continues_after_the_existing_text() {
    h->grid()->setTextMatrix(2, 3, QStringLiteral("2.00"));
    h->doubleClickCell(2, 3);
    h->type(QStringLiteral("5"));
    QCOMPARE(h->cell(2, 3), QStringLiteral("2.005"));
}

void TestGridEditing::backspace_on_one_character_or_after_entering_empties_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("right after entering") << ""
                                          << "";
    QTest::newRow("one character") << "7"
                                   << "";
    QTest::newRow("two characters") << "75"
                                    << "7";
}

void TestGridEditing::backspace_on_one_character_or_after_entering_empties() {
    QFETCH(QString, typed);
    QFETCH(QString, after);
    h->clickCell(4, 0);
    h->type(typed);
    h->key(Qt::Key_Backspace);
    QCOMPARE(h->cell(4, 0), after);
}

void TestGridEditing::escape_restores_the_text_of_entry_or_of_the_buffer_before_a_double_click() {
    h->clickCell(3, 0); // shows 1
    h->type(QStringLiteral("42"));
    h->key(Qt::Key_Escape);
    QCOMPARE(h->cell(3, 0), QStringLiteral("1"));

    // After a double-click Escape restores what the buffer held before it:
    // nothing typed, so the cell empties.
    h->clickCell(5, 3);
    h->doubleClickCell(5, 3);
    h->key(Qt::Key_Escape);
    QCOMPARE(h->cell(5, 3), QString());
}

void TestGridEditing::enter_with_nothing_typed_empties_and_reads_as_zero() {
    h->clickCell(3, 0);
    h->key(Qt::Key_Return);
    QCOMPARE(h->cell(3, 0), QStringLiteral("0.00"));
    QCOMPARE(h->bench->position().callQty[3], 0.0f);
}

void TestGridEditing::enter_reads_the_position_without_plotting() {
    const QImage before = h->pbox()->image();
    h->clickCell(2, 3);
    h->type(QStringLiteral("3"));
    h->key(Qt::Key_Enter);
    QCOMPARE(h->cell(2, 3), QStringLiteral("3.00"));
    QCOMPARE(h->cell(3, 0), QStringLiteral("1.00"));
    QCOMPARE(h->underlyingBox()->text(), QStringLiteral("0.00"));
    QCOMPARE(h->bench->position().putQty[2], 3.0f);
    QCOMPARE(h->pbox()->image(), before);
}

void TestGridEditing::delete_empties_the_whole_selection_premiums_and_strikes_too() {
    h->clickCell(1, 0);
    h->clickCell(2, 4, Qt::ShiftModifier);
    h->key(Qt::Key_Delete);
    for (int r = 1; r <= 2; ++r) {
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(h->cell(r, c), QString());
        }
    }
    QCOMPARE(h->cell(3, 2), QStringLiteral("50"));
    QCOMPARE(h->grid()->FillStyle(), 0);
    // Typing afterwards starts afresh.
    h->type(QStringLiteral("9"));
    QCOMPARE(h->cell(1, 0), QStringLiteral("9"));
}

void TestGridEditing::delete_with_a_modifier_changes_nothing_data() {
    QTest::addColumn<int>("modifier");
    QTest::newRow("shift") << int(Qt::ShiftModifier);
    QTest::newRow("ctrl") << int(Qt::ControlModifier);
    QTest::newRow("alt") << int(Qt::AltModifier);
}

void TestGridEditing::delete_with_a_modifier_changes_nothing() {
    QFETCH(int, modifier);
    h->clickCell(3, 0);
    h->key(Qt::Key_Delete, Qt::KeyboardModifiers(modifier));
    QCOMPARE(h->cell(3, 0), QStringLiteral("1"));
}

void TestGridEditing::every_cell_of_a_row_is_typed_and_a_read_shows_it_as_the_grid_starts_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<float>("strike"); // of row 2 after the read
    QTest::addColumn<float>("read");   // the number the cell is taken as
    // The tooltip of a cell not wholly a number, which is marked; the
    // message a strike that is no number gives, once.
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("told");
    QTest::newRow("call quantity") << 0 << "3"
                                   << "3.00" << 45.0f << 3.0f << ""
                                   << "";
    QTest::newRow("call premium") << 1 << "12.5"
                                  << "12.50" << 45.0f << 12.5f << ""
                                  << "";
    QTest::newRow("whole strike") << 2 << "47"
                                  << "47" << 47.0f << 47.0f << ""
                                  << "";
    QTest::newRow("strike with a fraction") << 2 << "47.5"
                                            << "47.50" << 47.5f << 47.5f << ""
                                            << "";
    QTest::newRow("put premium") << 4 << "2"
                                 << "2.00" << 45.0f << 2.0f << ""
                                 << "";
    QTest::newRow("premium without a number")
        << 4 << "n/a"
        << "n/a" << 45.0f << 0.0f << "Read as 0: the rest, \"n/a\", is not a number."
        << "";
    QTest::newRow("a decimal comma in a quantity")
        << 0 << "1,5"
        << "1,5" << 45.0f << 1.0f << "Read as 1: the rest, \",5\", is not a number."
        << "";
    QTest::newRow("a strike with a letter")
        << 2 << "4S"
        << "4S" << 4.0f << 4.0f << "Read as 4: the rest, \"S\", is not a number."
        << "";
    QTest::newRow("a strike that is no number")
        << 2 << "abc"
        << "abc" << 0.0f << 0.0f << "Row 2 has no strike, so it takes no part in the diagram."
        << "These strikes are not numbers:\n\nrow 2: abc\n\nTheir rows take no part in the "
           "diagram until a number is typed there.";
}

void TestGridEditing::every_cell_of_a_row_is_typed_and_a_read_shows_it_as_the_grid_starts() {
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(float, strike);
    QFETCH(float, read);
    QFETCH(QString, tip);
    QFETCH(QString, told);
    QVERIFY(h->showActive());
    h->clickCell(2, col);
    h->typeToFocus(typed);
    QCOMPARE(h->cell(2, col), typed);
    if (!told.isEmpty()) {
        h->fake->dialogs.script(platform::Dialogs::answerOk);
    }
    h->keyToFocus(Qt::Key_Return);
    QCOMPARE(h->cell(2, col), shown);
    QCOMPARE(h->bench->position().strike[2], strike);
    const workbench::PositionState& p = h->bench->position();
    const float taken[] = {p.callQty[2], p.callPrice[2], p.strike[2], p.putQty[2], p.putPrice[2]};
    QCOMPARE(taken[col], read);
    const QString tooltip = h->grid()->cellToolTip(2, col);
    QCOMPARE(h->grid()->cellBackColor(2, col).isValid(), !tip.isEmpty());
    QVERIFY2(tip.isEmpty() ? tooltip.isEmpty() : tooltip.startsWith(tip), qPrintable(tooltip));
    const auto strikeMessages = [this] {
        QStringList texts;
        for (const auto& box : h->fake->dialogs.shown()) {
            if (box.text.startsWith(u"These strikes")) {
                texts << box.text;
            }
        }
        return texts;
    };
    QCOMPARE(strikeMessages(), told.isEmpty() ? QStringList() : QStringList{told});
    // Told once: a plot reads the grid again and says nothing more.
    if (!told.isEmpty()) {
        QTest::mouseClick(h->button(QStringLiteral("cmdPlot")), Qt::LeftButton);
        QCOMPARE(strikeMessages().size(), 1);
    }
}

void TestGridEditing::a_click_selects_the_call_or_put_of_its_row() {
    h->clickCell(4, 4);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Put/55"));
    QCOMPARE(h->bench->selectedPutRow(), 4);
    h->clickCell(2, 1);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Call/45"));
    // The caption names the strike the next step trades at, typed or not.
    QVERIFY(h->showActive());
    h->clickCell(2, 2);
    h->typeToFocus(QStringLiteral("46"));
    h->keyToFocus(Qt::Key_Return);
    QCOMPARE(h->lblOption()->text(), QStringLiteral("Call/46"));
}

QTEST_MAIN(TestGridEditing)
#include "test_grid_editing.moc"
