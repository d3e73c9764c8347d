// Links from the tutorial pages that load a position into the workbench.
#include "wqzOptionPayoffs.h"

#include "platform/EventPump.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "workbench/model/PositionColumns.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace workbench {

namespace col = workbench::columns;

void wqzOptionPayoffs::followLink(const links::Load& load) {
    using platform::numbers::format;
    recordTyping();
    applyMarket(load.market);
    plotType[load.diagram == payoff::profitDiagram ? 1 : 0]->setChecked(true);
    if (!load.strategy.isEmpty()) {
        cmbStandard->setCurrentIndex(cmbStandard->findText(load.strategy));
        cmbStandard_Click();
        return;
    }
    startAfresh();
    for (const links::Leg& leg : load.legs) {
        if (leg.kind == links::Leg::Kind::Underlying) {
            position_.underlyingQty = leg.quantity;
        } else if (leg.row <= position_.rowCount()) {
            (leg.kind == links::Leg::Kind::Call ? position_.callQty : position_.putQty)[leg.row] =
                leg.quantity;
        }
    }
    txtUnderlyingQty->setText(format(position_.underlyingQty, col::quantityFormat));
    for (int r = 1; r <= position_.rowCount(); ++r) {
        Grid1->setTextMatrix(r, col::CallQty, format(position_.callQty[r], col::quantityFormat));
        Grid1->setTextMatrix(r, col::PutQty, format(position_.putQty[r], col::quantityFormat));
    }
    PlotIt(platform::vbTrue);
    recordChange(QStringLiteral("Try It"));
    platform::eventPump().doEvents();
}

} // namespace workbench
