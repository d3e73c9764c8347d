#include "ShellHarness.h"
#include "fakes/FakeBrowser.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindowList.h"
#include "platform/ControlProperties.h"
#include "platform/FlexGrid.h"
#include "platform/Numbers.h"
#include "platform/Twips.h"
#include "services/MTaskList.h"
#include "shell/frmLumo.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/WorkbenchLink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <functional>
#include <memory>

namespace {

using P = platform::controls::Property;

// The captioned controls in sight that are cut off or overlap another: a
// caption needs its text and a space, so that neighbours never run together,
// in the room its style gives it (past an option button's indicator, inside
// a button's bevel).
QStringList captionFaults(QWidget* window, int& captioned) {
    QStringList faults;
    QList<QRect> placed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        QStyleOptionButton option;
        option.initFrom(w);
        option.text = label ? label->text() : button ? button->text() : QString();
        // A layout gives its widgets their room itself, and a wrapping
        // label takes more lines rather than more width.
        const bool laidOut = w->parentWidget() && w->parentWidget()->layout();
        if (option.text.isEmpty() || !w->isVisibleTo(window) || laidOut ||
            (label && label->wordWrap())) {
            continue;
        }
        const auto kind = qobject_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonContents
                          : qobject_cast<QCheckBox*>(w)  ? QStyle::SE_CheckBoxContents
                                                         : QStyle::SE_PushButtonContents;
        const QRect room =
            label ? label->contentsRect() : w->style()->subElementRect(kind, &option, w);
        const QFontMetrics metrics = w->fontMetrics();
        if (metrics.horizontalAdvance(option.text + u' ') > room.width() ||
            metrics.height() > room.height()) {
            faults << w->objectName() + QStringLiteral(" is cut off");
        }
        const QRect place(w->mapTo(window, QPoint()), w->size());
        for (const QRect& other : std::as_const(placed)) {
            if (other.intersects(place)) {
                faults << w->objectName() + QStringLiteral(" overlaps");
            }
        }
        placed << place;
    }
    captioned = int(placed.size());
    return faults;
}

// The texts a grid cannot show whole: wider than their column with its grid
// line, or in a column that reaches past the grid's visible width.
QStringList cutCells(const platform::FlexGrid* grid) {
    QStringList cut;
    int right = 0;
    for (int c = 0; c < grid->Cols(); ++c) {
        right += grid->columnWidth(c);
        for (int r = 0; r < grid->Rows(); ++r) {
            const QSize need = grid->sizeHintForIndex(grid->model()->index(r, c));
            if (need.width() + 1 > grid->columnWidth(c) || right > grid->viewport()->width()) {
                cut << grid->TextMatrix(r, c);
            }
        }
    }
    return cut;
}

} // namespace

class TestFrmLumo : public QObject {
    Q_OBJECT
private slots:
    void the_layout_pass_follows_the_worked_example();
    void the_numeric_values_show_the_first_curve_at_start_up();
    void a_paste_into_the_address_box_goes_in_whole_or_is_cut_with_a_word_data();
    void a_paste_into_the_address_box_goes_in_whole_or_is_cut_with_a_word();
    void a_narrow_window_puts_the_page_in_a_tab_beside_the_panel();
    void a_workbench_below_the_client_area_keeps_the_grid_height();
    void a_minimised_window_moves_nothing();
    void large_then_normal_restores_every_position_and_size();
    void large_display_enlarges_what_reads_the_workbench_and_shows_in_the_menu();
    void closing_the_panel_takes_the_curve_before_expiry_with_it();
    void each_curve_colour_is_named_once_and_draws_in_its_own_colour();
    void nothing_is_cut_off_or_overlapped_at_either_display_data();
    void nothing_is_cut_off_or_overlapped_at_either_display();
    void large_grows_the_window_as_far_as_needed_and_normal_gives_it_back_data();
    void large_grows_the_window_as_far_as_needed_and_normal_gives_it_back();
    void start_up_lists_the_site_root_and_opens_the_first_page_data();
    void start_up_lists_the_site_root_and_opens_the_first_page();
    void the_menus_show_their_captions_and_hide_the_forums();
    void the_box_names_the_page_shown_however_it_was_reached_data();
    void the_box_names_the_page_shown_however_it_was_reached();
    void edit_keys_do_the_menus_commands_where_the_focus_leaves_them_data();
    void edit_keys_do_the_menus_commands_where_the_focus_leaves_them();
    void the_page_zooms_with_the_browsers_keys_and_keeps_its_size();
    void enter_in_an_empty_box_or_on_the_page_shown_does_nothing();
    void a_navigation_waits_and_lists_the_redirected_address_once_data();
    void a_navigation_waits_and_lists_the_redirected_address_once();
    void stop_ends_the_wait_with_the_default_pointer();
    void closing_during_a_wait_ends_the_process_at_once();
    void back_on_the_first_page_changes_nothing();
    void progress_other_than_minus_one_leaves_the_flag();
    void paste_option_data_loads_the_clipboard_and_reports_a_failure();
    void the_analysis_takes_room_below_the_values_grid_only_above_its_least_height_data();
    void the_analysis_takes_room_below_the_values_grid_only_above_its_least_height();
    void the_analysis_follows_the_strategy_chosen_and_copies_as_shown();
    void every_control_is_named_in_words_and_tab_reaches_each();
    void a_page_link_loads_the_workbench_and_a_hostile_one_changes_nothing();
    void only_the_tutorials_own_pages_load_the_workbench_data();
    void only_the_tutorials_own_pages_load_the_workbench();
    void only_tutorial_pages_have_answers_judged_and_hear_which_were_right();
    void progress_that_cannot_be_kept_is_told_once_and_held_for_the_run();
    void a_strategy_chosen_offers_its_page_without_opening_it();
};

void TestFrmLumo::the_layout_pass_follows_the_worked_example() {
    Shell s;
    s.window->Form_Load();
    QVERIFY(s.setClientSize(13260, 8100));
    s.window->PositionBrowsers();
    QCOMPARE(s.get("Browser1", P::Left), 5395.0);
    QCOMPARE(s.get("Browser1", P::Width), 7790.0);
    QCOMPARE(s.get("Browser1", P::Height), 7640.0);
    QCOMPARE(s.get("Browser1", P::Top), 360.0);
    QCOMPARE(s.get("Grid1", P::Top), 6850.0);
    QCOMPARE(s.get("Grid1", P::Height), 1175.0);
    QCOMPARE(s.get("Grid1", P::Width), 5055.0);
    QCOMPARE(s.get("cmbNavigate", P::Left), 5395.0);
    QCOMPARE(s.get("cmdBotBack", P::Left), 9995.0);
    QCOMPARE(s.get("cmdBotForward", P::Left), 10905.0);
    QCOMPARE(s.get("cmdStop", P::Left), 11815.0);
    QCOMPARE(s.get("cmdStop", P::Top), 15.0);
    QVERIFY(s.fake.dialogs.shown().isEmpty());
}

