#include "CurveLegend.h"

#include "ExpiryCurveLayer.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace workbench {

namespace {

constexpr int kPad = 4;
constexpr int kSwatch = 10;

} // namespace

CurveLegend::CurveLegend(QWidget* plotArea)
    : PlotOverlay(plotArea, QStringLiteral("curveLegend")) {}

void CurveLegend::show(const QList<Entry>& curves, const QList<Entry>& dated, int highlighted) {
    entries_ = curves;
    beforeExpiry_ = dated;
    highlighted_ = highlighted;
    if (entries_.isEmpty()) {
        hide();
    } else {
        showOver();
    }
}

void CurveLegend::paintEvent(QPaintEvent*) {
    if (!shown_) {
        return;
    }
    QPainter p(this);
    const QFontMetrics fm = p.fontMetrics();
    const qsizetype hidden = std::max<qsizetype>(0, entries_.size() - shownEntries);
    QStringList lines;
    if (hidden > 0) {
        lines << QStringLiteral("%1 earlier curves").arg(hidden);
    }
    for (qsizetype i = hidden; i < entries_.size(); ++i) {
        lines << entries_[i].text;
    }
    for (const Entry& dashed : beforeExpiry_) {
        lines << dashed.text;
    }
    int textWidth = 0;
    for (const QString& line : lines) {
        textWidth = std::max(textWidth, fm.horizontalAdvance(line));
    }
    const int lineHeight = fm.height();
    const QMargins inset = insets_ ? insets_() : QMargins();
    const QSize size(textWidth + kSwatch + 3 * kPad, int(lines.size()) * lineHeight + 2 * kPad);
    const QRect corners[] = {
        QRect(QPoint(width() - inset.right() - size.width() - kPad, inset.top() + kPad), size),
        QRect(QPoint(kPad, inset.top() + kPad), size),
        QRect(QPoint(width() - inset.right() - size.width() - kPad,
                     height() - inset.bottom() - size.height() - kPad),
              size)};
    QRect box = corners[0];
    if (coverage_) {
        int least = coverage_(box);
        for (const QRect& other : corners) {
            if (const int hidden = coverage_(other); hidden < least) {
                least = hidden;
                box = other;
            }
        }
    }
    p.fillRect(box, QColor(255, 255, 255, 225));
    int y = box.top() + kPad;
    const qsizetype firstDashed = lines.size() - beforeExpiry_.size();
    for (qsizetype i = 0; i < lines.size(); ++i, y += lineHeight) {
        const qsizetype entry = hidden > 0 ? hidden + i - 1 : i;
        if (i >= firstDashed) {
            const int d = int(i - firstDashed);
            const int mid = y + lineHeight / 2;
            p.setPen(ExpiryCurveLayer::pen(beforeExpiry_[d].color, d, int(beforeExpiry_.size()),
                                           d == highlighted_, 2));
            p.drawLine(box.left() + kPad, mid, box.left() + kPad + kSwatch, mid);
        } else if (entry >= hidden && entry < entries_.size()) {
            const QRect swatch(box.left() + kPad, y + (lineHeight - kSwatch) / 2, kSwatch, kSwatch);
            p.fillRect(swatch, QColor::fromRgb(0xFF000000u | entries_[entry].color));
            p.setPen(Qt::black);
            p.drawRect(swatch);
        }
        p.setPen(Qt::black);
        p.drawText(QRect(box.left() + 2 * kPad + kSwatch, y, textWidth + kPad, lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    }
}

} // namespace workbench
