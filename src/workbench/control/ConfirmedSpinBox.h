#pragma once

#include <QDoubleSpinBox>
#include <QSpinBox>

#include <algorithm>
#include <type_traits>

namespace workbench {

// A spin box that takes what the student types and lets its owner judge it.
//
// A plain spin box applies every keystroke at once and drops a digit that
// would take it past its range, so that typing 60 passes through 6 and 45
// ends as 4. This one reports a value only when the student confirms it
// (Enter, leaving the box, or an arrow), keeps any number typed, however far
// out of `allowed`, for its owner to refuse visibly, and steps with its
// arrows only within `allowed`.
template <typename Box> class ConfirmedSpinBox : public Box {
public:
    using Value = decltype(std::declval<Box>().value());

    explicit ConfirmedSpinBox(QWidget* parent = nullptr) : Box(parent) {
        this->setKeyboardTracking(false);
    }

    // The range the owner accepts. The box itself takes numbers far beyond
    // it, down to `allowed`'s lower end only when `lowestTyped` says so (a
    // box whose lowest value reads as words).
    void setAllowed(Value least, Value most, bool lowestTyped = false) {
        least_ = least;
        most_ = most;
        constexpr Value kFar = 999999;
        Box::setRange(lowestTyped ? least : std::min<Value>(least, -kFar), std::max(most, kFar));
    }
    bool inAllowed() const { return this->value() >= least_ && this->value() <= most_; }
    Value least() const { return least_; }
    Value most() const { return most_; }
    // A value as the box writes it.
    QString textOf(Value v) const { return this->textFromValue(v); }

    // Writes at least `least` decimals, and further ones only while they are
    // not 0: 63.20, 0.0065.
    void setLeastDecimals(int least) { leastDecimals_ = least; }

    void stepBy(int steps) override {
        this->setValue(
            std::clamp<Value>(this->value() + steps * this->singleStep(), least_, most_));
    }

protected:
    QString textFromValue(Value v) const override {
        QString text = Box::textFromValue(v);
        if constexpr (std::is_floating_point_v<Value>) {
            const QString point = this->locale().decimalPoint();
            const qsizetype at = text.indexOf(point);
            if (leastDecimals_ >= 0 && at >= 0) {
                const qsizetype keep = at + point.size() + leastDecimals_;
                while (text.size() > keep && text.endsWith(u'0')) {
                    text.chop(1);
                }
                if (text.endsWith(point)) {
                    text.chop(point.size());
                }
            }
        }
        return text;
    }

    typename Box::StepEnabled stepEnabled() const override {
        typename Box::StepEnabled enabled = Box::StepNone;
        if (this->value() > least_) {
            enabled |= Box::StepDownEnabled;
        }
        if (this->value() < most_) {
            enabled |= Box::StepUpEnabled;
        }
        return enabled;
    }

private:
    Value least_ = 0;
    Value most_ = 0;
    int leastDecimals_ = -1;
};

using ConfirmedIntBox = ConfirmedSpinBox<QSpinBox>;
using ConfirmedNumberBox = ConfirmedSpinBox<QDoubleSpinBox>;

} // namespace workbench
