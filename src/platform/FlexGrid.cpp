// The grid as a view: its construction, the header rows frozen above the
// scrolling body, and scrolling a cell into sight.
#include "FlexGrid.h"

#include "FlexGridDelegate.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace platform {

namespace {

constexpr int kDefaultRows = 2;
constexpr int kDefaultCols = 2;
constexpr int kDefaultColWidthPixels = 64;
constexpr int kDragScrollIntervalMs = 50;

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setAutoScroll(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFocusPolicy(Qt::StrongFocus);
    // Typing goes to KeyDown/KeyPress only; an input method would bypass them.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setItemDelegate(new FlexGridDelegate(this));
    // Rows as compact as the text allows; columns a classic default width.
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    fitRowHeightToFont();
    horizontalHeader()->setDefaultSectionSize(kDefaultColWidthPixels);

    dragScrollTimer_ = new QTimer(this);
    dragScrollTimer_->setInterval(kDragScrollIntervalMs);
    connect(dragScrollTimer_, &QTimer::timeout, this, [this] {
        if (dragging_) {
            dragTo(lastDragPos_);
        } else {
            dragScrollTimer_->stop();
        }
    });

    frozen_ = new QTableView(this);
    frozen_->setModel(model());
    frozen_->setItemDelegate(itemDelegate());
    frozen_->horizontalHeader()->hide();
    frozen_->verticalHeader()->hide();
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    frozen_->setSelectionMode(QAbstractItemView::NoSelection);
    frozen_->setAutoScroll(false);
    frozen_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    frozen_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->viewport()->installEventFilter(this);
    viewport()->stackUnder(frozen_);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int col, int, int size) { frozen_->setColumnWidth(col, size); });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int size) {
        if (row < fixedRows_) {
            frozen_->setRowHeight(row, size);
            updateFrozenRows();
        }
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, frozen_->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(frozen_->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { frozen_->horizontalScrollBar()->setValue(horizontalScrollBar()->value()); });

    setColumnCount(kDefaultCols);
    colAlignment_.assign(kDefaultCols, flexAlignGeneral);
    setRowCount(kDefaultRows);
    for (int r = 0; r < kDefaultRows; ++r) {
        for (int c = 0; c < kDefaultCols; ++c) {
            setItem(r, c, makeItem(c));
        }
    }
    fixedRows_ = 1;
    fixedCols_ = 1;
    clampCursor();
    followCurrentCell();
    nameHeadings();
    updateFrozenRows();
}

void FlexGrid::fitRowHeightToFont() {
    const int height = fontMetrics().height() + 4;
    verticalHeader()->setDefaultSectionSize(height);
    for (int r = 0; r < rowCount(); ++r) {
        setRowHeight(r, height);
    }
}

void FlexGrid::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitRowHeightToFont();
    }
}

void FlexGrid::focusInEvent(QFocusEvent* event) {
    QTableWidget::focusInEvent(event);
    viewport()->update();
}

void FlexGrid::focusOutEvent(QFocusEvent* event) {
    QTableWidget::focusOutEvent(event);
    viewport()->update();
}

int FlexGrid::frozenHeight() const {
    int height = 0;
    for (int r = 0; r < fixedRows_ && r < rowCount(); ++r) {
        height += rowHeight(r);
    }
    return std::min(height, viewport()->height());
}

void FlexGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    updateFrozenRows();
}

void FlexGrid::updateFrozenRows() {
    if (!frozen_) {
        return;
    }
    if (fixedRows_ == 0 || rowCount() == 0) {
        frozen_->hide();
        return;
    }
    for (int c = 0; c < columnCount(); ++c) {
        if (frozen_->columnWidth(c) != columnWidth(c)) {
            frozen_->setColumnWidth(c, columnWidth(c));
        }
    }
    for (int r = 0; r < fixedRows_; ++r) {
        if (frozen_->rowHeight(r) != rowHeight(r)) {
            frozen_->setRowHeight(r, rowHeight(r));
        }
    }
    const QRect area = viewport()->geometry();
    frozen_->setGeometry(area.x(), area.y(), area.width(), frozenHeight());
    frozen_->verticalScrollBar()->setValue(0);
    frozen_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    frozen_->show();
    frozen_->viewport()->update();
}

void FlexGrid::ensureCellVisible(int row, int col) {
    if (!isBodyCell(row, col)) {
        return;
    }
    // Rows added just before need their scroll range laid out first.
    executeDelayedItemsLayout();
    const int top = fixedRows_ > 0 ? frozenHeight() : 0;
    const int y = rowViewportPosition(row);
    const int h = rowHeight(row);
    const int viewHeight = viewport()->height();
    QScrollBar* vbar = verticalScrollBar();
    if (y < top) {
        vbar->setValue(vbar->value() - (top - y));
    } else if (y + h > viewHeight) {
        vbar->setValue(vbar->value() + std::min(y + h - viewHeight, y - top));
    }

    const int x = columnViewportPosition(col);
    const int w = columnWidth(col);
    const int viewWidth = viewport()->width();
    QScrollBar* hbar = horizontalScrollBar();
    // Fixed columns scroll with the body, so going left prefers the far left
    // where the row headers are, whenever the cell still fits from there.
    if (x < 0) {
        hbar->setValue(x + hbar->value() + w <= viewWidth ? 0 : hbar->value() + x);
    } else if (x + w > viewWidth) {
        hbar->setValue(hbar->value() + std::min(x + w - viewWidth, x));
    }
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    if (frozen_ && watched == frozen_->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // Only header cells lie under the frozen rows: focus, nothing more.
            setFocus(Qt::MouseFocusReason);
            return true;
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            return true;
        case QEvent::Wheel:
            QCoreApplication::sendEvent(viewport(), event);
            return true;
        default:
            break;
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

} // namespace platform
