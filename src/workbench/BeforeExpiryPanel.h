#pragma once

#include "BeforeExpiry.h"

#include <QWidget>

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
    // The implied volatilities of the valued position, while the panel is in
    // sight (a thousand rows take a noticeable moment).
    void fillVolatilities();

    wqzOptionPayoffs& bench_;
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
