#pragma once

#include "KeptFile.h"
#include "KeptSettings.h"
#include "services/MTaskList.h"
#include "workbench/model/PositionDocument.h"
#include "workbench/pricing/Scenarios.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPageSize>
#include <QPalette>
#include <QSize>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QDockWidget;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QMenu;
class QPageLayout;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTimer;

namespace platform {
class Browser;
class Clipboard;
class FlexGrid;
class LineControl;
class SplitHandle;
} // namespace platform

namespace workbench {
class DiagramWindow;
class ScenarioTable;
class wqzOptionPayoffs;
} // namespace workbench

namespace shell {

class ExerciseProgress;
class PackDesk;

// The main window: the workbench with its numeric-values grid on the left, a
// small web browser for the tutorial pages on the right.
class frmLumo : public QMainWindow {
    Q_OBJECT
public:
    // The design size of the client area, in twips.
    static constexpr int designClientWidth = 13260;
    static constexpr int designClientHeight = 8100;
    // The address box's design width, in twips; a window too narrow for the
    // whole address row takes room from the box first.
    static constexpr int designAddressWidth = 4575;
    // The gap between the window's controls, and the least of the address
    // box that gives way to its buttons, in twips.
    static constexpr double gapTwips = 25;
    static constexpr double leastAddressWidth = 600;
    // The values grid's design width, in twips; it widens with a larger
    // workbench above it.
    static constexpr int designValuesWidth = 5055;

    // How the process ends once the window has shut down.
    using ProcessEnd = void (*)();
    // Ends the process at once: no second unload, no clean-up handlers.
    static void endAtOnce();

    // `addresses` are the web addresses chosen for this run at start-up.
    frmLumo(platform::Browser& browser, platform::Clipboard& clipboard,
            services::MTaskList::WebAddresses addresses, ProcessEnd endProcess = &endAtOnce,
            QWidget* parent = nullptr);
    ~frmLumo() override;

    // The start-up sequence; runs once, before the window is shown. It ends
    // with what the student kept from the last run: the display, the
    // window's place and its panels.
    void Form_Load();
    // Fits the browser column, the address row and the numeric-values grid
    // around the workbench's current size.
    void PositionBrowsers();

    // A position kept in a file: shown in place of the one held, or written,
    // with what went wrong told in a message; the window's title names the
    // file, marked from the first change after either. A file opened or
    // saved heads File > Recent Positions. False when nothing was opened or
    // saved.
    bool openPosition(const QString& path);
    bool savePosition(const QString& path);
    // A position file, or a `wqz-workbench:load?` link, that the desktop asks
    // the window to open: opened as File > Open or followed as a tutorial
    // page's link, after the same question about a changed position.
    void openFromOutside(const QString& argument);

    workbench::wqzOptionPayoffs* workbench() const { return ucLumo; }
    platform::FlexGrid* valuesGrid() const { return Grid1; }
    // The area the window lays out by hand: the workbench's column and the
    // browser. In a window smaller than it can hold, it scrolls.
    QWidget* client() const { return client_; }
    // How much of the left column the analysis of the last plot wants below
    // the values grid, gap included, in twips.
    int analysisRoom() const;
    // The line below the analysis that offers the strategy's page, in pixels.
    int offerHeight() const;

protected:
    // A settings file set aside at the start is told once the window shows.
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    // The analysis of the last plot, dimmed while it describes an earlier
    // position than the grid's.
    void showAnalysis();
    // Offers the tutorial page of the strategy held, if any.
    void offerReading();
    void lblReadAbout_Click();
    // Names and tooltips in words, for the eye and for screen readers.
    void describeControls();
    void createMenus();
    void connectControls();
    void shutdown();

