// The scenarios panel: the last curve at a ladder of prices from today to
// expiry, copied and exported as text.
#include "frmLumo.h"

#include "platform/Dialogs.h"
#include "platform/FailureGuard.h"
#include "workbench/control/ScenarioTable.h"
#include "workbench/control/ScenarioText.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/pricing/Scenarios.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include <utility>

namespace shell {

namespace {

namespace scenarios = workbench::scenarios;

// Whole: what the clipboard and files take waits for the table being valued.
const scenarios::Table& scenariosOf(const workbench::wqzOptionPayoffs& bench) {
    bench.settle();
    return *bench.lastPlot().scenarios();
}

} // namespace

void frmLumo::createScenarios() {
    using platform::guarded;
    scenariosDock_ = new QDockWidget(QStringLiteral("Scenarios"), this);
    scenariosDock_->setObjectName(QStringLiteral("dockScenarios"));
    scenariosDock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    // In a narrow window the panel gives way, as the Before Expiry panel
    // does: it scrolls rather than hold the window's width.
    auto* panelView = new QScrollArea(scenariosDock_);
    panelView->setObjectName(QStringLiteral("scrScenarios"));
    panelView->setFrameShape(QFrame::NoFrame);
    panelView->setWidgetResizable(true);
    panelView->setAccessibleName(QStringLiteral("Scenarios panel"));
    const QString about = QStringLiteral(
        "The last curve at each price from today to expiry; it scrolls in a narrow window");
    panelView->setAccessibleDescription(about);
    panelView->setToolTip(about);
    auto* panel = new QWidget(panelView);
    panel->setObjectName(QStringLiteral("scenariosPanel"));
    auto* column = new QVBoxLayout(panel);
    lblScenarios = new QLabel(workbench::scenariotext::kNoCurve, panel);
    lblScenarios->setObjectName(QStringLiteral("lblScenarios"));
    lblScenarios->setWordWrap(true);
    lblScenarios->setAccessibleName(QStringLiteral("About the scenarios"));
    lblScenarios->setToolTip(QStringLiteral("What the table shows and how its rows are marked"));
    grdScenarios = new workbench::ScenarioTable(clipboard_, panel);
    column->addLayout(createScenarioColumns(panel));
    column->addWidget(lblScenarios);
    column->addWidget(grdScenarios, 1);
    panelView->setWidget(panel);
    scenariosDock_->setWidget(panelView);
    // A tab beside the Before Expiry panel: the table wants the panel's
    // height, and the two are read in turn. Hidden until asked for.
    addDockWidget(Qt::RightDockWidgetArea, scenariosDock_);
    tabifyDockWidget(expiryDock_, scenariosDock_);
    scenariosDock_->hide();
    // Shown, its tab comes to the front, as wide as the table wants where
    // the window has room; the tab bar learns of the panel only once the
    // window has laid it out again.
    const auto bringForward = [this, panelView] {
        scenariosDock_->raise();
        showScenarios();
        const int frame = scenariosDock_->width() - panelView->viewport()->width();
        resizeDocks({scenariosDock_}, {panelView->widget()->sizeHint().width() + frame},
                    Qt::Horizontal);
    };
    connect(scenariosDock_->toggleViewAction(), &QAction::toggled, this,
            guarded([this, bringForward](bool shown) {
                if (shown) {
                    QMetaObject::invokeMethod(this, guarded(bringForward), Qt::QueuedConnection);
                }
            }));
    connect(scenariosDock_, &QDockWidget::visibilityChanged, this, guarded([this](bool visible) {
                if (visible) {
                    showScenarios();
                }
            }));
    // Valuing a table costs as much as several curves: none while unseen.
    connect(&ucLumo->lastPlot(), &workbench::LastPlot::changed, this,
            guarded([this](workbench::LastPlot::Parts parts) {
                using Plot = workbench::LastPlot;
                if (parts &
                    (Plot::CurvePart | Plot::InputsPart | Plot::DatesPart | Plot::TablePart)) {
                    scenariosDue_ = true;
                }
                if (grdScenarios->isVisible()) {
                    showScenarios();
                }
            }));
}

QHBoxLayout* frmLumo::createScenarioColumns(QWidget* panel) {
    auto* across = new QComboBox(panel);
    across->setObjectName(QStringLiteral("cmbScenarioColumns"));
    across->addItems({QStringLiteral("Days left"), QStringLiteral("Volatility shift")});
    across->setAccessibleName(QStringLiteral("Columns"));
    const QString tip = QStringLiteral(
        "The columns: the days left from today to expiry, or shifts of every option's "
        "volatility at the days left shown");
    across->setToolTip(tip);
    across->setAccessibleDescription(tip);
    across->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* label = new QLabel(QStringLiteral("Col&umns"), panel);
    label->setBuddy(across);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(across, 1);
    const auto follow = [this] {
        ucLumo->setScenariosAcross(kept_.scenariosAcrossVolatility ? scenarios::Across::Volatility
                                                                   : scenarios::Across::Days);
    };
    // As the student left it.
    across->setCurrentIndex(kept_.scenariosAcrossVolatility ? 1 : 0);
    follow();
    connect(across, &QComboBox::currentIndexChanged, this,
            platform::guarded([this, follow](int index) {
                kept_.scenariosAcrossVolatility = index == 1;
                follow();
                keep();
            }));
    return row;
}

void frmLumo::showScenarios() {
    namespace text = workbench::scenariotext;
    if (!ucLumo->hasCurve()) {
        grdScenarios->showNothing();
        scenariosDue_ = true;
        lblScenarios->setText(text::kNoCurve);
        return;
    }
    const bool stale = ucLumo->analysisStale();
    const bool held = grdScenarios->table() && !scenariosDue_;
    if (held && grdScenarios->asLastPlotted() == stale) {
        return; // as shown, where the student left it
    }
    // A table that asks the engine is valued on a thread of its own: the
    // last one valued stands meanwhile, and this comes back once it is in.
    const workbench::LastPlot& plot = ucLumo->lastPlot();
    const scenarios::Table* valued = held ? &*grdScenarios->table() : plot.scenarios();
    const bool valuing = !held && plot.scenariosValuing();
    const QString waiting =
        QStringLiteral("Valuing the scenarios\u2026 until it is done, the table is the one "
                       "valued last.");
    if (!valued) {
        grdScenarios->showNothing();
        lblScenarios->setText(waiting);
        return;
    }
    const scenarios::Table table = *valued;
    scenariosDue_ = valuing;
    grdScenarios->showTable(table, ucLumo->lastKind(), stale);
    // An earlier position than the grid's says so first, as the analysis does.
    const QString about = valuing ? waiting : text::note(table, ucLumo->lastKind());
    lblScenarios->setText(stale ? workbench::wqzOptionPayoffs::asLastPlotted() + u'\n' + about
                                : about);
}

void frmLumo::mnuCopyScenarios_Click() {
    if (!ucLumo->hasCurve()) {
        platform::dialogs().msgBox(
            QStringLiteral("No curve is drawn: plot a position to have scenarios to copy."),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Information);
        return;
    }
    // Out of sight, or being valued, the table waits: brought up to date
    // first.
    ucLumo->settle();
    if (!grdScenarios->isVisible() || scenariosDue_) {
        showScenarios();
    }
    grdScenarios->copy();
}

QString frmLumo::scenariosCsv() const {
    if (!ucLumo->hasCurve()) {
        return QString();
    }
    return workbench::scenariotext::commaSeparated(scenariosOf(*ucLumo), ucLumo->lastKind());
}

} // namespace shell