void TestFrmLumo::a_narrow_window_puts_the_page_in_a_tab_beside_the_panel() {
    Shell s;
    s.window->Form_Load();
    QVERIFY(s.setClientSize(13260, 8100));
    // Too narrow for the workbench, a readable page and the panel side by
    // side: the page and its address row take their turn with the panel,
    // every one of them whole, and the workbench keeps its column.
    s.window->resize(700, s.window->height());
    QTRY_VERIFY(s.window->findChild<QDockWidget*>(QStringLiteral("dockPage")));
    auto* page = s.window->findChild<QDockWidget*>(QStringLiteral("dockPage"));
    QTRY_VERIFY(page->isVisible());
    for (const char* name : {"cmbNavigate", "cmdBotBack", "cmdBotForward", "cmdStop", "Browser1"}) {
        auto* w = s.child<QWidget>(name);
        QVERIFY2(
            page->widget()->rect().contains(QRect(w->mapTo(page->widget(), QPoint()), w->size())),
            name);
    }
    auto* view = s.child<QScrollArea>("clientView");
    QWidget* bench = s.window->workbench();
    QTRY_VERIFY(view->viewport()->rect().contains(
        QRect(bench->mapTo(view->viewport(), QPoint()), bench->size())));
    // Wide enough again, the page comes back beside the workbench; its
    // address row's buttons take the box's room before the box its width.
    QVERIFY(s.setClientSize(11000, 8100));
    QTRY_VERIFY(!s.window->findChild<QDockWidget*>(QStringLiteral("dockPage")));
    s.window->PositionBrowsers();
    QCOMPARE(s.child<QWidget>("Browser1")->parentWidget(), s.window->client());
    // From a window wider than the first start's, the workbench grows
    // with it and the page comes back beside it, not over it.
    s.window->resize(700, s.window->height());
    QTRY_VERIFY(s.window->findChild<QDockWidget*>(QStringLiteral("dockPage")));
    s.window->resize(1250, s.window->height());
    QTRY_VERIFY(!s.window->findChild<QDockWidget*>(QStringLiteral("dockPage")));
    QTRY_VERIFY(s.get("ucLumo", P::Width) > 5130);
    QCOMPARE(s.get("Browser1", P::Left), s.get("ucLumo", P::Left) + s.get("ucLumo", P::Width) + 25);
    QVERIFY(s.setClientSize(11000, 8100));
    s.window->PositionBrowsers();
    QVERIFY(s.get("cmbNavigate", P::Width) < 4575);
    QVERIFY(s.get("cmdStop", P::Left) + s.get("cmdStop", P::Width) <= 11000.0 - 100);
    QVERIFY(s.setClientSize(13260, 8100));
    s.window->PositionBrowsers();
    QCOMPARE(s.get("cmbNavigate", P::Width), 4575.0); // never wider than designed
    QVERIFY(s.fake.dialogs.shown().isEmpty());
}

void TestFrmLumo::a_workbench_below_the_client_area_keeps_the_grid_height() {
    Shell s;
    QScreen* cramped = nullptr; // no room for the window to grow enough
    for (QScreen* screen : QGuiApplication::screens()) {
        cramped = screen->name() == QLatin1String("cramped") ? screen : cramped;
    }
    QVERIFY(cramped);
    s.window->setScreen(cramped);
    s.window->move(cramped->availableGeometry().topLeft());
    s.window->Form_Load();
    // As large as a first start on this screen opens it.
    s.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
    s.window->resize(cramped->availableGeometry().size() -
                     (s.window->frameGeometry().size() - s.window->size()));
    s.action("mnuOptionsLargeDisplay")->trigger();
    QCOMPARE(s.get("Grid1", P::Top), 840.0 + 8379 + 25);
    // The window grows as far as the screen and no further; the client
    // scrolls, the values keeping their header and two rows of the type.
    QVERIFY(s.get("Grid1", P::Height) >= std::round(720 * 12 / 8.25));
    auto* view = s.child<QScrollArea>("clientView");
    QTRY_VERIFY(view->verticalScrollBar()->isVisible());
    QTRY_VERIFY(s.window->screen()->availableGeometry().contains(s.window->frameGeometry()));
    QCOMPARE(s.window->frameGeometry().bottom(), s.window->screen()->availableGeometry().bottom());
    // The page went into its tab beside the panel; the workbench's column
    // keeps its width.
    QTRY_VERIFY(s.window->findChild<QDockWidget*>(QStringLiteral("dockPage")));
    QTRY_VERIFY(view->viewport()->width() >= s.window->workbench()->geometry().right());
    QVERIFY(s.fake.dialogs.shown().isEmpty());
}

void TestFrmLumo::a_minimised_window_moves_nothing() {
    Shell s;
    s.window->Form_Load();
    QVERIFY(s.setClientSize(13260, 8100));
    s.window->PositionBrowsers();
    s.window->setWindowState(Qt::WindowMinimized);
    platform::twips::setGeometry(s.window->workbench(), {240, 840, 6000, 5985});
    s.window->PositionBrowsers();
    QCOMPARE(s.get("Browser1", P::Left), 5395.0);
}

void TestFrmLumo::large_display_enlarges_what_reads_the_workbench_and_shows_in_the_menu() {
    Shell s;
    s.window->Form_Load();
    QVERIFY(s.setClientSize(13260, 8100));
    QWidget* panel =
        s.window->findChild<QDockWidget*>(QStringLiteral("dockBeforeExpiry"))->widget();
    const double panelPoints = panel->font().pointSizeF();
    const char* readers[] = {"Grid1", "txtAnalysis", "lblReadAbout"};
    for (const char* display : {"mnuOptionsLargeDisplay", "mnuOptionsNormalDisplay"}) {
        const bool large = display[10] == 'L';
        s.action(display)->trigger();
        QVERIFY(s.action(display)->isChecked());
        QCOMPARE(s.action("mnuOptionsLargeDisplay")->isChecked(), large);
        for (const char* name : readers) {
            QCOMPARE(s.child<QWidget>(name)->font().pointSizeF(), large ? 12.0 : 8.25);
        }
        QCOMPARE(panel->font().pointSizeF() > panelPoints, large);
    }
}

void TestFrmLumo::each_curve_colour_is_named_once_and_draws_in_its_own_colour() {
    Shell s;
    QSet<QString> names;
    QSet<platform::Rgb> colours;
    for (int i = 0; i < workbench::wqzOptionPayoffs::swatchCount; ++i) {
        QAction* colour = s.window->findChild<QAction*>(QStringLiteral("mnuColour%1").arg(i));
        names << colour->text();
        colour->trigger();
        colours << s.window->workbench()->plotColor();
    }
    QCOMPARE(names.size(), workbench::wqzOptionPayoffs::swatchCount);
    QCOMPARE(colours.size(), workbench::wqzOptionPayoffs::swatchCount);
}

