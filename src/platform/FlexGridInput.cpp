// Keys, the mouse and dragging a selection.
#include "FlexGrid.h"

#include "KeyCodes.h"

#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace platform {

namespace {

// The body section (row or column) that a drag at viewport position `pos`
// points to, along one of the view's headers. The body shows between the
// pixels `start` and `end`; beyond them it is the section just past the
// visible ones, so holding the mouse there keeps scrolling one section a step.
int dragSectionAt(const QHeaderView& header, int pos, int start, int end, int firstBody, int last) {
    int section;
    if (pos < start) {
        section = header.logicalIndexAt(start);
        if (section >= 0 && header.sectionViewportPosition(section) >= start) {
            --section;
        }
    } else if (pos > end) {
        section = header.logicalIndexAt(end);
        if (section < 0) {
            section = last;
        } else if (header.sectionViewportPosition(section) + header.sectionSize(section) <=
                   end + 1) {
            ++section;
        }
    } else {
        section = header.logicalIndexAt(pos);
        if (section < 0) {
            section = last;
        }
    }
    return std::clamp(section, firstBody, last);
}

bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- keys -------------------------------------------------------------------

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const auto modifiers = event->modifiers();
    QPointer<FlexGrid> alive(this);
    emit KeyDown(keys::virtualKeyCode(key, modifiers), keys::shiftState(key, modifiers));
    if (!alive) {
        return;
    }
    // Navigation keys belong to the grid even when there is nowhere to go.
    const bool handled = isNavigationKey(key);
    if (handled) {
        navigate(key, modifiers);
    }
    if (!alive) {
        return;
    }
    for (const int code : keys::characterCodes(key, modifiers, event->text())) {
        emit KeyPress(code);
        if (!alive) {
            return;
        }
    }
    // Keys the grid does not use travel on, so dialogs still see Enter and
    // Escape, as with any other item view.
    event->setAccepted(handled);
}

void FlexGrid::inputMethodEvent(QInputMethodEvent* event) {
    // Composed text would otherwise start the view's keyboard search.
    event->accept();
}

int FlexGrid::pageRows() const {
    const int visible = viewport()->height() - (fixedRows_ > 0 ? frozenHeight() : 0);
    const int step = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(1, visible / step);
}

void FlexGrid::navigate(int key, Qt::KeyboardModifiers modifiers) {
    if (!hasBody()) {
        return;
    }
    const bool extend = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const int firstRow = fixedRows_;
    const int lastRow = rowCount() - 1;
    const int firstCol = fixedCols_;
    const int lastCol = columnCount() - 1;
    int row = extend ? rowSel_ : row_;
    int col = extend ? colSel_ : col_;
    switch (key) {
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Home:
        col = firstCol;
        if (ctrl) {
            row = firstRow;
        }
        break;
    case Qt::Key_End:
        col = lastCol;
        if (ctrl) {
            row = lastRow;
        }
        break;
    case Qt::Key_PageUp:
        row -= pageRows();
        break;
    case Qt::Key_PageDown:
        row += pageRows();
        break;
    default:
        return;
    }
    row = std::clamp(row, firstRow, lastRow);
    col = std::clamp(col, firstCol, lastCol);
    if (extend) {
        placeSelCorner(row, col);
        ensureCellVisible(row, col);
        return;
    }
    const bool moved = placeCurrent(row, col);
    ensureCellVisible(row, col);
    if (moved) {
        emit RowColChange();
    }
}

// ---- mouse ------------------------------------------------------------------

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    clickPending_ = false;
    dragging_ = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || !isBodyCell(index.row(), index.column())) {
        return;
    }
    clickPending_ = true;
    dragging_ = true;
    lastDragPos_ = event->position().toPoint();
    if (event->modifiers() & Qt::ShiftModifier) {
        placeSelCorner(index.row(), index.column());
        ensureCellVisible(index.row(), index.column());
        return;
    }
    const bool moved = placeCurrent(index.row(), index.column());
    ensureCellVisible(index.row(), index.column());
    if (moved) {
        emit RowColChange();
    }
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        dragTo(event->position().toPoint());
    }
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    dragging_ = false;
    dragScrollTimer_->stop();
    if (clickPending_) {
        clickPending_ = false;
        emit Click();
    }
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // The first click of the pair has raised Click already; the release that
    // ends the double-click raises none.
    clickPending_ = false;
    dragging_ = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && isBodyCell(index.row(), index.column())) {
        emit DblClick();
    }
}

// ---- drag -------------------------------------------------------------------

bool FlexGrid::outsideBody(QPoint pos) const {
    const int top = fixedRows_ > 0 ? frozenHeight() : 0;
    return pos.y() < top || pos.y() >= viewport()->height() || pos.x() < 0 ||
           pos.x() >= viewport()->width();
}

int FlexGrid::dragRowAt(int y) const {
    const int top = fixedRows_ > 0 ? frozenHeight() : 0;
    return dragSectionAt(*verticalHeader(), y, top, viewport()->height() - 1, fixedRows_,
                         rowCount() - 1);
}

int FlexGrid::dragColAt(int x) const {
    return dragSectionAt(*horizontalHeader(), x, 0, viewport()->width() - 1, fixedCols_,
                         columnCount() - 1);
}

void FlexGrid::dragTo(QPoint pos) {
    if (!hasBody()) {
        dragScrollTimer_->stop();
        return;
    }
    lastDragPos_ = pos;
    const int row = dragRowAt(pos.y());
    const int col = dragColAt(pos.x());
    if (row != rowSel_ || col != colSel_) {
        placeSelCorner(row, col);
    }
    ensureCellVisible(row, col);
    if (outsideBody(pos)) {
        dragScrollTimer_->start();
    } else {
        dragScrollTimer_->stop();
    }
}

} // namespace platform
