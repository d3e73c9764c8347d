// The Before Expiry panel's volatility: the what-ifs (a shift of every
// option's volatility, and an event after which every option has another)
// and the smile of the volatilities the premiums imply.
#include "BeforeExpiryPanel.h"

#include "SmileChart.h"
#include "platform/FailureGuard.h"
#include "wqzOptionPayoffs.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace workbench {

namespace {

template <typename W>
W* describe(W* w, const char* name, const QString& words, const QString& tip) {
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(words);
    w->setToolTip(tip);
    w->setAccessibleDescription(tip);
    return w;
}

// A shift reads with its sign, "+10" as the legend writes it.
class ShiftBox : public ConfirmedIntBox {
public:
    using ConfirmedIntBox::ConfirmedIntBox;

protected:
    QString textFromValue(int v) const override {
        return (v > 0 ? QStringLiteral("+") : QString()) + ConfirmedIntBox::textFromValue(v);
    }
};

} // namespace

void BeforeExpiryPanel::addWhatIfRows(QFormLayout& form) {
    namespace limits = beforeexpiry::limits;
    const QString shiftTip =
        QStringLiteral(
            "Points added to every option's volatility, the one or each implied one, as a what-if; "
            "never below %1 %")
            .arg(limits::minVolatilityPercent);
    shift_ = describe(new ShiftBox(this), "spnVolatilityShift",
                      QStringLiteral("Volatility shift in points"), shiftTip);
    shift_->setAllowed(int(limits::minVolatilityShiftPoints),
                       int(limits::maxVolatilityShiftPoints));
    shiftSlider_ = describe(new QSlider(Qt::Horizontal, this), "sldVolatilityShift",
                            QStringLiteral("Volatility shift in points"),
                            QStringLiteral("Drag to move every option's volatility; the dashed "
                                           "curves and the greeks follow"));
    shiftSlider_->setRange(int(limits::minVolatilityShiftPoints),
                           int(limits::maxVolatilityShiftPoints));
    shiftSlider_->setPageStep(10);
    shiftSlider_->setTickInterval(10);
    shiftSlider_->setTickPosition(QSlider::TicksBelow);
    eventDays_ =
        describe(new ConfirmedIntBox(this), "spnEventDays", QStringLiteral("Event in days"),
                 QStringLiteral("Days from today to an event, such as an earnings "
                                "announcement; dates on or after it are valued with the "
                                "volatility after it. 0 for none"));
    eventDays_->setSpecialValueText(QStringLiteral("0 (none)"));
    volatilityAfter_ = describe(new ConfirmedNumberBox(this), "spnVolatilityAfter",
                                QStringLiteral("Volatility after the event in percent"),
                                QStringLiteral("Every option's volatility from the event on, "
                                               "moved by the shift as every volatility is"));
    volatilityAfter_->setDecimals(2);
    volatilityAfter_->setAllowed(limits::minVolatilityPercent, limits::maxVolatilityPercent);

    auto* slide = new QWidget(this);
    auto* grid = new QGridLayout(slide);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(shiftSlider_, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QString::number(int(limits::minVolatilityShiftPoints)), slide), 1,
                    0);
    auto* none = new QLabel(QStringLiteral("0"), slide);
    none->setAlignment(Qt::AlignHCenter);
    grid->addWidget(none, 1, 1);
    auto* most = new QLabel(QStringLiteral("+%1").arg(limits::maxVolatilityShiftPoints), slide);
    most->setAlignment(Qt::AlignRight);
    grid->addWidget(most, 1, 2);

    form.addRow(QStringLiteral("Volatility shift (points)"), shift_);
    form.addRow(slide);
    form.addRow(QStringLiteral("Event in (days)"), eventDays_);
    form.addRow(QStringLiteral("Volatility after it (%)"), volatilityAfter_);

    using platform::guarded;
    for (QSpinBox* box : {shift_, eventDays_}) {
        connect(box, &QSpinBox::valueChanged, this, guarded([this] { inputsChanged(); }));
    }
    connect(volatilityAfter_, &QDoubleSpinBox::valueChanged, this,
            guarded([this] { inputsChanged(); }));
    // Every position while it is dragged: the curves follow the hand.
    connect(shiftSlider_, &QSlider::valueChanged, this, guarded([this](int shift) {
                if (shift != shift_->value()) {
                    shift_->setValue(shift);
                }
            }));
}

void BeforeExpiryPanel::showWhatIfs(const beforeexpiry::Inputs& in) {
    const QSignalBlocker blockers[] = {QSignalBlocker(shift_), QSignalBlocker(shiftSlider_),
                                       QSignalBlocker(eventDays_),
                                       QSignalBlocker(volatilityAfter_)};
    shift_->setValue(beforeexpiry::shiftPoints(in.volatilityShift));
    shiftSlider_->setValue(beforeexpiry::shiftPoints(in.volatilityShift));
    eventDays_->setValue(in.eventDays);
    volatilityAfter_->setValue(in.volatilityAfter * 100);
    volatilityAfter_->setEnabled(in.eventDays > 0);
}

void BeforeExpiryPanel::takeWhatIfs(beforeexpiry::Inputs& in) {
    const QString whole = QStringLiteral("whole numbers");
    if (judge(shift_, whole)) {
        in.volatilityShift = shift_->value() / 100.0;
        const QSignalBlocker block(shiftSlider_);
        shiftSlider_->setValue(shift_->value());
    }
    if (judge(eventDays_, whole)) {
        in.eventDays = eventDays_->value();
    }
    if (judge(volatilityAfter_, QStringLiteral("numbers"))) {
        in.volatilityAfter = volatilityAfter_->value() / 100;
    }
    volatilityAfter_->setEnabled(in.eventDays > 0);
}

QWidget* BeforeExpiryPanel::createSmile() {
    auto* box = new QWidget(this);
    smile_ = new SmileChart(box);
    auto* save = describe(new QPushButton(QStringLiteral("Export Smi&le..."), box),
                          "cmdExportSmile", QStringLiteral("Export the smile"),
                          QStringLiteral("Saves the smile as a PNG image or an SVG drawing"));
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(smile_);
    column->addWidget(save, 0, Qt::AlignRight);
    connect(save, &QPushButton::clicked, this, [this] { emit exportSmileAsked(); });
    return box;
}

} // namespace workbench
