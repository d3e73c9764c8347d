#pragma once

#include "workbench/model/PayoffEvaluation.h"
#include "workbench/pricing/Scenarios.h"

#include <QTableWidget>

#include <optional>

namespace platform {
class Clipboard;
}

namespace workbench {

// The scenarios table on screen: a row a price with the price as its
// header, a column a number of days left, each cell shaded from red through
// white to green by its value against the largest in the table. Today's row
// and the break-even rows are marked beside their prices and set in bold,
// and each cell says what it is in its tooltip. Ctrl+C copies the whole table
// as tab-separated text.
class ScenarioTable : public QTableWidget {
    Q_OBJECT
public:
    explicit ScenarioTable(platform::Clipboard& clipboard, QWidget* parent = nullptr);

    // Shows a table of a curve of this kind; `asLastPlotted` greys its text
    // while the grid holds another position than the one it describes.
    void showTable(const scenarios::Table& table, payoff::DiagramKind kind, bool asLastPlotted);
    // No curve: no rows and no columns.
    void showNothing();
    // The table shown as tab-separated text on the clipboard; with none,
    // the clipboard keeps what it holds.
    void copy();
    // The table shown; nothing while no curve is drawn.
    const std::optional<scenarios::Table>& table() const { return table_; }
    bool asLastPlotted() const { return asLastPlotted_; }

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A new size of text (the large display) sets the marked rows again.
    void changeEvent(QEvent* event) override;

private:
    platform::Clipboard& clipboard_;
    std::optional<scenarios::Table> table_;
    payoff::DiagramKind kind_ = payoff::profitDiagram;
    bool asLastPlotted_ = false;
};

} // namespace workbench
