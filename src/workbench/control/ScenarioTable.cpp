#include "ScenarioTable.h"

#include "ScenarioText.h"
#include "platform/Clipboard.h"
#include "platform/FailureGuard.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace workbench {

namespace {

// The ends of the shading: light enough that black text reads on either.
const QColor kLoss(236, 112, 112);
const QColor kGain(112, 200, 124);
const QColor kInk(Qt::black);
const QColor kInkAsLastPlotted(128, 128, 128);

// White for 0, the full end colour for the largest value either way.
QColor shade(double value, double largest) {
    const double t = largest > 0 ? std::clamp(value / largest, -1.0, 1.0) : 0.0;
    const QColor& end = t < 0 ? kLoss : kGain;
    const double a = std::abs(t);
    const auto mix = [a](int to) { return int(std::lround(255 + (to - 255) * a)); };
    return QColor(mix(end.red()), mix(end.green()), mix(end.blue()));
}

double largestValue(const scenarios::Table& t) {
    double largest = 0;
    for (const std::vector<double>& row : t.values) {
        for (const double v : row) {
            if (std::isfinite(v)) {
                largest = std::max(largest, std::abs(v));
            }
        }
    }
    return largest;
}

// The price beside its marks: today's row and the break-even rows.
QString rowHeader(const scenarios::Table& t, int row) {
    QString marks;
    if (row == t.todayRow) {
        marks += scenariotext::kTodayMark;
    }
    if (t.isBreakEven(row)) {
        marks += scenariotext::kBreakEvenMark;
    }
    const QString price = scenariotext::priceText(t, row);
    return marks.isEmpty() ? price : marks + u' ' + price;
}

void describe(QTableWidgetItem* item, const QString& words) {
    item->setToolTip(words);
    item->setData(Qt::AccessibleDescriptionRole, words);
}

} // namespace

ScenarioTable::ScenarioTable(platform::Clipboard& clipboard, QWidget* parent)
    : QTableWidget(parent), clipboard_(clipboard) {
    setObjectName(QStringLiteral("grdScenarios"));
    setAccessibleName(QStringLiteral("Scenarios"));
    setToolTip(QStringLiteral("The last curve at each price with the days left; Ctrl+C copies "
                              "the whole table"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    showNothing();
}

void ScenarioTable::showNothing() {
    table_.reset();
    asLastPlotted_ = false;
    clear();
    setRowCount(0);
    setColumnCount(0);
    setAccessibleDescription(scenariotext::kNoCurve);
    updateGeometry();
}

void ScenarioTable::showTable(const scenarios::Table& table, payoff::DiagramKind kind,
                              bool asLastPlotted) {
    table_ = table;
    kind_ = kind;
    asLastPlotted_ = asLastPlotted;
    const int rows = int(table.prices.size());
    const int columns = rows > 0 ? int(table.daysLeft.size()) : 0;
    clear();
    setRowCount(rows);
    setColumnCount(columns);
    const double largest = largestValue(table);
    const QColor& ink = asLastPlotted ? kInkAsLastPlotted : kInk;
    for (int c = 0; c < columns; ++c) {
        auto* head = new QTableWidgetItem(scenariotext::columnHeader(table, c));
        describe(head, scenariotext::columnTitle(table, kind, c));
        setHorizontalHeaderItem(c, head);
    }
    for (int r = 0; r < rows; ++r) {
        const QString why = scenariotext::rowNote(table, r);
        const bool marked = !why.isEmpty();
        auto* head = new QTableWidgetItem(rowHeader(table, r));
        QFont face = font();
        face.setBold(marked);
        head->setFont(face);
        describe(head, marked ? scenariotext::priceText(table, r) + QStringLiteral(": ") + why
                              : scenariotext::priceText(table, r));
        setVerticalHeaderItem(r, head);
        for (int c = 0; c < columns; ++c) {
            const double value = table.value(r, c);
            auto* cell = new QTableWidgetItem(scenariotext::valueText(value));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            cell->setFont(face);
            cell->setForeground(ink);
            if (std::isfinite(value)) {
                cell->setBackground(shade(value, largest));
            }
            const QString words = scenariotext::cellText(table, kind, r, c);
            describe(cell, marked ? words + QStringLiteral(" (") + why + u')' : words);
            setItem(r, c, cell);
        }
    }
    // Rows as tall as their text, so that most of the table is in sight.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    resizeColumnsToContents();
    setAccessibleDescription(scenariotext::note(table, kind));
    updateGeometry();
}

void ScenarioTable::copy() {
    if (table_ && !table_->prices.empty()) {
        clipboard_.setText(scenariotext::tabSeparated(*table_, kind_));
    }
}

QSize ScenarioTable::sizeHint() const {
    const QSize base = QTableWidget::sizeHint();
    if (rowCount() == 0) {
        return base;
    }
    // Every column and every row in sight, where the panel has the room.
    const int frame = 2 * frameWidth();
    const int width = frame + verticalHeader()->sizeHint().width() + horizontalHeader()->length() +
                      verticalScrollBar()->sizeHint().width();
    const int height = frame + horizontalHeader()->sizeHint().height() + verticalHeader()->length();
    return {std::max(width, base.width()), std::max(height, base.height())};
}

void ScenarioTable::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && table_) {
        const scenarios::Table shown = *table_;
        showTable(shown, kind_, asLastPlotted_);
    }
}

void ScenarioTable::keyPressEvent(QKeyEvent* event) {
    // The view's own copy would take one cell, past the program's clipboard.
    if (event->matches(QKeySequence::Copy)) {
        platform::runGuarded([this] { copy(); });
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

} // namespace workbench
