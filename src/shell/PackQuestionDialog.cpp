// The instructor's question for a pack: its kind, tolerance, the ranges each
// student's numbers are drawn from, and the program's own answer beside them.
#include "PackQuestionDialog.h"

#include "PackEditor.h"

#include "platform/FailureGuard.h"
#include "workbench/lessons/Lessons.h"
#include "workbench/model/ExpiryInputs.h"
#include "workbench/model/PositionState.h"
#include "workbench/model/WorkbenchLink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>

namespace shell {

namespace {

namespace packs = workbench::packs;
namespace limits = workbench::packs::limits;
namespace in = workbench::beforeexpiry::limits;
namespace links = workbench::links;
using packs::Varied;

// Long enough to let a run of typing settle, short enough to read as at once:
// an American position takes some 100 ms to judge.
constexpr int kAnswerDelayMs = 150;

const QString kAnswerLine = QStringLiteral("The program's answer for the situation as it stands: ");
const QString kNoAnswerLine =
    QStringLiteral("The program finds no answer in this situation: it has no such figure, "
                   "or it shows no days left.");

// Each range's step, and what its boxes hold at all. The ranges a pack takes
// are narrower, and OK names what lies outside them: a box that quietly
// stopped at the limit would leave the instructor wondering why.
struct Span {
    double step = 1;
    double least = 0;
    double most = 0;
};
// By Varied, as a question's ranges are.
constexpr std::array<Span, packs::everyVaried.size()> kSpans{{
    {limits::priceStep, 0, workbench::market::mostPrice},
    {limits::volatilityStep, 0, in::maxVolatilityPercent},
    {limits::daysStep, 0, in::maxDaysToExpiry},
    {limits::rateStep, in::minRatePercent, in::maxRatePercent},
    {limits::strikeShiftStep, -limits::largestStrikeShift, limits::largestStrikeShift},
}};

// As many decimals as the step has: 0.05 takes two, 0.5 one, 1 none.
int decimalsOf(double step) {
    return step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
}

double onStep(double value, double step) {
    return std::round(value / step) * step;
}

// The situation's own price, and ranges around its own numbers within what
// a pack takes, for the instructor to start from.
struct Around {
    double price = workbench::startingPrice;
    std::array<packs::Range, packs::everyVaried.size()> ranges{};
};

Around aroundOf(const QString& situation) {
    const links::Load load = links::readText(situation, workbench::startingQuotes().rowCount())
                                 .load.value_or(links::Load());
    const links::Market& m = load.market;
    const workbench::beforeexpiry::Inputs inputs = links::inputsAfter(m, {});
    Around a;
    a.price = m.price.value_or(workbench::startingPrice);
    // Never fewer days than the situation shows left, nor a strike to 0.
    int shown = std::max({in::minDaysToExpiry, m.daysLeft.value_or(0), m.eventDays.value_or(0)});
    for (int d : m.moreDaysLeft.value_or(std::vector<int>())) {
        shown = std::max(shown, d);
    }
    const double halves = limits::strikeShiftStep;
    double shift = std::max(halves, std::floor(a.price * 0.1 / halves) * halves);
    for (const links::Row& row : load.rows.value_or(std::vector<links::Row>())) {
        if (row.strike) {
            shift = std::min(shift, std::ceil(*row.strike / halves) * halves - halves);
        }
    }
    const auto near = [](double own, double by, double step, double least, double most) {
        return packs::Range{std::max(least, onStep(own - by, step)),
                            std::min(most, onStep(own + by, step))};
    };
    const auto at = [&a](Varied v) -> packs::Range& { return a.ranges[std::size_t(v)]; };
    at(Varied::Price) = near(a.price, a.price * 0.1, limits::priceStep, limits::priceStep,
                             workbench::market::mostPrice);
    at(Varied::Volatility) = near(inputs.volatility * 100, 10, limits::volatilityStep,
                                  in::minVolatilityPercent, in::maxVolatilityPercent);
    at(Varied::Days) = near(inputs.daysToday, 10, 1, shown, in::maxDaysToExpiry);
    at(Varied::Rate) =
        near(inputs.rate * 100, 1, limits::rateStep, in::minRatePercent, in::maxRatePercent);
    at(Varied::StrikeShift) = {-shift, shift};
    return a;
}

// The caption with a mnemonic on the first letter, best one starting a word,
// that no other control of the dialog has taken.
QString withMnemonic(const QString& caption, QString& taken) {
    for (bool anywhere : {false, true}) {
        for (qsizetype i = 0; i < caption.size(); ++i) {
            const QChar c = caption[i].toLower();
            if (c.isLetter() && !taken.contains(c) &&
                (anywhere || i == 0 || caption[i - 1] == u' ')) {
                taken += c;
                return caption.left(i) + u'&' + caption.mid(i);
            }
        }
    }
    return caption;
}

QString nameOf(QString caption) {
    return caption.remove(u'&').remove(u':');
}

QLabel* labelFor(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, buddy->parentWidget());
    label->setBuddy(buddy);
    buddy->setAccessibleName(nameOf(caption));
    return label;
}

QDoubleSpinBox* numberBox(QWidget* parent, const QString& name, double least, double most,
                          int decimals, double step) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    // The program writes numbers with a full stop everywhere, whatever the
    // desktop's language.
    box->setLocale(QLocale::c());
    box->setDecimals(decimals);
    box->setRange(least, most);
    box->setSingleStep(step);
    return box;
}

