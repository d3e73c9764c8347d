#include "FlexGridDelegate.h"

#include "FlexGrid.h"

#include <QPainter>

#include <algorithm>

namespace platform {

FlexGridDelegate::FlexGridDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void FlexGridDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    const int row = index.row();
    const int col = index.column();
    if (row < grid_->FixedRows() || col < grid_->FixedCols()) {
        option->backgroundBrush = option->palette.brush(QPalette::Button);
        option->palette.setBrush(QPalette::Text, option->palette.brush(QPalette::ButtonText));
        return;
    }
    const int top = std::min(grid_->Row(), grid_->RowSel());
    const int bottom = std::max(grid_->Row(), grid_->RowSel());
    const int left = std::min(grid_->Col(), grid_->ColSel());
    const int right = std::max(grid_->Col(), grid_->ColSel());
    // As in the classic grid, the current cell shows as a frame, not as
    // highlighted, so a one-cell selection highlights nothing.
    const bool current = row == grid_->Row() && col == grid_->Col();
    if (!current && row >= top && row <= bottom && col >= left && col <= right) {
        option->state |= QStyle::State_Selected;
    }
}

// The current cell gets a frame of its own: styles draw their focus frame only
// after keyboard focus changes, and it must show inside the selection.
void FlexGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.row() != grid_->Row() || index.column() != grid_->Col() ||
        index.row() < grid_->FixedRows() || index.column() < grid_->FixedCols() ||
        !grid_->hasFocus()) {
        return;
    }
    painter->save();
    QPen pen(option.palette.color(QPalette::Text), currentCellFrame);
    pen.setJoinStyle(Qt::MiterJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
    painter->restore();
}

} // namespace platform
