#include "ShellHarness.h"
#include "platform/Palette.h"
#include "workbench/control/DiagramExport.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

#include <memory>

namespace {

using platform::Dialogs;
constexpr platform::Rgb yellow = 0xFFFF00;
constexpr platform::Rgb red = 0xFF0000;
// Red as it reads on the screen's slate plot area, lightened to stand out.
const platform::Rgb redOnSlate = platform::readableOn(red, 0x5A6270);

// The main window on screen and active after its start-up.
struct ExportShell : Shell {
    ExportShell() {
        window->Form_Load();
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    using Shell::child;
    template <typename W> W* child(const QString& name) const {
        W* w = window->findChild<W*>(name);
        Q_ASSERT_X(w, "Shell", qPrintable(name));
        return w;
    }
    void trigger(const char* action) { child<QAction>(QString::fromLatin1(action))->trigger(); }
    void click(const char* name) {
        QTest::mouseClick(child<QWidget>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    // A click into the box, its text selected and typed over.
    void typeInto(const char* box, const QString& text) {
        click(box);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    // The start-up call in yellow, then a straddle at 50 in red over it.
    void plotTwoCurves() {
        typeInto("Text1(0)", QStringLiteral("60"));
        typeInto("Text1(1)", QStringLiteral("-20"));
        click("cmdClear");
        click("cmdPlot");
        click("pColor(9)");
        auto* positions =
            window->workbench()->findChild<platform::FlexGrid*>(QStringLiteral("Grid1"));
        QTest::mouseClick(positions->viewport(), Qt::LeftButton, {},
                          positions->visualRect(positions->model()->index(3, 3)).center());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1\r"));
        click("cmdPlot");
    }
};

// The colour found within a pixel of where a point of the diagram falls; the
// lines are drawn smooth, so their edges blend.
bool colourNear(const QImage& image, const QRectF& area, const workbench::PlotScale& s,
                QPointF user, platform::Rgb colour) {
    const QPointF at(area.left() + (user.x() - s.left) / (s.right - s.left) * area.width(),
                     area.top() + (user.y() - s.top) / (s.bottom - s.top) * area.height());
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if ((image.pixel(int(at.x()) + dx, int(at.y()) + dy) & 0xFFFFFF) == colour) {
                return true;
            }
        }
    }
    return false;
}

int darkPixels(const QImage& image, const QRect& region) {
    int dark = 0;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            dark += qGray(image.pixel(x, y)) < 40;
        }
    }
    return dark;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void the_values_of_the_plot_export_as_the_grid_shows_them();
    void the_scenarios_follow_the_plot_and_its_inputs_and_export_as_shown();
    void the_scenarios_across_volatility_are_chosen_kept_and_exported();
    void the_smile_exports_with_its_calls_and_puts();
    void with_nothing_to_export_a_message_says_so_data();
    void with_nothing_to_export_a_message_says_so();
    void a_png_shows_the_curves_in_their_colours_with_axes_and_legend();
    void an_svg_is_well_formed_and_names_its_curves_and_axes_data();
    void an_svg_is_well_formed_and_names_its_curves_and_axes();
    void a_failed_write_says_why_and_creates_nothing_data();
    void a_failed_write_says_why_and_creates_nothing();
};

void TestExport::the_values_of_the_plot_export_as_the_grid_shows_them() {
    ExportShell s;
    s.click("cmdPlot");
    // The dashed curve's values follow the grid's, at the same prices.
    workbench::beforeexpiry::Inputs tenDays;
    tenDays.daysLeft = 10;
    s.window->workbench()->setBeforeExpiry(tenDays);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("values.csv"));
    s.fake.dialogs.scriptSaveName(path);
    s.trigger("mnuExportValues");
    QCOMPARE(s.fake.dialogs.saveFilters(), QStringList{"Comma-separated values (*.csv)"});
    QVERIFY(s.fake.dialogs.shown().isEmpty());
    const QString text = QString::fromUtf8(contents(path));
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 101);
    QCOMPARE(lines[0], QStringLiteral("Underlying,Payoff,Payoff with 10 days left"));
    const platform::FlexGrid* grid = s.window->valuesGrid();
    const workbench::wqzOptionPayoffs* bench = s.window->workbench();
    const workbench::beforeexpiry::Valuer dashed(bench->valuedPosition(), tenDays,
                                                 workbench::payoff::payoffDiagram);
    for (int i = 1; i <= 100; ++i) {
        const QStringList fields = lines[i].split(u',');
        QCOMPARE(fields.mid(0, 2), (QStringList{grid->TextMatrix(i, 1), grid->TextMatrix(i, 2)}));
        QVERIFY(qAbs(fields[2].toDouble() - dashed.valueAt(bench->plotPrice()[i])) < 6e-5);
        // Four decimals, a half rounded on the float's shortest text.
        QVERIFY(qAbs(fields[0].toDouble() - bench->plotPrice()[i]) < 6e-5);
        QVERIFY(qAbs(fields[1].toDouble() - bench->plotValue()[i]) < 6e-5);
    }
}

