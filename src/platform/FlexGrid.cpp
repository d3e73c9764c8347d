#include "FlexGrid.h"

#include "FlexGridDelegate.h"
#include "KeyCodes.h"
#include "RunTimeError.h"
#include "SelectionText.h"
#include "Twips.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStringList>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace platform {

namespace {

constexpr int kDefaultRows = 2;
constexpr int kDefaultCols = 2;
constexpr int kDefaultColWidthPixels = 64;
constexpr int kDragScrollIntervalMs = 50;

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

int FlexGrid::ColAlignment(int col) const {
    if (col < 0 || col >= columnCount()) {
        throw RunTimeError(errc::InvalidPropertyArrayIndex);
    }
    return colAlignment_[static_cast<std::size_t>(col)];
}

void FlexGrid::setColAlignment(int col, int code) {
    if (col < 0 || col >= columnCount()) {
        throw RunTimeError(errc::InvalidPropertyArrayIndex);
    }
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

// ---- current cell and selection ---------------------------------------------

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
    const int top = std::min(row_, rowSel_);
    const int bottom = std::max(row_, rowSel_);
    const int left = std::min(col_, colSel_);
    const int right = std::max(col_, colSel_);
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
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
    const int top = std::min(row_, rowSel_);
    const int bottom = std::max(row_, rowSel_);
    const int left = std::min(col_, colSel_);
    const int right = std::max(col_, colSel_);
    QStringList lines;
    for (int r = top; r <= bottom; ++r) {
        QStringList fields;
        for (int c = left; c <= right; ++c) {
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
    const int top = std::min(row_, rowSel_);
    const int bottom = std::max(row_, rowSel_);
    const int left = std::min(col_, colSel_);
    const int right = std::max(col_, colSel_);
    for (const selection::PlacedText& cell :
         selection::layText(text, bottom - top + 1, right - left + 1)) {
        writeCell(top + cell.row, left + cell.col, cell.text);
    }
}

// ---- helpers ----------------------------------------------------------------

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
}

bool FlexGrid::placeCurrent(int row, int col) {
    const bool moved = row != row_ || col != col_;
    row_ = rowSel_ = row;
    col_ = colSel_ = col;
    viewport()->update();
    return moved;
}

void FlexGrid::placeSelCorner(int row, int col) {
    rowSel_ = row;
    colSel_ = col;
    viewport()->update();
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
    if (!hasBody()) {
        dragging_ = clickPending_ = false;
    }
    updateFrozenRows();
    viewport()->update();
    if (row_ != oldRow || col_ != oldCol) {
        emit RowColChange();
    }
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

bool FlexGrid::outsideBody(QPoint pos) const {
    const int top = fixedRows_ > 0 ? frozenHeight() : 0;
    return pos.y() < top || pos.y() >= viewport()->height() || pos.x() < 0 ||
           pos.x() >= viewport()->width();
}

// The body row a drag at viewport height y points to. Beyond the top or bottom
// edge it is the row just past the visible ones, so holding the mouse there
// keeps scrolling one row per step.
int FlexGrid::dragRowAt(int y) const {
    const int last = rowCount() - 1;
    const int top = fixedRows_ > 0 ? frozenHeight() : 0;
    const int bottom = viewport()->height() - 1;
    int row;
    if (y < top) {
        row = rowAt(top);
        if (row >= 0 && rowViewportPosition(row) >= top) {
            --row;
        }
    } else if (y > bottom) {
        row = rowAt(bottom);
        if (row < 0) {
            row = last;
        } else if (rowViewportPosition(row) + rowHeight(row) <= bottom + 1) {
            ++row;
        }
    } else {
        row = rowAt(y);
        if (row < 0) {
            row = last;
        }
    }
    return std::clamp(row, fixedRows_, last);
}

int FlexGrid::dragColAt(int x) const {
    const int last = columnCount() - 1;
    const int right = viewport()->width() - 1;
    int col;
    if (x < 0) {
        col = columnAt(0);
        if (col >= 0 && columnViewportPosition(col) >= 0) {
            --col;
        }
    } else if (x > right) {
        col = columnAt(right);
        if (col < 0) {
            col = last;
        } else if (columnViewportPosition(col) + columnWidth(col) <= right + 1) {
            ++col;
        }
    } else {
        col = columnAt(x);
        if (col < 0) {
            col = last;
        }
    }
    return std::clamp(col, fixedCols_, last);
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

// ---- events -----------------------------------------------------------------

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

void FlexGrid::focusInEvent(QFocusEvent* event) {
    QTableWidget::focusInEvent(event);
    viewport()->update();
}

void FlexGrid::focusOutEvent(QFocusEvent* event) {
    QTableWidget::focusOutEvent(event);
    viewport()->update();
}

void FlexGrid::inputMethodEvent(QInputMethodEvent* event) {
    // Composed text would otherwise start the view's keyboard search.
    event->accept();
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