void TestFrmLumo::closing_the_panel_takes_the_curve_before_expiry_with_it() {
    Shell s;
    s.window->Form_Load();
    QVERIFY(s.setClientSize(13260, 8100));
    workbench::beforeexpiry::Inputs fifteenDays;
    fifteenDays.daysLeft = 15;
    s.window->workbench()->setBeforeExpiry(fifteenDays);
    const auto dashed = [&s] {
        return s.window->workbench()->diagram().beforeExpiry.size() == 1 &&
               s.child<QPlainTextEdit>("txtAnalysis")->toPlainText().contains(u"15 days left");
    };
    QVERIFY(dashed());
    auto* dock = s.window->findChild<QDockWidget*>(QStringLiteral("dockBeforeExpiry"));
    // The panel's own close button, as a student closes it.
    auto* close = dock->findChild<QAbstractButton*>(QStringLiteral("qt_dockwidget_closebutton"));
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!dock->isVisible());
    QVERIFY(!dashed());
    s.action("mnuBeforeExpiry")->trigger();
    QVERIFY(dock->isVisible());
    QVERIFY(dashed());
}

void TestFrmLumo::large_then_normal_restores_every_position_and_size() {
    Shell s;
    s.window->Form_Load();
    QVERIFY(s.setClientSize(13260, 8100));
    s.window->PositionBrowsers();
    const char* names[] = {"Browser1", "Grid1",  "cmbNavigate", "cmdBotBack", "cmdBotForward",
                           "cmdStop",  "ucLumo", "pbox",        "Grid1"};
    std::vector<platform::twips::Rect> before;
    for (const char* n : names) {
        before.push_back(platform::twips::geometry(s.child<QWidget>(n)));
    }
    s.action("mnuOptionsLargeDisplay")->trigger();
    QCOMPARE(platform::twips::geometry(s.window->workbench()).width, 7695);
    s.action("mnuOptionsLargeDisplay")->trigger();
    s.action("mnuOptionsNormalDisplay")->trigger();
    for (std::size_t i = 0; i < std::size(names); ++i) {
        QCOMPARE(platform::twips::geometry(s.child<QWidget>(names[i])), before[i]);
    }
}

void TestFrmLumo::nothing_is_cut_off_or_overlapped_at_either_display_data() {
    QTest::addColumn<QString>("callQty");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("quotes"); // pasted first when given
    const char* large = "mnuOptionsLargeDisplay";
    QString twelve = QStringLiteral("Call\tStrike\tPut\r\n");
    for (int k = 0; k < 12; ++k) {
        twelve += QStringLiteral("%1\t%2\t1.5\r\n").arg(20 - k).arg(30 + 5 * k);
    }
    QTest::newRow("normal, values to -123456.79") << "-2469.1358" << QStringList{} << "";
    QTest::newRow("large, values to -123456.79") << "-2469.1358" << QStringList{large} << "";
    QTest::newRow("normal after large, seven digits")
        << "-24691.358" << QStringList{large, "mnuOptionsNormalDisplay"} << "";
    QTest::newRow("normal, twelve pasted quotes") << "-24.6" << QStringList{} << twelve;
    QTest::newRow("large, twelve pasted quotes") << "-24.6" << QStringList{large} << twelve;
}

void TestFrmLumo::nothing_is_cut_off_or_overlapped_at_either_display() {
    QFETCH(QString, callQty);
    QFETCH(QStringList, commands);
    QFETCH(QString, quotes);
    Shell s;
    s.window->Form_Load();
    QVERIFY(s.setClientSize(shell::frmLumo::designClientWidth, shell::frmLumo::designClientHeight));
    if (!quotes.isEmpty()) {
        s.clipboard.putText(quotes);
        s.fake.dialogs.script(platform::Dialogs::answerOk); // the header line is not read
        s.action("mnuPasteOpData")->trigger();
    }
    auto* positions =
        s.window->workbench()->findChild<platform::FlexGrid*>(QStringLiteral("Grid1"));
    QTest::mouseClick(positions->viewport(), Qt::LeftButton, {},
                      positions->visualRect(positions->model()->index(3, 0)).center());
    QTest::keyClicks(QApplication::focusWidget(), callQty + u'\r');
    s.fake.dialogs.script(platform::Dialogs::answerYes); // the values leave the display
    QTest::mouseClick(s.child<QPushButton>("cmdPlot"), Qt::LeftButton);
    for (const QString& command : commands) {
        s.action(qPrintable(command))->trigger();
    }
    int captioned = 0;
    const QStringList faults = captionFaults(s.window.get(), captioned);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u", ")));
    QVERIFY(captioned >= 16);
    QCOMPARE(cutCells(positions), QStringList());
    QCOMPARE(s.window->valuesGrid()->Rows(), 101);
    QCOMPARE(cutCells(s.window->valuesGrid()), QStringList());
    // The panel beside the browser shows its inputs whole, at either size.
    QTRY_VERIFY(!s.child<QScrollArea>("scrBeforeExpiry")->horizontalScrollBar()->isVisible());
    // The workbench, the values grid and the address row are all in sight.
    QWidget* client = s.window->client();
    for (QWidget* w : client->findChildren<QWidget*>()) {
        if ((w->parent() == client || w->parent() == s.window->workbench()) &&
            w->isVisibleTo(client)) {
            QVERIFY2(client->rect().contains(QRect(w->mapTo(client, QPoint()), w->size())),
                     qPrintable(w->objectName()));
        }
    }
}

void TestFrmLumo::large_grows_the_window_as_far_as_needed_and_normal_gives_it_back_data() {
    // Client areas in pixels. The large workbench, the address row beside it
    // and the values grid below it need 1025 x 702, and the analysis below
    // the grid its room on top at the large font (added where `large` is 702).
    QTest::addColumn<QSize>("before");
    QTest::addColumn<QSize>("large");
    QTest::addColumn<QSize>("resizedWhileLarge");
    QTest::addColumn<QSize>("normal");
    QTest::newRow("design size") << QSize(884, 540) << QSize(1025, 702) << QSize()
                                 << QSize(884, 540);
    QTest::newRow("wide but short")
        << QSize(1100, 540) << QSize(1100, 702) << QSize() << QSize(1100, 540);
    QTest::newRow("big enough already")
        << QSize(1100, 1000) << QSize(1100, 1000) << QSize() << QSize(1100, 1000);
    QTest::newRow("resized by the user while large")
        << QSize(884, 540) << QSize(1025, 702) << QSize(1000, 720) << QSize(1000, 720);
}