void TestExport::the_scenarios_follow_the_plot_and_its_inputs_and_export_as_shown() {
    ExportShell s;
    s.trigger("mnuScenarios");
    auto* table = s.child<QTableWidget>(QStringLiteral("grdScenarios"));
    QTRY_COMPARE(table->rowCount(), 21); // the start-up call, 100 down to 0
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("30 days"));
    workbench::beforeexpiry::Inputs tenDays;
    tenDays.daysToday = 10;
    s.window->workbench()->setBeforeExpiry(tenDays);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("10 days"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scenarios.csv"));
    s.fake.dialogs.scriptSaveName(path);
    s.trigger("mnuExportScenarios");
    QVERIFY(s.fake.dialogs.shown().isEmpty());
    const QStringList lines =
        QString::fromUtf8(contents(path)).chopped(2).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 22);
    QCOMPARE(lines[0], QStringLiteral("Underlying,Payoff with 10 days left,Payoff with 8 days "
                                      "left,Payoff with 6 days left,Payoff with 4 days left,"
                                      "Payoff with 2 days left,Payoff at expiry,Note"));
    // Valued at today's price with the volatility its premium implies, the
    // call is worth that premium.
    QCOMPARE(lines[11], QStringLiteral("50.00,10.50,") + lines[11].section(u',', 2, 5) +
                            QStringLiteral(",0.00,Today's price; Break-even 50.00"));
    for (int r = 0; r < 21; ++r) {
        const QStringList fields = lines[r + 1].split(u',');
        QCOMPARE(fields[0].toDouble(), 100 - 5.0 * r);
        QCOMPARE(fields[6].toDouble(), std::max(50 - 5.0 * r, 0.0));
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(table->item(r, c)->text(), fields[c + 1]);
        }
    }
}

