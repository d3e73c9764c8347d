// The diagram on paper, drawn once for both kinds of file.
#include "DiagramExport.h"

#include "platform/Fonts.h"
#include "platform/Palette.h"
#include "platform/PictureBox.h"
#include "workbench/model/PositionAnalysis.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <functional>

namespace workbench::diagramexport {

namespace {

const QString kPriceCaption = QStringLiteral("Price of the underlying");

// The strikes' dotted lines as the plot area's markers draw them: light on
// the area's dark background.
const QColor kStrikeColor(220, 220, 220);

QPointF place(QPointF p, const PlotScale& s, const QRectF& r) {
    return {r.left() + platform::axisFraction(p.x(), s.left, s.right) * r.width(),
            r.top() + platform::axisFraction(p.y(), s.top, s.bottom) * r.height()};
}

QColor toColor(platform::Rgb rgb) {
    return QColor::fromRgb(QRgb(0xFF000000u | rgb));
}

// On paper a light curve (yellow, the default) would vanish into the white:
// it is drawn darker, in the same hue.
QColor ink(platform::Rgb rgb, bool paper) {
    const QColor c = toColor(rgb);
    const double luminance = 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
    return paper && luminance > 150 ? c.darker(int(100 * luminance / 120)) : c;
}

// A curve's colour on the area: on the screen's, lightened until it stands
// out, as the plot area draws it; on paper as chosen, for the paper's inks.
platform::Rgb areaInk(platform::Rgb rgb, const diagramexport::Diagram& d) {
    return d.paper ? rgb : platform::readableOn(rgb, d.background);
}

// A dashed curve: as the plot area draws it on the dark area; on paper in
// the curve's own ink, the dates other than the highlighted one paler.
QPen paperDashedPen(platform::Rgb rgb, bool paper, int i, int n, bool highlighted, double width) {
    QPen pen = diagramexport::dashedPen(rgb, i, n, highlighted, width);
    if (paper) {
        QColor c = ink(rgb, true);
        if (!highlighted) {
            c.setAlphaF(0.55);
        }
        pen.setColor(c);
    }
    return pen;
}

// On paper the strikes' dotted lines are grey ink.
const QColor kPaperStrikeColor(110, 110, 110);

double stepOf(const QList<double>& values) {
    return values.size() > 1 ? values[1] - values[0] : 0;
}

double widest(const QStringList& texts, const QFontMetricsF& fm) {
    double w = 0;
    for (const QString& t : texts) {
        w = std::max(w, fm.horizontalAdvance(t));
    }
    return w;
}

QStringList labels(const QList<double>& values) {
    QStringList out;
    for (const double v : values) {
        out << tickLabel(v, stepOf(values));
    }
    return out;
}

// Where everything goes at a size. Type and lines grow with the picture, so
// that a large one reads as a small one does, only finer. Measured without a
// device: the type has its size in pixels, and the PNG and the SVG of one size
// get the same layout.
struct Layout {
    QFont font;
    double em = 0;
    double lineWidth = 0;
    double thin = 0;
    double pad = 0;
    double tick = 0;
    QRectF area;
    QList<double> valueTicks;
    QStringList valueLabels;
    QList<double> priceTicks;
    QStringList priceLabels;
    QList<double> greekTicks;
    QStringList greekLabels;
};

Layout layOut(QSize size, const Diagram& d) {
    Layout l;
    const double w = size.width();
    const double h = size.height();
    const double shortSide = std::max(1.0, std::min(w, h));
    l.em = std::clamp(std::round(shortSide / 40), 9.0, 100.0);
    l.lineWidth = std::max(2.0, shortSide / 200);
    l.thin = std::max(1.0, l.lineWidth / 3);
    l.pad = l.em * 0.6;
    l.tick = l.em * 0.4;
    l.font = platform::uiFont(8);
    l.font.setPixelSize(int(l.em));
    const QFontMetricsF fm(l.font);
    // The value labels at the area's left, the value caption above it with
    // room for half of the top label, the price labels and caption below,
    // room at the right for half of the last price label.
    const double top = l.pad + fm.height() * 1.5 + l.pad * 0.5;
    const double bottom = h - (l.tick + fm.height() + l.pad * 0.5 + fm.height() + l.pad);
    const int mostValues = std::clamp(int((bottom - top) / (fm.height() * 2.5)), 2, 12);
    l.valueTicks = ticks(d.scale.bottom, d.scale.top, mostValues);
    l.valueLabels = labels(l.valueTicks);
    const double left = l.pad + widest(l.valueLabels, fm) + l.tick + l.pad * 0.5;
    double right = w - l.pad - l.em * 2;
    // A greek's axis takes the right margin for its labels.
    if (d.greekCurve) {
        l.greekTicks = ticks(d.greekCurve->bottom, d.greekCurve->top, mostValues);
        l.greekLabels = labels(l.greekTicks);
        right = std::min(right, w - l.pad - widest(l.greekLabels, fm) - l.tick - l.pad * 0.5);
    }
    const double priceLabelWidth = widest(labels(ticks(d.scale.left, d.scale.right, 10)), fm);
    const int mostPrices = std::clamp(int((right - left) / (priceLabelWidth + l.em * 1.5)), 2, 10);
    l.priceTicks = ticks(d.scale.left, d.scale.right, mostPrices);
    l.priceLabels = labels(l.priceTicks);
    l.area =
        QRectF(QPointF(left, top), QPointF(std::max(left + 1, right), std::max(top + 1, bottom)));
    return l;
}

// The legend in the area's top right corner, as the plot area's own legend
// shows it: the latest curves, the earlier ones summed up in a line, and the
// curve before expiry with a dashed sample.
void paintLegend(QPainter& p, const QRectF& area, const Diagram& d, double em, double lineWidth) {
    if (d.legend.isEmpty()) {
        return;
    }
    enum class Mark { None, Swatch, Dashed };
    struct Line {
        QString text;
        Mark mark;
        QColor color;
        QPen pen = {};
    };
    QList<Line> lines;
    const qsizetype hidden = std::max<qsizetype>(0, d.legend.size() - shownLegendEntries);
    if (hidden > 0) {
        lines << Line{QStringLiteral("%1 earlier curves").arg(hidden), Mark::None, {}};
    }
    for (qsizetype i = hidden; i < d.legend.size(); ++i) {
        lines << Line{d.legend[i].text, Mark::Swatch, ink(d.legend[i].color, d.paper)};
    }
    const int dated = int(d.beforeExpiry.size());
    for (int i = 0; i < dated; ++i) {
        const DashedCurve& c = d.beforeExpiry[i];
        lines << Line{
            c.entry.text,
            Mark::Dashed,
            {},
            paperDashedPen(areaInk(c.entry.color, d), d.paper, i, dated, c.highlighted, 1)};
    }
    if (dated > 0) {
        if (!d.beforeExpiryNote.isEmpty()) {
            lines << Line{d.beforeExpiryNote, Mark::None, {}};
        }
    }
    const QFontMetricsF fm(p.font());
    const double pad = em * 0.35;
    const double swatch = em * 0.75;
    const double sample = 2 * swatch;
    const double lineHeight = fm.height();
    double textWidth = 0;
    for (const Line& line : lines) {
        textWidth = std::max(textWidth, fm.horizontalAdvance(line.text));
    }
    const QSizeF boxSize(sample + textWidth + 3 * pad, lines.size() * lineHeight + 2 * pad);
    const QRectF box(QPointF(area.right() - pad - boxSize.width(), area.top() + pad), boxSize);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRect(box);
    p.setBrush(Qt::NoBrush);
    double y = box.top() + pad;
    for (const Line& line : lines) {
        const double mid = y + lineHeight / 2;
        if (line.mark == Mark::Swatch) {
            const QRectF square(box.left() + pad, mid - swatch / 2, swatch, swatch);
            p.fillRect(square, line.color);
            p.setPen(QPen(Qt::black, 1));
            p.drawRect(square);
        } else if (line.mark == Mark::Dashed) {
            QPen pen = line.pen;
            pen.setWidthF(pen.widthF() * lineWidth * 0.8);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            p.drawLine(QPointF(box.left() + pad, mid), QPointF(box.left() + pad + sample, mid));
        }
        p.setPen(Qt::black);
        p.drawText(QRectF(box.left() + 2 * pad + sample, y, textWidth + pad, lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, line.text);
        y += lineHeight;
    }
}

} // namespace

void paint(QPainter& p, QSize size, const Diagram& d) {
    const Layout l = layOut(size, d);
    const QRectF& area = l.area;
    const QFontMetricsF fm(l.font);
    const double w = size.width();
    const double h = size.height();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(l.font);
    p.fillRect(QRectF(0, 0, w, h), Qt::white);
    p.fillRect(area, d.paper ? QColor(Qt::white) : toColor(d.background));

    // Strikes and the zero line first: a curve that runs along either keeps
    // its colour.
    p.setPen(QPen(d.paper ? kPaperStrikeColor : kStrikeColor, l.thin, Qt::DotLine));
    for (const double K : d.strikes) {
        const double x = place({K, 0}, d.scale, area).x();
        if (x >= area.left() && x <= area.right()) {
            p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        }
    }
    if (d.todayPrice) {
        const double x = place({*d.todayPrice, 0}, d.scale, area).x();
        if (x >= area.left() && x <= area.right()) {
            const QColor ink = d.paper ? kPaperStrikeColor : QColor(255, 255, 255, 170);
            p.setPen(QPen(ink, l.thin));
            p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
            const QString text = todayLabel(*d.todayPrice);
            const double width = fm.horizontalAdvance(text);
            const double left = x + l.pad * 0.25 + width < area.right() ? x + l.pad * 0.25
                                                                        : x - l.pad * 0.25 - width;
            p.drawText(QPointF(left, area.bottom() - fm.descent() - l.pad * 0.25), text);
        }
    }
    if (d.law) {
        paintLaw(p, area, d.scale, *d.law, d.paper, l.thin);
    }
    const double zeroY = place({0, 0}, d.scale, area).y();
    if (zeroY >= area.top() && zeroY <= area.bottom()) {
        p.setPen(QPen(toColor(platform::paletteColor(0)), std::max(1.0, l.lineWidth / 2)));
        p.drawLine(QPointF(area.left(), zeroY), QPointF(area.right(), zeroY));
    }
    for (const DrawnCurve& curve : d.curves) {
        QPolygonF line;
        for (const QPointF& point : curve.points) {
            line << place(point, curve.scale, area);
        }
        p.setPen(QPen(ink(areaInk(curve.color, d), d.paper), l.lineWidth, Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
        drawClipped(p, line, area);
    }
    // The highlighted date last, over the others.
    for (const bool highlighted : {false, true}) {
        for (int i = 0; i < int(d.beforeExpiry.size()); ++i) {
            const DashedCurve& c = d.beforeExpiry[i];
            if (c.highlighted != highlighted) {
                continue;
            }
            QPolygonF line;
            for (const QPointF& point : c.points) {
                line << place(point, d.scale, area);
            }
            QPen pen = paperDashedPen(areaInk(c.entry.color, d), d.paper, i,
                                      int(d.beforeExpiry.size()), highlighted, l.lineWidth * 0.8);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            drawClipped(p, line, area);
        }
    }
    if (d.greekCurve) {
        const PlotScale own{d.scale.left, d.greekCurve->top, d.scale.right, d.greekCurve->bottom};
        QPolygonF line;
        for (const QPointF& point : d.greekCurve->points) {
            line << place(point, own, area);
        }
        p.setPen(QPen(ink(areaInk(d.greekCurve->color, d), d.paper), l.lineWidth, Qt::DotLine,
                      Qt::RoundCap));
        drawClipped(p, line, area);
    }
    p.setPen(QPen(Qt::black, l.thin));
    p.setBrush(Qt::white);
    for (const QPointF& dot : d.dots) {
        const QPointF at = place(dot, d.scale, area);
        if (area.contains(at)) {
            p.drawEllipse(at, l.lineWidth * 1.2, l.lineWidth * 1.2);
        }
    }
    p.setBrush(Qt::NoBrush);
    paintLegend(p, area, d, l.em, l.lineWidth);

    // The axes: a frame round the area, ticks outwards, their labels and
    // captions.
    p.setPen(QPen(Qt::black, l.thin));
    p.drawRect(area);
    for (qsizetype i = 0; i < l.valueTicks.size(); ++i) {
        const double y = place({0, l.valueTicks[i]}, d.scale, area).y();
        p.drawLine(QPointF(area.left() - l.tick, y), QPointF(area.left(), y));
        p.drawText(QRectF(0, y - fm.height() / 2, area.left() - l.tick - l.pad * 0.25, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, l.valueLabels[i]);
    }
    for (qsizetype i = 0; i < l.priceTicks.size(); ++i) {
        const double x = place({l.priceTicks[i], 0}, d.scale, area).x();
        const double labelWidth = fm.horizontalAdvance(l.priceLabels[i]) + l.em;
        p.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + l.tick));
        p.drawText(QRectF(x - labelWidth / 2, area.bottom() + l.tick, labelWidth, fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop, l.priceLabels[i]);
    }
    p.drawText(QRectF(area.left(), h - l.pad - fm.height(), area.width(), fm.height()),
               Qt::AlignHCenter | Qt::AlignTop, kPriceCaption);
    p.drawText(QRectF(l.pad, l.pad, w - 2 * l.pad, fm.height()), Qt::AlignLeft | Qt::AlignTop,
               d.valueCaption);
    if (d.greekCurve) {
        // Its ticks and labels outside the area's right edge and its caption
        // above them, in its curve's ink: they stand on white.
        const PlotScale own{d.scale.left, d.greekCurve->top, d.scale.right, d.greekCurve->bottom};
        p.setPen(QPen(ink(d.greekCurve->color, true), l.thin));
        for (qsizetype i = 0; i < l.greekTicks.size(); ++i) {
            const double y = place({0, l.greekTicks[i]}, own, area).y();
            const double x = area.right() + l.tick;
            p.drawLine(QPointF(area.right(), y), QPointF(x, y));
            p.drawText(QRectF(x + l.pad * 0.25, y - fm.height() / 2, w - x, fm.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, l.greekLabels[i]);
        }
        p.drawText(QRectF(l.pad, l.pad, w - 2 * l.pad, fm.height()), Qt::AlignRight | Qt::AlignTop,
                   d.greekCurve->caption);
    }
    p.restore();
}

QRectF plotRect(QSize size, const Diagram& diagram) {
    return layOut(size, diagram).area;
}

} // namespace workbench::diagramexport
