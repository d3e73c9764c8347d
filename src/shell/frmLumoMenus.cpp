// The menu bar and its commands.
#include "frmLumo.h"

#include "PackDesk.h"

#include "platform/Browser.h"
#include "platform/Clipboard.h"
#include "platform/EventPump.h"
#include "platform/FailureGuard.h"
#include "platform/FlexGrid.h"
#include "platform/Fonts.h"
#include "platform/RunTimeError.h"
#include "platform/Twips.h"
#include "services/MTaskList.h"
#include "services/ReportError.h"
#include "workbench/control/GridEditing.h"
#include "workbench/control/PositionHistory.h"
#include "workbench/control/ScenarioTable.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/WorkbenchLink.h"

#include <QActionGroup>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QUndoStack>

#include <initializer_list>
#include <tuple>
#include <utility>

namespace shell {

namespace {

QAction* item(QMenu* menu, const char* name, const char* caption) {
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QAction* separator(QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

void frmLumo::createMenus() {
    using platform::guarded;
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* home = item(file, "mnuHomePage", "&Home Page");
    // The forums need the maker's server side; they stay hidden and disabled.
    QAction* forumSeparator = separator(file, "mnuFileSep1");
    QAction* studentForum = item(file, "mnuStudentForum", "&Student Forum");
    QAction* instructorForum = item(file, "mnuInstructorForum", "&Instructor's Forum Setup");
    for (QAction* hidden : {forumSeparator, studentForum, instructorForum}) {
        hidden->setVisible(false);
        hidden->setEnabled(false);
    }
    separator(file, "mnuFileSepPosition");
    QAction* open = item(file, "mnuOpenPosition", "&Open Position...");
    open->setShortcut(QKeySequence::Open);
    open->setStatusTip(QStringLiteral("Shows a position saved in a file in place of this one"));
    mnuRecentPositions = file->addMenu(QStringLiteral("&Recent Positions"));
    mnuRecentPositions->setObjectName(QStringLiteral("mnuRecentPositions"));
    // Each entry names its file; the tooltip gives the folder.
    mnuRecentPositions->setToolTipsVisible(true);
    showRecentPositions();
    QAction* save = item(file, "mnuSavePosition", "&Save Position");
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setStatusTip(QStringLiteral(
        "Keeps the position in the file it came from or was last saved to; asks for a new one"));
    QAction* saveAs = item(file, "mnuSavePositionAs", "Save Position &As...");
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    saveAs->setStatusTip(QStringLiteral("Keeps the position, its boxes and diagram in a file"));
    createPacks(file);
    separator(file, "mnuFileSepExport");
    QAction* exportDiagram = item(file, "mnuExportDiagram", "Export &Diagram...");
    exportDiagram->setStatusTip(QStringLiteral(
        "Saves the diagram with its axes and legend as a PNG image or an SVG drawing"));
    QAction* exportValues = item(file, "mnuExportValues", "Export Numeric &Values...");
    exportValues->setStatusTip(
        QStringLiteral("Saves the numeric values of the last plot as comma-separated values"));
    QAction* exportScenarios = item(file, "mnuExportScenarios", "Export S&cenarios...");
    exportScenarios->setStatusTip(QStringLiteral(
        "Saves the last curve at each price from today to expiry as comma-separated values"));
    QAction* exportPdf = item(file, "mnuExportPdf", "Export PD&F...");
    exportPdf->setStatusTip(QStringLiteral(
        "Saves the diagram, the position, the analysis and the inputs as a one-page PDF"));
    separator(file, "mnuFileSepPrint");
    QAction* print = item(file, "mnuPrint", "&Print...");
    print->setShortcut(QKeySequence::Print);
    print->setStatusTip(QStringLiteral(
        "Prints the diagram, the position, the analysis and the inputs on one page"));
    separator(file, "mnuFileSep2");
    QAction* exit = item(file, "mnuFileExit", "E&xit");

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    QUndoStack& changes = ucLumo->undoStack();
    QAction* undo = changes.createUndoAction(edit, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcut(QKeySequence::Undo);
    undo->setStatusTip(QStringLiteral(
        "Brings back the position before its last change and plots it; erased curves stay "
        "erased"));
    QAction* redo = changes.createRedoAction(edit, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    redo->setStatusTip(QStringLiteral("Makes the change undone last again and plots it"));
    // Once the oldest steps were dropped to keep the history bounded, the
    // greyed item says why nothing is left to undo. The stack's own action
    // names the step otherwise.
    // The stack says so itself: it may tell of its last changes while the
    // window and the workbench are already going.
    const auto sayWhyNone = [undo, &changes] {
        if (!changes.canUndo() &&
            changes.property(workbench::PositionHistory::droppedProperty).toBool()) {
            undo->setText(QStringLiteral("&Undo (older steps are not kept)"));
        }
    };
    connect(&changes, &QUndoStack::undoTextChanged, undo, sayWhyNone);
    connect(&changes, &QUndoStack::canUndoChanged, undo, sayWhyNone);
    edit->addAction(undo);
    edit->addAction(redo);
    separator(edit, "mnuSepUndo");
    QAction* copyOptions = item(edit, "mnuCopyOptionData", "Copy Selected &Option Data");
    QAction* copyValues = item(edit, "mnuCopyPayoffData", "Copy Selected &Numeric Values");
    QAction* copyAnalysis = item(edit, "mnuCopyAnalysis", "Copy &Analysis");
    copyAnalysis->setStatusTip(QStringLiteral(
        "Copies the break-evens, greatest profit and loss of the last plot as text"));
    QAction* copyScenarios = item(edit, "mnuCopyScenarios", "Copy &Scenarios");
    copyScenarios->setStatusTip(QStringLiteral(
        "Copies the last curve at each price from today to expiry as tab-separated text"));
    QAction* copyLink = item(edit, "mnuCopyLink", "Copy &Link to Position");
    copyLink->setStatusTip(QStringLiteral(
        "Copies a link that loads this position, its range and inputs in another workbench"));
    separator(edit, "mnuSepPaste");
    QAction* paste = item(edit, "mnuPasteOpData", "&Paste Option Data");
    giveEditShortcuts(copyOptions, copyValues, copyAnalysis, copyScenarios, paste);

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    QAction* invert = item(options, "mnuInvertPosition", "&Invert Position");
    QAction* startingMarket = item(options, "mnuStartingMarket", "S&tarting Market");
    startingMarket->setStatusTip(
        QStringLiteral("Sets today's price back to 50 and the trading costs to 0"));
    separator(options, "mnuOptionSep1");
    QAction* large = item(options, "mnuOptionsLargeDisplay", "&Large Display");
    QAction* normal = item(options, "mnuOptionsNormalDisplay", "&Normal Display");
    // The menu shows which display is on.
    auto* displays = new QActionGroup(options);
    for (QAction* display : {large, normal}) {
        display->setCheckable(true);
        displays->addAction(display);
    }
    normal->setChecked(true);
    separator(options, "mnuOptionSep2");
    QAction* markers = item(options, "mnuShowMarkers", "Show &Markers");
    markers->setCheckable(true);
    markers->setChecked(true);
    QAction* probability = item(options, "mnuShowProbability", "Show &Probability");
    probability->setCheckable(true);
    QAction* legend = item(options, "mnuShowLegend", "Show Le&gend");
    legend->setCheckable(true);
    legend->setChecked(true);
    legend->setStatusTip(
        QStringLiteral("Shows or hides the legend of the curves over the diagram"));
    QAction* diagramOnly = item(options, "mnuDiagramOnly", "&Diagram Only");
    diagramOnly->setCheckable(true);
    diagramOnly->setShortcut(QKeySequence(Qt::Key_F11));
    diagramOnly->setStatusTip(QStringLiteral(
        "Shows the diagram and its analysis alone, filling a screen; Esc comes back"));
    connect(diagramOnly, &QAction::toggled, this,
            guarded([this](bool shown) { showDiagramOnly(shown); }));
    // The swatches take no focus; the keyboard chooses a colour here.
    QMenu* colours = options->addMenu(QStringLiteral("Curve &Colour"));
    colours->setObjectName(QStringLiteral("mnuCurveColour"));
    for (int i = 0; i < workbench::wqzOptionPayoffs::swatchCount; ++i) {
        QAction* colour = colours->addAction(ucLumo->swatchName(i));
        colour->setObjectName(QStringLiteral("mnuColour%1").arg(i));
        connect(colour, &QAction::triggered, this, guarded([this, i] { ucLumo->chooseColor(i); }));
    }
    QMenu* schemeMenu = options->addMenu(QStringLiteral("Colour &Scheme"));
    schemeMenu->setObjectName(QStringLiteral("mnuColourScheme"));
    auto* schemes = new QActionGroup(schemeMenu);
    for (const auto& [scheme, name, caption] :
         {std::tuple{ColourScheme::Desktop, "mnuSchemeDesktop", "Follow the &Desktop"},
          std::tuple{ColourScheme::Light, "mnuSchemeLight", "&Light"},
          std::tuple{ColourScheme::Dark, "mnuSchemeDark", "D&ark"},
          std::tuple{ColourScheme::HighContrast, "mnuSchemeContrast", "&High Contrast"}}) {
        QAction* choice = item(schemeMenu, name, caption);
        choice->setCheckable(true);
        choice->setChecked(scheme == kept_.scheme);
        schemes->addAction(choice);
        connect(choice, &QAction::triggered, this,
                guarded([this, scheme = scheme] { useColours(scheme); }));
    }
    // The tutorial's pages larger or smaller, to be read from the back of
    // a room; the keys browsers use.
    QMenu* zoom = options->addMenu(QStringLiteral("Page &Zoom"));
    zoom->setObjectName(QStringLiteral("mnuPageZoom"));
    QAction* zoomIn = item(zoom, "mnuZoomIn", "Zoom &In");
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    QAction* zoomOut = item(zoom, "mnuZoomOut", "Zoom &Out");
    zoomOut->setShortcuts(QKeySequence::ZoomOut);
    QAction* zoomBack = item(zoom, "mnuZoomActual", "&Actual Size");
    zoomBack->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(zoomIn, &QAction::triggered, this, guarded([this] { zoomPage(+1); }));
    connect(zoomOut, &QAction::triggered, this, guarded([this] { zoomPage(-1); }));
    connect(zoomBack, &QAction::triggered, this, guarded([this] { zoomPage(0); }));
    QAction* expiryPanel = expiryDock_->toggleViewAction();
    expiryPanel->setObjectName(QStringLiteral("mnuBeforeExpiry"));
    expiryPanel->setText(QStringLiteral("Before &Expiry Panel"));
    expiryPanel->setStatusTip(
        QStringLiteral("Shows or hides the inputs that value the last curve before expiry"));
    options->addAction(expiryPanel);
    QAction* scenariosPanel = scenariosDock_->toggleViewAction();
    scenariosPanel->setObjectName(QStringLiteral("mnuScenarios"));
    scenariosPanel->setText(QStringLiteral("&Scenarios Panel"));
    scenariosPanel->setStatusTip(QStringLiteral(
        "Shows or hides the last curve at each price from today to expiry, as a table"));
    options->addAction(scenariosPanel);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* moduleHelp = item(help, "mnuModHelp", "&Module Specific Help");
    QAction* helpPage = item(help, "mnuHelpModule", "&Help");

    connect(home, &QAction::triggered, this, guarded([this] {
                browser_.navigate(addresses_.strHomeURL);
                platform::eventPump().doEvents();
            }));
    connect(studentForum, &QAction::triggered, this,
            guarded([this] { services::MTaskList::openStudentForum(browser_, addresses_); }));
    connect(instructorForum, &QAction::triggered, this, guarded([this] {
                services::MTaskList::openInstructorForumSetup(browser_, addresses_);
            }));
    connect(open, &QAction::triggered, this, guarded([this] { mnuOpenPosition_Click(); }));
    connect(save, &QAction::triggered, this, guarded([this] { mnuSavePosition_Click(); }));
    connect(saveAs, &QAction::triggered, this, guarded([this] { mnuSavePositionAs_Click(); }));
    connect(exportDiagram, &QAction::triggered, this,
            guarded([this] { mnuExportDiagram_Click(); }));
    connect(exportValues, &QAction::triggered, this, guarded([this] { mnuExportValues_Click(); }));
    connect(exportScenarios, &QAction::triggered, this,
            guarded([this] { mnuExportScenarios_Click(); }));
    connect(exportPdf, &QAction::triggered, this, guarded([this] { mnuExportPdf_Click(); }));
    connect(print, &QAction::triggered, this, guarded([this] { mnuPrint_Click(); }));
    connect(exit, &QAction::triggered, this, guarded([this] {
                if (positionMayGo(kBeforeClosing) && packs_->mayGo(kBeforeClosing)) {
                    shutdown();
                }
            }));
    connect(copyOptions, &QAction::triggered, this, guarded([this] { ucLumo->CopyOptionData(); }));
    connect(copyValues, &QAction::triggered, this,
            guarded([this] { workbench::gridediting::copyGridSelection(*Grid1, clipboard_); }));
    connect(copyAnalysis, &QAction::triggered, this,
            guarded([this] { clipboard_.setText(ucLumo->settledAnalysisText()); }));
    connect(copyScenarios, &QAction::triggered, this,
            guarded([this] { mnuCopyScenarios_Click(); }));
    connect(copyLink, &QAction::triggered, this, guarded([this] { mnuCopyLink_Click(); }));
    connect(paste, &QAction::triggered, this, guarded([this] { mnuPasteOpData_Click(); }));
    connect(invert, &QAction::triggered, this, guarded([this] { ucLumo->InvertPosition(); }));
    connect(startingMarket, &QAction::triggered, this,
            guarded([this] { ucLumo->startingMarket(); }));
    connect(large, &QAction::triggered, this, guarded([this] { displaySwitch(true); }));
    connect(normal, &QAction::triggered, this, guarded([this] { displaySwitch(false); }));
    connect(markers, &QAction::toggled, this, guarded([this](bool shown) {
                ucLumo->setMarkersShown(shown);
                kept_.markersShown = shown;
                keep();
            }));
    connect(probability, &QAction::toggled, this, guarded([this](bool shown) {
                ucLumo->setProbabilityShown(shown);
                kept_.probabilityShown = shown;
                keep();
            }));
    connect(legend, &QAction::toggled, this,
            guarded([this](bool shown) { ucLumo->setLegendShown(shown); }));
    // As the student left them.
    markers->setChecked(kept_.markersShown);
    probability->setChecked(kept_.probabilityShown);
    connect(moduleHelp, &QAction::triggered, this,
            guarded([this] { browser_.navigate(addresses_.strModuleURL); }));
    connect(helpPage, &QAction::triggered, this,
            guarded([this] { browser_.navigate(addresses_.strHelpURL); }));
}

void frmLumo::giveEditShortcuts(QAction* copyOptions, QAction* copyValues, QAction* copyAnalysis,
                                QAction* copyScenarios, QAction* paste) {
    // Each copy has Ctrl+C where what it copies has the focus: the option
    // data in the workbench (its diagram keeps the key for its picture), the
    // numeric values in their grid, the analysis in its box while nothing in
    // it is selected, the scenarios in their table. The address box and
    // every other text field keep their own Ctrl+C and Ctrl+V: they claim
    // the keys before any shortcut.
    const std::pair<QAction*, QWidget*> copies[] = {{copyOptions, ucLumo},
                                                    {copyValues, Grid1},
                                                    {copyAnalysis, txtAnalysis},
                                                    {copyScenarios, grdScenarios}};
    for (const auto& [copy, where] : copies) {
        copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
        copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        where->addAction(copy);
    }
    // Paste Option Data reads a quote table wherever the focus does not use
    // the key itself; the position grid pastes into its cells.
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
}

void frmLumo::mnuPasteOpData_Click() {
    try {
        const QString text = clipboard_.text();
        // A link to a position loads it; it is no table of quotes.
        if (workbench::links::isLink(text)) {
            followStudentLink(text);
            return;
        }
        ucLumo->pasteData(text);
    } catch (const platform::RunTimeError& error) {
        services::errors::reportError(error);
    }
}

void frmLumo::showLargeBeside(bool large) {
    // What reads the workbench's numbers grows with it: the values, the
    // analysis and its offer, and the panels before expiry and of scenarios.
    const double size = large ? kLargePoints : kNormalPoints;
    for (QWidget* w : std::initializer_list<QWidget*>{Grid1, txtAnalysis, lblReadAbout}) {
        w->setFont(platform::uiFont(size));
    }
    // The values keep every digit in sight at either size.
    for (int c = 0; c < Grid1->Cols(); ++c) {
        Grid1->fitColWidthToText(c);
    }
    for (QDockWidget* dock : {expiryDock_, scenariosDock_}) {
        QWidget* panel = dock->widget();
        QFont font = panel->font();
        font.setPointSizeF(QApplication::font().pointSizeF() *
                           (large ? kLargePoints / kNormalPoints : 1.0));
        panel->setFont(font);
    }
}

void frmLumo::displaySwitch(bool large) {
    // Every step runs even when one before it failed.
    platform::skipOnError([&] { large ? ucLumo->EnlargeFont() : ucLumo->ReduceFont(); });
    platform::skipOnError([&] {
        platform::twips::Rect r = platform::twips::geometry(ucLumo);
        r.width = ucLumo->ucWidth;
        platform::twips::setGeometry(ucLumo, r);
    });
    platform::skipOnError([&] {
        platform::twips::Rect r = platform::twips::geometry(ucLumo);
        r.height = ucLumo->ucHeight;
        platform::twips::setGeometry(ucLumo, r);
    });
    platform::skipOnError([&] { showLargeBeside(large); });
    int panelsMore = 0;
    platform::skipOnError([&] { panelsMore = fitPanels(); });
    platform::skipOnError([&] { large ? growToShowWorkbench(panelsMore) : giveBackNormalSize(); });
    platform::skipOnError([&] { PositionBrowsers(); });
    if (kept_.large != large) {
        kept_.large = large;
        keep();
    }
}

} // namespace shell
