// Today's price of the underlying and the trading costs: the boxes under the
// underlying's caption, and what a change of them does.
#include "wqzOptionPayoffs.h"

#include "platform/Dialogs.h"
#include "platform/FailureGuard.h"
#include "platform/Numbers.h"
#include "platform/PictureBox.h"
#include "workbench/model/PositionAnalysis.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <cmath>

namespace workbench {

namespace {

ConfirmedNumberBox* numberBox(QWidget* parent, const QString& name, double least, double most) {
    auto* box = new ConfirmedNumberBox(parent);
    box->setObjectName(name);
    box->setDecimals(market::decimals);
    box->setLeastDecimals(2);
    box->setAllowed(least, most);
    box->setSingleStep(0.01);
    box->setAccelerated(true);
    box->setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    return box;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

void wqzOptionPayoffs::createMarketControls() {
    lblUnderlyingPrice =
        label(this, QStringLiteral("lblUnderlyingPrice"), QStringLiteral("Price today"));
    txtUnderlyingPrice = numberBox(this, QStringLiteral("txtUnderlyingPrice"), market::leastPrice,
                                   market::mostPrice);
    lblCostPerOption =
        label(this, QStringLiteral("lblCostPerOption"), QStringLiteral("Costs: option"));
    txtCostPerOption = numberBox(this, QStringLiteral("txtCostPerOption"), 0, market::mostCost);
    lblCostPerUnit = label(this, QStringLiteral("lblCostPerUnit"), QStringLiteral("unit"));
    txtCostPerUnit = numberBox(this, QStringLiteral("txtCostPerUnit"), 0, market::mostCost);
    // The costs are small figures: their boxes keep their room for digits.
    for (ConfirmedNumberBox* box : {txtCostPerOption, txtCostPerUnit}) {
        box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    }
    for (ConfirmedNumberBox* box : {txtUnderlyingPrice, txtCostPerOption, txtCostPerUnit}) {
        // Enter, an arrow or leaving the box confirms; each keystroke only
        // marks the analysis as describing another position.
        connect(box, &QDoubleSpinBox::valueChanged, this,
                platform::guarded([this, box] { marketBoxConfirmed(box); }));
        // The box tells of no keystroke while it waits for a confirmation;
        // its text line does.
        connect(box->findChild<QLineEdit*>(), &QLineEdit::textEdited, this,
                [this] { scheduleStaleCheck(); });
    }
    showMarketBoxes();
}

void wqzOptionPayoffs::showPriceCaption() {
    // As the box writes it where that fits with a space to spare, else
    // without its trailing zeros: never rounded, for the caption names the
    // very price in force.
    QString price = txtUnderlyingPrice->textOf(position_.underlyingPrice);
    const QFontMetrics fm(Label1[0]->font());
    if (fm.horizontalAdvance(QStringLiteral("Underlying Price: ") + price + u' ') >
            Label1[0]->contentsRect().width() &&
        price.contains(u'.')) {
        while (price.endsWith(u'0')) {
            price.chop(1);
        }
        if (price.endsWith(u'.')) {
            price.chop(1);
        }
    }
    Label1[0]->setText(QStringLiteral("Underlying Price: ") + price);
    Label1[0]->setAccessibleName(QStringLiteral("Underlying price ") + price);
    plot_->setTodayPrice(position_.underlyingPrice);
}

void wqzOptionPayoffs::showMarketBoxes() {
    const QSignalBlocker price(txtUnderlyingPrice);
    const QSignalBlocker perOption(txtCostPerOption);
    const QSignalBlocker perUnit(txtCostPerUnit);
    txtUnderlyingPrice->setValue(position_.underlyingPrice);
    txtCostPerOption->setValue(position_.costPerOption);
    txtCostPerUnit->setValue(position_.costPerUnit);
    showPriceCaption();
}

bool wqzOptionPayoffs::marketTyped() const {
    const std::array<std::pair<const ConfirmedNumberBox*, float>, 3> boxes = {
        {{txtUnderlyingPrice, position_.underlyingPrice},
         {txtCostPerOption, position_.costPerOption},
         {txtCostPerUnit, position_.costPerUnit}}};
    for (const auto& [box, value] : boxes) {
        if (box->text() != box->textOf(value)) {
            return true;
        }
    }
    return false;
}

// A value confirmed in one of the boxes: applied, plotted and made one step
// to undo; a value outside the box's range is refused with a message and the
// box shows what is in force again.
void wqzOptionPayoffs::marketBoxConfirmed(ConfirmedNumberBox* box) {
    // A step that comes in while the last one is being plotted (the plot's
    // pass over the events waiting takes the next repeat of a held arrow)
    // waits for it: taken in the middle, it finds the last curve not yet
    // marked plotted and draws its own over it rather than in its place.
    if (plotting_) {
        QMetaObject::invokeMethod(
            this, [this, box] { platform::runGuarded([&] { marketBoxConfirmed(box); }); },
            Qt::QueuedConnection);
        return;
    }
    const LastPlot::Change change(*plot_);
    float& held = box == txtUnderlyingPrice ? position_.underlyingPrice
                  : box == txtCostPerOption ? position_.costPerOption
                                            : position_.costPerUnit;
    if (!box->inAllowed()) {
        const QString what = box == txtUnderlyingPrice
                                 ? QStringLiteral("Today's price must be above 0 and at most %1.")
                                       .arg(box->textOf(box->most()))
                                 : QStringLiteral("A cost must be 0 or more, and at most %1.")
                                       .arg(box->textOf(box->most()));
        showMarketBoxes();
        platform::dialogs().msgBox(what, platform::Dialogs::Buttons::Ok,
                                   platform::Dialogs::Icon::Exclamation);
        return;
    }
    const float value = platform::numbers::single(box->value());
    if (value == held) {
        showMarketBoxes();
        return;
    }
    // What was typed before is its own step; the change is the next one.
    const ShownPosition before = shown();
    recordChange(QStringLiteral("Typing"), std::nullopt, before);
    // The market moves under the curve last drawn: while the grid still
    // shows its position, the new curve takes its place rather than
    // piling up over it at every step of a held arrow.
    if (plot_->curve() && plotted_ && before.samePosition(*plotted_)) {
        plot_->removeLastDrawn();
    }
    held = value;
    showMarketBoxes();
    // Prices centred afresh want a vertical range chosen for them too.
    if (box == txtUnderlyingPrice && offerToCentre(value)) {
        if (readPosition() >= 0) {
            plot(Scale::Auto);
        }
    } else {
        cmdPlot_Click();
    }
    recordChange(box == txtUnderlyingPrice ? QStringLiteral("Price") : QStringLiteral("Costs"));
}

// A price outside the diagram's price range: offers to centre the range on
// it; true when the student took the offer. Declined, the offer is not made
// again for the same range while the price stays outside it, so that a held
// arrow does not ask at every step.
bool wqzOptionPayoffs::offerToCentre(float price) {
    using platform::numbers::leadingNumber;
    using platform::numbers::single;
    const payoff::PriceRange range = payoff::priceRange(single(leadingNumber(Text1[2]->text())),
                                                        single(leadingNumber(Text1[3]->text())));
    if (price >= range.xmin && price <= range.xmax) {
        centreDeclined_.reset();
        return false;
    }
    if (centreDeclined_ == std::pair(range.xmin, range.xmax)) {
        return false;
    }
    const int reply = platform::dialogs().msgBox(
        QStringLiteral("Today's price, %1, lies outside the diagram's prices (%2 to %3). Do you "
                       "want to centre the prices on it?")
            .arg(txtUnderlyingPrice->textOf(price), Text1[2]->text(), Text1[3]->text()),
        platform::Dialogs::Buttons::YesNoDefaultNo, platform::Dialogs::Icon::Question);
    if (reply != platform::Dialogs::answerYes) {
        centreDeclined_ = std::pair(range.xmin, range.xmax);
        return false;
    }
    // The same width as now, about the price in whole numbers, never below
    // 0; the vertical range is chosen afresh for it.
    const double width = double(range.xmax) - double(range.xmin);
    const double from = std::max(0.0, std::round(double(price) - width / 2));
    Text1[2]->setText(platform::numbers::format(from, u"######0"));
    Text1[3]->setText(platform::numbers::format(from + std::round(width), u"######0"));
    return true;
}

void wqzOptionPayoffs::startingMarket() {
    const LastPlot::Change change(*plot_);
    recordTyping();
    if (position_.underlyingPrice == startingPrice && position_.costPerOption == 0 &&
        position_.costPerUnit == 0) {
        showMarketBoxes();
        return;
    }
    // As a confirmed box does: the new curve takes the place of the last
    // one while the grid still shows its position.
    if (plot_->curve() && plotted_ && shown().samePosition(*plotted_)) {
        plot_->removeLastDrawn();
    }
    links::applyPrice({}, position_);
    showMarketBoxes();
    if (offerToCentre(startingPrice)) {
        if (readPosition() >= 0) {
            plot(Scale::Auto);
        }
    } else {
        cmdPlot_Click();
    }
    recordChange(QStringLiteral("Starting Market"));
}

void wqzOptionPayoffs::applyMarket(const links::Market& market) {
    links::applyPrice(market, position_);
    showMarketBoxes();
    if (const beforeexpiry::Inputs in = links::inputsAfter(market, plot_->inputs());
        !(in == plot_->inputs())) {
        plot_->setInputs(in);
        emit BeforeExpiryChange();
    }
}

} // namespace workbench
