// The main window's controls, its start-up and its shutdown.
#include "frmLumo.h"

#include "ExerciseProgress.h"
#include "PackDesk.h"
#include "platform/Browser.h"
#include "platform/EventPump.h"
#include "platform/FailureGuard.h"
#include "platform/FlexGrid.h"
#include "platform/Fonts.h"
#include "platform/LineControl.h"
#include "platform/PictureBox.h"
#include "platform/ScreenReaderLabel.h"
#include "platform/Twips.h"
#include "services/Sites.h"
#include "workbench/control/BeforeExpiryPanel.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/WorkbenchLink.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QUndoStack>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace shell {

namespace {

namespace twips = platform::twips;

// A small payoff glyph for the two decorative images beside the title.
QPixmap payoffGlyph(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.drawLine(QPointF(3, size * 0.7), QPointF(size * 0.5, size * 0.7));
    p.drawLine(QPointF(size * 0.5, size * 0.7), QPointF(size - 3, 4));
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(2, size - 3), QPointF(size - 2, size - 3));
    return pixmap;
}

template <typename W> W* named(QWidget* parent, const QString& name) {
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

} // namespace

void frmLumo::endAtOnce() {
    std::_Exit(0);
}

frmLumo::frmLumo(platform::Browser& browser, platform::Clipboard& clipboard,
                 services::MTaskList::WebAddresses addresses, ProcessEnd endProcess,
                 QWidget* parent)
    : QMainWindow(parent), browser_(browser), clipboard_(clipboard),
      addresses_(std::move(addresses)), endProcess_(endProcess),
      keptFile_(new KeptFile(kept::filePath(), this)) {
    KeptFile::Loaded loaded = keptFile_->load();
    kept_ = std::move(loaded.kept);
    keptSetAside_ = std::move(loaded.setAside);
    connect(keptFile_, &KeptFile::notKept, this, [this](const QString& reason) {
        platform::runGuarded([this, reason] { keptNotKept(reason); });
    });
    setObjectName(QStringLiteral("frmLumo"));
    createClient();
    createControls();
    createMenus();
    connectControls();
    createProgress();
    client_->installEventFilter(this);
    // Taller than designed by the analysis when the screen has room, so that
    // the values grid keeps its designed height above it.
    // Wider by the panel before expiry, in the same way.
    const int designHeight = twips::toPixels(designClientHeight) + menuBar()->sizeHint().height();
    const int designWidth = twips::toPixels(designClientWidth);
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize screenArea = screen()->availableGeometry().size() - QSize(0, titleBar);
    resize(QSize(std::max(designWidth, std::min(designWidth + expiryDock_->sizeHint().width(),
                                                screenArea.width())),
                 std::max(designHeight, std::min(designHeight + twips::toPixels(analysisRoom()),
                                                 screenArea.height())))
               .boundedTo(screenArea));
}

frmLumo::~frmLumo() {
    // The children outlive this class's part: the workbench and the panel,
    // going, must not reach back into a window already gone (closing the
    // panel redraws the workbench, which tells the window).
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
    if (expiryDock_) {
        expiryDock_->toggleViewAction()->disconnect(ucLumo);
    }
    browser_.disconnect(this);
}

