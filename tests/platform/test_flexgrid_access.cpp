// The grid as a screen reader reads it: the table the toolkit offers, its
// cells, its headings and the cell the student is on.
#include "platform/FlexGrid.h"

#include <QAccessible>
#include <QTest>

using platform::FlexGrid;

namespace {

// 5 rows x 4 columns; row 0 holds headings, body cells "r,c".
void fill(FlexGrid& grid, int fixedCols) {
    grid.setRows(5);
    grid.setCols(4);
    grid.setFixedRows(1);
    grid.setFixedCols(fixedCols);
    for (int c = 0; c < 4; ++c) {
        grid.setTextMatrix(0, c, QStringLiteral("Head %1").arg(c));
    }
    for (int r = 1; r < 5; ++r) {
        for (int c = 0; c < 4; ++c) {
            grid.setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
        }
    }
}

QAccessibleTableInterface* tableOf(FlexGrid& grid) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&grid);
    return face ? face->tableInterface() : nullptr;
}

QString nameAt(QAccessibleTableInterface* table, int row, int col) {
    QAccessibleInterface* cell = table->cellAt(row, col);
    return cell ? cell->text(QAccessible::Name) : QStringLiteral("<none>");
}

} // namespace

class FlexGridAccessTest : public QObject {
    Q_OBJECT
private slots:
    void cells_report_their_row_column_and_text_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("expected");
        QTest::newRow("heading") << 0 << 2 << "Head 2";
        QTest::newRow("first body cell") << 1 << 0 << "1,0";
        QTest::newRow("last cell") << 4 << 3 << "4,3";
        QTest::newRow("row too low") << -1 << 0 << "<none>";
        QTest::newRow("row too high") << 5 << 0 << "<none>";
        QTest::newRow("column too low") << 1 << -1 << "<none>";
        QTest::newRow("column too high") << 1 << 4 << "<none>";
    }
    void cells_report_their_row_column_and_text() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, expected);
        FlexGrid grid;
        fill(grid, 0);
        QAccessibleTableInterface* table = tableOf(grid);
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 5);
        QCOMPARE(table->columnCount(), 4);
        QCOMPARE(nameAt(table, row, col), expected);
        if (QAccessibleInterface* cell = table->cellAt(row, col)) {
            QCOMPARE(cell->tableCellInterface()->rowIndex(), row);
            QCOMPARE(cell->tableCellInterface()->columnIndex(), col);
        }
    }

    // Moving across, a screen reader names the column by its header cell.
    void headers_read_as_the_fixed_cells_nearest_the_body_data() {
        QTest::addColumn<int>("fixedCols");
        QTest::addColumn<QString>("columnHeader");
        QTest::addColumn<QString>("rowHeader");
        QTest::newRow("fixed row only") << 0 << "Head 2"
                                        << "3";
        QTest::newRow("fixed row and column") << 1 << "Head 2"
                                              << "2,0";
    }
    void headers_read_as_the_fixed_cells_nearest_the_body() {
        QFETCH(int, fixedCols);
        QFETCH(QString, columnHeader);
        QFETCH(QString, rowHeader);
        FlexGrid grid;
        fill(grid, fixedCols);
        QAccessibleInterface* cell = tableOf(grid)->cellAt(2, 2);
        QVERIFY(cell);
        const QList<QAccessibleInterface*> across = cell->tableCellInterface()->columnHeaderCells();
        const QList<QAccessibleInterface*> down = cell->tableCellInterface()->rowHeaderCells();
        QCOMPARE(across.size(), 1);
        QCOMPARE(across.first()->text(QAccessible::Name), columnHeader);
        QCOMPARE(down.size(), 1);
        QCOMPARE(down.first()->text(QAccessible::Name), rowHeader);

        // A heading rewritten, or no fixed row any more, is read as it now is.
        grid.setTextMatrix(0, 2, QStringLiteral("Strike"));
        QCOMPARE(cell->tableCellInterface()->columnHeaderCells().first()->text(QAccessible::Name),
                 QStringLiteral("Strike"));
        grid.setFixedRows(0);
        QCOMPARE(cell->tableCellInterface()->columnHeaderCells().first()->text(QAccessible::Name),
                 QStringLiteral("3"));
    }

    // A screen reader says where the student is by the focused cell, and
    // hears the focus move with it (the whole program's test under the
    // accessibility bus checks that the arrow keys are heard).
    void the_current_cell_is_the_focused_one() {
        FlexGrid grid;
        fill(grid, 0);
        QAccessibleTableInterface* table = tableOf(grid);
        grid.setRow(3);
        grid.setCol(2);
        QVERIFY(table->cellAt(3, 2)->state().focused);
        QVERIFY(!table->cellAt(1, 0)->state().focused);
        grid.setRows(2); // the current cell goes with its row
        QVERIFY(table->cellAt(1, 2)->state().focused);
    }
};

QTEST_MAIN(FlexGridAccessTest)
#include "test_flexgrid_access.moc"
