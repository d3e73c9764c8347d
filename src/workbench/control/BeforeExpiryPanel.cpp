#include "BeforeExpiryPanel.h"

#include "SmileChart.h"
#include "platform/FailureGuard.h"
#include "platform/Fonts.h"
#include "platform/Numbers.h"
#include "workbench/model/PositionColumns.h"
#include "wqzOptionPayoffs.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace workbench {

namespace {

template <typename W>
W* named(QWidget* parent, const char* name, const QString& words, const QString& tip) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(words);
    w->setToolTip(tip);
    w->setAccessibleDescription(tip);
    return w;
}

// A strike as the position grid writes it, so that the panel names the
// row the student sees.
QString strikeText(double strike) {
    return columns::strikeText(float(strike));
}

QString notValuedText(const beforeexpiry::RowNotValued& row) {
    const QString strike = strikeText(row.strike);
    QString why;
    switch (row.why) {
    case beforeexpiry::NotValued::StrikeNotAboveZero:
        why = QStringLiteral("its strike, %1, is not above 0").arg(strike);
        break;
    case beforeexpiry::NotValued::NoVolatility:
        why = QStringLiteral("no volatility prices its options");
        break;
    case beforeexpiry::NotValued::BeyondTheModel:
        why = QStringLiteral("the model cannot value options with a strike of %1").arg(strike);
        break;
    }
    return QStringLiteral("Row %1 takes no part in the value before expiry: %2.")
        .arg(row.row)
        .arg(why);
}

QString percent(const std::optional<double>& v) {
    return v ? platform::numbers::format(*v * 100, u"##0.00") + QStringLiteral(" %")
             : QStringLiteral("n/a");
}

// The strikes whose call and put disagree, a few named and the rest
// counted, so that the line stays readable with thousands of rows.
QString atOddsText(const std::vector<beforeexpiry::RowVolatility>& rows) {
    constexpr std::size_t most = 3;
    const auto whole = [](double v) {
        return platform::numbers::format(v * 100, u"##0") + QStringLiteral(" %");
    };
    QStringList strikes;
    for (std::size_t i = 0; i < std::min(rows.size(), most); ++i) {
        strikes << QStringLiteral("at %1 imply %2 and %3")
                       .arg(strikeText(rows[i].strike), whole(*rows[i].call), whole(*rows[i].put));
    }
    QString text = QStringLiteral("Calls and puts ") + strikes.join(QStringLiteral(", "));
    if (const std::size_t rest = rows.size() - std::min(rows.size(), most); rest > 0) {
        text += rest == 1 ? QStringLiteral(" (and at one more strike)")
                          : QStringLiteral(" (and at %1 more strikes)").arg(rest);
    }
    return text + QStringLiteral(": these quotes are not consistent with each other, so curves "
                                 "before expiry differ between equivalent positions");
}

} // namespace