    // Browser row.
    void cmbNavigate_Click();
    void cmdBotBack_Click();
    void cmdBotForward_Click();
    void cmdStop_Click();
    void Browser1_ProgressChange(std::int32_t progress, std::int32_t maximum);
    void Browser1_DownloadComplete();
    // The address box names the page on screen, unless the student is typing
    // an address into it.
    void showPageAddress();
    // A tutorial page's link to the workbench: followed, or refused with a
    // message when it asks for anything a page's own links cannot, or comes
    // from any other page or from a frame inside a page.
    void Browser1_ProgramLink(const QString& address, bool mainFrame);
    // Says once that a page not the tutorial's own cannot use the workbench.
    void refuseOtherPagesLink();
    bool tutorialPageShown() const; // one of the tutorial module's own
    // The exercises' progress, read from the file an earlier run kept; the
    // packs' items of the File menu.
    void createProgress();
    void createPacks(QMenu* file);
    // Whether either book of exercises has that id; if not, says the page's
    // link cannot be followed.
    bool exerciseKnown(const QString& exercise);
    // Judges an exercise's answer and tells the page the verdict, with a hint
    // and a "Try it" link after a wrong answer, and the true answer after a
    // second one.
    void checkExercise(const QString& exercise, const QString& answer);
    void revealAnswer(const QString& exercise);
    // Clears the progress, once the student confirms it.
    void startOver();
    // Tells a tutorial page which exercises were answered right, tried or
    // had their answer shown.
    void showExerciseStates();
    // Says, once a run, that the progress could not be written.
    void progressNotKept(const QString& reason);

    // Follows a link given from outside the window; only loads are taken.
    void followOutsideLink(const QString& address);

    // Menus.
    void mnuPasteOpData_Click();
    // The position shown as a link, on the clipboard; or why it cannot be.
    void mnuCopyLink_Click();
    // A link to a position the student typed in the address box or pasted:
    // the student's own act, so it loads whatever page is shown, once the
    // position held may go; a wrong one is told with what is wrong. True
    // when the position was loaded.
    bool followStudentLink(const QString& text);
    void mnuExportDiagram_Click();
    void mnuExportValues_Click();
    void mnuExportScenarios_Click();
    void exportSmile();
    // Asks for a PNG or SVG file and its size, and writes what `bytesOf`
    // draws (as SVG or not, at a size, for paper or not) there.
    void exportPicture(const QString& what,
                       const std::function<QByteArray(bool, QSize, bool)>& bytesOf);
    // The workbench on one page, printed or as a PDF file. Neither has a
    // page to give while the plot area is empty, and says so.
    void mnuPrint_Click();
    void mnuExportPdf_Click();
    bool pageHasDiagram();
    // Writes the page as a PDF file; why it could not, in words, or empty.
    QString writePdf(const QString& path, const QPageLayout& layout);
    void mnuOpenPosition_Click();
    void mnuSavePosition_Click();
    void mnuSavePositionAs_Click();
    // Whether the position held may be closed or replaced `before` what is
    // about to happen: a changed position that has a file is offered for
    // saving first. False when the student cancels or the save fails.
    bool positionMayGo(const QString& before);
    inline static const QString kBeforeClosing = QStringLiteral("the program closes");
    // The window's title, with the position's file name first when it has
    // one, marked while the position differs from the file.
    void showFileName();
    // Whether the position differs from what its file held when it was last
    // opened or saved.
    bool positionChanged() const;
    // Ctrl+C and Ctrl+V for the Edit menu's commands, in the parts of the
    // window that do not use the keys themselves.
    void giveEditShortcuts(QAction* copyOptions, QAction* copyValues, QAction* copyAnalysis,
                           QAction* copyScenarios, QAction* paste);
    // Whether the widget with the focus takes the key itself rather than a
    // menu command's shortcut.
    bool keyTakenByFocus(const QKeyEvent& key) const;
    // Ctrl+V in the address box: the clipboard's text at the cursor, in one
    // piece, cut with a word to what the box takes.
    void pasteAddress();
    void displaySwitch(bool large);