void TestFrmLumo::large_grows_the_window_as_far_as_needed_and_normal_gives_it_back() {
    QFETCH(QSize, before);
    QFETCH(QSize, large);
    QFETCH(QSize, resizedWhileLarge);
    QFETCH(QSize, normal);
    Shell s;
    s.window->Form_Load();
    QVERIFY(s.setClientSize(before.width() * 15, before.height() * 15));
    const QPoint place = s.window->pos();
    s.action("mnuOptionsLargeDisplay")->trigger();
    s.action("mnuOptionsLargeDisplay")->trigger();
    if (large.height() == 702) {
        large.rheight() += platform::twips::pixelsToHold(s.window->analysisRoom());
    }
    QCOMPARE(s.window->client()->size(), large);
    QSize resized;
    if (resizedWhileLarge.isValid()) {
        QVERIFY(s.setClientSize(resizedWhileLarge.width() * 15, resizedWhileLarge.height() * 15));
        resized = s.window->size();
    }
    s.action("mnuOptionsNormalDisplay")->trigger();
    const QSize client = s.window->client()->size();
    if (resized.isValid()) {
        // The size the student gave the window stands; the panel beside
        // gives back the width it took for the large display's type.
        QCOMPARE(s.window->size(), resized);
        QVERIFY(client.width() >= normal.width() && client.height() == normal.height());
    } else {
        QCOMPARE(client, normal);
    }
    QCOMPARE(s.window->pos(), place);
}

void TestFrmLumo::start_up_lists_the_site_root_and_opens_the_first_page_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("firstPage");
    QTest::newRow("no launch parameters: the welcome page")
        << QStringList{} << "http://www.quillmere.example/wqzmodhtm/demomod.html";
    QTest::newRow("arguments given: the module's first page")
        << QStringList{"x"} << "http://www.wqzmodules.example/public/wqzmodhtm/wqzLumo/page1.htm";
}

void TestFrmLumo::start_up_lists_the_site_root_and_opens_the_first_page() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, firstPage);
    Shell s(arguments);
    s.window->Form_Load();
    QCOMPARE(s.browser.navigations, QStringList{firstPage});
    QCOMPARE(s.addresses.strFirstPageURL, firstPage);
    QCOMPARE(s.addressBox()->count(), 1);
    QCOMPARE(s.addressBox()->itemText(0), QStringLiteral("http://www.quillmere.example/"));
    QCOMPARE(s.addressBox()->currentText(), QString());
    QCOMPARE(s.window->workbench()->getGrddisplay(), s.window->valuesGrid());
    QCOMPARE(s.browser.Tag(), QString());
    QCOMPARE(s.window->windowTitle(), QStringLiteral("WQZ Option Payoffs Tutorial"));
}

void TestFrmLumo::the_menus_show_their_captions_and_hide_the_forums() {
    Shell s;
    QStringList captions;
    for (QAction* top : s.window->menuBar()->actions()) {
        captions << top->text();
        for (QAction* a : top->menu()->actions()) {
            if (a->isVisible()) {
                captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
            }
        }
    }
    QCOMPARE(captions, (QStringList{"&File",
                                    "&Home Page",
                                    "-",
                                    "&Open Position...",
                                    "&Recent Positions",
                                    "&Save Position",
                                    "Save Position &As...",
                                    "-",
                                    "New Pac&k...",
                                    "Ope&n Pack...",
                                    "Add &Question from Workbench...",
                                    "Ed&it Pack...",
                                    "Save Pack",
                                    "Save Pack As...",
                                    "Change Studen&t Name...",
                                    "Export Resu&lts...",
                                    "&Gather Results...",
                                    "Export Pack for a Co&urse...",
                                    "-",
                                    "Export &Diagram...",
                                    "Export Numeric &Values...",
                                    "Export S&cenarios...",
                                    "Export PD&F...",
                                    "-",
                                    "&Print...",
                                    "-",
                                    "E&xit",
                                    "&Edit",
                                    "&Undo",
                                    "&Redo",
                                    "-",
                                    "Copy Selected &Option Data",
                                    "Copy Selected &Numeric Values",
                                    "Copy &Analysis",
                                    "Copy &Scenarios",
                                    "Copy &Link to Position",
                                    "-",
                                    "&Paste Option Data",
                                    "&Options",
                                    "&Invert Position",
                                    "S&tarting Market",
                                    "-",
                                    "&Large Display",
                                    "&Normal Display",
                                    "-",
                                    "Show &Markers",
                                    "Show &Probability",
                                    "Show Le&gend",
                                    "&Diagram Only",
                                    "Curve &Colour",
                                    "Colour &Scheme",
                                    "Page &Zoom",
                                    "Before &Expiry Panel",
                                    "&Scenarios Panel",
                                    "&Help",
                                    "&Module Specific Help",
                                    "&Help"}));
    QStringList keys;
    for (const char* name :
         {"mnuSavePosition", "mnuSavePositionAs", "mnuCopyOptionData", "mnuCopyPayoffData",
          "mnuCopyAnalysis", "mnuCopyScenarios", "mnuPasteOpData"}) {
        keys << s.action(name)->shortcut().toString();
    }
    QCOMPARE(keys, (QStringList{"Ctrl+S", "Ctrl+Shift+S", "Ctrl+C", "Ctrl+C", "Ctrl+C", "Ctrl+C",
                                "Ctrl+V"}));
    QVERIFY(!s.action("mnuStudentForum")->isEnabled());
    QVERIFY(!s.action("mnuInstructorForum")->isVisible());
    QCOMPARE(s.child<QPushButton>("cmdBotBack")->text(), QStringLiteral("Back "));
}

void TestFrmLumo::the_box_names_the_page_shown_however_it_was_reached_data() {
    QTest::addColumn<QString>("how"); // a command, "try" for a Try it link, or "typing"
    QTest::addColumn<QString>("shown");
    const QString main = QStringLiteral("http://www.quillmere.example/wqzmodhtm/");
    QTest::newRow("start-up") << "" << main + "demomod.html";
    QTest::newRow("a link") << "link" << main + "wqzLumo/page28.htm";
    QTest::newRow("Back") << "cmdBotBack" << main + "wqzLumo/page27.htm";
    QTest::newRow("Try it") << "try" << main + "wqzLumo/page28.htm";
    QTest::newRow("Help > Help") << "mnuHelpModule" << main + "howtouse.htm";
    QTest::newRow("Help > Module Specific Help") << "mnuModHelp" << main + "wqzLumo/contents.htm";
    QTest::newRow("File > Home Page") << "mnuHomePage" << main + "demomod.html";
    QTest::newRow("an address being typed") << "typing"
                                            << "http://typed.example/";
}