void TestExport::the_scenarios_across_volatility_are_chosen_kept_and_exported() {
    ExportShell s;
    s.trigger("mnuScenarios");
    auto* table = s.child<QTableWidget>(QStringLiteral("grdScenarios"));
    QTRY_COMPARE(table->rowCount(), 21);
    workbench::beforeexpiry::Inputs tenDays;
    tenDays.daysLeft = 10;
    tenDays.volatilityShift = 0.05;
    s.window->workbench()->setBeforeExpiry(tenDays);
    // The columns chosen as a student would: the list opened, one down, Enter.
    QTRY_VERIFY(s.child<QWidget>(QStringLiteral("cmbScenarioColumns"))->isVisible());
    s.click("cmbScenarioColumns");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(table->columnCount(), 6);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("-20 points"));
    QCOMPARE(table->horizontalHeaderItem(3)->text(), QStringLiteral("+5 points"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scenarios.csv"));
    s.fake.dialogs.scriptSaveName(path);
    s.trigger("mnuExportScenarios");
    const QStringList lines =
        QString::fromUtf8(contents(path)).chopped(2).split(QStringLiteral("\r\n"));
    // A title that holds a comma is quoted, as a spreadsheet reads it.
    QVERIFY2(lines[0].startsWith(QStringLiteral(
                 "Underlying,\"Payoff with 10 days left, volatility -20 points\",\"Payoff with "
                 "10 days left, volatility -10 points\"")),
             qPrintable(lines[0]));
    // More volatility, more worth: a bought call's value rises along its row.
    const QStringList today = lines[11].split(u',');
    for (int c = 2; c <= 6; ++c) {
        QVERIFY2(today[c].toDouble() > today[c - 1].toDouble(), qPrintable(lines[11]));
    }
}

void TestExport::the_smile_exports_with_its_calls_and_puts() {
    ExportShell s;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("smile.png"));
    s.fake.dialogs.scriptSaveName(path);
    answerSizeDialog(QStringLiteral("600"), QStringLiteral("400"));
    QTRY_VERIFY(s.child<QWidget>(QStringLiteral("cmdExportSmile"))->isVisible());
    s.click("cmdExportSmile");
    QVERIFY(s.fake.dialogs.shown().isEmpty());
    const QImage image = QImage::fromData(contents(path), "PNG");
    QCOMPARE(image.size(), QSize(600, 400));
    // Both sides drawn, in their own inks.
    int blue = 0;
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue += c.blue() > 150 && c.red() < 80;
            red += c.red() > 150 && c.blue() < 80;
        }
    }
    QVERIFY2(blue > 100 && red > 100, qPrintable(QStringLiteral("%1 %2").arg(blue).arg(red)));
}

void TestExport::with_nothing_to_export_a_message_says_so_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("says");
    QTest::newRow("an empty plot area") << "mnuExportDiagram"
                                        << "cmdClear"
                                        << "plot a position";
    QTest::newRow("scenarios of an empty plot area") << "mnuExportScenarios"
                                                     << "cmdClear"
                                                     << "plot a position";
    QTest::newRow("scenarios copied from an empty plot area") << "mnuCopyScenarios"
                                                              << "cmdClear"
                                                              << "plot a position";
}

void TestExport::with_nothing_to_export_a_message_says_so() {
    QFETCH(QString, command);
    QFETCH(QString, before);
    QFETCH(QString, says);
    ExportShell s;
    if (!before.isEmpty()) {
        s.click(qPrintable(before));
    }
    s.fake.dialogs.script(Dialogs::answerOk);
    s.trigger(qPrintable(command));
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY(s.fake.dialogs.shown()[0].text.contains(says));
    QVERIFY(s.fake.dialogs.saveFilters().isEmpty());
}

void TestExport::a_png_shows_the_curves_in_their_colours_with_axes_and_legend() {
    ExportShell s;
    s.plotTwoCurves();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diagram.png"));
    s.fake.dialogs.scriptSaveName(path);
    answerSizeDialog(QStringLiteral("1000"), QStringLiteral("500"));
    s.trigger("mnuExportDiagram");
    QVERIFY(s.fake.dialogs.shown().isEmpty());
    const QImage image = QImage::fromData(contents(path), "PNG");
    QCOMPARE(image.size(), QSize(1000, 500));

    const workbench::diagramexport::Diagram d = s.window->workbench()->diagram();
    QCOMPARE(d.curves.size(), 2);
    const QRectF area = workbench::diagramexport::plotRect(image.size(), d);
    QVERIFY(colourNear(image, area, d.scale, {30, 0}, yellow));      // the call, flat below 50
    QVERIFY(colourNear(image, area, d.scale, {30, 20}, redOnSlate)); // the straddle, over it
    QVERIFY(colourNear(image, area, d.scale, {70, 20}, redOnSlate));
    QVERIFY(!colourNear(image, area, d.scale, {30, 40}, redOnSlate));
    // The legend's text at the area's top right, the value labels at its left.
    const QRect legend =
        area.toRect().adjusted(int(area.width() / 2), 0, 0, -int(area.height() * 3 / 4));
    QVERIFY(darkPixels(image, legend) > 50);
    QVERIFY(darkPixels(image, QRect(0, int(area.top()), int(area.left()) - 8, int(area.height()))) >
            50);
}

