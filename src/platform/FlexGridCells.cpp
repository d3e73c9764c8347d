// The grid's shape, its cells' text and alignment, and the checks on indices.
#include "FlexGrid.h"

#include "FlexGridDelegate.h"
#include "RunTimeError.h"
#include "Twips.h"

#include <QFontMetrics>
#include <QLocale>

#include <algorithm>

namespace platform {

namespace {

bool looksNumeric(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return false;
    }
    bool ok = false;
    QLocale::c().toDouble(trimmed, &ok);
    return ok;
}

// General alignment follows the spreadsheet habit: numbers to the right so
// their digits line up, anything else to the left.
Qt::Alignment alignmentOf(int code, const QString& text) {
    switch (code) {
    case FlexGrid::flexAlignLeftTop:
        return Qt::AlignLeft | Qt::AlignTop;
    case FlexGrid::flexAlignLeftCenter:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case FlexGrid::flexAlignLeftBottom:
        return Qt::AlignLeft | Qt::AlignBottom;
    case FlexGrid::flexAlignCenterTop:
        return Qt::AlignHCenter | Qt::AlignTop;
    case FlexGrid::flexAlignCenterCenter:
        return Qt::AlignCenter;
    case FlexGrid::flexAlignCenterBottom:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case FlexGrid::flexAlignRightTop:
        return Qt::AlignRight | Qt::AlignTop;
    case FlexGrid::flexAlignRightCenter:
        return Qt::AlignRight | Qt::AlignVCenter;
    case FlexGrid::flexAlignRightBottom:
        return Qt::AlignRight | Qt::AlignBottom;
    default:
        return (looksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
}

} // namespace

// ---- shape ------------------------------------------------------------------

int FlexGrid::Rows() const {
    return rowCount();
}

void FlexGrid::setRows(int rows) {
    if (rows < 0 || rows < fixedRows_) {
        throw RunTimeError(errc::InvalidPropertyValue);
    }
    const int oldRow = Row();
    const int oldCol = Col();
    const int oldRows = rowCount();
    setRowCount(rows);
    for (int r = oldRows; r < rows; ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            setItem(r, c, makeItem(c));
        }
    }
    afterShapeChange(oldRow, oldCol);
}

int FlexGrid::Cols() const {
    return columnCount();
}

void FlexGrid::setCols(int cols) {
    if (cols < 0 || cols < fixedCols_) {
        throw RunTimeError(errc::InvalidPropertyValue);
    }
    const int oldRow = Row();
    const int oldCol = Col();
    const int oldCols = columnCount();
    colAlignment_.resize(static_cast<std::size_t>(cols), flexAlignGeneral);
    setColumnCount(cols);
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = oldCols; c < cols; ++c) {
            setItem(r, c, makeItem(c));
        }
    }
    afterShapeChange(oldRow, oldCol);
}

int FlexGrid::FixedRows() const {
    return fixedRows_;
}

void FlexGrid::setFixedRows(int fixedRows) {
    if (fixedRows < 0 || fixedRows > rowCount()) {
        throw RunTimeError(errc::InvalidPropertyValue);
    }
    const int oldRow = Row();
    const int oldCol = Col();
    fixedRows_ = fixedRows;
    afterShapeChange(oldRow, oldCol);
}

int FlexGrid::FixedCols() const {
    return fixedCols_;
}

void FlexGrid::setFixedCols(int fixedCols) {
    if (fixedCols < 0 || fixedCols > columnCount()) {
        throw RunTimeError(errc::InvalidPropertyValue);
    }
    const int oldRow = Row();
    const int oldCol = Col();
    fixedCols_ = fixedCols;
    afterShapeChange(oldRow, oldCol);
}

int FlexGrid::ColWidth(int col) const {
    requireCol(col);
    return twips::fromPixels(columnWidth(col));
}

void FlexGrid::setColWidth(int col, int width) {
    requireCol(col);
    if (width < 0) {
        throw RunTimeError(errc::InvalidPropertyValue);
    }
    setColumnWidth(col, twips::toPixels(width));
}

void FlexGrid::fitColWidthToText(int col) {
    requireCol(col);
    // Only the widest text is measured with the cell's margins; every row
    // counts, not just those in sight.
    const QFontMetrics metrics = fontMetrics();
    int widestRow = -1;
    int widest = -1;
    for (int r = 0; r < rowCount(); ++r) {
        const int width = metrics.horizontalAdvance(TextMatrix(r, col));
        if (width > widest) {
            widest = width;
            widestRow = r;
        }
    }
    if (widestRow < 0) {
        return;
    }
    // The grid line takes a pixel of the column, and the current cell's frame
    // would touch the text on either side without a little more.
    const int gridLine = showGrid() ? 1 : 0;
    setColumnWidth(col, sizeHintForIndex(model()->index(widestRow, col)).width() + gridLine +
                            2 * FlexGridDelegate::currentCellFrame);
}

