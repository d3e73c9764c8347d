// The current cell, the selection and the text read and written through them.
#include "FlexGrid.h"

#include "RunTimeError.h"
#include "SelectionText.h"

#include <QStringList>

#include <algorithm>

namespace platform {

int FlexGrid::Row() const {
    return row_;
}

void FlexGrid::setRow(int row) {
    requireBodyRow(row);
    if (placeCurrent(row, col_)) {
        emit RowColChange();
    }
}

int FlexGrid::Col() const {
    return col_;
}

void FlexGrid::setCol(int col) {
    requireBodyCol(col);
    if (placeCurrent(row_, col)) {
        emit RowColChange();
    }
}

int FlexGrid::RowSel() const {
    return rowSel_;
}

void FlexGrid::setRowSel(int row) {
    requireBodyRow(row);
    placeSelCorner(row, colSel_);
}

int FlexGrid::ColSel() const {
    return colSel_;
}

void FlexGrid::setColSel(int col) {
    requireBodyCol(col);
    placeSelCorner(rowSel_, col);
}

QRect FlexGrid::selectedCells() const {
    return QRect(QPoint(std::min(col_, colSel_), std::min(row_, rowSel_)),
                 QPoint(std::max(col_, colSel_), std::max(row_, rowSel_)));
}

bool FlexGrid::placeCurrent(int row, int col) {
    const bool moved = row != row_ || col != col_;
    row_ = rowSel_ = row;
    col_ = colSel_ = col;
    followCurrentCell();
    viewport()->update();
    return moved;
}

void FlexGrid::placeSelCorner(int row, int col) {
    rowSel_ = row;
    colSel_ = col;
    viewport()->update();
}

QString FlexGrid::Text() const {
    if (!hasBody()) {
        return QString();
    }
    return TextMatrix(row_, col_);
}

void FlexGrid::setText(const QString& text) {
    if (!hasBody()) {
        return;
    }
    if (fillStyle_ == 0) {
        writeCell(row_, col_, text);
        return;
    }
    const QRect cells = selectedCells();
    for (int r = cells.top(); r <= cells.bottom(); ++r) {
        for (int c = cells.left(); c <= cells.right(); ++c) {
            writeCell(r, c, text);
        }
    }
}

int FlexGrid::FillStyle() const {
    return fillStyle_;
}

void FlexGrid::setFillStyle(int style) {
    if (style != 0 && style != 1) {
        throw RunTimeError(errc::InvalidPropertyValue);
    }
    fillStyle_ = style;
}

QString FlexGrid::Clip() const {
    if (!hasBody()) {
        return QString();
    }
    const QRect cells = selectedCells();
    QStringList lines;
    for (int r = cells.top(); r <= cells.bottom(); ++r) {
        QStringList fields;
        for (int c = cells.left(); c <= cells.right(); ++c) {
            fields.append(TextMatrix(r, c));
        }
        lines.append(fields.join(QLatin1Char('\t')));
    }
    return lines.join(QLatin1Char('\r'));
}

void FlexGrid::setClip(const QString& text) {
    if (!hasBody()) {
        return;
    }
    const QRect cells = selectedCells();
    for (const selection::PlacedText& cell :
         selection::layText(text, cells.height(), cells.width())) {
        writeCell(cells.top() + cell.row, cells.left() + cell.col, cell.text);
    }
}

} // namespace platform
