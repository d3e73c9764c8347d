#pragma once

#include <QStyledItemDelegate>

namespace platform {

class FlexGrid;

// Draws fixed cells as headers and the grid's own selection and current cell;
// the view's built-in selection and current index are ignored.
class FlexGridDelegate : public QStyledItemDelegate {
public:
    // The width of the current cell's frame, drawn just inside the cell.
    static constexpr int currentCellFrame = 2;

    explicit FlexGridDelegate(FlexGrid* grid);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    FlexGrid* grid_;
};

} // namespace platform
