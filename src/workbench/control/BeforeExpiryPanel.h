#pragma once

#include "ConfirmedSpinBox.h"
#include "workbench/pricing/BeforeExpiry.h"

#include <QHash>
#include <QWidget>

#include <array>

#include <optional>
#include <vector>

class QAbstractSpinBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTableWidget;

namespace workbench {

class SmileChart;
class wqzOptionPayoffs;

// The inputs that value the workbench's last curve before expiry, and the
// implied volatilities of its rows. Every change redraws at once.
class BeforeExpiryPanel : public QWidget {
    Q_OBJECT
public:
    explicit BeforeExpiryPanel(wqzOptionPayoffs& bench, QWidget* parent = nullptr);
    ~BeforeExpiryPanel() override;
    // Narrower than its content at its type: a smaller margin, each box
    // under its label, and the button that spaces the dates under the
    // dates' label rather than beside it. Otherwise a box goes under its
    // label only where the two do not fit side by side.
    void setCompact(bool compact);

signals:
    // The student asked for the smile in a file, as the diagram is exported.
    void exportSmileAsked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Applies what the boxes hold within their ranges and marks the rest.
    void inputsChanged();
    // The boxes as the workbench's inputs are, none marked.
    void showInputs();
    void setBoxes(const beforeexpiry::Inputs& in);
    // The day counts' ranges, each bounded by the other as applied.
    void allowFor(const beforeexpiry::Inputs& in);
    std::array<QAbstractSpinBox*, 8> boxes() const;
    // Marks a box as refused, saying why in its tooltip; an empty refusal
    // takes the mark away.
    void mark(QAbstractSpinBox* box, const QString& refusal);
    // Whether the box's number is within its range; marks it when not.
    template <typename Box> bool judge(Box* box, const QString& whole) {
        if (box->inAllowed()) {
            mark(box, QString());
            return true;
        }
        mark(box, QStringLiteral("Not taken: %1 takes %2 from %3 to %4.")
                      .arg(box->accessibleName(), whole, box->textOf(box->least()),
                           box->textOf(box->most())));
        return false;
    }
    // The dates: a slider that moves the days left live while it is dragged,
    // and up to four more days left, typed or evenly spaced.
    QWidget* createDateControls();
    void showDates(const beforeexpiry::Inputs& in);
    void moreDatesConfirmed();
    void evenlySpaced();
    // The what-ifs on volatility: a shift of every option's, live while its
    // slider is dragged, and an event with the volatility after it.
    void addWhatIfRows(QFormLayout& form);
    void showWhatIfs(const beforeexpiry::Inputs& in);
    // Takes what the what-if boxes hold within their ranges into `in`.
    void takeWhatIfs(beforeexpiry::Inputs& in);
    // The smile of the table's volatilities, and the button that exports it.
    QWidget* createSmile();
    // The implied volatilities of the valued position, while the panel is in
    // sight (a thousand rows take a noticeable moment).
    void fillVolatilities();

    wqzOptionPayoffs& bench_;
    // Whether the table waits to be found again for the curve or market now.
    bool tableDue_ = true;
    ConfirmedIntBox* daysToday_ = nullptr;
    ConfirmedIntBox* daysLeft_ = nullptr;
    ConfirmedNumberBox* rate_ = nullptr;
    QRadioButton* implied_ = nullptr;
    QRadioButton* single_ = nullptr;
    ConfirmedNumberBox* volatility_ = nullptr;
    ConfirmedNumberBox* dividend_ = nullptr;
    QSlider* slider_ = nullptr;
    QLineEdit* moreDates_ = nullptr;
    QPushButton* evenly_ = nullptr;
    bool compact_ = false;
    QComboBox* exercise_ = nullptr;
    ConfirmedIntBox* shift_ = nullptr;
    QSlider* shiftSlider_ = nullptr;
    ConfirmedIntBox* eventDays_ = nullptr;
    ConfirmedNumberBox* volatilityAfter_ = nullptr;
    // Each box's own tooltip, given back once a refusal is mended.
    QHash<QAbstractSpinBox*, QString> tips_;
    QTableWidget* volatilities_ = nullptr;
    QLabel* volatilitiesTitle_ = nullptr;
    SmileChart* smile_ = nullptr;
    // Dims the table and says so while the grid holds another position than
    // the one the table was found from.
    void showAsPlotted();
    QLabel* note_ = nullptr;
    // Which strikes' quotes break put-call parity, while volatilities are
    // implied from them; hidden when none do.
    QLabel* atOdds_ = nullptr;
};

} // namespace workbench
