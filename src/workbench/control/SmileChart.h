#pragma once

#include "workbench/pricing/BeforeExpiry.h"

#include <QByteArray>
#include <QSize>
#include <QWidget>

#include <vector>

class QPainter;

namespace workbench {

namespace smile {

// What the smile is drawn from: the implied volatilities of the rows of the
// last plot, and today's price, marked among the strikes.
struct Smile {
    std::vector<beforeexpiry::RowVolatility> rows;
    double today = 0;
    // Dark ink on white, for paper, whatever the window's colours.
    bool paper = false;
    // Whether any option of the rows implies a volatility: with none there
    // is no smile to draw.
    bool empty() const;
};

// The calls' and the puts' implied volatilities against the strike, each a
// line through its strikes, with today's price a dashed line across, on the
// palette's colours (or paper's), in a picture of `size`.
void paint(QPainter& painter, QSize size, const Smile& smile);
// In the diagram's formats, at `size`; empty when it cannot be drawn.
QByteArray png(const Smile& smile, QSize size);
QByteArray svg(const Smile& smile, QSize size);
// The smile in words, for a screen reader and the tooltip: each side's
// volatilities from the lowest strike to the highest.
QString describe(const Smile& smile);

} // namespace smile

// A small chart of the smile under the panel's table of implied volatilities.
class SmileChart : public QWidget {
    Q_OBJECT
public:
    explicit SmileChart(QWidget* parent = nullptr);
    void setSmile(smile::Smile smile);
    const smile::Smile& smile() const { return smile_; }
    // Drawn faint while the grid holds another position than the one the
    // smile is of, as the table beside it is.
    void setDimmed(bool dimmed);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    smile::Smile smile_;
    bool dimmed_ = false;
};

} // namespace workbench
