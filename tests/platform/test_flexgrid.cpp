#include "platform/FlexGrid.h"
#include "platform/RunTimeError.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <functional>

using platform::FlexGrid;
using platform::RunTimeError;

using GridAction = std::function<void(FlexGrid&)>;
Q_DECLARE_METATYPE(GridAction)

namespace {

// 6 rows x 5 columns, one fixed row and column; body cells hold "r,c" except
// the four cells the clip examples use.
void fillSample(FlexGrid& grid) {
    grid.setRows(6);
    grid.setCols(5);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 5; ++c)
            grid.setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
    grid.setTextMatrix(1, 1, "16.00");
    grid.setTextMatrix(1, 2, "40");
    grid.setTextMatrix(2, 1, "13.00");
    grid.setTextMatrix(2, 2, "45");
}

void select(FlexGrid& grid, int row, int col, int rowSel, int colSel) {
    grid.setRow(row);
    grid.setCol(col);
    grid.setRowSel(rowSel);
    grid.setColSel(colSel);
}

// Rows 1..3, columns 1..3, row by row.
QStringList block(const FlexGrid& grid) {
    QStringList cells;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            cells << grid.TextMatrix(r, c);
    return cells;
}

QStringList allCells(const FlexGrid& grid) {
    QStringList cells;
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c)
            cells << grid.TextMatrix(r, c);
    return cells;
}

// Row, Col, RowSel, ColSel.
QList<int> cursor(const FlexGrid& grid) {
    return {grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()};
}

QPoint cellCentre(const FlexGrid& grid, int row, int col) {
    return grid.visualRect(grid.model()->index(row, col)).center();
}

int errorCode(const std::function<void()>& action) {
    try {
        action();
    } catch (const RunTimeError& e) {
        return e.code();
    }
    return 0;
}

struct Shown {
    FlexGrid grid;
    Shown() {
        grid.resize(500, 400);
        fillSample(grid);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
    }
};

} // namespace