void TestFrmLumo::the_box_names_the_page_shown_however_it_was_reached() {
    QFETCH(QString, how);
    QFETCH(QString, shown);
    Shell s;
    s.window->Form_Load();
    s.browser.finish();
    for (const char* page : {"page27.htm", "page28.htm"}) { // followed as links
        if (!how.isEmpty()) {
            s.browser.navigate("http://www.quillmere.example/wqzmodhtm/wqzLumo/" +
                               QString::fromLatin1(page));
            s.browser.finish();
        }
    }
    if (how.startsWith(u"mnu")) {
        s.action(qPrintable(how))->trigger();
        s.browser.finish();
    } else if (how == u"cmdBotBack") {
        QTest::mouseClick(s.child<QPushButton>("cmdBotBack"), Qt::LeftButton);
    } else if (how == u"try") {
        emit s.browser.ProgramLink(
            QStringLiteral("wqz-workbench:load?strategy=Strip&diagram=profit"));
    } else if (how == u"typing") { // a page that ends then leaves the typing alone
        QVERIFY(typing::typeAddress(s.addressBox(), shown, Qt::Key_End));
        s.browser.navigate(QStringLiteral("http://www.quillmere.example/"));
        s.browser.finish();
    }
    QCOMPARE(s.addressBox()->currentText(), shown);
    QCOMPARE(s.addressBox()->count(), 1);
}

void TestFrmLumo::edit_keys_do_the_menus_commands_where_the_focus_leaves_them_data() {
    QTest::addColumn<QString>("focus");  // the control clicked before Ctrl+C, or Ctrl+V
    QTest::addColumn<QString>("copied"); // what the clipboard then holds; empty: Ctrl+V
    QTest::addColumn<bool>("pasted");    // Paste Option Data rebuilt the position
    QTest::newRow("numeric values") << "values"
                                    << "values" << false;
    QTest::newRow("the analysis") << "txtAnalysis"
                                  << "analysis" << false;
    QTest::newRow("the diagram, its picture") << "pbox"
                                              << "picture" << false;
    QTest::newRow("a button") << "cmdClear"
                              << "" << true;
    QTest::newRow("the position grid, into its cell") << "positions"
                                                      << "" << false;
    QTest::newRow("the address box, as text") << "cmbNavigate"
                                              << "" << false;
}

void TestFrmLumo::edit_keys_do_the_menus_commands_where_the_focus_leaves_them() {
    QFETCH(QString, focus);
    QFETCH(QString, copied);
    QFETCH(bool, pasted);
    Shell s;
    s.window->Form_Load();
    s.window->show();
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    const QString quotes = QStringLiteral("16\t40\t0.5\n13\t45\t1.5\n");
    s.clipboard.putText(quotes);
    auto* positions =
        s.window->workbench()->findChild<platform::FlexGrid*>(QStringLiteral("Grid1"));
    platform::FlexGrid* grid = focus == u"values"      ? s.window->valuesGrid()
                               : focus == u"positions" ? positions
                                                       : nullptr;
    QWidget* clicked = grid ? grid->viewport() : s.child<QWidget>(qPrintable(focus));
    QTest::mouseClick(clicked, Qt::LeftButton, {},
                      grid ? grid->visualRect(grid->model()->index(2, 1)).center()
                           : clicked->rect().center());
    QTest::keyClick(QApplication::focusWidget(), copied.isEmpty() ? Qt::Key_V : Qt::Key_C,
                    Qt::ControlModifier);
    QCOMPARE(positions->Rows() == 3, pasted);
    QCOMPARE(s.clipboard.rawText(), copied == u"values"     ? s.window->valuesGrid()->Clip()
                                    : copied == u"analysis" ? s.window->workbench()->analysisText()
                                    : copied.isEmpty()      ? quotes
                                                            : QString()); // a picture only
}

void TestFrmLumo::enter_in_an_empty_box_or_on_the_page_shown_does_nothing() {
    Shell s;
    s.window->Form_Load();
    s.browser.navigations.clear();
    s.enterAddress(QString());
    QVERIFY(s.browser.navigations.isEmpty());
    s.browser.navigate(QStringLiteral("http://www.quillmere.example/a.htm"));
    s.browser.finish();
    s.browser.navigations.clear();
    s.enterAddress(QStringLiteral("http://www.quillmere.example/a.htm"));
    QVERIFY(s.browser.navigations.isEmpty());
    QCOMPARE(s.addressBox()->count(), 1);
    QCOMPARE(s.fake.pointer.shape(), platform::MousePointer::Shape::Default);
}

void TestFrmLumo::a_navigation_waits_and_lists_the_redirected_address_once_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Return") << Qt::Key_Return;
    QTest::newRow("keypad Enter") << Qt::Key_Enter;
}

void TestFrmLumo::a_navigation_waits_and_lists_the_redirected_address_once() {
    QFETCH(Qt::Key, key);
    Shell s;
    s.window->Form_Load();
    const QString typed = QStringLiteral("http://www.quillmere.example/wqzmodhtm/");
    const QString redirected = QStringLiteral("http://www.quillmere.example/wqzmodhtm/index.htm");
    platform::MousePointer::Shape during = platform::MousePointer::Shape::Default;
    s.whenNavigating([&] {
        during = s.fake.pointer.shape();
        s.browser.finish(redirected);
    });
    s.enterAddress(typed, key);
    QCOMPARE(during, platform::MousePointer::Shape::Hourglass);
    QCOMPARE(s.fake.pointer.shape(), platform::MousePointer::Shape::Default);
    QCOMPARE(s.browser.navigations.last(), typed);
    QCOMPARE(s.addressBox()->currentText(), redirected);
    QCOMPARE(s.addressBox()->count(), 2);
    QCOMPARE(s.addressBox()->itemText(1), redirected);
    QCOMPARE(s.browser.Tag(), QStringLiteral("alldone"));
    QVERIFY(s.fake.pump.waits > 0);

    // Reached again through the box from another page: still one entry.
    s.browser.navigate(QStringLiteral("http://www.quillmere.example/other.htm"));
    s.browser.finish();
    s.whenNavigating([&] { s.browser.finish(redirected); });
    s.enterAddress(typed);
    QCOMPARE(s.addressBox()->count(), 2);
}

void TestFrmLumo::stop_ends_the_wait_with_the_default_pointer() {
    Shell s;
    s.window->Form_Load();
    s.whenNavigating([&] { s.child<QPushButton>("cmdStop")->click(); });
    s.enterAddress(QStringLiteral("http://www.quillmere.example/never.htm"));
    QCOMPARE(s.fake.pointer.shape(), platform::MousePointer::Shape::Default);
    QVERIFY(s.browser.stops > 0);
    QCOMPARE(s.browser.Tag(), QStringLiteral("alldone"));
}

void TestFrmLumo::closing_during_a_wait_ends_the_process_at_once() {
    Shell s;
    s.window->Form_Load();
    s.window->show();
    s.whenNavigating([&] { s.window->close(); });
    s.enterAddress(QStringLiteral("http://www.quillmere.example/never.htm"));
    QVERIFY(gEnded);
    QVERIFY(s.browser.stops > 0);
}