void TestExport::an_svg_is_well_formed_and_names_its_curves_and_axes_data() {
    QTest::addColumn<bool>("paper");
    QTest::addColumn<QString>("area");   // the plot area's fill
    QTest::addColumn<QString>("yellow"); // the first curve's ink
    QTest::newRow("screen") << false << "#5a6270"
                            << "#ffff00";
    // On paper the area is white and the yellow curve darkened to be read.
    QTest::newRow("paper") << true << "#ffffff"
                           << "#888800";
}

void TestExport::an_svg_is_well_formed_and_names_its_curves_and_axes() {
    QFETCH(bool, paper);
    QFETCH(QString, area);
    QFETCH(QString, yellow);
    ExportShell s;
    s.plotTwoCurves();
    workbench::beforeexpiry::Inputs fifteenDays;
    fifteenDays.daysLeft = 15;
    fifteenDays.american = true;
    fifteenDays.dividendYield = 0.02;
    s.window->workbench()->setBeforeExpiry(fifteenDays);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diagram.svg"));
    s.fake.dialogs.scriptSaveName(path);
    answerSizeDialog(QString(), QString(), paper); // 800 x 600
    s.trigger("mnuExportDiagram");
    const QByteArray svg = contents(path);
    QXmlStreamReader xml(svg);
    QStringList texts;
    QString size;
    int dashed = 0; // the curve before expiry and its legend sample
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"svg") {
            size = xml.attributes().value(QStringLiteral("viewBox")).toString();
        }
        if (xml.isStartElement() &&
            xml.attributes().hasAttribute(QStringLiteral("stroke-dasharray")) &&
            xml.attributes().value(QStringLiteral("stroke")) ==
                (paper ? QStringLiteral("#ff0000")
                       : workbench::diagramexport::dashedShade(redOnSlate).name())) {
            ++dashed;
        }
        if (xml.isStartElement() && xml.name() == u"text") {
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(size, QStringLiteral("0 0 800 600"));
    QCOMPARE(dashed, 2);
    for (const char* expected :
         {"Naked Call (payoff)", "Straddle (payoff)", "Straddle (payoff) with 15 days left",
          "Volatility implied from the premiums, rate 5.00 %, dividend yield 2.00 %, American "
          "exercise",
          "Today 50.00", "Price of the underlying", "Payoff", "50", "-20", "0"}) {
        QVERIFY2(texts.contains(QLatin1String(expected)), expected);
    }
    QVERIFY(svg.contains("fill=\"" + area.toLatin1() + "\""));
    QVERIFY(svg.contains("stroke=\"" + yellow.toLatin1() + "\""));
}

void TestExport::a_failed_write_says_why_and_creates_nothing_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("file");
    QTest::newRow("diagram") << "mnuExportDiagram"
                             << "diagram.png";
    QTest::newRow("values") << "mnuExportValues"
                            << "values.csv";
    QTest::newRow("scenarios") << "mnuExportScenarios"
                               << "scenarios.csv";
}

void TestExport::a_failed_write_says_why_and_creates_nothing() {
    QFETCH(QString, command);
    QFETCH(QString, file);
    ExportShell s;
    s.click("cmdPlot");
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no such folder"));
    const QString path = missing + u'/' + file;
    s.fake.dialogs.scriptSaveName(path);
    s.fake.dialogs.script(Dialogs::answerOk);
    if (command == u"mnuExportDiagram") {
        answerSizeDialog(QString(), QString());
    }
    s.trigger(qPrintable(command));
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    const auto& shown = s.fake.dialogs.shown()[0];
    QCOMPARE(shown.icon, Dialogs::Icon::Critical);
    QVERIFY2(shown.text.contains(path) && shown.text.contains(QStringLiteral("could not be saved")),
             qPrintable(shown.text));
    QVERIFY(!QFile::exists(missing));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

QTEST_MAIN(TestExport)
#include "test_export.moc"