void FlexGrid::clampCursor() {
    // With no body row (or column) there is no current cell; the indices read 0.
    const auto fit = [](int value, int low, int high) {
        return high < low ? 0 : std::clamp(value, low, high);
    };
    row_ = fit(row_, fixedRows_, rowCount() - 1);
    rowSel_ = fit(rowSel_, fixedRows_, rowCount() - 1);
    col_ = fit(col_, fixedCols_, columnCount() - 1);
    colSel_ = fit(colSel_, fixedCols_, columnCount() - 1);
}

void FlexGrid::afterShapeChange(int oldRow, int oldCol) {
    clampCursor();
    followCurrentCell();
    nameHeadings();
    if (!hasBody()) {
        dragging_ = clickPending_ = false;
    }
    updateFrozenRows();
    viewport()->update();
    if (row_ != oldRow || col_ != oldCol) {
        emit RowColChange();
    }
}

// ---- cells ------------------------------------------------------------------

QString FlexGrid::TextMatrix(int row, int col) const {
    requireCell(row, col);
    const QTableWidgetItem* cell = item(row, col);
    return cell ? cell->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    requireCell(row, col);
    writeCell(row, col, text);
}

void FlexGrid::Clear() {
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            writeCell(r, c, QString());
        }
    }
}

QColor FlexGrid::cellForeColor(int row, int col) const {
    requireCell(row, col);
    const QTableWidgetItem* cell = item(row, col);
    return cell ? cell->data(Qt::ForegroundRole).value<QColor>() : QColor();
}

void FlexGrid::setCellForeColor(int row, int col, const QColor& color) {
    requireCell(row, col);
    if (QTableWidgetItem* cell = item(row, col)) {
        // No brush at all, not an invalid one, gives the palette's colour back.
        cell->setData(Qt::ForegroundRole, color.isValid() ? QVariant(color) : QVariant());
    }
}

QColor FlexGrid::cellBackColor(int row, int col) const {
    requireCell(row, col);
    const QTableWidgetItem* cell = item(row, col);
    return cell ? cell->data(Qt::BackgroundRole).value<QColor>() : QColor();
}

void FlexGrid::setCellBackColor(int row, int col, const QColor& color) {
    requireCell(row, col);
    if (QTableWidgetItem* cell = item(row, col)) {
        cell->setData(Qt::BackgroundRole, color.isValid() ? QVariant(color) : QVariant());
    }
}

QString FlexGrid::cellToolTip(int row, int col) const {
    requireCell(row, col);
    const QTableWidgetItem* cell = item(row, col);
    return cell ? cell->toolTip() : QString();
}

void FlexGrid::setCellToolTip(int row, int col, const QString& text) {
    requireCell(row, col);
    if (QTableWidgetItem* cell = item(row, col)) {
        cell->setToolTip(text);
    }
}

int FlexGrid::ColAlignment(int col) const {
    requireCol(col);
    return colAlignment_[static_cast<std::size_t>(col)];
}

void FlexGrid::setColAlignment(int col, int code) {
    requireCol(col);
    if (code < flexAlignLeftTop || code > flexAlignGeneral) {
        throw RunTimeError(errc::InvalidPropertyValue);
    }
    colAlignment_[static_cast<std::size_t>(col)] = code;
    for (int r = 0; r < rowCount(); ++r) {
        if (QTableWidgetItem* cell = item(r, col)) {
            applyAlignment(cell, col);
        }
    }
}

QTableWidgetItem* FlexGrid::makeItem(int col) const {
    auto* cell = new QTableWidgetItem();
    // Enabled only: not selectable and not editable, so no view machinery
    // can open an editor or keep a selection of its own.
    cell->setFlags(Qt::ItemIsEnabled);
    applyAlignment(cell, col);
    return cell;
}

void FlexGrid::applyAlignment(QTableWidgetItem* item, int col) const {
    item->setTextAlignment(alignmentOf(colAlignment_[static_cast<std::size_t>(col)], item->text()));
}

void FlexGrid::writeCell(int row, int col, const QString& text) {
    QTableWidgetItem* cell = item(row, col);
    if (!cell) {
        cell = makeItem(col);
        setItem(row, col, cell);
    }
    cell->setText(text);
    if (colAlignment_[static_cast<std::size_t>(col)] == flexAlignGeneral) {
        applyAlignment(cell, col);
    }
    nameHeading(row, col);
}

// ---- index checks -----------------------------------------------------------

bool FlexGrid::isBodyCell(int row, int col) const {
    return row >= fixedRows_ && row < rowCount() && col >= fixedCols_ && col < columnCount();
}

void FlexGrid::requireBodyRow(int row) const {
    if (row < fixedRows_ || row >= rowCount()) {
        throw RunTimeError(errc::InvalidPropertyArrayIndex);
    }
}

void FlexGrid::requireBodyCol(int col) const {
    if (col < fixedCols_ || col >= columnCount()) {
        throw RunTimeError(errc::InvalidPropertyArrayIndex);
    }
}

void FlexGrid::requireCol(int col) const {
    if (col < 0 || col >= columnCount()) {
        throw RunTimeError(errc::InvalidPropertyArrayIndex);
    }
}

void FlexGrid::requireCell(int row, int col) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount()) {
        throw RunTimeError(errc::InvalidPropertyArrayIndex);
    }
}

} // namespace platform
