// Where the workbench's controls lie at its design size, how they follow when
// the control is given more room, the order Tab takes them in, and their
// registration with the display scaling.
#include "wqzOptionPayoffs.h"

#include "display/wqzSetDisplay.h"
#include "platform/FailureGuard.h"
#include "platform/FlexGrid.h"
#include "platform/LineControl.h"
#include "platform/PictureBox.h"
#include "platform/SwatchBox.h"
#include "platform/Twips.h"
#include "workbench/model/PositionColumns.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>
#include <initializer_list>

namespace workbench {

namespace {

namespace twips = platform::twips;

namespace col = workbench::columns;

// The position grid's design place, with five columns side by side inside
// its frame.
constexpr twips::Rect kGridRect{30, 4345, 5025, 1605};
constexpr int kGridColWidth = 990;

} // namespace

void wqzOptionPayoffs::fitGridColumns() {
    // The columns share the grid's width as designed, so at the large display
    // they grow with the grid and its font, and the headings stay whole.
    const int width = twips::geometry(Grid1).width;
    int colWidth = int(std::int64_t(kGridColWidth) * width / kGridRect.width);
    // More rows than the grid shows bring a scroll bar, which takes its room
    // from the columns rather than hiding the last of them.
    int rowsHeight = 0;
    for (int r = 0; r < Grid1->Rows(); ++r) {
        rowsHeight += Grid1->rowHeight(r);
    }
    const int inside = Grid1->height() - 2 * Grid1->frameWidth();
    if (rowsHeight > inside) {
        const int room = Grid1->width() - 2 * Grid1->frameWidth() -
                         Grid1->verticalScrollBar()->sizeHint().width();
        colWidth = std::min(colWidth, twips::fromPixels(room / col::count));
    }
    for (int c = 0; c < col::count; ++c) {
        Grid1->setColWidth(c, colWidth);
    }
}

void wqzOptionPayoffs::placeControls() {
    using R = twips::Rect;
    // The plot area gives up a little height to the row of the greek curve,
    // which belongs with the diagram, above the line.
    twips::setGeometry(pbox, R{650, 0, 4375, 2340});
    twips::setGeometry(Text1[0], R{0, 0, 600, 285});
    twips::setGeometry(Text1[1], R{0, 2010, 600, 285});
    twips::setGeometry(Text1[2], R{650, 2370, 615, 285});
    twips::setGeometry(Text1[3], R{4400, 2370, 615, 285});
    twips::setGeometry(pColor[0], R{1320, 2400, 255, 255});
    twips::setGeometry(lblGreek, R{650, 2730, 1080, 255});
    twips::setGeometry(cmbGreek, R{1740, 2700, 1110, 300});
    Line1->setEndPoints(0, 3030, 5040, 3030);
    twips::setGeometry(scdown[1], R{75, 3080, 360, 255});
    twips::setGeometry(scdown[0], R{75, 3350, 360, 255});
    twips::setGeometry(lblOption, R{450, 3225, 1035, 255});
    twips::setGeometry(scup[1], R{1500, 3080, 360, 255});
    twips::setGeometry(scup[0], R{1500, 3350, 360, 255});
    // "Payoff Diagram" and the price label beside it get the room of their
    // text and a space at both displays, or the two read as one.
    twips::setGeometry(plotType[0], R{1920, 3100, 1485, 210});
    twips::setGeometry(plotType[1], R{1920, 3375, 1425, 210});
    // The caption shows the price in force, so it takes the room to the
    // control's edge, in line with the quantity's label under it.
    twips::setGeometry(Label1[0], R{3405, 3105, 1725, 255});
    twips::setGeometry(Label1[1], R{3345, 3375, 1200, 255});
    twips::setGeometry(txtUnderlyingQty, R{4530, 3350, 525, 285});
    // Today's price under the underlying's quantity, the costs beside it.
    twips::setGeometry(lblCostPerOption, R{75, 3695, 1080, 255});
    twips::setGeometry(txtCostPerOption, R{1155, 3665, 645, 285});
    twips::setGeometry(lblCostPerUnit, R{1860, 3695, 420, 255});
    twips::setGeometry(txtCostPerUnit, R{2280, 3665, 645, 285});
    twips::setGeometry(lblUnderlyingPrice, R{3090, 3695, 1080, 255});
    twips::setGeometry(txtUnderlyingPrice, R{4170, 3665, 885, 285});
    twips::setGeometry(cmdPlot, R{75, 3995, 850, 285});
    twips::setGeometry(cmdRestart, R{975, 3995, 850, 285});
    twips::setGeometry(cmdClear, R{1875, 3995, 850, 285});
    twips::setGeometry(cmbStandard, R{2760, 4000, 2295, 315});
    twips::setGeometry(Grid1, kGridRect);
    // Given more room than its own size, the plot area takes it all: its
    // lower range boxes, swatches and greek row follow its bottom edge, the
    // right range box its corner, and everything below moves down together,
    // the line and the position grid widening with the column.
    using F = GrowingPlaces::Follow;
    places_.add(pbox, F::Grows);
    places_.add(Text1[1], F::Down);
    places_.add(Text1[2], F::Down);
    places_.add(Text1[3], F::DownRight);
    places_.add(Line1, F::DownWidens);
    places_.add(Grid1, F::DownWidens);
    for (QWidget* below :
         std::initializer_list<QWidget*>{lblGreek,         cmbGreek,           scdown[0],
                                         scdown[1],        lblOption,          scup[0],
                                         scup[1],          plotType[0],        plotType[1],
                                         Label1[0],        Label1[1],          txtUnderlyingQty,
                                         lblCostPerOption, txtCostPerOption,   lblCostPerUnit,
                                         txtCostPerUnit,   lblUnderlyingPrice, txtUnderlyingPrice,
                                         cmdPlot,          cmdRestart,         cmdClear,
                                         cmbStandard}) {
        places_.add(below, F::Down);
    }

    // Focusable controls in the designed tab order; labels, the swatches and
    // the line take no focus.
    QWidget* chain[] = {pbox, Text1[0], Text1[1], Text1[2], Text1[3], cmbGreek, scdown[1], scup[1],
                        scdown[0], scup[0], plotType[0], plotType[1], txtUnderlyingQty,
                        txtCostPerOption, txtCostPerUnit,
                        // Today's price stands to the right of the costs, on their row.
                        txtUnderlyingPrice, cmdPlot, cmdRestart, cmbStandard, cmdClear, Grid1};
    for (std::size_t i = 1; i < std::size(chain); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }
}

void wqzOptionPayoffs::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    platform::runGuarded([this] {
        if (places_.follow(size())) {
            fitGridColumns();
        }
    });
}

