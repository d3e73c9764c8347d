#pragma once

#include "workbench/pricing/BeforeExpiry.h"

#include <QWidget>

#include <optional>
#include <vector>

class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace workbench {

class wqzOptionPayoffs;

// The inputs that value the workbench's last curve before expiry, and the
// implied volatilities of its rows. Every change redraws at once.
class BeforeExpiryPanel : public QWidget {
    Q_OBJECT
public:
    explicit BeforeExpiryPanel(wqzOptionPayoffs& bench, QWidget* parent = nullptr);

    beforeexpiry::Inputs inputs() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void inputsChanged();
    void showInputs();
    // The implied volatilities of the valued position, while the panel is in
    // sight (a thousand rows take a noticeable moment).
    void fillVolatilities();

    wqzOptionPayoffs& bench_;
    // What the table and its note were last found from: the quotes and what
    // is held, the days to expiry and the rate, not the days left or the
    // diagram.
    struct Basis {
        std::vector<float> strike, callPrice, putPrice, callQty, putQty;
        std::vector<bool> takesPart;
        int daysToday = 0;
        double rate = 0;
        double volatility = 0;
        bool implied = true;
        bool operator==(const Basis&) const = default;
    };
    std::optional<Basis> shown_;
    QSpinBox* daysToday_ = nullptr;
    QSpinBox* daysLeft_ = nullptr;
    QDoubleSpinBox* rate_ = nullptr;
    QRadioButton* implied_ = nullptr;
    QRadioButton* single_ = nullptr;
    QDoubleSpinBox* volatility_ = nullptr;
    QTableWidget* volatilities_ = nullptr;
    QLabel* note_ = nullptr;
};

} // namespace workbench
