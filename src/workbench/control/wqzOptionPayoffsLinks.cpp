// Links that load a position into the workbench: the tutorial pages' and
// those the program writes for a student to hand on.
#include "wqzOptionPayoffs.h"

#include "platform/EventPump.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "workbench/model/LegExpiry.h"
#include "workbench/model/PositionColumns.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>

#include <iterator>

namespace workbench {

namespace col = workbench::columns;

namespace {

// A number of a link's row as a read of the grid writes it back, unless that
// would change it.
QString cellText(float value, const QString& written) {
    static const QRegularExpression trailingZeros(QStringLiteral("\\.?0+$"));
    return platform::numbers::single(platform::numbers::leadingNumber(written)) == value
               ? written
               : QString::number(double(value), 'f', 4).remove(trailingZeros);
}

QList<document::Row> rowsOf(const std::vector<links::Row>& rows) {
    using platform::numbers::format;
    QList<document::Row> shown;
    for (const links::Row& row : rows) {
        document::Row cells;
        cells[col::CallQty] = QStringLiteral("0");
        cells[col::PutQty] = QStringLiteral("0");
        cells[col::Strike] =
            row.strike ? cellText(*row.strike, col::strikeText(*row.strike)) : QString();
        cells[col::CallPrice] = cellText(row.call, format(row.call, col::premiumFormat));
        cells[col::PutPrice] = cellText(row.put, format(row.put, col::premiumFormat));
        shown << cells;
    }
    return shown;
}

} // namespace

// Plots the position alone in `range` as it stands, or re-scaled in the
// range boxes without one.
void wqzOptionPayoffs::plotIn(const std::optional<links::Range>& range) {
    using platform::numbers::format;
    if (const std::optional<links::Range>& r = range) {
        // Drawn in the range the link was written with, alone.
        const float boxes[] = {r->top, r->bottom, r->from, r->to};
        for (std::size_t i = 0; i < std::size(boxes); ++i) {
            Text1[i]->setText(cellText(boxes[i], format(boxes[i], u"######0")));
        }
        plot_->clear();
        plot(Scale::Keep);
    } else {
        PlotIt(platform::vbTrue);
    }
}

void wqzOptionPayoffs::followLink(const links::Load& load) {
    const LastPlot::Change change(*plot_);
    recordTyping();
    // What a link brings is a new position, tied to no file: the file the
    // student had open keeps what it holds, and a later save asks where to.
    // One undo gives back the position and its file name together.
    const std::optional<QString> untiedFrom =
        documentName_.isEmpty() ? std::nullopt : std::optional(documentName_);
    using platform::numbers::format;
    applyMarket(load.market);
    plotType[load.diagram == payoff::profitDiagram ? 1 : 0]->setChecked(true);
    if (!load.strategy.isEmpty()) {
        cmbStandard->setCurrentIndex(cmbStandard->findText(load.strategy));
        loadStrategy(untiedFrom, load.range);
        return;
    }
    // A link the program wrote brings its own rows: its legs are on them.
    if (load.rows) {
        showRows(rowsOf(*load.rows));
    }
    startAfresh();
    links::holdLegs(load.legs, position_);
    txtUnderlyingQty->setText(format(position_.underlyingQty, col::quantityFormat));
    // Only the link's own rows give a leg days of its own: on the grid's
    // rows every leg takes the panel's.
    for (int r = 1; r <= position_.rowCount(); ++r) {
        const links::Row* row =
            load.rows && r <= int(load.rows->size()) ? &(*load.rows)[std::size_t(r - 1)] : nullptr;
        position_.callDays[std::size_t(r)] = row ? row->callDays : 0;
        position_.putDays[std::size_t(r)] = row ? row->putDays : 0;
        Grid1->setTextMatrix(
            r, col::CallQty,
            legexpiry::quantityText(position_.callQty[r], position_.callDays[std::size_t(r)]));
        Grid1->setTextMatrix(
            r, col::PutQty,
            legexpiry::quantityText(position_.putQty[r], position_.putDays[std::size_t(r)]));
    }
    plotIn(load.range);
    recordChange(QStringLiteral("Try It"), untiedFrom);
    platform::eventPump().doEvents();
}

} // namespace workbench