void TestFrmLumo::back_on_the_first_page_changes_nothing() {
    Shell s;
    s.window->Form_Load();
    s.browser.finish();
    const QString shown = s.browser.LocationURL();
    s.child<QPushButton>("cmdBotBack")->click();
    s.child<QPushButton>("cmdBotForward")->click();
    QCOMPARE(s.browser.LocationURL(), shown);
    QVERIFY(s.fake.dialogs.shown().isEmpty());
}

void TestFrmLumo::progress_other_than_minus_one_leaves_the_flag() {
    Shell s;
    s.window->Form_Load();
    s.browser.setTag(QString());
    emit s.browser.ProgressChange(50, 100);
    emit s.browser.ProgressChange(100, 100);
    QCOMPARE(s.browser.Tag(), QString());
    emit s.browser.ProgressChange(-1, 100);
    QCOMPARE(s.browser.Tag(), QStringLiteral("alldone"));
}

void TestFrmLumo::paste_option_data_loads_the_clipboard_and_reports_a_failure() {
    Shell s;
    s.window->Form_Load();
    s.clipboard.putText(QStringLiteral("16\t40\t0.5\n13\t45\t1.5\n"));
    s.action("mnuPasteOpData")->trigger();
    auto* grid = s.window->workbench()->findChild<platform::FlexGrid*>(QStringLiteral("Grid1"));
    QCOMPARE(grid->Rows(), 3);
    QCOMPARE(grid->TextMatrix(2, 2), QStringLiteral("45"));
    s.clipboard.failing = true;
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    s.action("mnuPasteOpData")->trigger();
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY(s.fake.dialogs.shown().first().text.endsWith(QStringLiteral("Can't open Clipboard")));
}

void TestFrmLumo::the_numeric_values_show_the_first_curve_at_start_up() {
    Shell s;
    s.window->Form_Load();
    // The window's own grid (the workbench has one of the same name).
    platform::FlexGrid* values = nullptr;
    for (auto* grid : s.window->findChildren<platform::FlexGrid*>(QStringLiteral("Grid1"))) {
        if (!s.window->workbench()->isAncestorOf(grid)) {
            values = grid;
        }
    }
    QVERIFY(values);
    const workbench::wqzOptionPayoffs& bench = *s.window->workbench();
    QCOMPARE(values->Rows(), workbench::payoff::sampleCount + 1);
    QCOMPARE(values->TextMatrix(0, 2), QStringLiteral("Payoff"));
    for (const int i : {1, 50, workbench::payoff::sampleCount}) {
        QCOMPARE(values->TextMatrix(i, 1),
                 platform::numbers::format(bench.plotPrice()[std::size_t(i)], u"#####0.0000"));
        QCOMPARE(values->TextMatrix(i, 2),
                 platform::numbers::format(bench.plotValue()[std::size_t(i)], u"#####0.0000"));
    }
}

void TestFrmLumo::a_paste_into_the_address_box_goes_in_whole_or_is_cut_with_a_word_data() {
    QTest::addColumn<qsizetype>("length"); // of the text pasted
    QTest::addColumn<bool>("cut");
    const qsizetype most = workbench::links::longestLink + 1;
    QTest::newRow("a page's address") << qsizetype(40) << false;
    QTest::newRow("as much as the box has room for") << most - 2 << false;
    QTest::newRow("a character more") << most - 1 << true;
    QTest::newRow("10 MB") << qsizetype(10'000'000) << true;
}