class PackQuestionDialog : public QDialog {
public:
    PackQuestionDialog(QWidget* parent, const packs::Question& start, bool editing);
    packs::Question question() const;

private:
    struct VaryRow {
        QCheckBox* check = nullptr;
        QDoubleSpinBox* from = nullptr;
        QDoubleSpinBox* to = nullptr;
    };
    void buildVary(QGroupBox* group, const Around& around, QString& taken);
    void enableByKind();
    void showAnswer();
    void tryAccept();

    packs::Question start_;
    QComboBox* asks_ = nullptr;
    QDoubleSpinBox* price_ = nullptr;
    QCheckBox* atToday_ = nullptr;
    QDoubleSpinBox* tolerance_ = nullptr;
    std::array<VaryRow, packs::everyVaried.size()> vary_{};
    QPlainTextEdit* text_ = nullptr;
    QLineEdit* hint_ = nullptr;
    QLabel* answer_ = nullptr;
    QLabel* problem_ = nullptr;
    QTimer* answerTimer_ = nullptr;
};

PackQuestionDialog::PackQuestionDialog(QWidget* parent, const packs::Question& start, bool editing)
    : QDialog(parent), start_(start) {
    const Around around = aroundOf(start.situation);
    setObjectName(QStringLiteral("dlgPackQuestion"));
    setWindowTitle(editing ? QStringLiteral("Edit Question")
                           : QStringLiteral("Add Question from Workbench"));
    // The dialog's own letters, and OK's and Cancel's.
    QString taken = QStringLiteral("kpstwhoc");
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    column->addLayout(form);

    asks_ = new QComboBox(this);
    asks_->setObjectName(QStringLiteral("cmbPackAsks"));
    for (workbench::lessons::Asks asks : packs::everyAsks()) {
        asks_->addItem(packs::asksWords(asks), int(asks));
    }
    asks_->setCurrentIndex(std::max(0, asks_->findData(int(start.asks))));
    form->addRow(labelFor(QStringLiteral("&Kind of question:"), asks_), asks_);

    price_ = numberBox(this, QStringLiteral("txtPackPrice"), 0, workbench::market::mostPrice,
                       workbench::market::decimals, 0.5);
    // A new question is asked at the situation's own price until told otherwise.
    price_->setValue(start.price > 0 ? start.price : around.price);
    form->addRow(labelFor(QStringLiteral("&Price asked at:"), price_), price_);
    atToday_ = new QCheckBox(QStringLiteral("At the &student's own price today"), this);
    atToday_->setObjectName(QStringLiteral("chkPackAtToday"));
    atToday_->setChecked(start.atTodaysPrice);
    form->addRow(atToday_);

    tolerance_ = numberBox(this, QStringLiteral("txtPackTolerance"), limits::leastTolerance,
                           limits::largestTolerance, 4, 0.01);
    tolerance_->setValue(start.tolerance);
    form->addRow(labelFor(QStringLiteral("&Tolerance either way:"), tolerance_), tolerance_);

    auto* group = new QGroupBox(QStringLiteral("Each student's own numbers, drawn from"), this);
    column->addWidget(group);
    buildVary(group, around, taken);

    text_ = new QPlainTextEdit(start.text.left(limits::longestText), this);
    text_->setObjectName(QStringLiteral("txtPackText"));
    // Tab leaves the box as in every other box of the dialog; the text needs
    // no tabs of its own.
    text_->setTabChangesFocus(true);
    text_->setFixedHeight(text_->fontMetrics().lineSpacing() * 4 + 12);
    holdToLength(text_, limits::longestText);
    auto* words = new QFormLayout;
    column->addLayout(words);
    words->addRow(labelFor(QStringLiteral("&Words above the question:"), text_), text_);

    hint_ = new QLineEdit(this);
    hint_->setObjectName(QStringLiteral("txtPackHint"));
    hint_->setMaxLength(int(limits::longestHint));
    hint_->setText(start.hint);
    words->addRow(labelFor(QStringLiteral("&Hint after a wrong answer:"), hint_), hint_);

    answer_ = new QLabel(this);
    answer_->setObjectName(QStringLiteral("lblPackAnswer"));
    answer_->setWordWrap(true);
    column->addWidget(answer_);
    problem_ = addOkCancel(this, column, [this] { tryAccept(); });

    answerTimer_ = new QTimer(this);
    answerTimer_->setSingleShot(true);
    answerTimer_->setInterval(kAnswerDelayMs);
    connect(answerTimer_, &QTimer::timeout, this, platform::guarded([this] { showAnswer(); }));
    const auto changed = platform::guarded([this] {
        enableByKind();
        answerTimer_->start();
    });
    connect(asks_, &QComboBox::currentIndexChanged, this, changed);
    connect(price_, &QDoubleSpinBox::valueChanged, this, changed);
    connect(tolerance_, &QDoubleSpinBox::valueChanged, this, changed);
    connect(atToday_, &QCheckBox::toggled, this, changed);

    enableByKind();
    showAnswer();
    asks_->setFocus();
}