void frmLumo::createControls() {
    using R = twips::Rect;
    for (int i = 0; i < 2; ++i) {
        Image1[i] = named<QLabel>(client_, QStringLiteral("Image1(%1)").arg(i));
        Image1[i]->setPixmap(payoffGlyph(twips::toPixels(480)));
    }
    twips::setGeometry(Image1[0], R{30, 0, 480, 480});
    Label1 = named<QLabel>(client_, QStringLiteral("Label1"));
    Label1->setText(QStringLiteral("Option Payoff Diagrams"));
    Label1->setFont(platform::uiFont(13.5));
    Label1->setAlignment(Qt::AlignCenter);
    Line2 = named<platform::LineControl>(client_, QStringLiteral("Line2"));
    placeTitle(0);

    ucLumo = new workbench::wqzOptionPayoffs(clipboard_, client_);
    twips::setGeometry(ucLumo, R{240, 840, 4455, 4695});
    // The inputs before expiry the student left, before the panel that
    // shows them is built.
    if (!(kept_.beforeExpiry == ucLumo->beforeExpiry())) {
        ucLumo->setBeforeExpiry(kept_.beforeExpiry);
    }

    Grid1 = named<platform::FlexGrid>(client_, QStringLiteral("Grid1"));
    Grid1->setFont(platform::uiFont(kNormalPoints));
    twips::setGeometry(Grid1, R{0, 6480, designValuesWidth, 1215});

    txtAnalysis = named<QPlainTextEdit>(client_, QStringLiteral("txtAnalysis"));
    txtAnalysis->setFont(platform::uiFont(kNormalPoints));
    txtAnalysis->setReadOnly(true);
    txtAnalysis->setTabChangesFocus(true);
    // Read-only, but the keyboard still reaches it to select and scroll.
    txtAnalysis->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtAnalysis->hide();
    lblReadAbout = named<QLabel>(client_, QStringLiteral("lblReadAbout"));
    lblReadAbout->setFont(platform::uiFont(kNormalPoints));
    lblReadAbout->setTextFormat(Qt::RichText);
    lblReadAbout->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                          Qt::LinksAccessibleByKeyboard);
    lblReadAbout->hide();

    cmbNavigate = named<QComboBox>(client_, QStringLiteral("cmbNavigate"));
    cmbNavigate->setEditable(true);
    // The list grows only with pages actually reached through the box.
    cmbNavigate->setInsertPolicy(QComboBox::NoInsert);
    // A link to a position may be long. One character more than the longest
    // a link may be keeps a longer one too long, so that it is refused as
    // such rather than cut to something else.
    cmbNavigate->lineEdit()->setMaxLength(int(workbench::links::longestLink) + 1);
    twips::setGeometry(cmbNavigate, R{5160, 15, designAddressWidth, 315});
    cmdBotBack = named<QPushButton>(client_, QStringLiteral("cmdBotBack"));
    cmdBotBack->setText(QStringLiteral("Back "));
    twips::setGeometry(cmdBotBack, R{9780, 15, 885, 315});
    cmdBotForward = named<QPushButton>(client_, QStringLiteral("cmdBotForward"));
    cmdBotForward->setText(QStringLiteral("Forward"));
    twips::setGeometry(cmdBotForward, R{10710, 15, 885, 315});
    cmdStop = named<QPushButton>(client_, QStringLiteral("cmdStop"));
    cmdStop->setText(QStringLiteral("Stop"));
    twips::setGeometry(cmdStop, R{11640, 15, 885, 315});

    Browser1 = browser_.widget();
    Browser1->setParent(client_);
    Browser1->setObjectName(QStringLiteral("Browser1"));
    twips::setGeometry(Browser1, R{5160, 360, 6735, 6135});

    // The inputs before expiry sit beside the browser, in a panel the
    // student can close, float or put back from the Options menu. Made last,
    // it comes last in the tab order.
    expiryDock_ = new QDockWidget(QStringLiteral("Before Expiry"), this);
    expiryDock_->setObjectName(QStringLiteral("dockBeforeExpiry"));
    expiryDock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    // In a narrow window the panel gives way before the browser does: it
    // scrolls rather than hold the window's width.
    auto* panelView = new QScrollArea(expiryDock_);
    panelView->setObjectName(QStringLiteral("scrBeforeExpiry"));
    panelView->setFrameShape(QFrame::NoFrame);
    panelView->setWidgetResizable(true);
    auto* expiryPanel = new workbench::BeforeExpiryPanel(*ucLumo, panelView);
    panelView->setWidget(expiryPanel);
    connect(expiryPanel, &workbench::BeforeExpiryPanel::exportSmileAsked, this,
            platform::guarded([this] { exportSmile(); }));
    expiryDock_->setWidget(panelView);
    addDockWidget(Qt::RightDockWidgetArea, expiryDock_);
    // A closed panel leaves nothing on the diagram that only it could take
    // away: the dashed curve and its greeks go with it and come back with it.
    // The view action follows closing and reopening, not a minimised window.
    connect(expiryDock_->toggleViewAction(), &QAction::toggled, ucLumo,
            &workbench::wqzOptionPayoffs::setBeforeExpiryShown);
    createScenarios();
    describeControls();
    watchPanels();
    fitPanels();
}

