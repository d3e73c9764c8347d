#pragma once

#include "ConfirmedSpinBox.h"
#include "DiagramExport.h"
#include "LastPlot.h"
#include "ShownPosition.h"
#include "ValuesExport.h"
#include "platform/Boolean16.h"
#include "platform/FlexGrid.h"
#include "platform/Palette.h"
#include "workbench/model/PayoffEvaluation.h"
#include "workbench/model/PositionDocument.h"
#include "workbench/model/PositionState.h"
#include "workbench/model/WorkbenchLink.h"
#include "workbench/pricing/BeforeExpiry.h"

#include <QList>
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

    // The main window's numeric-values grid; every plot fills it while set,
    // and it shows the last curve's values as soon as it is set.
    void setGrddisplay(platform::FlexGrid* grid);
    platform::FlexGrid* getGrddisplay() const { return grddisplay.data(); }

    // The size in twips the control wants for itself.
    std::int32_t ucHeight = designHeight;
    std::int32_t ucWidth = designWidth;

    // Evaluates the position and draws its curve. With AutoScale True the
    // vertical range is chosen afresh (clearing earlier curves); otherwise the
    // user is asked before the range changes.
    void PlotIt(platform::Boolean16 AutoScale);
    // Rebuilds the position grid from a quote table: call premium, strike and
    // put premium a line with every quantity 0, or whole rows of the grid. A
    // text without a single strike changes nothing and says so.
    void pasteData(const QString& strPaste);
    // Every quantity changes sign, and the position is plotted.
    void InvertPosition();
    // The position grid's selection to the clipboard.
    void CopyOptionData();
    // The last plot in words: which curve, its premiums, break-evens and
    // extremes, and with days left its value and greeks; empty before the
    // first plot and once the plot area is cleared. While the grid holds
    // another position than the one plotted, its first line says so.
    const QString& analysisText() const { return analysisText_; }
    // Whether the grid or the underlying's box differ from what was last
    // plotted, so that the analysis describes an earlier position.
    bool analysisStale() const { return plot_->stale(); }
    // What says so, first in the analysis.
    static QString asLastPlotted();
    // How the last curve is valued before expiry. A change redraws that
    // curve and its greeks at once, without a plot.
    void setBeforeExpiry(const beforeexpiry::Inputs& inputs);
    // Whether the curve before expiry and its greeks are drawn at all: not
    // while the panel that sets them is closed.
    void setBeforeExpiryShown(bool shown);
    bool beforeExpiryShown() const { return plot_->beforeExpiryShown(); }
    // What a saved file keeps: the grid and the boxes as shown, the diagram,
    // the colour and the inputs before expiry.
    document::Document document() const;
    // Shows a saved position in place of the one held and re-plots it alone,
    // in the range it was saved with and without a question, under the name
    // `name` (the file's). One undo gives back all it changed, name
    // included; should it fail half way, the position held is shown again.
    void openDocument(const document::Document& saved, const QString& name);
    // The name of the file the position was last opened from or saved as;
    // empty for none.
    const QString& documentName() const { return documentName_; }
    void setDocumentName(const QString& name);
    // The listed strategy the last curve is, whichever way it was loaded or
    // typed; empty for a custom position and while no curve is drawn.
    QString strategyHeld() const;
    // What a link asks for (a tutorial page's, or one a student copied): a
    // listed strategy, loaded as choosing it from the list does, or a
    // position on the grid's rows or on rows of its own, in the diagram it
    // names; plotted in the range it brings, or re-scaled without one.
    // Today's price and the costs are those the link names, or the
    // starting ones. The position is a new one, tied to no file.
    void followLink(const links::Load& load);
    // Today's price back at the starting one and no trading costs, re-plotted
    // as one step to undo.
    void startingMarket();
    // Every change to the position (typed quantities, steps, strategies,
    // Invert, Restart, pastes, opened files), to undo and redo. An undo
    // brings the grid back and plots it; erased curves stay erased.
    QUndoStack& undoStack();
    // Whether the oldest steps were dropped to keep the history bounded is
    // the stack's property PositionHistory::droppedProperty.
    const beforeexpiry::Inputs& beforeExpiry() const { return plot_->inputs(); }
    // The position valued before expiry: the last curve's, or the one held
    // before the first plot and after a clear.
    const PositionState& valuedPosition() const {
        return plot_->curve() ? plot_->curve()->position : position_;
    }
    // Whether a curve is drawn, and the kind and price range of the last.
    bool hasCurve() const { return plot_->curve().has_value(); }
    payoff::DiagramKind lastKind() const { return plot_->lastKind(); }
    const payoff::PriceRange& lastRange() const { return plot_->lastRange(); }
    // The last plot and all that is derived from it, for the views beside
    // the diagram: they ask it for what they show.
    const LastPlot& lastPlot() const { return *plot_; }
    // The implied volatilities of the position valued before expiry, and
    // its rows the model cannot value.
    std::vector<beforeexpiry::RowVolatility> impliedVolatilities() const;
    std::vector<beforeexpiry::RowNotValued> rowsNotValued() const;
    // Marks on the last curve (strikes, break-evens, extremes) over the
    // diagram; shown unless turned off.
    void setMarkersShown(bool shown);
    // The legend of the curves over the diagram; shown unless turned off.
    void setLegendShown(bool shown);
    // The law of the price at expiry under the diagram, and in the profit
    // diagram how likely the last curve's outcomes are; off unless turned on.
    void setProbabilityShown(bool shown);
    bool probabilityShown() const { return plot_->probabilityShown(); }
    // The colour swatches by name, and choosing one, for the keyboard.
    QString swatchName(int index) const;
    void chooseColor(int index);
    // What the plot area shows, as data to draw again at any size: the
    // curves since it was last cleared (none after a clear), its legend,
    // strikes and marks, and the curve before expiry.
    const diagramexport::Diagram& diagram() const { return plot_->diagram(); }
    // The dashed curve's values at the prices of the numeric values, as an
    // exported column; empty while no dashed curve is drawn.
    QList<valuesexport::Column> beforeExpiryColumns() const;
    // The large and the normal presentation of the whole control.
    void EnlargeFont();
    void ReduceFont();

    // The price the pointer reads where it stands over a pixel's worth of
    // prices from a to b: the one with the fewest decimals (a hundred, ten,
    // one, a tenth...) between them.
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
    // Every plot and every change of the inputs before expiry, with the new
    // analysisText().
    void AnalysisChange(const QString& text);
    // The inputs before expiry changed other than by setBeforeExpiry (a file).
    void BeforeExpiryChange();
    // The position's file name changed: opened, saved, or an opening undone.
    void DocumentNameChange(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Start-up.
    void createControls();
    void placeControls();
    void fitGridColumns();
    void setTabOrder();
    void connectControls();
    void createSwatches();
    void describeControls();
    void registerWithDisplay();
    void fillPositionGrid();
    void fillStrategyList();

    // Plotting. Auto chooses the vertical range afresh, Ask asks before the
    // range changes, Keep draws in the range the boxes hold, come what may.
    enum class Scale { Auto, Ask, Keep };
    void plot(Scale scale);
    void prepareValuesGrid(platform::FlexGrid& grid) const;
    void writeValuesRow(platform::FlexGrid& grid, int i) const;
    // Empties the plot area with everything that describes its curves.
    void clearPlotArea();
    // Takes the last curve off, the earlier ones staying as they were drawn.
    void withdrawLastCurve();
    // What the legend calls a curve of the position now held.
    QString curveName(payoff::DiagramKind f) const;
    void drawCurve(const payoff::PriceRange& range, payoff::DiagramKind f, float ytop, float ybot,
                   const QString& name);
    // The analysis follows the last plot: one notice for each action.
    void plotChanged(LastPlot::Parts parts);

    // Plot controls.
    void cmdPlot_Click();
    std::int16_t readPosition();
    void adjustQty(float step);
    void pColor_Click(int index);
    void pbox_KeyPress(int keyAscii);
    void selectUnderlying();
    void switchDisplay(void (display::wqzSetDisplay::*change)(std::int32_t&, std::int32_t&));
    void cmbStandard_Click();
    // The strategy the list shows, loaded and plotted as one step; with
    // `untiedFrom` (a file's name) the position is no longer that file's.
    void loadStrategy(const std::optional<QString>& untiedFrom,
                      const std::optional<links::Range>& range);
    // Plots the position alone in `range`, or re-scaled without one.
    void plotIn(const std::optional<links::Range>& range);
    // A position loaded whole starts from the quotes the grid shows, no
    // quantities and prices 1 to 100.
    void startAfresh();
    // Why the strategy cannot be loaded on the grid's rows; empty when it can.
    QString legsMissing(const QString& name) const;

    // Position grid.
    void Grid1_Click();
    void Grid1_RowColChange();
    void Grid1_DblClick();
    void Grid1_KeyDown(int keyCode, int shift);
    void Grid1_KeyPress(int keyAscii);
    bool currentCellEditable() const;

    // Undo: the position as the grid and the underlying's box show it.
    using Shown = ShownPosition;
    Shown shown() const;
    void showRows(const QList<document::Row>& rows);
    // False when reading failed (and was reported).
    bool readShown(const Shown& position);
    // Brings a shown position back and plots it.
    void restore(const Shown& position);
    // Makes what the grid now shows one step to undo, named `what`, when it
    // differs from the last step; with `untiedFrom` the step also unties the
    // position from that file, which its undo ties again.
    void recordChange(const QString& what, const std::optional<QString>& untiedFrom = {});
    void recordTyping() { recordChange(QStringLiteral("Typing")); }
    // Whether the grid still holds what was plotted, once per batch of edits.
    void scheduleStaleCheck();
    void checkStale();
    // Empties the analysis with the plot area it described.
    void forgetAnalysis();
    // The list shows the strategy the grid holds, or none.
    void showStrategy();
    struct Named {
        document::Document document;
        QString name;
    };
    void showDocument(const Named& named);

    // Today's price and the trading costs.
    void createMarketControls();
    void showPriceCaption();
    // Applied, plotted and made one step to undo; outside the box's range
    // refused with a message.
    void marketBoxConfirmed(ConfirmedNumberBox* box);
    void showMarketBoxes();
    bool marketTyped() const;
    // A price outside the diagram's range: offers to centre the range on it,
    // once for a range while the price stays outside; true when taken.
    bool offerToCentre(float price);
    void applyMarket(const links::Market& market);

    // Position commands.
    void cmdClear_Click();
    void cmdRestart_Click();
    void followGridRows();
    // Strikes and premiums as the grid shows them; with `rewrite` written
    // back. A row whose strike is no number, or beyond a float, takes no part.
    void readQuotes(bool rewrite);
    // Greys the rows that take no part; with `report` says so once.
    void showRowsTakingPart(bool report);
    void showSelection();

    platform::Clipboard& clipboard_;

    // Controls, named as their objectName says.
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

    // State: the position read from the grid, and the last plot with all
    // derived from it, drawn by the plot area's layers.
    PositionState position_;
    LastPlot* plot_ = nullptr;
    PlotLayers* layers_ = nullptr;
    payoff::Samples plotPrice_{};
    payoff::Samples plotValue_{};
    platform::Rgb plotColor_ = 0;
    std::int16_t selCallRow = -1;
    std::int16_t selPutRow = 1;
    QString selCaption = QStringLiteral("Put/");
    QString editBuffer;
    QString editRestore;
    QString analysisText_;
    // The cells and strikes reported as too large or no number.
    QStringList tooLargeReported_;
    QStringList noNumberReported_;
    std::unique_ptr<display::wqzSetDisplay> setDisplay;
    std::unique_ptr<PositionHistory> history_;
    // What the grid showed after the last recorded change, and when the last
    // curve was drawn (none once cleared).
    Shown recorded_;
    std::optional<Shown> plotted_;
    bool staleCheckDue_ = false;
    bool plotting_ = false;
    bool staleSkipped_ = false;
    // The price range whose centring was declined, while the price is outside.
    std::optional<std::pair<float, float>> centreDeclined_;
    QString documentName_;
    QPointer<platform::FlexGrid> grddisplay;
};

} // namespace workbench
