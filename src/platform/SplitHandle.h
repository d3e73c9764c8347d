#pragma once

#include <QPoint>
#include <QWidget>

namespace platform {

// A strip, drawn as nothing, that the mouse takes hold of to move the edge
// between two parts of a window laid out by hand, as a splitter's handle
// does where a splitter cannot hold the parts. `movesAlong` Horizontal: the
// edge moves left and right.
class SplitHandle : public QWidget {
    Q_OBJECT
public:
    SplitHandle(Qt::Orientation movesAlong, QWidget* parent);

signals:
    // The button went down on the handle; each move after it says how far
    // the pointer has gone since, in pixels along the handle's way.
    void pressed();
    void moved(int by);
    // Double-clicked: back to where the edge first was.
    void reset();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int along(const QPoint& global) const;

    Qt::Orientation movesAlong_;
    bool held_ = false;
    int from_ = 0;
};

} // namespace platform
