#include "DiagramWindow.h"

#include "DiagramExport.h"
#include "LastPlot.h"
#include "platform/FailureGuard.h"
#include "platform/Fonts.h"
#include "wqzOptionPayoffs.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace workbench {

namespace {

constexpr int kMargin = 12;
// The analysis never takes more than this share of the window's height.
constexpr double kMostAnalysisShare = 0.4;

} // namespace

DiagramWindow::DiagramWindow(const wqzOptionPayoffs& bench, QWidget* parent)
    : QWidget(parent, Qt::Window), bench_(bench) {
    setObjectName(QStringLiteral("diagramOnly"));
    setWindowTitle(QStringLiteral("Diagram - WQZ Option Payoffs Tutorial"));
    setAccessibleName(QStringLiteral("Diagram only"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 240);
    // Drawn as the plot area is, never waiting: curves being valued stand
    // dimmed until they come.
    connect(&bench.lastPlot(), &LastPlot::changed, this, [this] { update(); });
    connect(&bench, &wqzOptionPayoffs::AnalysisChange, this,
            platform::guarded([this](const QString& text) { setAccessibleDescription(text); }));
    setAccessibleDescription(bench.analysisText());
}

QFont DiagramWindow::analysisType() const {
    // A line of the analysis for every 36 pixels of the window's height:
    // 30 pixels on a 1080-line projector, never smaller than 13.
    QFont type = platform::uiFont(8);
    type.setPixelSize(std::max(13, height() / 36));
    return type;
}

int DiagramWindow::analysisHeight() const {
    const QFontMetrics fm(analysisType());
    const QString& text = bench_.analysisText();
    if (text.isEmpty()) {
        return 0;
    }
    const QRect needed =
        fm.boundingRect(QRect(0, 0, width() - 2 * kMargin, 1 << 20), Qt::TextWordWrap, text);
    return std::min(int(height() * kMostAnalysisShare), needed.height() + 2 * kMargin);
}

QSize DiagramWindow::diagramSize() const {
    return QSize(width(), std::max(1, height() - analysisHeight()));
}

void DiagramWindow::paintEvent(QPaintEvent*) {
    platform::runGuarded([this] {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const QSize size = diagramSize();
        // Never waiting for a valuation: while one runs, the diagram as the
        // plot area shows it meanwhile; the greek curve comes with the values.
        const LastPlot& plot = bench_.lastPlot();
        diagramexport::paint(p, size, plot.diagram(!plot.valuing()));
        p.setFont(analysisType());
        p.setPen(Qt::black);
        p.drawText(QRect(kMargin, size.height() + kMargin, width() - 2 * kMargin,
                         height() - size.height() - 2 * kMargin),
                   Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, bench_.analysisText());
    });
}

void DiagramWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F11) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DiagramWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

} // namespace workbench
