// The Before Expiry panel's dates: the slider that moves the days left shown
// and the more dates drawn beside it.
#include "BeforeExpiryPanel.h"

#include "platform/FailureGuard.h"
#include "platform/Fonts.h"
#include "wqzOptionPayoffs.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSlider>

#include <utility>

#include <algorithm>
#include <functional>
#include <optional>

namespace workbench {

namespace {

QString datesText(const std::vector<int>& days) {
    QStringList texts;
    for (const int d : days) {
        texts << QString::number(d);
    }
    return texts.join(QStringLiteral(", "));
}

// Whole numbers from 1 to the days to expiry, separated by commas or spaces,
// at most as many as the diagram draws besides the days left; nothing when
// the text is not such a list.
std::optional<std::vector<int>> readDates(const QString& text, int daysToday) {
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    std::vector<int> days;
    for (const QString& word : text.split(separators, Qt::SkipEmptyParts)) {
        bool whole = false;
        const int d = word.toInt(&whole);
        if (!whole || d < 1 || d > daysToday) {
            return std::nullopt;
        }
        if (std::find(days.cbegin(), days.cend(), d) == days.cend()) {
            days.push_back(d);
        }
    }
    if (int(days.size()) > beforeexpiry::limits::maxMoreDates) {
        return std::nullopt;
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}

QString moreDatesTip() {
    return QStringLiteral(
               "Up to %1 more days left, separated by commas, each drawn as a paler dashed curve")
        .arg(beforeexpiry::limits::maxMoreDates);
}

} // namespace

QWidget* BeforeExpiryPanel::createDateControls() {
    auto* dates = new QWidget(this);
    const QString slide = QStringLiteral(
        "Drag to move the highlighted curve from today to expiry; its greeks follow");
    slider_ = new QSlider(Qt::Horizontal, dates);
    slider_->setObjectName(QStringLiteral("sldDaysLeft"));
    slider_->setAccessibleName(QStringLiteral("Days left shown"));
    slider_->setToolTip(slide);
    slider_->setAccessibleDescription(slide);
    // Time runs left to right: today at the left, expiry at the right.
    slider_->setInvertedAppearance(true);
    slider_->setTickPosition(QSlider::TicksBelow);
    auto* today = new QLabel(QStringLiteral("Today"), dates);
    auto* expiry = new QLabel(QStringLiteral("Expiry"), dates);
    expiry->setAlignment(Qt::AlignRight);

    const QString more = moreDatesTip();
    moreDates_ = new QLineEdit(dates);
    moreDates_->setObjectName(QStringLiteral("txtMoreDates"));
    moreDates_->setAccessibleName(QStringLiteral("More dates, in days left"));
    moreDates_->setToolTip(more);
    moreDates_->setAccessibleDescription(more);
    moreDates_->setPlaceholderText(QStringLiteral("e.g. 20, 10"));
    auto* moreLabel = new QLabel(QStringLiteral("&More dates"), dates);
    moreLabel->setBuddy(moreDates_);
    evenly_ = new QPushButton(QStringLiteral("E&venly spaced"), dates);
    evenly_->setObjectName(QStringLiteral("cmdEvenlySpaced"));
    evenly_->setAccessibleName(QStringLiteral("Evenly spaced dates"));
    const QString spaced =
        QStringLiteral("Curves today, two thirds and one third of the way to expiry");
    evenly_->setToolTip(spaced);
    evenly_->setAccessibleDescription(spaced);

    auto* grid = new QGridLayout(dates);
    grid->setObjectName(QStringLiteral("datesGrid"));
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(slider_, 0, 0, 1, 3);
    grid->addWidget(today, 1, 0);
    grid->addWidget(expiry, 1, 2);
    grid->addWidget(moreLabel, 2, 0);
    grid->addWidget(moreDates_, 2, 1, 1, 2);
    grid->addWidget(evenly_, 3, 1, 1, 2);

    using platform::guarded;
    // Every position of the slider while it is dragged, not only where it
    // is let go: the curve follows the hand.
    connect(slider_, &QSlider::valueChanged, this, guarded([this](int days) {
                if (days != daysLeft_->value()) {
                    daysLeft_->setValue(days);
                }
            }));
    connect(moreDates_, &QLineEdit::editingFinished, this,
            guarded([this] { moreDatesConfirmed(); }));
    connect(evenly_, &QPushButton::clicked, this, guarded([this] { evenlySpaced(); }));
    return dates;
}

void BeforeExpiryPanel::showDates(const beforeexpiry::Inputs& in) {
    const QSignalBlocker block(slider_);
    // From today to the first expiry of the legs held.
    const int first = bench_.firstExpiry();
    slider_->setRange(0, first);
    slider_->setPageStep(std::max(1, first / 6));
    slider_->setTickInterval(std::max(1, first / 6));
    slider_->setValue(std::clamp(in.daysLeft, 0, first));
    // What the student is typing stays until it is confirmed.
    if (!moreDates_->hasFocus() || !moreDates_->isModified()) {
        moreDates_->setText(datesText(in.moreDaysLeft));
        moreDates_->setModified(false);
    }
}

void BeforeExpiryPanel::moreDatesConfirmed() {
    beforeexpiry::Inputs in = bench_.beforeExpiry();
    const int first = bench_.firstExpiry();
    const std::optional<std::vector<int>> days = readDates(moreDates_->text(), first);
    platform::showRefused(*moreDates_, !days);
    // Refused, the box keeps what was typed, marked, and says why.
    const QString tip =
        days ? moreDatesTip()
             : QStringLiteral("Not taken: More dates takes up to %1 whole numbers from 1 to %2.")
                   .arg(beforeexpiry::limits::maxMoreDates)
                   .arg(first);
    moreDates_->setToolTip(tip);
    moreDates_->setAccessibleDescription(tip);
    if (!days) {
        return;
    }
    moreDates_->setModified(false);
    moreDates_->setText(datesText(*days));
    if (in.moreDaysLeft != *days) {
        in.moreDaysLeft = *days;
        allowFor(in);
        bench_.setBeforeExpiry(in);
    }
}

void BeforeExpiryPanel::evenlySpaced() {
    beforeexpiry::Inputs in = bench_.beforeExpiry();
    const int d = bench_.firstExpiry();
    in.moreDaysLeft.clear();
    for (const int days : {d, (2 * d + 1) / 3, (d + 1) / 3}) {
        if (days >= 1 && std::find(in.moreDaysLeft.cbegin(), in.moreDaysLeft.cend(), days) ==
                             in.moreDaysLeft.cend()) {
            in.moreDaysLeft.push_back(days);
        }
    }
    moreDates_->setModified(false);
    moreDates_->setText(datesText(in.moreDaysLeft));
    allowFor(in);
    bench_.setBeforeExpiry(in);
}

void BeforeExpiryPanel::setCompact(bool compact) {
    if (std::exchange(compact_, compact) == compact) {
        return;
    }
    auto* grid = findChild<QGridLayout*>(QStringLiteral("datesGrid"));
    grid->removeWidget(evenly_);
    grid->addWidget(evenly_, 3, compact ? 0 : 1, 1, compact ? 3 : 2);
    if (auto* form = findChild<QFormLayout*>()) {
        form->setRowWrapPolicy(compact ? QFormLayout::WrapAllRows : QFormLayout::WrapLongRows);
    }
    // The least that keeps a box's frame off the edge, or the style's.
    if (compact) {
        constexpr int kLeastMargin = 2;
        layout()->setContentsMargins(kLeastMargin, kLeastMargin, kLeastMargin, kLeastMargin);
    } else {
        layout()->unsetContentsMargins();
    }
}

} // namespace workbench