BeforeExpiryPanel::BeforeExpiryPanel(wqzOptionPayoffs& bench, QWidget* parent)
    : QWidget(parent), bench_(bench) {
    setObjectName(QStringLiteral("beforeExpiryPanel"));

    daysToday_ =
        named<ConfirmedIntBox>(this, "spnDaysToday", QStringLiteral("Days to expiry"),
                               QStringLiteral("Days to expiry today: the premiums are today's"));
    daysLeft_ = named<ConfirmedIntBox>(
        this, "spnDaysLeft", QStringLiteral("Days left shown"),
        QStringLiteral("Draws the last curve's value with this many days left; 0 draws nothing"));
    daysLeft_->setSpecialValueText(QStringLiteral("0 (none)"));
    rate_ = named<ConfirmedNumberBox>(
        this, "spnRate", QStringLiteral("Interest rate in percent"),
        QStringLiteral("The interest rate per year, compounded continuously"));
    rate_->setDecimals(2);
    rate_->setSingleStep(0.25);
    implied_ =
        named<QRadioButton>(this, "optImplied", QStringLiteral("Implied from premiums"),
                            QStringLiteral("Each option's volatility found from its premium"));
    implied_->setText(QStringLiteral("Implied from premiums"));
    single_ =
        named<QRadioButton>(this, "optSingle", QStringLiteral("One volatility for every option"),
                            QStringLiteral("One volatility for every option"));
    single_->setText(QStringLiteral("One volatility (%)"));
    volatility_ = named<ConfirmedNumberBox>(
        this, "spnVolatility", QStringLiteral("One volatility in percent"),
        QStringLiteral("The one volatility, also used where no volatility explains a premium"));
    volatility_->setDecimals(2);
    dividend_ = named<ConfirmedNumberBox>(
        this, "spnDividend", QStringLiteral("Dividend yield in percent"),
        QStringLiteral("What the underlying pays out a year, as a continuous yield"));
    dividend_->setDecimals(2);
    dividend_->setSingleStep(0.25);
    exercise_ = named<QComboBox>(
        this, "cmbExercise", QStringLiteral("Exercise"),
        QStringLiteral("European options are exercised at expiry only; American ones at any "
                       "time, which the read-out says where it pays"));
    exercise_->addItems({QStringLiteral("European"), QStringLiteral("American")});
    // Never narrower than its longest choice, however narrow the panel.
    exercise_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    QWidget* dates = createDateControls();

    volatilities_ = named<QTableWidget>(
        this, "grdVolatilities", QStringLiteral("Implied volatilities"),
        QStringLiteral(
            "The volatility each premium implies with the underlying at its price today"));
    volatilities_->setColumnCount(3);
    volatilities_->setHorizontalHeaderLabels(
        {QStringLiteral("Strike"), QStringLiteral("Call"), QStringLiteral("Put")});
    volatilities_->verticalHeader()->hide();
    volatilities_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    volatilities_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the table; the arrows move through it.
    volatilities_->setTabKeyNavigation(false);
    note_ = named<QLabel>(this, "lblVolatilityNote", QStringLiteral("Note on the volatilities"),
                          QStringLiteral("Which options no volatility explains"));
    note_->setWordWrap(true);
    atOdds_ = named<QLabel>(
        this, "lblQuotesAtOdds", QStringLiteral("Quotes at odds"),
        QStringLiteral("Strikes whose call and put premiums imply volatilities more than %1 "
                       "points apart")
            .arg(platform::numbers::format(beforeexpiry::parityGap * 100, u"##0")));
    atOdds_->setWordWrap(true);
    atOdds_->hide();

    auto* form = new QFormLayout;
    // Too narrow for a label beside its box (a small screen at a large
    // type), the box goes under its label rather than out of sight.
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    form->addRow(QStringLiteral("Days to expiry"), daysToday_);
    form->addRow(QStringLiteral("Days left shown"), daysLeft_);
    form->addRow(dates);
    form->addRow(QStringLiteral("Interest rate (%)"), rate_);
    form->addRow(QStringLiteral("Dividend yield (%)"), dividend_);
    form->addRow(QStringLiteral("Exercise"), exercise_);
    form->addRow(implied_);
    form->addRow(single_, volatility_);
    addWhatIfRows(*form);
    for (QAbstractSpinBox* box : boxes()) {
        tips_[box] = box->toolTip();
    }
    setBoxes(bench.beforeExpiry());
    volatilitiesTitle_ = new QLabel(QStringLiteral("Implied volatilities"), this);
    volatilitiesTitle_->setObjectName(QStringLiteral("lblVolatilities"));
    volatilitiesTitle_->setWordWrap(true);
    volatilitiesTitle_->setToolTip(QStringLiteral(
        "The volatility each option's premium implies, from the last plot's quotes"));
    volatilitiesTitle_->setBuddy(volatilities_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(volatilitiesTitle_);
    column->addWidget(volatilities_, 1);
    column->addWidget(createSmile(), 1);
    column->addWidget(atOdds_);
    column->addWidget(note_);
    // Tab follows the form from top to bottom, the dates under the days left
    // included, whatever order the controls were made in.
    QWidget* chain[] = {daysToday_,   daysLeft_,  slider_,          moreDates_,
                        evenly_,      rate_,      dividend_,        exercise_,
                        implied_,     single_,    volatility_,      shift_,
                        shiftSlider_, eventDays_, volatilityAfter_, volatilities_};
    for (std::size_t i = 1; i < std::size(chain); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }

    using platform::guarded;
    // A value confirmed (Enter, leaving the box, an arrow); the same one
    // confirmed again changes nothing and is not judged again.
    for (QSpinBox* box : {daysToday_, daysLeft_}) {
        connect(box, &QSpinBox::valueChanged, this, guarded([this] { inputsChanged(); }));
    }
    for (QDoubleSpinBox* box : {rate_, volatility_, dividend_}) {
        connect(box, &QDoubleSpinBox::valueChanged, this, guarded([this] { inputsChanged(); }));
    }
    connect(implied_, &QRadioButton::toggled, this, guarded([this] { inputsChanged(); }));
    connect(exercise_, &QComboBox::currentIndexChanged, this, guarded([this] { inputsChanged(); }));
    // The table follows the curve and the market it is found from; the dim
    // mark follows whether the grid still holds that curve.
    connect(&bench_.lastPlot(), &LastPlot::changed, this, guarded([this](LastPlot::Parts parts) {
        tableDue_ = tableDue_ || (parts & (LastPlot::CurvePart | LastPlot::InputsPart));
        if (parts & LastPlot::CurvePart) { // the dates run to the first expiry of the legs held
            allowFor(bench_.beforeExpiry());
            showDates(bench_.beforeExpiry());
        }
        fillVolatilities();
    }));
    connect(&bench_, &wqzOptionPayoffs::BeforeExpiryChange, this,
            guarded([this] { showInputs(); }));
}

BeforeExpiryPanel::~BeforeExpiryPanel() {
    // A box losing the focus as it goes confirms what it holds; the panel
    // is already half gone by then and takes nothing more.
    for (QAbstractSpinBox* box : boxes()) {
        box->blockSignals(true);
    }
    exercise_->blockSignals(true);
    moreDates_->blockSignals(true);
    slider_->blockSignals(true);
    shiftSlider_->blockSignals(true);
}

std::array<QAbstractSpinBox*, 8> BeforeExpiryPanel::boxes() const {
    return {daysToday_, daysLeft_, rate_,      volatility_,
            dividend_,  shift_,    eventDays_, volatilityAfter_};
}

void BeforeExpiryPanel::setBoxes(const beforeexpiry::Inputs& in) {
    namespace limits = beforeexpiry::limits;
    const QSignalBlocker blockers[] = {
        QSignalBlocker(daysToday_), QSignalBlocker(daysLeft_), QSignalBlocker(rate_),
        QSignalBlocker(implied_),   QSignalBlocker(single_),   QSignalBlocker(volatility_),
        QSignalBlocker(dividend_),  QSignalBlocker(exercise_), QSignalBlocker(eventDays_)};
    allowFor(in);
    rate_->setAllowed(limits::minRatePercent, limits::maxRatePercent);
    volatility_->setAllowed(limits::minVolatilityPercent, limits::maxVolatilityPercent);
    dividend_->setAllowed(limits::minDividendPercent, limits::maxDividendPercent);
    daysToday_->setValue(in.daysToday);
    daysLeft_->setValue(in.daysLeft);
    showDates(in);
    rate_->setValue(in.rate * 100);
    (in.implied ? implied_ : single_)->setChecked(true);
    volatility_->setValue(in.volatility * 100);
    dividend_->setValue(in.dividendYield * 100);
    exercise_->setCurrentIndex(in.american ? 1 : 0);
    showWhatIfs(in);
    for (QAbstractSpinBox* box : boxes()) {
        mark(box, QString());
    }
}

void BeforeExpiryPanel::allowFor(const beforeexpiry::Inputs& in) {
    namespace limits = beforeexpiry::limits;
    // Neither day count moves the other: each is held to what the other
    // is now.
    // The dates count to the first expiry of the legs held, which the days
    // to expiry set only where a leg has no days of its own.
    const int first = bench_.firstExpiry();
    int latest = in.eventDays;
    for (const int d : in.moreDaysLeft) {
        latest = first == in.daysToday ? std::max(latest, d) : latest;
    }
    latest = first == in.daysToday ? std::max(latest, in.daysLeft) : latest;
    daysToday_->setAllowed(std::max(limits::minDaysToExpiry, latest), limits::maxDaysToExpiry);
    daysLeft_->setAllowed(0, first, true);
    eventDays_->setAllowed(limits::minEventDays, in.daysToday, true);
}

void BeforeExpiryPanel::showInputs() {
    // The workbench already holds these inputs; the boxes only follow.
    setBoxes(bench_.beforeExpiry());
    fillVolatilities();
}

void BeforeExpiryPanel::mark(QAbstractSpinBox* box, const QString& refusal) {
    platform::showRefused(*box, !refusal.isEmpty());
    const QString tip = refusal.isEmpty() ? tips_.value(box) : refusal;
    box->setToolTip(tip);
    box->setAccessibleDescription(tip);
}

void BeforeExpiryPanel::inputsChanged() {
    // What a box holds is taken only within its range; out of it the box
    // keeps the typed number, marked, and nothing changes.
    beforeexpiry::Inputs in = bench_.beforeExpiry();
    const QString whole = QStringLiteral("whole numbers");
    const QString numbers = QStringLiteral("numbers");
    if (judge(daysToday_, whole)) {
        in.daysToday = daysToday_->value();
    }
    if (judge(daysLeft_, whole)) {
        in.daysLeft = daysLeft_->value();
    }
    if (judge(rate_, numbers)) {
        in.rate = rate_->value() / 100;
    }
    if (judge(volatility_, numbers)) {
        in.volatility = volatility_->value() / 100;
    }
    if (judge(dividend_, numbers)) {
        in.dividendYield = dividend_->value() / 100;
    }
    in.implied = implied_->isChecked();
    in.american = exercise_->currentIndex() == 1;
    takeWhatIfs(in);
    allowFor(in);
    showDates(in);
    if (!(in == bench_.beforeExpiry())) {
        bench_.setBeforeExpiry(in);
    }
}

void BeforeExpiryPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fillVolatilities();
}

