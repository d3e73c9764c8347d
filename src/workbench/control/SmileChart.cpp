#include "SmileChart.h"

#include "DiagramExport.h"
#include "platform/Numbers.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/PositionColumns.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <utility>

namespace workbench {

namespace smile {

namespace {

using beforeexpiry::RowVolatility;
using Side = std::optional<double> RowVolatility::*;

// Calls in blue and puts in red, as the grid's columns are read; each kept
// readable on the background it is drawn on.
constexpr platform::Rgb kCallInk = 0x1f5fbf;
constexpr platform::Rgb kPutInk = 0xc0392b;

QColor ink(platform::Rgb color, const QColor& background) {
    const platform::Rgb on = platform::Rgb(background.rgb() & 0xFFFFFFu);
    return QColor::fromRgb(platform::readableOn(color, on));
}

// The strikes and volatilities the chart spans: every strike with some
// volatility, and today's price among them.
struct Span {
    double left = 0;
    double right = 0;
    double low = 0;
    double high = 0;
};

Span spanOf(const Smile& s) {
    Span span{s.today, s.today, 1e300, -1e300};
    for (const RowVolatility& row : s.rows) {
        for (const Side side : {&RowVolatility::call, &RowVolatility::put}) {
            if (const std::optional<double>& v = row.*side) {
                span.left = std::min(span.left, row.strike);
                span.right = std::max(span.right, row.strike);
                span.low = std::min(span.low, *v);
                span.high = std::max(span.high, *v);
            }
        }
    }
    // A flat smile, or a single strike, still has room to be drawn in.
    const double pad = std::max((span.high - span.low) * 0.1, 0.01);
    span.low = std::max(0.0, span.low - pad);
    span.high += pad;
    if (span.right - span.left < 1e-9) {
        span.left -= 1;
        span.right += 1;
    }
    return span;
}

QString percentText(double v) {
    return platform::numbers::format(v * 100, u"##0.0") + QStringLiteral(" %");
}

} // namespace

bool Smile::empty() const {
    return std::none_of(rows.cbegin(), rows.cend(),
                        [](const RowVolatility& r) { return r.call || r.put; });
}

void paint(QPainter& painter, QSize size, const Smile& s) {
    const QPalette palette;
    const QColor background = s.paper ? QColor(Qt::white) : palette.color(QPalette::Base);
    const QColor text = s.paper ? QColor(Qt::black) : palette.color(QPalette::Text);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(QPoint(0, 0), size), background);
    const QFontMetricsF metrics(painter.font());
    painter.setPen(text);
    if (s.empty()) {
        painter.drawText(QRectF(QPointF(0, 0), QSizeF(size)), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No premium implies a volatility: no smile to draw."));
        return;
    }
    const Span span = spanOf(s);
    const double line = metrics.height();
    const QRectF area(metrics.horizontalAdvance(QStringLiteral("100 %")) + 8, line * 1.4,
                      size.width() - metrics.horizontalAdvance(QStringLiteral("100 %")) - 16,
                      size.height() - line * 3);
    if (area.width() < 20 || area.height() < 20) {
        return;
    }
    const auto x = [&](double strike) {
        return area.left() + (strike - span.left) / (span.right - span.left) * area.width();
    };
    const auto y = [&](double v) {
        return area.bottom() - (v - span.low) / (span.high - span.low) * area.height();
    };
    // The axes, with round ticks along each.
    QColor grid = text;
    grid.setAlphaF(0.25);
    painter.setPen(QPen(grid, 1));
    painter.drawRect(area);
    const QList<double> strikes = diagramexport::ticks(span.left, span.right, 6);
    const QList<double> levels = diagramexport::ticks(span.low * 100, span.high * 100, 5);
    const double strikeStep = strikes.size() > 1 ? strikes[1] - strikes[0] : 1;
    const double levelStep = levels.size() > 1 ? levels[1] - levels[0] : 1;
    for (const double k : strikes) {
        painter.setPen(QPen(grid, 1));
        painter.drawLine(QPointF(x(k), area.top()), QPointF(x(k), area.bottom()));
        painter.setPen(text);
        const QString label = diagramexport::tickLabel(k, strikeStep);
        painter.drawText(QPointF(x(k) - metrics.horizontalAdvance(label) / 2,
                                 area.bottom() + metrics.ascent() + 2),
                         label);
    }
    for (const double level : levels) {
        painter.setPen(QPen(grid, 1));
        painter.drawLine(QPointF(area.left(), y(level / 100)),
                         QPointF(area.right(), y(level / 100)));
        painter.setPen(text);
        const QString label = diagramexport::tickLabel(level, levelStep) + QStringLiteral(" %");
        painter.drawText(QPointF(area.left() - metrics.horizontalAdvance(label) - 4,
                                 y(level / 100) + metrics.ascent() / 2 - 1),
                         label);
    }
    // Today's price, dashed, as the diagram marks it.
    painter.setPen(QPen(text, 1, Qt::DashLine));
    painter.drawLine(QPointF(x(s.today), area.top()), QPointF(x(s.today), area.bottom()));
    // Each side through its strikes, a dot at each.
    const struct {
        Side side;
        platform::Rgb color;
        const char16_t* name;
    } sides[] = {{&RowVolatility::call, kCallInk, u"Calls"},
                 {&RowVolatility::put, kPutInk, u"Puts"}};
    double legendX = area.left();
    for (const auto& side : sides) {
        const QColor color = ink(side.color, background);
        QPolygonF points;
        for (const RowVolatility& row : s.rows) {
            if (const std::optional<double>& v = row.*side.side) {
                points << QPointF(x(row.strike), y(*v));
            }
        }
        std::sort(points.begin(), points.end(),
                  [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
        painter.setPen(QPen(color, 2));
        painter.drawPolyline(points);
        painter.setBrush(color);
        for (const QPointF& p : points) {
            painter.drawEllipse(p, 2.5, 2.5);
        }
        painter.setBrush(Qt::NoBrush);
        const QString name = QString::fromUtf16(side.name);
        painter.drawLine(QPointF(legendX, line * 0.7), QPointF(legendX + 14, line * 0.7));
        painter.setPen(text);
        painter.drawText(QPointF(legendX + 18, line * 0.7 + metrics.ascent() / 2 - 1), name);
        legendX += 30 + metrics.horizontalAdvance(name);
    }
    painter.setPen(text);
    // Today's label inside the area at its top, on the side of the line
    // with room, clear of the ticks below.
    const QString today = diagramexport::todayLabel(s.today);
    const double wide = metrics.horizontalAdvance(today);
    const double at =
        x(s.today) + 3 + wide <= area.right() ? x(s.today) + 3 : x(s.today) - 3 - wide;
    painter.drawText(QPointF(std::max(area.left() + 2, at), area.top() + metrics.ascent() + 1),
                     today);
}

QByteArray png(const Smile& smile, QSize size) {
    return diagramexport::pngOf(size, [&](QPainter& p) { paint(p, size, smile); });
}

QByteArray svg(const Smile& smile, QSize size) {
    return diagramexport::svgOf(size, QStringLiteral("Volatility smile"),
                                [&](QPainter& p) { paint(p, size, smile); });
}

QString describe(const Smile& s) {
    if (s.empty()) {
        return QStringLiteral("No premium implies a volatility.");
    }
    QStringList parts;
    for (const auto& [side, name] : {std::pair{Side(&RowVolatility::call), u"Calls"},
                                     std::pair{Side(&RowVolatility::put), u"Puts"}}) {
        const RowVolatility* first = nullptr;
        const RowVolatility* last = nullptr;
        for (const RowVolatility& row : s.rows) {
            if (row.*side) {
                first = first && first->strike <= row.strike ? first : &row;
                last = last && last->strike >= row.strike ? last : &row;
            }
        }
        if (first) {
            parts << QStringLiteral("%1 imply %2 at %3 to %4 at %5")
                         .arg(QString::fromUtf16(name), percentText(*(first->*side)),
                              columns::strikeText(float(first->strike)),
                              percentText(*(last->*side)),
                              columns::strikeText(float(last->strike)));
        }
    }
    return parts.join(QStringLiteral("; ")) + QStringLiteral("; today's price ") +
           analysis::money(s.today) + u'.';
}

} // namespace smile

SmileChart::SmileChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("smileChart"));
    setAccessibleName(QStringLiteral("Volatility smile"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void SmileChart::setSmile(smile::Smile smile) {
    smile_ = std::move(smile);
    const QString words = smile::describe(smile_);
    setToolTip(
        QStringLiteral("The calls' and the puts' implied volatilities against the strike: ") +
        words);
    setAccessibleDescription(words);
    update();
}

QSize SmileChart::sizeHint() const {
    return {240, fontMetrics().height() * 9};
}

QSize SmileChart::minimumSizeHint() const {
    return {120, fontMetrics().height() * 7};
}

void SmileChart::setDimmed(bool dimmed) {
    if (dimmed != dimmed_) {
        dimmed_ = dimmed;
        update();
    }
}

void SmileChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setOpacity(dimmed_ ? 0.4 : 1.0);
    smile::paint(painter, size(), smile_);
}

} // namespace workbench