void frmLumo::describeControls() {
    const auto describe = [](QWidget* w, const QString& name, const QString& does) {
        w->setAccessibleName(name);
        w->setAccessibleDescription(does);
        w->setToolTip(does);
    };
    describe(Grid1, QStringLiteral("Numeric values"),
             QStringLiteral("The last plot's sampled prices and the position's value at each; "
                            "Edit > Copy Selected Numeric Values copies a selection"));
    describe(expiryDock_->widget(), QStringLiteral("Before Expiry panel"),
             QStringLiteral("The inputs that value the last curve before expiry; it scrolls in a "
                            "narrow window"));
    describe(txtAnalysis, QStringLiteral("Analysis of the last plot"),
             QStringLiteral("Break-evens, greatest profit and loss of the last curve drawn; "
                            "Edit > Copy Analysis copies them"));
    describe(cmbNavigate, QStringLiteral("Address"),
             QStringLiteral("Type a page's address and press Enter to open it"));
    platform::labelForScreenReaders(cmbNavigate, cmbNavigate->accessibleName());
    describe(cmdBotBack, QStringLiteral("Back"), QStringLiteral("Opens the page shown before"));
    describe(cmdBotForward, QStringLiteral("Forward"),
             QStringLiteral("Opens the page shown after this one"));
    describe(cmdStop, QStringLiteral("Stop"), QStringLiteral("Stops loading the page"));
    describe(Browser1, QStringLiteral("Tutorial page"),
             QStringLiteral("The module's tutorial pages"));
    describe(Label1, QStringLiteral("Option Payoff Diagrams"),
             QStringLiteral("The workbench for option payoff diagrams"));
    for (QLabel* image : Image1) {
        // Pictures that only decorate the title say so to a screen reader.
        image->setAccessibleName(QStringLiteral("Payoff glyph"));
    }
}

void frmLumo::connectControls() {
    using platform::guarded;
    connect(cmbNavigate, &QComboBox::activated, this, guarded([this] { cmbNavigate_Click(); }));
    // Enter in the box navigates. The keys reach the combo box, which hands
    // them to its line edit directly, past any filter on the line edit.
    cmbNavigate->installEventFilter(this);
    // Ctrl+C in the analysis with nothing selected copies all of it.
    txtAnalysis->installEventFilter(this);
    connect(cmdBotBack, &QPushButton::clicked, this, guarded([this] { cmdBotBack_Click(); }));
    connect(cmdBotForward, &QPushButton::clicked, this, guarded([this] { cmdBotForward_Click(); }));
    connect(cmdStop, &QPushButton::clicked, this, guarded([this] { cmdStop_Click(); }));
    connect(&browser_, &platform::Browser::ProgressChange, this,
            guarded([this](std::int32_t progress, std::int32_t maximum) {
                Browser1_ProgressChange(progress, maximum);
            }));
    connect(&browser_, &platform::Browser::DownloadComplete, this,
            guarded([this] { Browser1_DownloadComplete(); }));
    // The title names the position's file, also when an undo gives back
    // the one before an opening, and marks it while the two differ.
    connect(ucLumo, &workbench::wqzOptionPayoffs::DocumentNameChange, this,
            guarded([this] { showFileName(); }));
    connect(&ucLumo->undoStack(), &QUndoStack::cleanChanged, this,
            guarded([this] { showFileName(); }));
    // A save writes something else after a step to undo or redo, the grid
    // typed over (the stale mark), a new curve or new inputs before expiry;
    // a greek or the law shown change nothing a file keeps.
    connect(&ucLumo->undoStack(), &QUndoStack::indexChanged, this,
            guarded([this] { showFileName(); }));
    using Plot = workbench::LastPlot;
    connect(&ucLumo->lastPlot(), &Plot::changed, this, guarded([this](Plot::Parts parts) {
        if (parts & (Plot::CurvePart | Plot::InputsPart | Plot::DatesPart | Plot::StalePart)) {
            showFileName();
        }
        // The inputs before expiry are kept as the student leaves
        // them, from the panel or from a file.
        if ((parts & (Plot::InputsPart | Plot::DatesPart)) &&
            !(ucLumo->beforeExpiry() == kept_.beforeExpiry)) {
            kept_.beforeExpiry = ucLumo->beforeExpiry();
            keepSoon();
        }
    }));
    showFileName();
    connect(&browser_, &platform::Browser::ProgramLink, this,
            guarded([this](const QString& address, bool mainFrame) {
                Browser1_ProgramLink(address, mainFrame);
            }));
    // The start-up curve was drawn before the window could listen.
    showAnalysis();
    lblReadAbout->setToolTip(QStringLiteral("Opens the tutorial page of the strategy chosen"));
    connect(ucLumo, &workbench::wqzOptionPayoffs::AnalysisChange, this,
            guarded([this] { showAnalysis(); }));
    // The page is only offered: the browser moves when the student asks.
    connect(ucLumo, &workbench::wqzOptionPayoffs::AnalysisChange, this,
            guarded([this] { offerReading(); }));
    connect(lblReadAbout, &QLabel::linkActivated, this, guarded([this] { lblReadAbout_Click(); }));
    offerReading();
}