void wqzOptionPayoffs::registerWithDisplay() {
    // Every child control, the swatches made at run time last.
    QObject* children[] = {pbox,
                           Text1[0],
                           Text1[1],
                           Text1[2],
                           Text1[3],
                           pColor[0],
                           Line1,
                           scdown[1],
                           scdown[0],
                           lblOption,
                           scup[1],
                           scup[0],
                           plotType[0],
                           plotType[1],
                           Label1[0],
                           Label1[1],
                           txtUnderlyingQty,
                           cmdPlot,
                           cmdRestart,
                           cmdClear,
                           cmbStandard,
                           Grid1,
                           lblUnderlyingPrice,
                           txtUnderlyingPrice,
                           lblCostPerOption,
                           txtCostPerOption,
                           lblCostPerUnit,
                           txtCostPerUnit,
                           lblGreek,
                           cmbGreek};
    const std::int16_t n = std::int16_t(std::size(children) + swatchCount - 1);
    setDisplay = std::make_unique<display::wqzSetDisplay>();
    setDisplay->Initialize(ucWidth, ucHeight, n);
    std::int16_t i = 0;
    for (QObject* child : children) {
        setDisplay->SetUpDisplay(i++, child);
    }
    for (int s = 1; s < swatchCount; ++s) {
        setDisplay->SetUpDisplay(i++, pColor[s]);
    }
    for (platform::SwatchBox* swatch : pColor) {
        places_.add(swatch, GrowingPlaces::Follow::Down);
    }
}

} // namespace workbench