    // What the student keeps between runs: read as the window is built,
    // written as each setting changes and, with the window's place and
    // panels, as the window closes.
    void restoreKept();
    void keep();
    // Keeps what changes in quick succession (days left dragged on the
    // slider) once it has settled, rather than writing the file each step.
    void keepSoon();
    void keepWindow();
    void keptNotKept(const QString& reason);
    // The file dialogs, started in the folder last used; the folder of what
    // the student chooses is kept.
    QString askOpenName(const QString& caption, const QString& filter);
    QString askSaveName(const QString& caption, const QString& filter);
    // A position opened or saved heads the recent ones.
    void rememberPosition(const QString& path);
    void showRecentPositions();
    // Opens a recent position, or takes it off the list, saying so, when it
    // is no longer there.
    void mnuRecentPosition_Click(const QString& path);

    // Scenarios: the last curve's value at a ladder of prices from today to
    // expiry, in a panel beside the Before Expiry panel, hidden until asked
    // for. It follows every plot and every change of the inputs while it is
    // in sight, and catches up when it comes into sight.
    void createScenarios();
    // The choice of what the table's columns run across, kept.
    QHBoxLayout* createScenarioColumns(QWidget* panel);
    void showScenarios();
    void mnuCopyScenarios_Click();
    // The last curve's scenarios as comma-separated text; empty while no
    // curve is drawn.
    QString scenariosCsv() const;
    // The window's own text beside the workbench, at the display's size.
    static constexpr double kNormalPoints = 8.25;
    static constexpr double kLargePoints = 12;
    void showLargeBeside(bool large);
    // Back, Forward and Stop with the gaps before them, in twips.
    double addressButtonsWidth() const;
    // `panelsMore` pixels wider for the docked panels.
    void growToShowWorkbench(int panelsMore);
    void giveBackNormalSize();
    // The workbench takes the column up to the edge the student left beside
    // the browser and the height down to the room left below it, never less
    // than its own size; the handles on those edges move them.
    void fitWorkbench();
    void placeHandles();
    void dragColumnEdge(int by);
    void dragRoomBelow(int by);
    // The title over the workbench, as wide as it and `wider` twips more.
    void placeTitle(int wider);
    // Below the workbench as a first start lays it out, in twips.
    double firstRoomBelow() const;
    // The diagram alone in a window of its own, filling the other screen
    // when there are two, else this one; closing it comes back here.
    void showDiagramOnly(bool shown);
    // The tutorial's page a step larger (1), smaller (-1) or at its own
    // size (0), kept for the next start.
    void zoomPage(int step);
    // The window's colours and the plot area's in the scheme, kept.
    void useColours(ColourScheme scheme);
    // The docked panels keep the width their content needs at their type,
    // as far as the screen leaves room beside the workbench's column (the
    // page takes its turn with them where it cannot sit beside them too);
    // narrower than that, the Before Expiry panel lays itself out compact.
    // How much wider than now that makes the widest, in pixels.
    int fitPanels();
    // The client's least width, in pixels: the workbench at its own size,
    // and beside it a readable browser and its whole address row unless the
    // page is in its tab.
    int leastClientWidth() const;
    // The workbench's column at the workbench's own size, with the least the
    // page beside it keeps or without it, in pixels.
    int leastWidth(bool withPage) const;
    // The address row and the page, as they move between the client and
    // the page's tab.
    std::array<QWidget*, 5> pageControls() const;
    void placeAddressRow(double clientWidth);
    // In a window too narrow for the workbench, a readable page and the
    // docked panels side by side, the page with its address row takes its
    // turn with the panels in a tab beside them; back beside the workbench
    // when the window has the room again. Checked after each resize, once
    // the resize has been handled.
    void createClient();
    void watchPanels();
    void fitPageSoon();
    void fitPage();
    void pageIntoTab(QDockWidget* beside);
    void pageBackBeside();
    void fitColumn();
    // The panel the page would take turns with: open and docked.
    QDockWidget* dockedPanel() const;
    QDockWidget* pageDock_ = nullptr;
    bool pageFitDue_ = false;
    // The client's least height, in pixels: the workbench at its own size
    // and the values' header and two rows.
    int leastClientHeight() const;
    // The least heights of the values grid and of the analysis with its
    // offer, in twips: as designed, and larger with a larger type.
    double typeScale() const;
    double leastValuesHeight() const;
    double leastAnalysisHeight() const;

