// The workbench's controls, their layout and its start-up sequence.
#include "wqzOptionPayoffs.h"

#include "PositionHistory.h"

#include "PlotLayers.h"
#include "Readout.h"
#include "display/wqzSetDisplay.h"
#include "platform/EventPump.h"
#include "platform/FailureGuard.h"
#include "platform/Fonts.h"
#include "platform/LineControl.h"
#include "platform/Numbers.h"
#include "platform/PictureBox.h"
#include "platform/SwatchBox.h"
#include "platform/Twips.h"
#include "workbench/model/PositionColumns.h"
#include "workbench/model/Strategies.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <utility>

namespace workbench {

namespace {

namespace twips = platform::twips;

namespace col = workbench::columns;

template <typename W> W* named(QWidget* parent, const QString& name) {
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// The plot area's background: light enough for the dark colours and the black
// zero line, dark enough for the default yellow curve to stand out.
constexpr platform::Rgb kPlotBackground = 0x5A6270;

} // namespace

wqzOptionPayoffs::wqzOptionPayoffs(platform::Clipboard& clipboard, QWidget* parent)
    : QWidget(parent), clipboard_(clipboard) {
    setObjectName(QStringLiteral("ucLumo"));
    setFont(platform::uiFont(8));
    twips::setGeometry(this, {0, 0, designWidth, designHeight});

    createControls();
    placeControls();
    fitGridColumns();
    connectControls();

    createSwatches();
    describeControls();
    pColor_Click(11);
    ucHeight = platform::numbers::toLong(twips::geometry(this).height);
    ucWidth = platform::numbers::toLong(twips::geometry(this).width);
    registerWithDisplay();
    places_.keep(size());
    fillPositionGrid();
    platform::eventPump().doEvents();
    fillStrategyList();
    cmbStandard->setCurrentIndex(1);
    cmbStandard_Click();
    // The start-up position is where undoing stops.
    history_->clear();
    recorded_ = shown();
    platform::eventPump().doEvents();
}

void wqzOptionPayoffs::setLegendShown(bool shown) {
    layers_->setLegendShown(shown);
}

void wqzOptionPayoffs::plotChanged(LastPlot::Parts) {
    analysisText_ = readout::text(*plot_);
    emit AnalysisChange(analysisText_);
}

QUndoStack& wqzOptionPayoffs::undoStack() {
    return history_->stack();
}

wqzOptionPayoffs::~wqzOptionPayoffs() {
    // The controls are destroyed after this class's part: a box that loses
    // the focus then would read into a grid already gone.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

void wqzOptionPayoffs::createControls() {
    history_ = std::make_unique<PositionHistory>(this);
    pbox = named<platform::PictureBox>(this, QStringLiteral("pbox"));
    pbox->setBackColor(kPlotBackground);
    pbox->installEventFilter(this);
    plot_ = new LastPlot(this);
    plot_->setBackground(kPlotBackground);
    plot_->setScale({pbox->scaleLeft(), pbox->scaleTop(), pbox->scaleRight(), pbox->scaleBottom()});
    layers_ = new PlotLayers(*pbox, *plot_, this);
    // After the layers: the analysis is told once they show the change.
    connect(plot_, &LastPlot::changed, this,
            [this](LastPlot::Parts parts) { platform::runGuarded([&] { plotChanged(parts); }); });
    // The boxes hold no more than a file keeps, typed or pasted.
    for (int i = 0; i < 4; ++i) {
        Text1[i] = named<QLineEdit>(this, indexed("Text1", i));
        Text1[i]->setMaxLength(int(col::longestText));
    }
    pColor[0] = named<platform::SwatchBox>(this, indexed("pColor", 0));

    Line1 = named<platform::LineControl>(this, QStringLiteral("Line1"));

    const char* downCaptions[2] = {"<", "<<"};
    const char* upCaptions[2] = {">", ">>"};
    for (int i = 0; i < 2; ++i) {
        scdown[i] = named<QPushButton>(this, indexed("scdown", i));
        scdown[i]->setText(QLatin1String(downCaptions[i]));
        scdown[i]->setFont(platform::uiFont(6, true));
        scup[i] = named<QPushButton>(this, indexed("scup", i));
        scup[i]->setText(QLatin1String(upCaptions[i]));
        scup[i]->setFont(platform::uiFont(6, true));
    }

    lblOption = named<QLabel>(this, QStringLiteral("lblOption"));
    lblOption->setText(QStringLiteral("Put/45"));
    lblOption->setAlignment(Qt::AlignCenter);
    lblOption->setAutoFillBackground(true);
    QPalette option = lblOption->palette();
    option.setColor(QPalette::Window, QColor(192, 192, 192));
    option.setColor(QPalette::WindowText, QColor(0, 0, 128));
    lblOption->setPalette(option);

    plotType[0] = named<QRadioButton>(this, indexed("plotType", 0));
    plotType[0]->setText(QStringLiteral("Payoff Diagram"));
    plotType[0]->setChecked(true);
    plotType[1] = named<QRadioButton>(this, indexed("plotType", 1));
    plotType[1]->setText(QStringLiteral("Profit Diagram"));

    Label1[0] = named<QLabel>(this, indexed("Label1", 0));
    Label1[0]->setText(QStringLiteral("Underlying Price: 50.00"));
    Label1[1] = named<QLabel>(this, indexed("Label1", 1));
    Label1[1]->setText(QStringLiteral("Underlying Qty"));

    txtUnderlyingQty = named<QLineEdit>(this, QStringLiteral("txtUnderlyingQty"));
    txtUnderlyingQty->setMaxLength(int(col::longestText));
    txtUnderlyingQty->setText(QStringLiteral("0"));

    cmdPlot = named<QPushButton>(this, QStringLiteral("cmdPlot"));
    cmdPlot->setText(QStringLiteral("Plot"));
    cmdRestart = named<QPushButton>(this, QStringLiteral("cmdRestart"));
    cmdRestart->setText(QStringLiteral("Restart"));
    cmdClear = named<QPushButton>(this, QStringLiteral("cmdClear"));
    cmdClear->setText(QStringLiteral("Clear"));
    cmbStandard = named<QComboBox>(this, QStringLiteral("cmbStandard"));
    cmbStandard->setMaxVisibleItems(18);

    lblGreek = named<QLabel>(this, QStringLiteral("lblGreek"));
    lblGreek->setText(QStringLiteral("Greek curve"));
    cmbGreek = named<QComboBox>(this, QStringLiteral("cmbGreek"));
    using beforeexpiry::Greek;
    for (const auto& [text, greek] : {std::pair{"None", Greek::None},
                                      {"Delta", Greek::Delta},
                                      {"Gamma", Greek::Gamma},
                                      {"Theta", Greek::Theta},
                                      {"Vega", Greek::Vega}}) {
        cmbGreek->addItem(QLatin1String(text), int(greek));
    }

    Grid1 = named<platform::FlexGrid>(this, QStringLiteral("Grid1"));
    Grid1->setFont(platform::uiFont(8.25));
    Grid1->setRows(6);
    Grid1->setCols(col::count);
    Grid1->setFixedRows(1);
    Grid1->setFixedCols(0);
    createMarketControls();
}

void wqzOptionPayoffs::connectControls() {
    using platform::guarded;
    // Plot reads what was typed into the grid and the box: that is a change.
    const auto plotTyped = [this] {
        cmdPlot_Click();
        recordChange(QStringLiteral("Typing"));
    };
    connect(cmdPlot, &QPushButton::clicked, this, guarded(plotTyped));
    for (QRadioButton* kind : plotType) {
        // The click has already chosen the option; plot it like Plot does.
        connect(kind, &QRadioButton::clicked, this, guarded(plotTyped));
    }
    static constexpr float downSteps[2] = {-0.1f, -1.0f};
    static constexpr float upSteps[2] = {0.1f, 1.0f};
    for (int i = 0; i < 2; ++i) {
        connect(scdown[i], &QPushButton::clicked, this, guarded([this, i] {
                    recordTyping();
                    adjustQty(downSteps[i]);
                    recordChange(QStringLiteral("Step"));
                }));
        connect(scup[i], &QPushButton::clicked, this, guarded([this, i] {
                    recordTyping();
                    adjustQty(upSteps[i]);
                    recordChange(QStringLiteral("Step"));
                }));
    }
    connect(pbox, &platform::PictureBox::KeyPress, this,
            guarded([this](int keyAscii) { pbox_KeyPress(keyAscii); }));
    // Only the student's own typing selects the underlying: the program
    // rewrites the box at every read and step, and the steps must keep acting
    // on what the student picked.
    connect(txtUnderlyingQty, &QLineEdit::textEdited, this,
            guarded([this] { selectUnderlying(); }));
    // A quantity typed into the box is read and kept as a step to undo when
    // the student leaves it or presses Enter, as a grid cell is.
    connect(txtUnderlyingQty, &QLineEdit::editingFinished, this, guarded([this] {
                if (readPosition() >= 0) {
                    recordTyping();
                }
            }));
    connect(txtUnderlyingQty, &QLineEdit::textChanged, this, [this] { scheduleStaleCheck(); });
    connect(Grid1, &QTableWidget::cellChanged, this, [this] { scheduleStaleCheck(); });
    for (QLabel* label : Label1) {
        label->installEventFilter(this);
    }
    // activated, not currentIndexChanged: picking the entry already shown
    // reloads it, which is how a student throws away edits.
    connect(cmbStandard, &QComboBox::activated, this, guarded([this] { cmbStandard_Click(); }));
    connect(Grid1, &platform::FlexGrid::Click, this, guarded([this] { Grid1_Click(); }));
    connect(Grid1, &platform::FlexGrid::RowColChange, this,
            guarded([this] { Grid1_RowColChange(); }));
    connect(Grid1, &platform::FlexGrid::DblClick, this, guarded([this] { Grid1_DblClick(); }));
    connect(Grid1, &platform::FlexGrid::KeyDown, this,
            guarded([this](int keyCode, int shift) { Grid1_KeyDown(keyCode, shift); }));
    connect(Grid1, &platform::FlexGrid::KeyPress, this,
            guarded([this](int keyAscii) { Grid1_KeyPress(keyAscii); }));
    connect(cmbGreek, &QComboBox::currentIndexChanged, this, guarded([this] {
                plot_->setGreek(beforeexpiry::Greek(cmbGreek->currentData().toInt()));
            }));
    connect(cmdClear, &QPushButton::clicked, this, guarded([this] { cmdClear_Click(); }));
    connect(cmdRestart, &QPushButton::clicked, this, guarded([this] { cmdRestart_Click(); }));
}

bool wqzOptionPayoffs::eventFilter(QObject* watched, QEvent* event) {
    // The diagram's own read-out follows the pointer; its tooltip, there for
    // a screen reader and the keyboard, would cover it.
    if (watched == pbox && event->type() == QEvent::ToolTip) {
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        (watched == Label1[0] || watched == Label1[1])) {
        platform::runGuarded([this] { selectUnderlying(); });
    }
    // The caption writes the price as fully as its room, at either display,
    // allows.
    if (watched == Label1[0] &&
        (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)) {
        QTimer::singleShot(0, this, [this] { showPriceCaption(); });
    }
    return QWidget::eventFilter(watched, event);
}

void wqzOptionPayoffs::createSwatches() {
    pColor[0]->setColor(platform::paletteColor(9));
    for (int i = 1; i < swatchCount; ++i) {
        pColor[i] = named<platform::SwatchBox>(this, indexed("pColor", i));
        const twips::Rect before = twips::geometry(pColor[i - 1]);
        twips::setGeometry(pColor[i],
                           {before.left + before.width, before.top, before.width, before.height});
        pColor[i]->setColor(platform::paletteColor(i + 3));
        pColor[i]->show();
    }
    pColor[4]->setColor(platform::paletteColor(0));
    // The run of the palette reaches the first swatch's blue again; navy
    // takes its place, so no two swatches draw alike or share a name.
    pColor[6]->setColor(platform::paletteColor(1));
    for (int i = 0; i < swatchCount; ++i) {
        connect(pColor[i], &platform::SwatchBox::Click, this,
                platform::guarded([this, i] { pColor_Click(i); }));
    }
}

void wqzOptionPayoffs::fillPositionGrid() {
    for (int c = 0; c < col::count; ++c) {
        Grid1->setTextMatrix(0, c, col::headings[c]);
    }
    const workbench::PositionState start = workbench::startingQuotes();
    for (int r = 1; r <= 5; ++r) {
        position_.putPrice[r] = start.putPrice[r];
        position_.callPrice[r] = start.callPrice[r];
        position_.strike[r] = start.strike[r];
        Grid1->setTextMatrix(r, col::Strike, col::strikeText(position_.strike[r]));
        Grid1->setTextMatrix(r, col::PutPrice,
                             platform::numbers::format(position_.putPrice[r], col::premiumFormat));
        Grid1->setTextMatrix(r, col::CallPrice,
                             platform::numbers::format(position_.callPrice[r], col::premiumFormat));
    }
    for (int c = 0; c < col::count; ++c) {
        Grid1->setColAlignment(c, platform::FlexGrid::flexAlignCenterCenter);
    }
    selPutRow = 1;
    selCallRow = -1;
    // The label names the instrument the step buttons change from the start:
    // the put of row 1, not the layout's placeholder caption.
    selCaption = QStringLiteral("Put/") + Grid1->TextMatrix(selPutRow, col::Strike);
    lblOption->setText(selCaption);
    Text1[0]->setText(QStringLiteral("50"));
    Text1[1]->setText(QStringLiteral("-50"));
    Text1[2]->setText(QStringLiteral("1"));
    Text1[3]->setText(QStringLiteral("100"));
    pbox->setScale(1, 50, 100, -50);
    plot_->setScale({1, 50, 100, -50});
}

void wqzOptionPayoffs::fillStrategyList() {
    for (const workbench::Strategy& s : workbench::standardStrategies()) {
        cmbStandard->addItem(QString::fromUtf16(s.name));
    }
}

} // namespace workbench