void frmLumo::Form_Load() {
    ucLumo->setGrddisplay(Grid1);
    twips::Rect r = twips::geometry(ucLumo);
    r.height = ucLumo->ucHeight;
    twips::setGeometry(ucLumo, r);
    r.width = ucLumo->ucWidth;
    twips::setGeometry(ucLumo, r);
    PositionBrowsers();
    browser_.setZoom(kept_.pageZoomPercent / 100.0);
    useColours(kept_.scheme);
    browser_.navigate(addresses_.strFirstPageURL);
    platform::eventPump().doEvents();
    cmbNavigate->clear();
    cmbNavigate->addItem(services::sites::siteRoot());
    cmbNavigate->setCurrentIndex(-1);
    // Empty until the first page is on screen, unless it already is.
    cmbNavigate->setEditText(browser_.LocationURL());
    platform::eventPump().doEvents();
    restoreKept();
}

void frmLumo::closeEvent(QCloseEvent* event) {
    // A changed position or pack is offered for saving first; Cancel, or a
    // failed save, keeps the window. Should the shutdown fail before it ends
    // the process, the last window closing still ends the program.
    bool mayGo = true;
    platform::runGuarded(
        [&] { mayGo = positionMayGo(kBeforeClosing) && packs_->mayGo(kBeforeClosing); });
    if (!mayGo) {
        event->ignore();
        return;
    }
    event->accept();
    platform::runGuarded([this] { shutdown(); });
}

void frmLumo::shutdown() {
    browser_.stop();
    // A navigation waiting for its page stops waiting.
    browser_.setTag(QStringLiteral("alldone"));
    platform::eventPump().doEvents();
    keepWindow();
    // The last answer's write, unless the disk holds it past any wait a
    // closing window should make.
    constexpr int kLongestWriteMs = 2000;
    progress_->finishWriting(kLongestWriteMs);
    packs_->finishWriting(kLongestWriteMs);
    keptFile_->finishWriting(kLongestWriteMs);
    endProcess_();
}

bool frmLumo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        platform::runGuarded([this] { PositionBrowsers(); });
    } else if (event->type() == QEvent::ShortcutOverride) {
        // Unanswered by the widget with the focus, the key goes on up to the
        // window: here it is kept for the widget that uses it itself, or left
        // to the Edit menu's shortcut.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == client_ && keyTakenByFocus(*key)) {
            event->accept();
            return true;
        }
        if (watched == txtAnalysis && key->matches(QKeySequence::Copy) &&
            !txtAnalysis->textCursor().hasSelection()) {
            event->ignore();
            return true;
        }
    } else if (watched == cmbNavigate && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            platform::runGuarded([this] { pasteAddress(); });
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            platform::runGuarded([this] { cmbNavigate_Click(); });
        }
        // The box goes on with the key: with nothing to insert it only keeps
        // its text, which the navigation has already set.
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmLumo::keyTakenByFocus(const QKeyEvent& key) const {
    // The workbench's position grid copies and pastes its cells, and its
    // diagram copies its picture, in their own key handling, which a
    // shortcut of the window would otherwise reach first.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !ucLumo->isAncestorOf(focus)) {
        return false;
    }
    const bool copy = key.matches(QKeySequence::Copy);
    if (qobject_cast<platform::FlexGrid*>(focus)) {
        return copy || key.matches(QKeySequence::Paste);
    }
    return copy && qobject_cast<platform::PictureBox*>(focus);
}

} // namespace shell
