#pragma once

#include "Palette.h"

#include <QImage>
#include <QWidget>

#include <vector>

namespace platform {

// A coordinate as a fraction of an axis, 0 at the first edge and 1 at the
// second, as the plot area places it. On a degenerate axis the edge value sits
// in the middle and everything else far outside, on the side it lies.
double axisFraction(double v, double first, double second);

// The plot area: a user coordinate system, straight lines of a given width and
// colour, clearing, and a persistent image that keeps everything drawn since
// the last clear. Lines are remembered as fractions of the area, so when the
// area is resized the picture is drawn again, crisp, at the new size. Tab and
// a click give it the focus, which it shows by a frame over the picture.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Erases everything drawn so far.
    void clear();
    // The x values at the left and right edges and the y values at the top and
    // bottom edges. Equal edges make a degenerate axis: a point on that value
    // lands in the middle, any other falls outside the area.
    void setScale(double left, double top, double right, double bottom);
    double scaleLeft() const { return left_; }
    double scaleTop() const { return top_; }
    double scaleRight() const { return right_; }
    double scaleBottom() const { return bottom_; }

    void setDrawWidth(int pixels);
    int drawWidth() const { return drawWidth_; }

    // Draws a straight line in user coordinates; what falls outside is clipped.
    void line(double x1, double y1, double x2, double y2, Rgb color);

    void setBackColor(Rgb color);
    Rgb backColor() const { return back_; }

    // The persistent image: every line since the last clear on the background,
    // at the area's current size.
    const QImage& image() const;

    // Where a point in user coordinates falls, in pixels of the area.
    QPointF toPixels(double x, double y) const;
    // The user coordinates of a point in pixels of the area; on a degenerate
    // axis, the value of its edges.
    QPointF toUser(QPointF pixels) const;

signals:
    // The character code of a key typed while the area has the focus.
    void KeyPress(int keyAscii);
    // The pointer moved over the area, to this point in pixels; it left it.
    void PointerMoved(QPointF pixels);
    void PointerLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // A line in fractions of the area's width and height, already clipped.
    struct Segment {
        double x1, y1, x2, y2;
        int width;
        Rgb color;
    };

    // A hidden widget gets its resize event only when shown; the image follows
    // the size whenever it is used, so that drawing never lands off the image.
    void fitImageToSize() const;
    void render() const;
    void paintSegment(const Segment& s) const;

    double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
    int drawWidth_ = 1;
    Rgb back_ = 0xFFFFFF;
    std::vector<Segment> segments_;
    mutable QImage image_;
};

} // namespace platform
