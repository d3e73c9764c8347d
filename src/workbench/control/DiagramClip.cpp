// Lines cut to the plot area, for both kinds of file alike.
#include "DiagramExport.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace workbench::diagramexport {

namespace {

// Cuts the segment to the rectangle (Liang-Barsky); false when nothing of it
// lies inside.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& r) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    double t0 = 0, t1 = 1;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const QPointF from = a;
    a = from + t0 * QPointF(dx, dy);
    b = from + t1 * QPointF(dx, dy);
    return true;
}

// The runs of a polyline that lie inside the rectangle. The SVG painter keeps
// no clip region, so lines are cut here, for both kinds of file alike.
QList<QPolygonF> clipped(const QPolygonF& line, const QRectF& r) {
    QList<QPolygonF> runs;
    QPolygonF run;
    const auto flush = [&] {
        if (run.size() > 1) {
            runs << run;
        }
        run.clear();
    };
    for (qsizetype i = 1; i < line.size(); ++i) {
        QPointF a = line[i - 1];
        QPointF b = line[i];
        if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
            !std::isfinite(b.y()) || !clipSegment(a, b, r)) {
            flush();
            continue;
        }
        if (run.isEmpty() || run.last() != a) {
            flush();
            run << a;
        }
        run << b;
    }
    flush();
    return runs;
}

} // namespace

void drawClipped(QPainter& p, const QPolygonF& line, const QRectF& r) {
    for (const QPolygonF& run : clipped(line, r)) {
        p.drawPolyline(run);
    }
}

} // namespace workbench::diagramexport