class FlexGridTest : public QObject {
    Q_OBJECT
private slots:
    void clip_joins_cells_with_tabs_and_rows_with_carriage_returns_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("rowSel");
        QTest::addColumn<int>("colSel");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rectangle") << 1 << 1 << 2 << 2 << "16.00\t40\r13.00\t45";
        QTest::newRow("reversed corner") << 2 << 2 << 1 << 1 << "16.00\t40\r13.00\t45";
        QTest::newRow("single cell") << 2 << 2 << 2 << 2 << "45";
        QTest::newRow("one column") << 1 << 2 << 2 << 2 << "40\r45";
    }
    void clip_joins_cells_with_tabs_and_rows_with_carriage_returns() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, rowSel);
        QFETCH(int, colSel);
        QFETCH(QString, expected);
        FlexGrid grid;
        fillSample(grid);
        select(grid, row, col, rowSel, colSel);
        QCOMPARE(grid.Clip(), expected);
    }

    void clip_write_fills_the_selection_from_its_top_left_cell_data() {
        QTest::addColumn<int>("rowSel");
        QTest::addColumn<int>("colSel");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QStringList>("expected");
        const QStringList k{"16.00", "40", "1,3", "13.00", "45", "2,3", "3,1", "3,2", "3,3"};
        auto with = [&](std::initializer_list<std::pair<int, QString>> changes) {
            QStringList cells = k;
            for (const auto& [i, text] : changes)
                cells[i] = text;
            return cells;
        };
        QTest::newRow("exact fit")
            << 2 << 2 << "a\tb\rc\td" << with({{0, "a"}, {1, "b"}, {3, "c"}, {4, "d"}});
        QTest::newRow("fewer fields and rows keep the rest") << 2 << 2 << "a" << with({{0, "a"}});
        QTest::newRow("extra fields and rows are dropped")
            << 2 << 2 << "a\tb\tc\rd\te\tf\rg" << with({{0, "a"}, {1, "b"}, {3, "d"}, {4, "e"}});
        QTest::newRow("line feed stays in the cell")
            << 2 << 2 << "a\nb\tc" << with({{0, "a\nb"}, {1, "c"}});
        QTest::newRow("empty field empties its cell")
            << 2 << 2 << "\tb" << with({{0, ""}, {1, "b"}});
        QTest::newRow("single cell takes the first field only")
            << 1 << 1 << "a\tb\rc" << with({{0, "a"}});
    }
    void clip_write_fills_the_selection_from_its_top_left_cell() {
        QFETCH(int, rowSel);
        QFETCH(int, colSel);
        QFETCH(QString, clip);
        QFETCH(QStringList, expected);
        FlexGrid grid;
        fillSample(grid);
        select(grid, rowSel, colSel, 1, 1); // anchor at the bottom right: order must not matter
        grid.setClip(clip);
        QCOMPARE(block(grid), expected);
    }

    void text_write_goes_to_the_current_cell_or_the_whole_selection_data() {
        QTest::addColumn<int>("fillStyle");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("fill style 0")
            << 0 << QStringList{"16.00", "40", "1,3", "13.00", "x", "2,3", "3,1", "3,2", "3,3"};
        QTest::newRow("fill style 1")
            << 1 << QStringList{"x", "x", "1,3", "x", "x", "2,3", "3,1", "3,2", "3,3"};
    }
    void text_write_goes_to_the_current_cell_or_the_whole_selection() {
        QFETCH(int, fillStyle);
        QFETCH(QStringList, expected);
        FlexGrid grid;
        fillSample(grid);
        select(grid, 2, 2, 1, 1);
        grid.setFillStyle(fillStyle);
        grid.setText("x");
        QCOMPARE(block(grid), expected);
        QCOMPARE(grid.Text(), "x");
    }

    void bad_indices_raise_381_and_bad_values_raise_380_data() {
        QTest::addColumn<GridAction>("action");
        QTest::addColumn<int>("code");
        const auto row = [](const char* name, int code, GridAction action) {
            QTest::newRow(name) << action << code;
        };
        row("TextMatrix row past end", 381, [](FlexGrid& g) { g.TextMatrix(6, 0); });
        row("TextMatrix negative col", 381, [](FlexGrid& g) { g.setTextMatrix(0, -1, "x"); });
        row("Row on the fixed row", 381, [](FlexGrid& g) { g.setRow(0); });
        row("Col on the fixed col", 381, [](FlexGrid& g) { g.setCol(0); });
        row("RowSel past end", 381, [](FlexGrid& g) { g.setRowSel(6); });
        row("ColAlignment past end", 381, [](FlexGrid& g) { g.setColAlignment(5, 4); });
        row("ColAlignment unknown code", 380, [](FlexGrid& g) { g.setColAlignment(1, 10); });
        row("negative Rows", 380, [](FlexGrid& g) { g.setRows(-1); });
        row("FixedRows over Rows", 380, [](FlexGrid& g) { g.setFixedRows(7); });
        row("Rows under FixedRows", 380, [](FlexGrid& g) {
            g.setFixedRows(3);
            g.setRows(2);
        });
        row("FillStyle 2", 380, [](FlexGrid& g) { g.setFillStyle(2); });
        row("FixedRows equal to Rows is fine", 0, [](FlexGrid& g) { g.setFixedRows(6); });
    }
    void bad_indices_raise_381_and_bad_values_raise_380() {
        QFETCH(GridAction, action);
        QFETCH(int, code);
        FlexGrid grid;
        fillSample(grid);
        QCOMPARE(errorCode([&] { action(grid); }), code);
    }

    void setting_row_collapses_the_selection_and_announces_only_a_move() {
        FlexGrid grid;
        fillSample(grid);
        select(grid, 1, 1, 3, 3);
        QSignalSpy changes(&grid, &FlexGrid::RowColChange);
        grid.setRow(1);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(grid.Clip(), "16.00");
        grid.setCol(3);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(grid.RowSel(), 1);
        QCOMPARE(grid.ColSel(), 3);
    }

    void shrinking_the_grid_clamps_current_cell_and_selection_into_the_body() {
        FlexGrid grid;
        fillSample(grid);
        select(grid, 5, 4, 4, 3);
        QSignalSpy changes(&grid, &FlexGrid::RowColChange);
        grid.setRows(3);
        grid.setCols(3);
        QCOMPARE(cursor(grid), (QList<int>{2, 2, 2, 2}));
        QCOMPARE(changes.count(), 2);
        grid.setFixedRows(2);
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Text(), "45");
    }

    void a_grid_of_only_fixed_rows_has_no_selection() {
        FlexGrid grid;
        fillSample(grid);
        grid.setRows(1);
        QCOMPARE(grid.Row(), 0);
        QCOMPARE(grid.Clip(), "");
        grid.setClip("a\tb");
        grid.setFillStyle(1);
        grid.setText("x");
        QCOMPARE(allCells(grid), (QStringList{"0,0", "0,1", "0,2", "0,3", "0,4"}));
        grid.setRows(3);
        QCOMPARE(grid.Row(), 1);
        QCOMPARE(grid.TextMatrix(2, 4), "");
    }

    void clear_empties_every_cell_and_keeps_the_counts() {
        FlexGrid grid;
        fillSample(grid);
        grid.setFixedRows(2);
        grid.Clear();
        QCOMPARE(allCells(grid), QStringList(30, QString()));
        QCOMPARE((QList<int>{grid.Rows(), grid.Cols(), grid.FixedRows(), grid.FixedCols()}),
                 (QList<int>{6, 5, 2, 1}));
    }

    void column_alignment_reaches_existing_and_later_rows() {
        FlexGrid grid;
        fillSample(grid);
        grid.setColAlignment(2, FlexGrid::flexAlignCenterCenter);
        grid.setRows(8);
        for (int r : {0, 1, 5, 7})
            QCOMPARE(grid.item(r, 2)->textAlignment(), int(Qt::AlignCenter));
        QCOMPARE(grid.item(7, 3)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
        QCOMPARE(grid.ColAlignment(2), 4);
    }

    void mouse_press_moves_the_current_cell_and_shift_press_only_the_corner() {
        Shown s;
        FlexGrid& grid = s.grid;
        QSignalSpy changes(&grid, &FlexGrid::RowColChange);
        QSignalSpy clicks(&grid, &FlexGrid::Click);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 2, 3));
        QCOMPARE(cursor(grid), (QList<int>{2, 3, 2, 3}));
        QVERIFY(grid.hasFocus());
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          cellCentre(grid, 4, 1));
        QCOMPARE(cursor(grid), (QList<int>{2, 3, 4, 1}));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(clicks.count(), 2);

        // A header cell is not selectable and is no click.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 0, 2));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 3, 0));
        QCOMPARE(cursor(grid), (QList<int>{2, 3, 4, 1}));
        QCOMPARE(clicks.count(), 2);
    }

    void dragging_moves_only_the_corner_and_stays_off_fixed_cells() {
        Shown s;
        FlexGrid& grid = s.grid;
        QSignalSpy clicks(&grid, &FlexGrid::Click);
        QSignalSpy dbl(&grid, &FlexGrid::DblClick);
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 3, 3));
        QTest::mouseMove(grid.viewport(), cellCentre(grid, 4, 2));
        QCOMPARE(cursor(grid), (QList<int>{3, 3, 4, 2}));
        QTest::mouseMove(grid.viewport(), cellCentre(grid, 0, 0));
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 0, 0));
        QCOMPARE(cursor(grid), (QList<int>{3, 3, 1, 1}));
        QCOMPARE(clicks.count(), 1);
        // What a double-click delivers: press, release, press, double-click, release.
        const QPoint cell = cellCentre(grid, 3, 3);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell);
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(dbl.count(), 1);
        QCOMPARE(clicks.count(), 2);
    }

    void moving_cells_scroll_into_view_below_the_fixed_rows() {
        Shown s;
        FlexGrid& grid = s.grid;
        grid.setRows(60);
        const QRect body = grid.viewport()->rect().adjusted(0, grid.rowHeight(0), 0, 0);
        const auto shows = [&](int row, int col) {
            return body.contains(grid.visualRect(grid.model()->index(row, col)));
        };
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(shows(59, 4));
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        QVERIFY(shows(1, 1));

        // Holding a drag below the grid keeps scrolling the corner downwards.
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 1, 1));
        QTest::mouseMove(grid.viewport(), QPoint(body.center().x(), body.bottom() + 20));
        const int firstStep = grid.RowSel();
        QTRY_VERIFY(grid.RowSel() > firstStep + 2);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {},
                            QPoint(body.center().x(), body.bottom() + 20));
        QVERIFY(shows(grid.RowSel(), grid.ColSel()));
        QCOMPARE(grid.Row(), 1);
    }

    void arrow_keys_move_the_current_cell_and_shift_arrows_the_corner_data() {
        QTest::addColumn<int>("startRow");
        QTest::addColumn<int>("startCol");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QList<int>>("expected"); // Row, Col, RowSel, ColSel, RowColChange count
        const int shift = Qt::ShiftModifier;
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("right") << 2 << 2 << int(Qt::Key_Right) << 0 << QList<int>{2, 3, 2, 3, 1};
        QTest::newRow("up") << 2 << 2 << int(Qt::Key_Up) << 0 << QList<int>{1, 2, 1, 2, 1};
        QTest::newRow("up stops at the body")
            << 1 << 2 << int(Qt::Key_Up) << 0 << QList<int>{1, 2, 1, 2, 0};
        QTest::newRow("shift down")
            << 2 << 2 << int(Qt::Key_Down) << shift << QList<int>{2, 2, 3, 2, 0};
        QTest::newRow("home") << 2 << 3 << int(Qt::Key_Home) << 0 << QList<int>{2, 1, 2, 1, 1};
        QTest::newRow("ctrl home")
            << 3 << 3 << int(Qt::Key_Home) << ctrl << QList<int>{1, 1, 1, 1, 1};
        QTest::newRow("ctrl end") << 2 << 2 << int(Qt::Key_End) << ctrl
                                  << QList<int>{5, 4, 5, 4, 1};
        QTest::newRow("page down")
            << 2 << 2 << int(Qt::Key_PageDown) << 0 << QList<int>{5, 2, 5, 2, 1};
        QTest::newRow("page up") << 5 << 2 << int(Qt::Key_PageUp) << 0 << QList<int>{1, 2, 1, 2, 1};
    }
    void arrow_keys_move_the_current_cell_and_shift_arrows_the_corner() {
        QFETCH(int, startRow);
        QFETCH(int, startCol);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QList<int>, expected);
        Shown s;
        FlexGrid& grid = s.grid;
        select(grid, startRow, startCol, startRow, startCol);
        QSignalSpy changes(&grid, &FlexGrid::RowColChange);
        QTest::keyClick(&grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(cursor(grid) << int(changes.count()), expected);
    }

    void key_down_reports_virtual_key_codes_and_shift_state_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << 46 << 0;
        QTest::newRow("Shift+Up") << int(Qt::Key_Up) << int(Qt::ShiftModifier) << 38 << 1;
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << 67 << 2;
        QTest::newRow("Alt+F4") << int(Qt::Key_F4) << int(Qt::AltModifier) << 115 << 4;
        QTest::newRow("lower-case a") << int(Qt::Key_A) << 0 << 65 << 0;
        QTest::newRow("keypad 5") << int(Qt::Key_5) << int(Qt::KeypadModifier) << 101 << 0;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 13 << 0;
    }
    void key_down_reports_virtual_key_codes_and_shift_state() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        QFETCH(int, shift);
        FlexGrid grid;
        QSignalSpy downs(&grid, &FlexGrid::KeyDown);
        QTest::keyClick(&grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!downs.isEmpty());
        QCOMPARE(downs.last(), (QVariantList{code, shift})); // modifier keys come first
    }

    void key_press_reports_typed_character_codes_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("a") << int(Qt::Key_A) << 0 << "a" << QList<int>{97};
        QTest::newRow("Shift+A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A"
                                 << QList<int>{65};
        QTest::newRow("Latin-1 e acute")
            << int(Qt::Key_Eacute) << 0 << "\u00e9" << QList<int>{0xe9};
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "c"
                                << QList<int>{3};
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier) << "\x16"
                                << QList<int>{22};
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << "\r" << QList<int>{13};
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << "\b" << QList<int>{8};
        QTest::newRow("Delete types nothing") << int(Qt::Key_Delete) << 0 << "\x7f" << QList<int>{};
        QTest::newRow("Left types nothing") << int(Qt::Key_Left) << 0 << "" << QList<int>{};
        QTest::newRow("Alt+x types nothing")
            << int(Qt::Key_X) << int(Qt::AltModifier) << "x" << QList<int>{};
    }
    void key_press_reports_typed_character_codes() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QList<int>, codes);
        FlexGrid grid;
        QSignalSpy presses(&grid, &FlexGrid::KeyPress);
        QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QApplication::sendEvent(&grid, &event);
        QList<int> got;
        for (const auto& args : presses)
            got << args.at(0).toInt();
        QCOMPARE(got, codes);
    }

    void typing_never_changes_a_cell_and_opens_no_editor() {
        Shown s;
        FlexGrid& grid = s.grid;
        const QStringList before = allCells(grid);
        QSignalSpy presses(&grid, &FlexGrid::KeyPress);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 2, 2));
        QTest::keyClicks(&grid, "xyz 12");
        for (Qt::Key key :
             {Qt::Key_F2, Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Space})
            QTest::keyClick(&grid, key);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(allCells(grid), before);
        QVERIFY(grid.findChild<QLineEdit*>() == nullptr);
        QCOMPARE(presses.count(), 10);
        QCOMPARE((QList<int>{grid.Row(), grid.Col()}),
                 (QList<int>{1, 1})); // no keyboard search either
    }

    void tab_moves_focus_out_of_the_grid_without_key_press() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* grid = new FlexGrid;
        auto* next = new QLineEdit;
        layout->addWidget(grid);
        layout->addWidget(next);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
        QSignalSpy presses(grid, &FlexGrid::KeyPress);
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(next->hasFocus());
        QCOMPARE(presses.count(), 0);
    }

    void handlers_may_reshape_the_grid_inside_its_events() {
        Shown s;
        FlexGrid& grid = s.grid;
        const auto emptying = connect(&grid, &FlexGrid::RowColChange, &grid,
                                      [&grid] { grid.setRows(grid.FixedRows()); });
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 4, 3));
        QCOMPARE(grid.Rows(), 1);
        QCOMPARE(grid.Clip(), "");
        disconnect(emptying);

        grid.setRows(6);
        grid.setRow(5);
        connect(&grid, &FlexGrid::KeyDown, &grid, [&grid](int code) {
            if (code == 40)
                grid.setRows(3);
        });
        QTest::keyClick(&grid, Qt::Key_Down); // the rows go away under the key
        QCOMPARE(grid.Row(), 2);
    }
};

QTEST_MAIN(FlexGridTest)
#include "test_flexgrid.moc"
