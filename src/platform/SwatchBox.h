#pragma once

#include "Palette.h"

#include <QFrame>

namespace platform {

// A small square of one colour that can be clicked and can carry a single
// line border to show it is the chosen one.
class SwatchBox : public QFrame {
    Q_OBJECT
public:
    explicit SwatchBox(QWidget* parent = nullptr);

    void setColor(Rgb color);
    Rgb color() const { return color_; }
    void setBorder(bool single);
    bool hasBorder() const { return frameShape() != QFrame::NoFrame; }

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A screen reader hears a swatch as a colour to choose, checked when
    // chosen, and can choose it.
    static void describeToScreenReaders();
    void announceChosen();

    Rgb color_ = 0;
    bool pressed_ = false;
};

} // namespace platform
