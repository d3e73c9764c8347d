#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTableWidget>

#include <cstdint>
#include <vector>

class QTableView;
class QTimer;

namespace platform {

// A table of text cells in the manner of the classic flex grid: fixed header
// rows and columns first, a current cell (Row, Col) that is also the anchor of a
// rectangular selection whose opposite corner is (RowSel, ColSel), and no cell
// editor of its own: typing changes no cell unless the program writes it.
//
// Every cell, fixed ones included, is a table item; fixed cells are drawn as
// headers and are never part of the selection or the current cell.
//
// Out-of-range indices raise RunTimeError 381; impossible property values
// (negative counts, more fixed rows than rows) raise 380.
class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    // Alignment codes of ColAlignment: 4 centres horizontally and vertically.
    static constexpr int flexAlignLeftTop = 0;
    static constexpr int flexAlignLeftCenter = 1;
    static constexpr int flexAlignLeftBottom = 2;
    static constexpr int flexAlignCenterTop = 3;
    static constexpr int flexAlignCenterCenter = 4;
    static constexpr int flexAlignCenterBottom = 5;
    static constexpr int flexAlignRightTop = 6;
    static constexpr int flexAlignRightCenter = 7;
    static constexpr int flexAlignRightBottom = 8;
    static constexpr int flexAlignGeneral = 9;

    explicit FlexGrid(QWidget* parent = nullptr);

    int Rows() const;
    void setRows(int rows);
    int Cols() const;
    void setCols(int cols);
    int FixedRows() const;
    void setFixedRows(int fixedRows);
    int FixedCols() const;
    void setFixedCols(int fixedCols);

    // A column's width in twips.
    int ColWidth(int col) const;
    void setColWidth(int col, int width);
    // Makes the column just wide enough for its widest text, fixed rows
    // included, so that no cell of it is cut short.
    void fitColWidthToText(int col);

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // Empties the text of every cell; the counts of rows, columns and fixed
    // rows and columns stay.
    void Clear();

    // A cell's own text colour (an invalid colour: the palette's) and its
    // tooltip (empty: none). Both stay with the cell until set again.
    QColor cellForeColor(int row, int col) const;
    void setCellForeColor(int row, int col, const QColor& color);
    // A cell's own background in the same way (an invalid colour: the grid's).
    QColor cellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, const QColor& color);
    QString cellToolTip(int row, int col) const;
    void setCellToolTip(int row, int col, const QString& text);

    int ColAlignment(int col) const;
    void setColAlignment(int col, int code);

    // The current cell. Setting either collapses the selection onto the new
    // current cell and raises RowColChange when the cell moved.
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);
    // The opposite corner of the selection.
    int RowSel() const;
    void setRowSel(int row);
    int ColSel() const;
    void setColSel(int col);

    // The current cell's text. A write goes to the current cell when FillStyle
    // is 0 and to every selected cell when it is 1.
    QString Text() const;
    void setText(const QString& text);
    int FillStyle() const;
    void setFillStyle(int style);

    // The selected rectangle as text: cells of a row separated by a tab, rows
    // by a carriage return, nothing before the first cell or after the last.
    // A write lays the text into the selection from its top-left cell; a tab
    // moves one cell right, a carriage return one row down to the left column;
    // text outside the selection is dropped, cells it does not reach keep theirs.
    QString Clip() const;
    void setClip(const QString& text);

signals:
    void Click();
    void DblClick();
    // keyCode is the classic virtual key code (keys::vkDelete, keys::vkLeft,
    // ...); shift holds keys::shiftMask, ctrlMask and altMask, or-ed.
    void KeyDown(int keyCode, int shift);
    // The character code of a typed key: keys::charEnter, charEscape,
    // charBackspace, charCopy, charPaste, otherwise the character itself.
    void KeyPress(int keyAscii);
    void RowColChange();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void fitRowHeightToFont();
    void requireCol(int col) const;

    bool hasBodyRows() const { return rowCount() > fixedRows_; }
    bool hasBodyCols() const { return columnCount() > fixedCols_; }
    bool hasBody() const { return hasBodyRows() && hasBodyCols(); }
    bool isBodyCell(int row, int col) const;
    void requireBodyRow(int row) const;
    void requireBodyCol(int col) const;
    void requireCell(int row, int col) const;

    QTableWidgetItem* makeItem(int col) const;
    void writeCell(int row, int col, const QString& text);
    void applyAlignment(QTableWidgetItem* item, int col) const;

    // Moves the current cell and collapses the selection onto it; the return
    // value says whether the current cell changed (and RowColChange is due).
    bool placeCurrent(int row, int col);
    void placeSelCorner(int row, int col);
    // The selected cells, the current cell and the opposite corner included:
    // x is the column, y the row.
    QRect selectedCells() const;
    void clampCursor();
    // Keep the item view's current index and headers, which a screen reader
    // reads, on the grid's current cell and fixed cells.
    void followCurrentCell();
    void nameHeading(int row, int col);
    void nameHeadings();
    // After a change of counts: clamp, refresh, and announce a moved cell.
    void afterShapeChange(int oldRow, int oldCol);
    void ensureCellVisible(int row, int col);
    int frozenHeight() const;
    void updateFrozenRows();
    int pageRows() const;
    void navigate(int key, Qt::KeyboardModifiers modifiers);
    int dragRowAt(int y) const;
    int dragColAt(int x) const;
    void dragTo(QPoint pos);
    bool outsideBody(QPoint pos) const;

    int fixedRows_ = 0;
    int fixedCols_ = 0;
    int row_ = 0;
    int col_ = 0;
    int rowSel_ = 0;
    int colSel_ = 0;
    int fillStyle_ = 0;
    std::vector<int> colAlignment_;

    bool dragging_ = false;
    bool clickPending_ = false;
    QPoint lastDragPos_;
    QTimer* dragScrollTimer_ = nullptr;
    // Covers the fixed rows so they stay put while the body scrolls.
    QTableView* frozen_ = nullptr;
};

} // namespace platform
