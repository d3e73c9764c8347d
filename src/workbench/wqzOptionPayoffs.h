#pragma once

#include "PayoffEvaluation.h"
#include "PositionState.h"
#include "platform/Boolean16.h"
#include "platform/FlexGrid.h"
#include "platform/Palette.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace platform {
class LineControl;
class PictureBox;
} // namespace platform

// The payoff workbench: a position in options on one underlying, its payoff
// or profit diagram, and the controls around it.
class wqzOptionPayoffs : public QWidget {
    Q_OBJECT
public:
    // The design size of the control, in twips.
    static constexpr int designWidth = 5130;
    static constexpr int designHeight = 5985;

    explicit wqzOptionPayoffs(QWidget* parent = nullptr);
    ~wqzOptionPayoffs() override;

    // The main window's numeric-values grid; every plot fills it while set.
    void setGrddisplay(platform::FlexGrid* grid) { grddisplay = grid; }
    platform::FlexGrid* getGrddisplay() const { return grddisplay.data(); }

    // The size in twips the control wants for itself.
    std::int32_t ucHeight = designHeight;
    std::int32_t ucWidth = designWidth;

    // Evaluates the position and draws its curve. With AutoScale True the
    // vertical range is chosen afresh (clearing earlier curves); otherwise the
    // user is asked before the range changes.
    void PlotIt(platform::Boolean16 AutoScale);

    // The state, for the program's own commands and for tests.
    workbench::PositionState& position() { return position_; }
    const workbench::PositionState& position() const { return position_; }
    const payoff::Samples& plotPrice() const { return plotPrice_; }
    const payoff::Samples& plotValue() const { return plotValue_; }
    platform::Rgb plotColor() const { return plotColor_; }
    void setPlotColor(platform::Rgb color) { plotColor_ = color; }

private:
    void createControls();
    void placeControls();
    void setTabOrder();
    void fillPositionGrid();

    void prepareValuesGrid(platform::FlexGrid& grid) const;
    void writeValuesRow(platform::FlexGrid& grid, int i) const;
    void drawCurve(const payoff::PriceRange& range, float ytop, float ybot,
                   const payoff::Extremes& extremes);

    // Controls, named as their objectName says.
    platform::PictureBox* pbox = nullptr;
    std::array<QLineEdit*, 4> Text1{};
    QFrame* pColor0 = nullptr;
    platform::LineControl* Line1 = nullptr;
    std::array<QPushButton*, 2> scdown{};
    std::array<QPushButton*, 2> scup{};
    QLabel* lblOption = nullptr;
    std::array<QRadioButton*, 2> plotType{};
    std::array<QLabel*, 2> Label1{};
    QLineEdit* txtUnderlyingQty = nullptr;
    QPushButton* cmdPlot = nullptr;
    QPushButton* cmdRestart = nullptr;
    QPushButton* cmdClear = nullptr;
    QComboBox* cmbStandard = nullptr;
    platform::FlexGrid* Grid1 = nullptr;

    // State.
    workbench::PositionState position_;
    payoff::Samples plotPrice_{};
    payoff::Samples plotValue_{};
    platform::Rgb plotColor_;
    std::int16_t selCallRow = -1;
    std::int16_t selPutRow = 1;
    QString selCaption = QStringLiteral("Put/");
    QString editBuffer;
    QString editRestore;
    QPointer<platform::FlexGrid> grddisplay;
};
