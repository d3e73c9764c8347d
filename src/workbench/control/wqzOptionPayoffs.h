#pragma once

#include "ConfirmedSpinBox.h"
#include "DatedCurves.h"
#include "DiagramExport.h"
#include "ShownPosition.h"
#include "ValuesExport.h"
#include "platform/Boolean16.h"
#include "platform/FlexGrid.h"
#include "platform/Palette.h"
#include "workbench/model/PayoffEvaluation.h"
#include "workbench/model/PositionDocument.h"
#include "workbench/model/PositionState.h"
#include "workbench/model/Probability.h"
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

class CurveLegend;
class ExpiryCurveLayer;
class GreekCurveLayer;
class HoverReadout;
class MarkerLayer;
class PositionHistory;
class PriceLineLayer;
class ProbabilityLayer;

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
    bool analysisStale() const { return stale_; }
    // What says so, first in the analysis.
    static QString asLastPlotted();
    // How the last curve is valued before expiry. A change redraws that
    // curve and its greeks at once, without a plot.
    void setBeforeExpiry(const beforeexpiry::Inputs& inputs);
    // Whether the curve before expiry and its greeks are drawn at all: not
    // while the panel that sets them is closed.
    void setBeforeExpiryShown(bool shown);
    bool beforeExpiryShown() const { return beforeExpiryShown_; }
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
    const beforeexpiry::Inputs& beforeExpiry() const { return expiryInputs_; }
    // The position valued before expiry: the last curve's, or the one held
    // before the first plot and after a clear.
    const PositionState& valuedPosition() const { return lastCurve_ ? *lastCurve_ : position_; }
    // Whether a curve is drawn, and the kind and price range of the last.
    bool hasCurve() const { return lastCurve_.has_value(); }
    payoff::DiagramKind lastKind() const { return lastKind_; }
    const payoff::PriceRange& lastRange() const { return lastRange_; }
    // Marks on the last curve (strikes, break-evens, extremes) over the
    // diagram; shown unless turned off.
    void setMarkersShown(bool shown);
    // The legend of the curves over the diagram; shown unless turned off.
    void setLegendShown(bool shown);
    // The law of the price at expiry under the diagram, and in the profit
    // diagram how likely the last curve's outcomes are; off unless turned on.
    void setProbabilityShown(bool shown);
    bool probabilityShown() const { return probabilityShown_; }
    // The colour swatches by name, and choosing one, for the keyboard.
    QString swatchName(int index) const;
    void chooseColor(int index);
    // What the plot area shows, as data to draw again at any size: the
    // curves since it was last cleared (none after a clear), its legend,
    // strikes and marks, and the curve before expiry.
    diagramexport::Diagram diagram() const;
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
    // Takes the last curve and its legend entry off the plot area, the
    // earlier curves staying as they were drawn.
    void withdrawLastCurve();
    // What the legend calls a curve of the position now held.
    QString curveName(payoff::DiagramKind f) const;
    // The last curve valued with the days left: its dashed line, legend line
    // and greeks.
    void showBeforeExpiry();
    // The law of the price at expiry for the last curve, drawn under it, and
    // its figures in probabilityText_; nothing while it is not shown.
    void showProbability();
    // The chance of a profit at the highlighted date, from its dashed curve.
    QString profitChanceBeforeExpiry(const probability::Lognormal& atExpiry) const;
    // The dashed curve's value at price S as the hover read-out adds it;
    // empty while none is drawn or the model cannot value it there.
    QString beforeExpiryAt(double S) const;
    void drawCurve(const payoff::PriceRange& range, payoff::DiagramKind f, float ytop, float ybot,
                   const payoff::Extremes& extremes);

    // Plot controls.
    void cmdPlot_Click();
    std::int16_t readPosition();
    void adjustQty(float step);
    void pColor_Click(int index);
    void pbox_KeyPress(int keyAscii);
    // The price under the pointer and the last curve's exact value there.
    void pbox_PointerMoved(QPointF at);

    void selectUnderlying();
    void switchDisplay(void (display::wqzSetDisplay::*change)(std::int32_t&, std::int32_t&));
    void cmbStandard_Click();
    // The strategy the list shows, loaded and plotted as one step; with
    // `untiedFrom` (a file's name) the position loaded is no longer that
    // file's, and its undo ties it again.
    void loadStrategy(const std::optional<QString>& untiedFrom,
                      const std::optional<links::Range>& range);
    // Plots the position alone in `range` as it stands, or re-scaled in the
    // range boxes without one.
    void plotIn(const std::optional<links::Range>& range);
    // A position loaded whole (a strategy, a page's link) starts from the
    // quotes the grid shows, no quantities and prices 1 to 100.
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

    // Undo. The position as the grid and the underlying's box show it, with
    // the range it is drawn in.
    using Shown = ShownPosition;
    Shown shown() const;
    // Puts rows into the grid in place of all it holds.
    void showRows(const QList<document::Row>& rows);
    // Reads a shown position into the state, leaving its texts as they were;
    // false when reading failed (and was reported).
    bool readShown(const Shown& position);
    // Brings a shown position back and plots it.
    void restore(const Shown& position);
    // Makes what the grid now shows one step to undo, named `what`, when it
    // differs from the last step. Commands call it first for what was typed
    // before them, so that their own undo gives back exactly that. With
    // `untiedFrom` the step also unties the position from that file, which
    // its undo ties again.
    void recordChange(const QString& what, const std::optional<QString>& untiedFrom = {});
    void recordTyping() { recordChange(QStringLiteral("Typing")); }
    // The analysis, the strategy list and the panel follow whether the grid
    // still holds what was plotted; checked once per batch of edits.
    void scheduleStaleCheck();
    void checkStale();
    // Empties the analysis with the plot area it described.
    void forgetAnalysis();
    // The list shows the strategy the position read from the grid is, or no
    // entry for a custom position or one edited since.
    void showStrategy();
    // A document and its name, as an opening shows it and its undo gives
    // back.
    struct Named {
        document::Document document;
        QString name;
    };
    void showDocument(const Named& named);

    // Today's price and the trading costs: their boxes, the caption that
    // shows the price in force, and what a confirmed change does.
    void createMarketControls();
    void showPriceCaption();
    // A value confirmed in one of the boxes: applied, plotted and made one
    // step to undo; a value outside the box's range is refused with a
    // message and the box shows what is in force again.
    void marketBoxConfirmed(ConfirmedNumberBox* box);
    // Shows the price and the costs the state holds in their boxes.
    void showMarketBoxes();
    // Whether a box holds typing not yet confirmed.
    bool marketTyped() const;
    // A price outside the diagram's price range: offers to centre the range
    // on it; true when the student took the offer. Declined, the offer is
    // not made again for the same range while the price stays outside it,
    // so that a held arrow does not ask at every step.
    bool offerToCentre(float price);
    // What a tutorial page's link sets up besides the position.
    void applyMarket(const links::Market& market);

    // Position commands.
    void cmdClear_Click();
    void cmdRestart_Click();
    // The state's rows follow the grid's strike rows, keeping what they hold.
    void followGridRows();
    // Strikes and premiums as the grid shows them; with `rewrite` they are
    // written back as the grid starts with them. A row whose strike is no
    // number, or that holds a number beyond a 32-bit float, takes no part and
    // keeps its text.
    void readQuotes(bool rewrite);
    // Greys the rows that take no part and says why in their tooltips. With
    // `report`, numbers too large to use that were not reported before are.
    void showRowsTakingPart(bool report);
    // lblOption names what the next step changes; a selected row that is no
    // longer in the grid gives way to the underlying.
    void showSelection();

    platform::Clipboard& clipboard_;

    // Controls, named as their objectName says.
    platform::PictureBox* pbox = nullptr;
    HoverReadout* hover_ = nullptr;
    CurveLegend* legend_ = nullptr;
    ExpiryCurveLayer* expiryCurve_ = nullptr;
    MarkerLayer* markers_ = nullptr;
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
    PriceLineLayer* todayLine_ = nullptr;
    ProbabilityLayer* probability_ = nullptr;
    bool probabilityShown_ = false;
    QString probabilityText_;
    QPushButton* cmdPlot = nullptr;
    QPushButton* cmdRestart = nullptr;
    QPushButton* cmdClear = nullptr;
    QComboBox* cmbStandard = nullptr;
    platform::FlexGrid* Grid1 = nullptr;
    void showGreekCurve();   // the greek chosen under the diagram, for valuer_
    void followGreekCurve(); // showGreekCurve once the events waiting are done
    bool greekCurvePending_ = false;
    QLabel* lblGreek = nullptr;
    QComboBox* cmbGreek = nullptr;
    GreekCurveLayer* greekCurve_ = nullptr;

    // State.
    PositionState position_;
    payoff::Samples plotPrice_{};
    payoff::Samples plotValue_{};
    platform::Rgb plotColor_ = 0;
    std::int16_t selCallRow = -1;
    std::int16_t selPutRow = 1;
    QString selCaption = QStringLiteral("Put/");
    QString editBuffer;
    QString editRestore;
    // The last plot's analysis without the lines before expiry, and what the
    // last curve was drawn over and in.
    QString expiryAnalysis_;
    QString analysisText_;
    payoff::PriceRange lastRange_{};
    platform::Rgb lastColor_ = 0;
    QString lastName_;
    beforeexpiry::Inputs expiryInputs_;
    // What values the date the days left show (for its greeks), and each
    // date's dashed curve; plotSerial_ counts the plots they were valued for.
    std::optional<beforeexpiry::Valuer> valuer_;
    DatedCurves dates_;
    int plotSerial_ = 0;
    bool beforeExpiryShown_ = true;
    // The position and kind of the last curve drawn since the plot area was
    // cleared; nothing while the area is empty.
    std::optional<PositionState> lastCurve_;
    payoff::DiagramKind lastKind_ = payoff::payoffDiagram;
    // Every curve drawn since the plot area was cleared, oldest first.
    QList<DrawnCurve> drawnCurves_;
    // The cells reported as too large, as the message named them.
    QStringList tooLargeReported_;
    // The strikes that are no number, as the message named them.
    QStringList noNumberReported_;
    std::unique_ptr<display::wqzSetDisplay> setDisplay;
    std::unique_ptr<PositionHistory> history_;
    // What the grid showed after the last recorded change.
    Shown recorded_;
    // What the grid showed when the last curve was drawn; none once cleared.
    std::optional<Shown> plotted_;
    bool stale_ = false;
    bool staleCheckDue_ = false;
    bool plotting_ = false;
    bool staleSkipped_ = false;
    // The price range whose centring was declined, while the price is outside.
    std::optional<std::pair<float, float>> centreDeclined_;
    QString documentName_;
    QPointer<platform::FlexGrid> grddisplay;
};

} // namespace workbench