void TestFrmLumo::a_paste_into_the_address_box_goes_in_whole_or_is_cut_with_a_word() {
    QFETCH(qsizetype, length);
    QFETCH(bool, cut);
    Shell s;
    s.window->Form_Load();
    s.window->show();
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    auto* box = s.child<QComboBox>("cmbNavigate");
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    s.clipboard.putText(QString(length, u'x'));
    if (cut) {
        s.fake.dialogs.script(platform::Dialogs::answerOk);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(s.fake.dialogs.pendingAnswers(), 0);
    const qsizetype most = box->lineEdit()->maxLength();
    const qsizetype taken = std::min(length, most - 2);
    // At the cursor, between what was typed.
    QCOMPARE(box->currentText(), u'a' + QString(taken, u'x') + u'b');
    QCOMPARE(box->lineEdit()->cursorPosition(), 1 + taken);
    QCOMPARE(s.fake.dialogs.shown().size(), cut ? 1 : 0);
}

void TestFrmLumo::the_page_zooms_with_the_browsers_keys_and_keeps_its_size() {
    QTemporaryDir config;
    {
        Shell s({}, {}, config.path());
        s.window->Form_Load();
        s.window->show();
        QApplication::setActiveWindow(s.window.get());
        QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
        QCOMPARE(s.browser.zoom(), 1.0);
        // Wherever the focus is: the address box, then the position grid.
        QTest::mouseClick(s.addressBox(), Qt::LeftButton);
        const auto key = [](Qt::Key k) {
            QTest::keyClick(QApplication::focusWidget(), k, Qt::ControlModifier);
        };
        key(Qt::Key_Plus);
        QCOMPARE(s.browser.zoom(), 1.1);
        key(Qt::Key_Equal); // Ctrl and the key + shares, without Shift
        QCOMPARE(s.browser.zoom(), 1.25);
        key(Qt::Key_0);
        QCOMPARE(s.browser.zoom(), 1.0);
        auto* grid = s.window->workbench()->findChild<platform::FlexGrid*>("Grid1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        for (int i = 0; i < 20; ++i) {
            key(Qt::Key_Minus);
        }
        QCOMPARE(s.browser.zoom(), 0.25); // as small as the engine draws
        key(Qt::Key_Plus);
        QCOMPARE(s.browser.zoom(), 0.33);
        s.window->close();
    }
    Shell again({}, {}, config.path());
    again.window->Form_Load();
    QCOMPARE(again.browser.zoom(), 0.33);
}

QTEST_MAIN(TestFrmLumo)
#include "test_frmlumo.moc"

void TestFrmLumo::the_analysis_takes_room_below_the_values_grid_only_above_its_least_height_data() {
    // Client heights in twips above the designed 8100, the room the analysis
    // wants added where given as -1.
    QTest::addColumn<int>("extra");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<double>("gridHeight");
    QTest::newRow("design size: the grid as designed") << 0 << false << 1175.0;
    QTest::newRow("as the window opens") << -1 << true << 1175.0;
    QTest::newRow("short: the grid keeps a header and two rows") << 600 << true << 720.0;
    QTest::newRow("too short for two lines") << 30 << false << 1205.0;
}

void TestFrmLumo::the_analysis_takes_room_below_the_values_grid_only_above_its_least_height() {
    QFETCH(int, extra);
    QFETCH(bool, shown);
    QFETCH(double, gridHeight);
    Shell s;
    s.window->Form_Load();
    QVERIFY(s.setClientSize(13260, 8100 + (extra < 0 ? s.window->analysisRoom() : extra)));
    s.window->PositionBrowsers();
    auto* analysis = s.child<QWidget>("txtAnalysis");
    QCOMPARE(analysis->isVisibleTo(s.window.get()), shown);
    QCOMPARE(s.get("Grid1", P::Top), 6850.0);
    QCOMPARE(s.get("Grid1", P::Height), gridHeight);
    if (shown) {
        const QRect grid = s.window->valuesGrid()->geometry();
        QVERIFY(!analysis->geometry().intersects(grid));
        QCOMPARE(analysis->geometry().left(), grid.left());
        QCOMPARE(analysis->geometry().width(), grid.width());
        QVERIFY(s.window->client()->rect().contains(analysis->geometry()));
    }
}

void TestFrmLumo::the_analysis_follows_the_strategy_chosen_and_copies_as_shown() {
    Shell s;
    s.window->Form_Load();
    s.window->show();
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    auto* analysis = s.child<QPlainTextEdit>("txtAnalysis");
    // The window opens with room for it; the start-up curve is described.
    QVERIFY(analysis->isVisible());
    QVERIFY(analysis->toPlainText().startsWith(QStringLiteral("Naked Call (payoff)\n")));
    s.fake.dialogs.script(platform::Dialogs::answerYes); // the profit needs a new scale
    QTest::mouseClick(s.child<QRadioButton>("plotType(1)"), Qt::LeftButton);
    QTest::mouseClick(s.child<QComboBox>("cmbStandard"), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Call B"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QString expected = QStringLiteral("Call Butterfly Spread (profit)\n"
                                            "Net premium: 1.50 paid\n"
                                            "Break-even: 41.50 and 58.50\n"
                                            "Break-even from 50.00: -17.00 % and +17.00 %\n"
                                            "Maximum profit: 8.50 at 50.00\n"
                                            "Maximum loss: 1.50 at or below 40.00 and at or "
                                            "above 60.00\n"
                                            "Reward to risk: 5.67 to 1\n"
                                            "Capital at risk: 1.50, 100.00 % of the 1.50 the "
                                            "position costs today\n"
                                            "At expiry, if the price stays at 50.00: 8.50");
    QTRY_COMPARE(analysis->toPlainText(), expected);
    s.action("mnuCopyAnalysis")->trigger();
    QCOMPARE(s.clipboard.rawText(), expected);
    // A step leaves the strategy: the next plot describes a custom position.
    QTest::mouseClick(s.child<QPushButton>("scup(0)"), Qt::LeftButton);
    s.fake.dialogs.script(platform::Dialogs::answerNo); // keep the scale
    QTest::mouseClick(s.child<QPushButton>("cmdPlot"), Qt::LeftButton);
    QVERIFY(analysis->toPlainText().startsWith(QStringLiteral("Custom position (profit)\n")));
}

void TestFrmLumo::every_control_is_named_in_words_and_tab_reaches_each() {
    Shell s;
    s.window->Form_Load();
    s.window->show();
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    QStringList unnamed;
    QSet<QWidget*> focusable;
    for (QWidget* w : s.window->findChildren<QWidget*>()) {
        const QString id = w->objectName();
        auto* label = qobject_cast<QLabel*>(w);
        const bool reached = w->focusPolicy() & Qt::TabFocus;
        if (id.isEmpty() || id.startsWith(u"qt_") || !w->isVisibleTo(s.window.get()) ||
            !(reached || (label && !label->text().isEmpty()))) {
            continue;
        }
        if (w->accessibleName().isEmpty() || w->accessibleName() == id || w->toolTip().isEmpty()) {
            unnamed << id;
        }
        if (reached && w->isEnabled()) {
            focusable << w;
        }
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
    QVERIFY(focusable.size() >= 20);

    // Tab from the diagram goes round every control. Of a group of option
    // buttons Tab stops at the one chosen; the arrows move between them.
    s.child<QWidget>("pbox")->setFocus();
    QSet<QWidget*> reached;
    for (int i = 0; i < 120 && !reached.contains(focusable); ++i) {
        reached << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (QWidget* w : std::as_const(focusable)) {
        auto* option = qobject_cast<QRadioButton*>(w);
        QVERIFY2(reached.contains(w) || (option && !option->isChecked()),
                 qPrintable(w->objectName() + QStringLiteral(" is not reached by Tab")));
    }
}

void TestFrmLumo::a_page_link_loads_the_workbench_and_a_hostile_one_changes_nothing() {
    Shell s;
    s.window->Form_Load();
    s.browser.navigate(
        QStringLiteral("http://www.wqzmodules.example/public/wqzmodhtm/wqzLumo/page21.htm"));
    s.browser.finish();
    const QStringList before = positionTexts(s);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    emit s.browser.ProgramLink(
        QStringLiteral("wqz-workbench:load?position=c3:99999&diagram=profit"));
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY(s.fake.dialogs.shown()[0].text.startsWith(
        QStringLiteral("The page's link to the workbench cannot be followed.")));
    QCOMPARE(positionTexts(s), before);
    emit s.browser.ProgramLink(QStringLiteral("wqz-workbench:load?strategy=Strip&diagram=profit"));
    QCOMPARE(s.child<QComboBox>("cmbStandard")->currentText(), QStringLiteral("Strip"));
    QVERIFY(s.child<QRadioButton>("plotType(1)")->isChecked());
    QVERIFY(s.window->workbench()->analysisText().startsWith(QStringLiteral("Strip (profit)")));
    QCOMPARE(s.browser.navigations.size(), 2); // the page shown only: the history is untouched
}

void TestFrmLumo::only_the_tutorials_own_pages_load_the_workbench_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("mainFrame");
    QTest::addColumn<int>("links");
    const QString tutorial =
        QStringLiteral("http://www.wqzmodules.example/public/wqzmodhtm/wqzLumo/page21.htm");
    QTest::newRow("another site's page")
        << "http://www.elsewhere.example/wqzmodhtm/wqzLumo/page21.htm" << true << 1;
    QTest::newRow("a frame inside a tutorial page") << tutorial << false << 1;
    QTest::newRow("another site's page firing links")
        << "http://www.elsewhere.example/" << true << 3;
}

void TestFrmLumo::only_the_tutorials_own_pages_load_the_workbench() {
    QFETCH(QString, page);
    QFETCH(bool, mainFrame);
    QFETCH(int, links);
    Shell s;
    s.window->Form_Load();
    s.browser.finish();
    s.browser.navigate(page);
    s.browser.finish();
    const QStringList before = positionTexts(s);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    for (int i = 0; i < links; ++i) {
        emit s.browser.ProgramLink(
            QStringLiteral("wqz-workbench:load?strategy=Strip&diagram=profit"), mainFrame);
    }
    QCOMPARE(positionTexts(s), before);
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QCOMPARE(s.fake.dialogs.shown()[0].text,
             QStringLiteral("The page's link to the workbench cannot be followed. Only the "
                            "tutorial's own pages can use the workbench."));
}

void TestFrmLumo::only_tutorial_pages_have_answers_judged_and_hear_which_were_right() {
    Shell s;
    s.window->Form_Load();
    const auto show = [&s](const QString& address) {
        s.browser.navigate(address);
        s.browser.finish();
    };
    const auto send = [&s](const QString& query) {
        emit s.browser.ProgramLink(QStringLiteral("wqz-workbench:check?") + query);
        return s.browser.scripts.last();
    };
    const auto verdict = [](const QString& call) {
        return QStringLiteral("window.wqzExercises && wqzExercises.verdict.apply(null, %1);")
            .arg(call);
    };
    const QString module =
        QStringLiteral("http://www.wqzmodules.example/public/wqzmodhtm/wqzLumo/");
    show(module + QStringLiteral("page21.htm"));
    QCOMPARE(s.browser.scripts.last(),
             QStringLiteral("window.wqzExercises && wqzExercises.show({});"));
    // A first wrong answer gets the hint and the situation, not the value.
    const QString first = send(QStringLiteral("exercise=straddle-1&answer=$35"));
    QVERIFY2(first.startsWith(QStringLiteral(
                 "window.wqzExercises && wqzExercises.verdict.apply(null, [\"straddle-1\","
                 "\"wrong\",\"Not right: the lower break-even is not $35.\",{\"hint\":\"Plot "
                 "the profit diagram and read the \\\"Break-even\\\" line")),
             qPrintable(first));
    QVERIFY(first.endsWith(
        QStringLiteral("\"tryIt\":\"wqz-workbench:load?strategy=Straddle&diagram=profit\"}]);")));
    QVERIFY(!first.contains(QStringLiteral("36.00")));
    QVERIFY(send(QStringLiteral("exercise=straddle-1&answer=36"))
                .contains(QStringLiteral("\"right\",\"Right: ")));
    // A wrong answer after a right one is what the contents tell, as a first
    // wrong answer: no answer is shown for it.
    QVERIFY(!send(QStringLiteral("exercise=straddle-1&answer=35"))
                 .contains(QStringLiteral("The answer")));
    QVERIFY(!send(QStringLiteral("exercise=straddle-2&answer=1"))
                 .contains(QStringLiteral("The answer")));
    QVERIFY(send(QStringLiteral("exercise=straddle-2&answer=2"))
                .contains(QStringLiteral("\"answer\":\"The answer is 14.00.\"")));
    QCOMPARE(send(QStringLiteral("exercise=strangle-1&reveal=1")),
             verdict(QStringLiteral(
                 "[\"strangle-1\",\"shown\",\"\",{\"answer\":\"The answer is 67.00.\"}]")));
    show(module + QStringLiteral("contents.htm"));
    QCOMPARE(s.browser.scripts.last(),
             QStringLiteral("window.wqzExercises && wqzExercises.show({\"straddle-1\":\"wrong\","
                            "\"straddle-2\":\"shown\",\"strangle-1\":\"shown\"});"));

    // An id neither book has is refused in words.
    const qsizetype scripts = s.browser.scripts.size();
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    emit s.browser.ProgramLink(QStringLiteral("wqz-workbench:check?exercise=gone-1&answer=1"));
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QCOMPARE(s.fake.dialogs.shown()[0].text,
             QStringLiteral("The page's link to the workbench cannot be followed. The tutorial "
                            "has no exercise \"gone-1\"."));

    // Another site's page hears nothing and can judge nothing.
    show(QStringLiteral("http://www.elsewhere.example/wqzmodhtm/wqzLumo/contents.htm"));
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    emit s.browser.ProgramLink(QStringLiteral("wqz-workbench:check?exercise=straddle-1&answer=36"));
    QCOMPARE(s.browser.scripts.size(), scripts);
    QCOMPARE(s.fake.dialogs.shown().size(), 2);
    QVERIFY(s.fake.dialogs.shown()[1].text.contains(QStringLiteral("tutorial's own pages")));
}

void TestFrmLumo::progress_that_cannot_be_kept_is_told_once_and_held_for_the_run() {
    QTemporaryDir folder;
    // A file where the data folder should be: nothing can be written below it.
    const QString blocker = folder.filePath(QStringLiteral("data"));
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    Shell s({}, blocker);
    s.window->Form_Load();
    s.browser.navigate(
        QStringLiteral("http://www.wqzmodules.example/public/wqzmodhtm/wqzLumo/page21.htm"));
    s.browser.finish();
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    for (const char* answer : {"1", "2", "36"}) {
        emit s.browser.ProgramLink(
            QStringLiteral("wqz-workbench:check?exercise=straddle-1&answer=") + answer);
    }
    QTRY_COMPARE(s.fake.dialogs.shown().size(), 1);
    QTest::qWait(200);
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY2(s.fake.dialogs.shown()[0].text.startsWith(
                 QStringLiteral("Your progress with the exercises cannot be kept for the next "
                                "time the program runs: ")),
             qPrintable(s.fake.dialogs.shown()[0].text));
    QVERIFY(s.fake.dialogs.shown()[0].text.endsWith(
        QStringLiteral(". It is kept until the program closes.")));
    s.browser.navigate(
        QStringLiteral("http://www.wqzmodules.example/public/wqzmodhtm/wqzLumo/contents.htm"));
    s.browser.finish();
    QVERIFY(s.browser.scripts.last().contains(QStringLiteral("{\"straddle-1\":\"shown\"}")));
}

void TestFrmLumo::a_strategy_chosen_offers_its_page_without_opening_it() {
    Shell s;
    s.window->Form_Load();
    s.window->show();
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    QTest::mouseClick(s.child<QComboBox>("cmbStandard"), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Call B"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    auto* offer = s.child<QLabel>("lblReadAbout");
    QTRY_VERIFY(offer->isVisible());
    QVERIFY(offer->text().contains(QStringLiteral(">Read about Call Butterfly Spread<")));
    QCOMPARE(s.browser.navigations.size(), 1); // offered, not opened
    const QString words = QStringLiteral("Read about Call Butterfly Spread");
    QTest::mouseClick(
        offer, Qt::LeftButton, {},
        QPoint(offer->fontMetrics().horizontalAdvance(words) / 2, offer->height() / 2));
    QCOMPARE(s.browser.navigations.last(),
             QStringLiteral("http://www.wqzmodules.example/public/wqzmodhtm/wqzLumo/page20.htm"));
    // A step leaves the strategy: nothing is offered.
    s.fake.dialogs.script(platform::Dialogs::answerNo);
    QTest::mouseClick(s.child<QPushButton>("scup(1)"), Qt::LeftButton);
    QVERIFY(!offer->isVisible());
}
