// What a screen reader reads of the grid. It reads the table Qt's item view
// offers: its current index is where it says the student is, and its hidden
// headers name the rows and columns. The grid keeps a current cell and
// headings of its own, so it keeps the view's in step with them.
#include "FlexGrid.h"

#include <QItemSelectionModel>

namespace platform {

void FlexGrid::followCurrentCell() {
    QItemSelectionModel* selection = selectionModel();
    if (!selection || !hasBody()) {
        return;
    }
    // No selection of the view's own: only the index moves, and with it the
    // focus a screen reader announces.
    selection->setCurrentIndex(model()->index(row_, col_), QItemSelectionModel::NoUpdate);
}

void FlexGrid::nameHeading(int row, int col) {
    // The fixed row nearest the body names the columns, the fixed column
    // nearest it the rows; without one, the view's own numbers stay.
    if (row == fixedRows_ - 1) {
        QTableWidgetItem* heading = horizontalHeaderItem(col);
        if (!heading) {
            heading = new QTableWidgetItem;
            setHorizontalHeaderItem(col, heading);
        }
        heading->setText(TextMatrix(row, col));
    }
    if (col == fixedCols_ - 1) {
        QTableWidgetItem* heading = verticalHeaderItem(row);
        if (!heading) {
            heading = new QTableWidgetItem;
            setVerticalHeaderItem(row, heading);
        }
        heading->setText(TextMatrix(row, col));
    }
}

void FlexGrid::nameHeadings() {
    for (int c = 0; c < columnCount(); ++c) {
        if (fixedRows_ > 0) {
            nameHeading(fixedRows_ - 1, c);
        } else {
            delete takeHorizontalHeaderItem(c);
        }
    }
    for (int r = 0; r < rowCount(); ++r) {
        if (fixedCols_ > 0) {
            nameHeading(r, fixedCols_ - 1);
        } else {
            delete takeVerticalHeaderItem(r);
        }
    }
}

} // namespace platform
