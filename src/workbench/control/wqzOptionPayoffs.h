#pragma once

#include "ConfirmedSpinBox.h"
#include "GridEditing.h"
#include "GrowingPlaces.h"
#include "LastPlot.h"
#include "ShownPosition.h"
#include "ValuesExport.h"
#include "platform/Boolean16.h"
#include "platform/FlexGrid.h"
#include "workbench/model/PositionDocument.h"
#include "workbench/model/WorkbenchLink.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QUndoStack;

namespace display {
class wqzSetDisplay;
}

namespace platform {
class Clipboard;
class LineControl;
class PictureBox;
class SwatchBox;
} // namespace platform

namespace workbench {
struct Strategy;
class PlotLayers;
class PositionHistory;

// The payoff workbench: a position in options on one underlying, its payoff
// or profit diagram, and the controls around it.
class wqzOptionPayoffs : public QWidget {
    Q_OBJECT
public:
    // The design size of the control, in twips.
    static constexpr int designWidth = 5130;
    static constexpr int designHeight = 5985;
    static constexpr int swatchCount = 12;

    explicit wqzOptionPayoffs(platform::Clipboard& clipboard, QWidget* parent = nullptr);
    ~wqzOptionPayoffs() override;

    // The main window's numeric-values grid, filled by every plot.
    void setGrddisplay(platform::FlexGrid* grid);
    platform::FlexGrid* getGrddisplay() const { return grddisplay.data(); }

    // The size in twips the control wants for itself.
    std::int32_t ucHeight = designHeight;
    std::int32_t ucWidth = designWidth;