void PackQuestionDialog::buildVary(QGroupBox* group, const Around& around, QString& taken) {
    auto* grid = new QGridLayout(group);
    for (Varied v : packs::everyVaried) {
        const std::size_t i = std::size_t(v);
        const QString key = packs::key(v);
        const QString what = packs::words(v);
        VaryRow& row = vary_[i];
        row.check = new QCheckBox(QStringLiteral("Vary ") + withMnemonic(what, taken), group);
        row.check->setObjectName(QStringLiteral("chkPackVary(%1)").arg(key));
        const Span& span = kSpans[i];
        const auto box = [&](const char* name) {
            return numberBox(group, QString::fromLatin1(name).arg(key), span.least, span.most,
                             decimalsOf(span.step), span.step);
        };
        row.from = box("txtPackVaryFrom(%1)");
        row.to = box("txtPackVaryTo(%1)");
        const std::optional<packs::Range>& kept = start_.vary[i];
        const packs::Range range = kept.value_or(around.ranges[i]);
        row.from->setValue(range.from);
        row.to->setValue(range.to);
        row.check->setChecked(kept.has_value());
        // As wide as its words, so that a click beside them is not a click on it.
        grid->addWidget(row.check, int(i), 0, Qt::AlignLeft);
        // The check box's letter leads to its row; Tab goes on to From and To,
        // for five rows of three boxes would take more letters than there are.
        int column = 1;
        for (QDoubleSpinBox* box : {row.from, row.to}) {
            const bool from = box == row.from;
            auto* label = new QLabel(from ? QStringLiteral("From:") : QStringLiteral("to"), group);
            label->setBuddy(box);
            box->setAccessibleName(what + (from ? QStringLiteral(" from") : QStringLiteral(" to")));
            box->setEnabled(kept.has_value());
            connect(row.check, &QCheckBox::toggled, box, &QWidget::setEnabled);
            grid->addWidget(label, int(i), column++);
            grid->addWidget(box, int(i), column++);
        }
    }
}

void PackQuestionDialog::enableByKind() {
    const bool atPrice = packs::atAPrice(workbench::lessons::Asks(asks_->currentData().toInt()));
    atToday_->setEnabled(atPrice);
    price_->setEnabled(atPrice && !atToday_->isChecked());
}

packs::Question PackQuestionDialog::question() const {
    packs::Question q = start_;
    q.asks = workbench::lessons::Asks(asks_->currentData().toInt());
    q.price = price_->value();
    q.atTodaysPrice = atToday_->isChecked();
    q.tolerance = tolerance_->value();
    q.text = text_->toPlainText();
    q.hint = hint_->text();
    for (std::size_t i = 0; i < vary_.size(); ++i) {
        const VaryRow& row = vary_[i];
        q.vary[i] = row.check->isChecked()
                        ? std::optional(packs::Range{row.from->value(), row.to->value()})
                        : std::nullopt;
    }
    return q;
}

void PackQuestionDialog::showAnswer() {
    try {
        const QString answer =
            workbench::lessons::trueAnswer(packs::posed(question(), packs::Numbers{}));
        answer_->setText(answer.isEmpty() ? kNoAnswerLine : kAnswerLine + answer);
    } catch (const std::exception& failure) {
        answer_->setText(QStringLiteral("The program could not work out an answer: %1")
                             .arg(QString::fromLocal8Bit(failure.what())));
    }
}

void PackQuestionDialog::tryAccept() {
    const QString problem = packs::problemOf(question());
    if (problem.isEmpty()) {
        accept();
        return;
    }
    problem_->setText(QStringLiteral("The question cannot go into a pack: ") + problem);
    problem_->show();
}

} // namespace

std::optional<packs::Question> askQuestion(QWidget* parent, const packs::Question& start,
                                           bool editing) {
    PackQuestionDialog dialog(parent, start, editing);
    return dialog.exec() == QDialog::Accepted ? std::optional(dialog.question()) : std::nullopt;
}

void holdToLength(QPlainTextEdit* box, qsizetype longest) {
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, longest] {
        // Counted as the pack counts it, in the text's own characters.
        const qsizetype excess = box->toPlainText().size() - longest;
        if (excess <= 0) {
            return;
        }
        QTextCursor cursor = box->textCursor();
        int from = 0;
        int to = cursor.position();
        if (to > 0) {
            from = std::max(0, to - int(excess));
            // Never half of a pair of surrogates.
            if (from > 0 && box->document()->characterAt(from - 1).isHighSurrogate()) {
                --from;
            }
        } else {
            // Nothing typed before the cursor: what runs over is the end.
            cursor.movePosition(QTextCursor::End);
            to = cursor.position();
            from = to - int(excess);
        }
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        box->setTextCursor(cursor);
    });
}

} // namespace shell