void BeforeExpiryPanel::showAsPlotted() {
    const bool stale = bench_.analysisStale();
    QString title = QStringLiteral("Implied volatilities");
    if (stale) {
        QString note = wqzOptionPayoffs::asLastPlotted();
        note[0] = note[0].toLower();
        title += u' ' + note;
    }
    volatilitiesTitle_->setText(title);
    volatilitiesTitle_->setAccessibleName(volatilitiesTitle_->text());
    platform::showDimmed(*volatilities_, stale);
    smile_->setDimmed(stale);
}

void BeforeExpiryPanel::fillVolatilities() {
    showAsPlotted();
    if (!isVisible()) {
        return;
    }
    if (!tableDue_) {
        return;
    }
    // Many American rows' volatilities are found on the pricing thread: the
    // table comes once they have.
    if (bench_.lastPlot().curve() && !bench_.lastPlot().volatilitiesReady()) {
        volatilities_->setRowCount(0);
        note_->setText(QStringLiteral("Finding the implied volatilities\u2026"));
        atOdds_->hide();
        return;
    }
    tableDue_ = false;
    const PositionState& position = bench_.valuedPosition();
    const beforeexpiry::Inputs& in = bench_.beforeExpiry();
    const std::vector<beforeexpiry::RowVolatility> rows = bench_.impliedVolatilities();
    smile_->setSmile({rows, double(position.underlyingPrice)});
    const std::vector<beforeexpiry::RowNotValued> notValued = bench_.rowsNotValued();
    volatilities_->setRowCount(int(rows.size()));
    bool missing = false;
    for (int i = 0; i < int(rows.size()); ++i) {
        const beforeexpiry::RowVolatility& row = rows[std::size_t(i)];
        const QString texts[] = {strikeText(row.strike), percent(row.call), percent(row.put)};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setTextAlignment(Qt::AlignCenter);
            volatilities_->setItem(i, c, item);
        }
        // A row left out altogether is priced with no volatility at all.
        const bool valued = std::none_of(notValued.cbegin(), notValued.cend(),
                                         [&row](const auto& out) { return out.row == row.row; });
        missing = missing || (valued && (!row.call || !row.put));
    }
    QStringList notes;
    if (missing) {
        notes << QStringLiteral("n/a: no volatility gives this premium; the one volatility, "
                                "%1 %, prices that option.")
                     .arg(platform::numbers::format(volatility_->value(), u"##0.00"));
    }
    for (const beforeexpiry::RowNotValued& row : notValued) {
        notes << notValuedText(row);
    }
    note_->setText(notes.join(u'\n'));
    // With one volatility for every option, parity holds whatever the quotes.
    const std::vector<beforeexpiry::RowVolatility> atOdds =
        in.implied ? beforeexpiry::quotesAtOdds(position, rows)
                   : std::vector<beforeexpiry::RowVolatility>();
    atOdds_->setText(atOdds.empty() ? QString() : atOddsText(atOdds));
    atOdds_->setVisible(!atOdds.empty());
}

} // namespace workbench