    // Draws the position's curve; with AutoScale True in a vertical range
    // chosen afresh (clearing earlier curves), else asking before it changes.
    void PlotIt(platform::Boolean16 AutoScale);
    // Rebuilds the grid from a quote table (call premium, strike and put
    // premium a line) or whole rows of it; without a strike it says so.
    void pasteData(const QString& strPaste);
    // Every quantity changes sign, and the position is plotted.
    void InvertPosition();
    // The position grid's selection to the clipboard.
    void CopyOptionData();
    // The last plot in words (readout::text); empty without a curve. While
    // values before expiry are being valued it says so, and gives the last
    // ones valued.
    const QString& analysisText() const { return analysisText_; }
    // The same once the valuation in progress is done (with the hourglass
    // meanwhile): for the clipboard and paper, never a half state.
    const QString& settledAnalysisText() const;
    // Waits for what the pricing threads are valuing, with the hourglass.
    void settle() const;
    // Whether the grid or the boxes differ from what was last plotted.
    bool analysisStale() const { return plot_->stale(); }
    // What says so, first in the analysis.
    static QString asLastPlotted();
    // Valuing the last curve before expiry; redrawn without a plot.
    void setBeforeExpiry(const beforeexpiry::Inputs& inputs);
    // Whether it is drawn at all: not with its panel closed.
    void setBeforeExpiryShown(bool shown);
    bool beforeExpiryShown() const { return plot_->beforeExpiryShown(); }
    // What a file keeps: grid and boxes as shown, diagram, colour, inputs.
    document::Document document() const;
    // Shows a saved position alone in its range under the file's `name`; one
    // undo gives all back, and a failure half way shows the held one again.
    void openDocument(const document::Document& saved, const QString& name);
    // The file the position was last opened from or saved as, or empty.
    const QString& documentName() const { return documentName_; }
    void setDocumentName(const QString& name);
    // The listed strategy the last curve is; empty for none.
    QString strategyHeld() const;
    // A link's position (a strategy, or legs on the grid's rows or rows of
    // its own), diagram, range and market; a new position, tied to no file.
    void followLink(const links::Load& load);
    // The starting price and no costs, re-plotted as one step to undo.
    void startingMarket();
    // Every change to the position, to undo and redo; an undo plots the grid
    // it brings back (PositionHistory::droppedProperty: oldest steps dropped).
    QUndoStack& undoStack();
    const beforeexpiry::Inputs& beforeExpiry() const { return plot_->inputs(); }
    // The days to the first expiry of the last curve's legs: the days to
    // expiry above unless a leg held has days of its own.
    int firstExpiry() const {
        return plot_->curve() ? plot_->valuedInputs().daysToday : plot_->inputs().daysToday;
    }
    // The last curve's position, or the grid's without a curve.
    const PositionState& valuedPosition() const {
        return plot_->curve() ? plot_->curve()->position : position_;
    }
    // Whether a curve is drawn, and the kind and price range of the last.
    bool hasCurve() const { return plot_->curve().has_value(); }
    payoff::DiagramKind lastKind() const { return plot_->lastKind(); }
    const payoff::PriceRange& lastRange() const { return plot_->lastRange(); }
    // The last plot with all derived from it: views ask it what they show.
    const LastPlot& lastPlot() const { return *plot_; }
    // Of the valued position: implied volatilities, rows not valued.
    std::vector<beforeexpiry::RowVolatility> impliedVolatilities() const;
    std::vector<beforeexpiry::RowNotValued> rowsNotValued() const;
    // Marks and legend, shown unless turned off; the law at expiry and its
    // chances, off unless turned on; what the Scenarios table runs across.
    void setMarkersShown(bool shown);
    void setLegendShown(bool shown);
    void setProbabilityShown(bool shown);
    void setScenariosAcross(scenarios::Across across) { plot_->setScenariosAcross(across); }
    // The plot area's colour; every curve is drawn again in an ink read on it.
    void setPlotBackground(platform::Rgb color) { plot_->setBackground(color); }
    bool probabilityShown() const { return plot_->probabilityShown(); }
    // The colour swatches by name, and choosing one, for the keyboard.
    QString swatchName(int index) const;
    void chooseColor(int index);
    // What the plot area shows, as data to draw again at any size.
    const diagramexport::Diagram& diagram() const;
    // The dashed curves' values at the numeric values' prices, as columns.
    QList<valuesexport::Column> beforeExpiryColumns() const;
    // The large and the normal presentation of the whole control.
    void EnlargeFont();
    void ReduceFont();
    // The roundest price between a and b (PlotLayers::roundestPrice).
    static double roundestPrice(double a, double b);
    // The state, for the program's own commands and for tests.
    PositionState& position() { return position_; }
    const PositionState& position() const { return position_; }
    const payoff::Samples& plotPrice() const { return plotPrice_; }
    const payoff::Samples& plotValue() const { return plotValue_; }
    platform::Rgb plotColor() const { return plotColor_; }
    void setPlotColor(platform::Rgb color) { plotColor_ = color; }
    std::int16_t selectedCallRow() const { return selCallRow; }
    std::int16_t selectedPutRow() const { return selPutRow; }

signals:
    // Once for each action that changed the last plot, with analysisText().
    void AnalysisChange(const QString& text);
    // The inputs before expiry changed other than by setBeforeExpiry (a file).
    void BeforeExpiryChange();
    // The position's file name changed: opened, saved, or an opening undone.
    void DocumentNameChange(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Start-up.
    void createControls();
    void placeControls();
    void fitGridColumns();
    void connectControls();
    void createSwatches();
    void describeControls();
    void registerWithDisplay();
    void fillPositionGrid();
    void fillStrategyList();

    // Plotting: a vertical range chosen afresh, asked about, or kept.
    enum class Scale { Auto, Ask, Keep };
    void plot(Scale scale);
    // With `atFirst`, the curve at the first expiry of legs that expire apart.
    void drawCurve(const payoff::PriceRange& range, payoff::DiagramKind f, float ytop, float ybot,
                   const QString& name, const beforeexpiry::Valuer* atFirst);
    // The analysis follows the last plot: one notice for each action.
    void plotChanged(LastPlot::Parts parts);

    void cmdPlot_Click();
    std::int16_t readPosition();
    void adjustQty(float step);
    void pColor_Click(int index);
    void pbox_KeyPress(int keyAscii);
    void selectUnderlying();
    void switchDisplay(void (display::wqzSetDisplay::*change)(std::int32_t&, std::int32_t&));
    void cmbStandard_Click();
    // The strategy listed, as one step; `untiedFrom` a file it leaves.
    // The row a strategy's later leg goes on, added if need be; -1 where it
    // cannot be priced.
    int rowForLater(const Strategy& strategy, int days);
    void loadStrategy(const std::optional<QString>& untiedFrom,
                      const std::optional<links::Range>& range);
    void plotIn(const std::optional<links::Range>& range);
    void startAfresh();
    QString legsMissing(const QString& name) const;

    // Position grid.
    void Grid1_Click();
    void Grid1_RowColChange();
    void Grid1_DblClick();
    void Grid1_KeyDown(int keyCode, int shift);
    // Gives the quantity typed in the current cell the days its leg had.
    void keepLegDays();
    void Grid1_KeyPress(int keyAscii);
    bool currentCellEditable() const;

    // Undo: the position as the grid and the underlying's box show it.
    ShownPosition shown() const;
    void showRows(const QList<document::Row>& rows);
    bool readShown(const ShownPosition& position);
    void restore(const ShownPosition& position);
    // What the grid shows (`now`, when the caller has read it) as one step.
    void recordChange(const QString& what, const std::optional<QString>& untiedFrom = {},
                      std::optional<ShownPosition> now = {});
    void recordTyping() { recordChange(QStringLiteral("Typing")); }
    void scheduleStaleCheck();
    void checkStale();
    void forgetAnalysis();
    void showStrategy();
    void showDocument(const NamedDocument& named);

    // Today's price and the trading costs.
    void createMarketControls();
    void showPriceCaption();
    void marketBoxConfirmed(ConfirmedNumberBox* box);
    void showMarketBoxes();
    bool marketTyped() const;
    bool offerToCentre(float price);
    void applyMarket(const links::Market& market);

    // Position commands.
    void cmdClear_Click();
    void cmdRestart_Click();
    void followGridRows();
    void readQuotes(bool rewrite);
    void showRowsTakingPart(bool report);
    void showSelection();

    platform::Clipboard& clipboard_;

    platform::PictureBox* pbox = nullptr;
    std::array<QLineEdit*, 4> Text1{};
    std::array<platform::SwatchBox*, swatchCount> pColor{};
    platform::LineControl* Line1 = nullptr;
    std::array<QPushButton*, 2> scdown{};
    std::array<QPushButton*, 2> scup{};
    QLabel* lblOption = nullptr;
    std::array<QRadioButton*, 2> plotType{};
    std::array<QLabel*, 2> Label1{};
    QLineEdit* txtUnderlyingQty = nullptr;
    ConfirmedNumberBox* txtUnderlyingPrice = nullptr;
    ConfirmedNumberBox* txtCostPerOption = nullptr;
    ConfirmedNumberBox* txtCostPerUnit = nullptr;
    QLabel* lblUnderlyingPrice = nullptr;
    QLabel* lblCostPerOption = nullptr;
    QLabel* lblCostPerUnit = nullptr;
    QPushButton* cmdPlot = nullptr;
    QPushButton* cmdRestart = nullptr;
    QPushButton* cmdClear = nullptr;
    QComboBox* cmbStandard = nullptr;
    platform::FlexGrid* Grid1 = nullptr;
    QLabel* lblGreek = nullptr;
    QComboBox* cmbGreek = nullptr;

    // The position read from the grid; the last plot, drawn by the layers.
    PositionState position_;
    LastPlot* plot_ = nullptr;
    PlotLayers* layers_ = nullptr;
    payoff::Samples plotPrice_{};
    payoff::Samples plotValue_{};
    platform::Rgb plotColor_ = 0;
    std::int16_t selCallRow = -1;
    std::int16_t selPutRow = 1;
    QString selCaption = QStringLiteral("Put/");
    gridediting::CellEdit edit_;
    QString analysisText_;
    QStringList tooLargeReported_;
    QStringList noNumberReported_;
    std::unique_ptr<display::wqzSetDisplay> setDisplay;
    GrowingPlaces places_;
    std::unique_ptr<PositionHistory> history_;
    // The grid after the last recorded change, and at the last plot.
    ShownPosition recorded_;
    std::optional<ShownPosition> plotted_;
    bool staleCheckDue_ = false;
    bool plotting_ = false;
    bool staleSkipped_ = false;
    std::optional<std::pair<float, float>> centreDeclined_;
    QString documentName_;
    QPointer<platform::FlexGrid> grddisplay;
};

} // namespace workbench
