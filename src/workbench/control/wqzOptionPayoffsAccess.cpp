// What each control is called and what it does, for tooltips and screen
// readers, and the curve colours by name for the keyboard's menu.
#include "wqzOptionPayoffs.h"

#include "platform/FlexGrid.h"
#include "platform/Palette.h"
#include "platform/PictureBox.h"
#include "platform/ScreenReaderLabel.h"
#include "platform/SwatchBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

namespace workbench {

namespace {

void describe(QWidget* w, const QString& name, const QString& does) {
    w->setAccessibleName(name);
    w->setAccessibleDescription(does);
    w->setToolTip(does);
}

} // namespace

QString wqzOptionPayoffs::swatchName(int index) const {
    static const char* const names[16] = {"Black", "Navy",    "Green",  "Teal", "Maroon", "Purple",
                                          "Olive", "Silver",  "Grey",   "Blue", "Lime",   "Aqua",
                                          "Red",   "Fuchsia", "Yellow", "White"};
    const platform::Rgb color = pColor[std::size_t(index)]->color();
    for (int p = 0; p < 16; ++p) {
        if (platform::paletteColor(p) == color) {
            return QString::fromLatin1(names[p]);
        }
    }
    return QStringLiteral("#%1").arg(color, 6, 16, QLatin1Char('0'));
}

void wqzOptionPayoffs::chooseColor(int index) {
    pColor_Click(index);
}

void wqzOptionPayoffs::describeControls() {
    describe(pbox, QStringLiteral("Diagram"),
             QStringLiteral("The payoff or profit diagram: the underlying's price across, the "
                            "value up. Ctrl+C copies it."));
    describe(Text1[0], QStringLiteral("Highest value shown"),
             QStringLiteral("The value at the top of the diagram"));
    describe(Text1[1], QStringLiteral("Lowest value shown"),
             QStringLiteral("The value at the bottom of the diagram"));
    describe(Text1[2], QStringLiteral("Lowest price shown"),
             QStringLiteral("The underlying's price at the left edge of the diagram"));
    describe(Text1[3], QStringLiteral("Highest price shown"),
             QStringLiteral("The underlying's price at the right edge of the diagram"));
    for (int i = 0; i < swatchCount; ++i) {
        describe(pColor[std::size_t(i)], QStringLiteral("Curve colour ") + swatchName(i),
                 QStringLiteral("Draws the next curve in %1 (also under Options > Curve Colour)")
                     .arg(swatchName(i).toLower()));
    }
    const QString steps = QStringLiteral(
        "%1 the quantity named between the step buttons by %2, and plots the position");
    describe(scdown[1], QStringLiteral("Step down by 1"),
             steps.arg(QStringLiteral("Lowers"), u"1"));
    describe(scdown[0], QStringLiteral("Step down by 0.1"),
             steps.arg(QStringLiteral("Lowers"), u"0.1"));
    describe(scup[0], QStringLiteral("Step up by 0.1"),
             steps.arg(QStringLiteral("Raises"), u"0.1"));
    describe(scup[1], QStringLiteral("Step up by 1"), steps.arg(QStringLiteral("Raises"), u"1"));
    describe(lblOption, QStringLiteral("Quantity the steps change"),
             QStringLiteral("The call or put (by strike) or the underlying whose quantity the step "
                            "buttons change; click a quantity in the grid to choose it"));
    describe(plotType[0], QStringLiteral("Payoff Diagram"),
             QStringLiteral("Shows what the position is worth at expiry"));
    describe(plotType[1], QStringLiteral("Profit Diagram"),
             QStringLiteral("Shows what the position is worth at expiry less what it cost"));
    describe(Label1[0], QStringLiteral("Underlying price 50.00"),
             QStringLiteral("The underlying's price in force; click to let the steps change the "
                            "underlying's quantity"));
    describe(txtUnderlyingPrice, QStringLiteral("Price today"),
             QStringLiteral("Today's price of the underlying: what it is bought or sold at and "
                            "what the options are valued from. Enter or an arrow plots it"));
    describe(txtCostPerOption, QStringLiteral("Cost per option"),
             QStringLiteral("What trading costs for each option bought or written; the profit "
                            "diagram takes it off"));
    describe(txtCostPerUnit, QStringLiteral("Cost per unit of the underlying"),
             QStringLiteral("What trading costs for each unit of the underlying bought or sold; "
                            "the profit diagram takes it off"));
    describe(cmbGreek, QStringLiteral("Greek curve"),
             QStringLiteral("Draws the chosen greek of the whole position with the days left "
                            "shown, dotted in the curve's colour, on its own scale at the right "
                            "of the diagram"));
    // Each label names its box to a screen reader and says the same.
    for (auto [label, box] : {std::pair<QLabel*, QWidget*>{lblUnderlyingPrice, txtUnderlyingPrice},
                              {lblCostPerOption, txtCostPerOption},
                              {lblCostPerUnit, txtCostPerUnit},
                              {lblGreek, cmbGreek}}) {
        label->setBuddy(box);
        describe(label, box->accessibleName(), box->accessibleDescription());
    }
    describe(Label1[1], QStringLiteral("Underlying quantity"),
             QStringLiteral("Click to let the steps change the underlying's quantity"));
    describe(txtUnderlyingQty, QStringLiteral("Underlying quantity"),
             QStringLiteral("Units of the underlying held; below 0 for a short sale"));
    describe(cmdPlot, QStringLiteral("Plot"),
             QStringLiteral("Reads the position and draws its curve over the diagram"));
    describe(cmdRestart, QStringLiteral("Restart"),
             QStringLiteral("Sets every quantity to 0 and clears the diagram (Edit > Undo "
                            "brings them back)"));
    describe(cmdClear, QStringLiteral("Clear"),
             QStringLiteral("Erases every curve from the diagram; the position stays"));
    describe(cmbStandard, QStringLiteral("Strategy"),
             QStringLiteral("Loads a textbook strategy's quantities and plots it"));
    platform::labelForScreenReaders(cmbStandard, cmbStandard->accessibleName());
    describe(Grid1, QStringLiteral("Position"),
             QStringLiteral("Calls and puts by strike: type quantities and press Enter; Ctrl+V "
                            "pastes a quote table"));
}

} // namespace workbench