    platform::Browser& browser_;
    platform::Clipboard& clipboard_;
    const services::MTaskList::WebAddresses addresses_;
    const ProcessEnd endProcess_;
    KeptFile* keptFile_ = nullptr;
    Kept kept_;
    // What to tell of a settings file set aside, once the window is up.
    QString keptSetAside_;
    bool toldKeptNotKept_ = false;
    QTimer* keepSoon_ = nullptr;
    QMenu* mnuRecentPositions = nullptr;

    QScrollArea* clientView_ = nullptr;
    QWidget* client_ = nullptr;
    workbench::wqzOptionPayoffs* ucLumo = nullptr;
    platform::FlexGrid* Grid1 = nullptr;
    QPlainTextEdit* txtAnalysis = nullptr;
    // Below the analysis: "Read about <strategy>" while a listed strategy is
    // held, which opens its tutorial page.
    QLabel* lblReadAbout = nullptr;
    QDockWidget* expiryDock_ = nullptr;
    QDockWidget* scenariosDock_ = nullptr;
    QLabel* lblScenarios = nullptr;
    workbench::ScenarioTable* grdScenarios = nullptr;
    // Whether the last plot changed what the table shows since it was shown.
    bool scenariosDue_ = true;
    QWidget* Browser1 = nullptr;
    QComboBox* cmbNavigate = nullptr;
    QPushButton* cmdBotBack = nullptr;
    QPushButton* cmdBotForward = nullptr;
    QPushButton* cmdStop = nullptr;
    QLabel* Label1 = nullptr;
    std::array<QLabel*, 2> Image1{};
    platform::LineControl* Line2 = nullptr;
    workbench::DiagramWindow* diagramOnly_ = nullptr;
    // The colours the desktop gave the program, before any scheme it forced.
    std::optional<QPalette> desktopColours_;
    platform::SplitHandle* columnEdge_ = nullptr;
    platform::SplitHandle* roomEdge_ = nullptr;
    // Where the edge being dragged was as the button went down, in twips.
    double dragFrom_ = 0;

    // Where the window was and how big before Large Display grew it, and
    // where it was left then; empty while the window has a size of its own.
    std::optional<QRect> placeBeforeLarge_;
    // The docked panels' widths then.
    std::array<int, 2> panelsBeforeLarge_{};
    QRect largePlace_;
    // What the position's file held when it was last opened or saved.
    std::optional<workbench::document::Document> asSaved_;
    QSize diagramSize_{800, 600}; // the last diagram exported, in pixels
    // Whether the last diagram exported was for paper, on a light background.
    bool diagramForPaper_ = false;
    // The paper of the last page printed or exported; until then the
    // locale's.
    std::optional<QPageSize::PageSizeId> paper_;
    // How far the student got with each exercise, kept between runs; the
    // exercise pack open, its questions and the student's answers.
    ExerciseProgress* progress_ = nullptr;
    PackDesk* packs_ = nullptr;
    bool toldProgressNotKept_ = false;
    // While a refusal of another page's link is on screen, and when it was
    // last closed: a page firing links gets one message per click.
    bool refusing_ = false;
    QElapsedTimer sinceRefusal_;
    // What the desktop asked to open and is still to be opened, while one
    // of them is being opened.
    QStringList fromOutside_;
    bool openingFromOutside_ = false;
};

} // namespace shell
