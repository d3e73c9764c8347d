#pragma once

#include <QWidget>

namespace platform {

// A straight decorative line given by its end points in the parent's twips.
// It has no rectangle of its own to speak of and takes no input.
class LineControl : public QWidget {
    Q_OBJECT
public:
    explicit LineControl(QWidget* parent = nullptr);

    void setEndPoints(int x1, int y1, int x2, int y2);
    int X1() const { return x1_; }
    int Y1() const { return y1_; }
    int X2() const { return x2_; }
    int Y2() const { return y2_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

} // namespace platform
